#!/usr/bin/env bash
# The office's round on generated applications that look real (bench/make_round: realistic
# Chinese text, some incomplete, broken, the same leader twice or near-copied), every figure
# beside its floor measured in the same run:
#   reading (check, table, anonymity, similar)  against libxml2's bare parse of the same files
#                                               (xmllint --stream, as many processes as workers)
#   printouts (pdf -o, pdf -d, --loose-leaf)    against one xdxtool process per file, as many at
#                                               a time as workers
# each with one worker and with every core, seconds and the most memory a process held; then
# the quality of similar against the planted near-copies.
#   bench/round.sh [N] [PRINTED] [SEED]   (defaults 1,000, all N, 1; PRINTED 0: reading only; after make)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000}
printed=${2:-$n}
seed=${3:-1}
build=${BUILD:-build}
tool=$(realpath "$build/cli/xdxtool")
cores=$(nproc)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$build/bench/make_round" "$n" "$seed" "$dir" >"$dir/made.txt"
echo "round: $(cat "$dir/made.txt"); $(du -sm "$dir/inbox" | cut -f1) MB"
ls "$dir"/inbox/*.xdx | awk -v n="$printed" 'NR <= n' >"$dir/print.list" # all read: no SIGPIPE
# The printouts' floor: a process a file, the naive way.
cat >"$dir/one.sh" <<EOF
#!/bin/sh
# one.sh [--loose-leaf] FILE
for f; do :; done
exec "$tool" pdf "\$@" -o "$dir/single/\$(basename "\$f").pdf"
EOF
chmod +x "$dir/one.sh"

# timed LABEL CMD...: wall seconds and the largest resident set of the command (or of any one of
# the processes it starts), in "label  seconds  MB" form; the seconds also in $seconds.
seconds=0
timed() {
  local label=$1; shift
  /usr/bin/time -f '%e %M' -o "$dir/time" "$@" >/dev/null 2>"$dir/err" || true
  read -r seconds kb < <(tail -n 1 "$dir/time")
  printf '%-52s %7.2f s %6d MB' "$label" "$seconds" $((kb / 1024))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "  %.2f × the floor\n", a / b}'; }
floorline() { printf '\n'; }

echo
echo "reading, $n files"
for j in 1 "$cores"; do
  timed "floor: xmllint --stream, $j process(es)" \
    bash -c 'ls "$1"/*.xdx | xargs -P "$2" -n $(( ($3 + $2 - 1) / $2 )) xmllint --noout --stream' _ "$dir/inbox" "$j" "$n"
  floor=$seconds; floorline
  timed "check -j $j" "$tool" check -j "$j" -r "$dir/inbox"; ratio "$seconds" "$floor"
  timed "table -j $j (xlsx, with the most similar row)" "$tool" table -j "$j" -r "$dir/inbox" -o "$dir/round.xlsx"
  ratio "$seconds" "$floor"
  timed "anonymity -j $j" "$tool" anonymity -j "$j" -r "$dir/inbox"; ratio "$seconds" "$floor"
  timed "similar -j $j" "$tool" similar -j "$j" --json -r "$dir/inbox"; ratio "$seconds" "$floor"
done

if (( printed > 0 )); then
echo
echo "printouts, $printed files"
for j in 1 "$cores"; do
  rm -rf "$dir/single" && mkdir "$dir/single"
  timed "floor: one xdxtool pdf a file, $j at a time" xargs -a "$dir/print.list" -d '\n' -P "$j" -n 1 "$dir/one.sh"
  floor=$seconds; floorline
  timed "pdf -o (one PDF) -j $j" "$tool" pdf -j "$j" --files-from "$dir/print.list" -o "$dir/round.pdf"; ratio "$seconds" "$floor"
  # QT_HASH_SEED=0: Qt's PDF writer then writes the same bytes for the same form every time.
  rm -rf "$dir/each-$j"
  timed "pdf -d (a PDF each) -j $j" env QT_HASH_SEED=0 "$tool" pdf -j "$j" --files-from "$dir/print.list" -d "$dir/each-$j"
  ratio "$seconds" "$floor"
  rm -rf "$dir/single" && mkdir "$dir/single"
  timed "floor: one xdxtool pdf --loose-leaf a file, $j at a time" \
    xargs -a "$dir/print.list" -d '\n' -P "$j" -n 1 "$dir/one.sh" --loose-leaf
  floor=$seconds; floorline
  rm -rf "$dir/leaves"
  timed "pdf --loose-leaf -d -j $j" "$tool" pdf -j "$j" --loose-leaf --files-from "$dir/print.list" -d "$dir/leaves"
  ratio "$seconds" "$floor"
done
echo "one PDF: $(pdfinfo "$dir/round.pdf" | awk '/^Pages:/ {print $2}') pages, $(du -m "$dir/round.pdf" | cut -f1) MB;" \
     "a PDF each: $(du -sm "$dir/each-1" | cut -f1) MB"
# Every worker with its own writer: what -j N wrote is what one worker wrote, byte for byte but
# for the creation date.
same=0 total=0
for f in "$dir/each-1"/*.pdf; do
  total=$((total + 1))
  cmp -s <(sed -E 's/CreationDate \(D:[^)]*\)//' "$f") \
         <(sed -E 's/CreationDate \(D:[^)]*\)//' "$dir/each-$cores/$(basename "$f")") && same=$((same + 1))
done
echo "a PDF each with -j $cores against -j 1: $same of $total byte-identical but for the creation date"
fi

echo
echo "similar against the planted copies, by kind (a copy of a copy counts with its family)"
"$tool" similar --json --all-pairs -r "$dir/inbox" >"$dir/similar.json" 2>/dev/null || true
/usr/bin/python3 - "$dir/similar.json" "$dir/planted.tsv" <<'PYTHON'
import json, os, sys
from collections import defaultdict
reported = set()
for f in json.load(open(sys.argv[1])):
    reported.add(tuple(sorted((os.path.basename(f["a"]), os.path.basename(f["b"])))))
planted, broken = defaultdict(set), set()
family = {}
def root(x):
    while family.get(x, x) != x:
        x = family[x]
    return x
for line in open(sys.argv[2]):
    kind, *names = line.rstrip("\n").split("\t")
    if kind == "broken":
        broken.add(os.path.basename(names[0]))
    elif kind != "same-leader":
        pair = tuple(sorted(os.path.basename(x) for x in names[:2]))
        planted[kind].add(pair)
        family[root(pair[0])] = root(pair[1])
total_found = total = 0
for kind in sorted(planted):
    readable = {p for p in planted[kind] if not (set(p) & broken)}
    found = readable & reported
    total += len(readable)
    total_found += len(found)
    print(f"  {kind:12} {len(found):5} of {len(readable):5} found ({100 * len(found) / max(1, len(readable)):.1f} %)")
related = {p for p in reported if root(p[0]) == root(p[1])}
print(f"recall {100 * total_found / max(1, total):.2f} %; reported {len(reported)} pairs, "
      f"{len(related)} of them between planted relatives: precision {100 * len(related) / max(1, len(reported)):.2f} %")
PYTHON
