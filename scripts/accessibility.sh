#!/usr/bin/env bash
# The accessibility tree of the real program under Xvfb, through AT-SPI (at-spi2-core and
# python3-pyatspi from Debian) inside its own D-Bus session: every field of every page named,
# no name given twice anywhere in the window, no field named by its value. Run on the empty
# form and on the complete sample, or on the files given.
# Usage: scripts/accessibility.sh [FILE...]   (BUILD=build directory)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
cmake --build "$build" --target shenbao -j2 >/dev/null
runs=("$@")
[[ ${#runs[@]} -eq 0 ]] && runs=("" "$root/samples/complete.xdx")
status=0
for file in "${runs[@]}"; do
  echo "== ${file:-the empty form}"
  xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" ${3:+"$3"} >/dev/null 2>&1 & pid=$!
    sleep 3
    status=0
    /usr/bin/python3 "$2" shenbao || status=$?
    kill "$pid"
    exit "$status"' _ "$build/app/shenbao" "$root/scripts/accessibility.py" "$file" || status=1
done
exit $status
