#!/usr/bin/env bash
# The office's round, timed: N files (default 10,000: the two samples, one in a thousand cut
# short, one foreign) in a folder with a subfolder, checked, tabled and screened, and M of them
# (default 1,000) printed whole (a PDF each, and all in one PDF), all in one command each with
# every core.
#   bench/round.sh [N] [M]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-10000}
m=${2:-1000}
tool=${XDXTOOL:-build/cli/xdxtool}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/inbox/stick" "$dir/print"
for i in $(seq 1 "$n"); do
  if (( i % 1000 == 0 )); then head -c 3000 samples/complete.xdx >"$dir/inbox/stick/cut$i.xdx"
  elif (( i % 2 )); then cp samples/complete.xdx "$dir/inbox/a$i.xdx"
  else cp samples/incomplete.xdx "$dir/inbox/stick/b$i.xdx"; fi
done
echo '<?xml version="1.0"?><x/>' >"$dir/inbox/foreign.xdx"
for i in $(seq 1 "$m"); do cp samples/complete.xdx "$dir/print/p$i.xdx"; done

timed() {
  local what=$1; shift
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  printf '%-40s %6d ms\n' "$what" $(( (end - start) / 1000000 ))
}
timed "check -r, $n files, one worker" "$tool" check -r -j 1 "$dir/inbox"
timed "check -r, $n files, $(nproc) workers" "$tool" check -r "$dir/inbox"
timed "table -r, $n files, csv" "$tool" table -r "$dir/inbox" -o "$dir/round.csv"
timed "table -r, $n files, xlsx" "$tool" table -r "$dir/inbox" -o "$dir/round.xlsx"
timed "anonymity -r, $n files" "$tool" anonymity -r "$dir/inbox"
timed "pdf -d, $m whole forms" "$tool" pdf -d "$dir/out" "$dir/print"
timed "pdf -o, $m whole forms in one PDF" "$tool" pdf -o "$dir/round.pdf" "$dir/print"
timed "pdf --loose-leaf -d, $m files" "$tool" pdf --loose-leaf -d "$dir/leaves" "$dir/print"
