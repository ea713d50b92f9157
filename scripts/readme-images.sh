#!/usr/bin/env bash
# Makes the README's pictures: the window on the complete sample (page 1 and page 2), two
# sheets of its printed form, the preview, and pages 12 and 13 as the review fills them. Needs a build (BUILD, default build/) and Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
out=$root/docs/images
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cmake --build "$build" --target shenbao_screenshots xdxtool >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/app/shenbao_screenshots" "$tmp/window" \
  "$root/samples/complete.xdx" >/dev/null
cp "$tmp/window/page-01.png" "$out/window-page1.png"
cp "$tmp/window/page-02.png" "$out/window-page2.png"

"$build/cli/xdxtool" pdf "$root/samples/complete.xdx" -o "$tmp/form.pdf" 2>/dev/null
pdftoppm -r 60 -png -f 1 -l 1 "$tmp/form.pdf" "$tmp/sheet"
pdftoppm -r 60 -png -f 4 -l 4 "$tmp/form.pdf" "$tmp/sheet"
montage "$tmp"/sheet-*.png -tile 2x1 -geometry +8+0 -background '#d0d0d0' "$out/printed-sheets.png"
# The preview as "预览\打印" opens it in the real program (scripts/print-shots.sh).
BUILD=$build "$root/scripts/print-shots.sh" "$tmp/print" >/dev/null 2>&1
convert "$tmp/print/preview.png" -crop 1280x640+0+0 +repage -resize 70% "$out/preview.png"
# Pages 12 and 13 as the review fills them: the complete sample assigned to one expert, voted on
# and approved.
printf '姓名,单位,所在市（州）,学科分类,最多评审数\n宋思远,澄州师范大学,澄州市,基础教育、德育,10\n' > "$tmp/roster.csv"
"$build/cli/xdxtool" review assign --experts "$tmp/roster.csv" -k 1 -o "$tmp/round" "$root/samples/complete.xdx" 2>/dev/null
code=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["applications"][0]["code"])' "$tmp/round/评审轮次.json")
{ echo '编号,课题名称,评审组人数,实到人数,赞成票,反对票,弃权票,评审组意见,未通过原因,是否批准,批准资助类别,批准金额（万元）,拨款次数,年度拨款计划'
  echo "$code,,15,13,11,1,1,选题切合本省农村学校的实际，研究设计合理，方法可行，建议立项。,,是,省级一般资助课题,3,2,2027:2；2028:1"
} > "$tmp/votes.csv"
"$build/cli/xdxtool" review group "$tmp/round" --votes "$tmp/votes.csv" 2>/dev/null
"$build/cli/xdxtool" pdf --review "$tmp/round" "$root/samples/complete.xdx" -o "$tmp/review.pdf" 2>/dev/null
pdftoppm -r 60 -png "$tmp/review.pdf" "$tmp/review"
montage "$tmp"/review-*.png -tile 2x1 -geometry +8+0 -background '#d0d0d0' "$out/review-pages.png"
ls "$out"
