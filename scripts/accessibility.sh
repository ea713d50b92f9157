#!/usr/bin/env bash
# The accessibility tree of the real program under Xvfb, through AT-SPI (at-spi2-core and
# python3-pyatspi from Debian) inside its own D-Bus session: every field of every page named,
# no name given twice. Usage: scripts/accessibility.sh   (BUILD=build directory)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
cmake --build "$build" --target shenbao -j2 >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  sleep 1
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" >/dev/null 2>&1 & pid=$!
  sleep 3
  status=0
  /usr/bin/python3 "$2" shenbao || status=$?
  kill "$pid"
  exit "$status"' _ "$build/app/shenbao" "$root/scripts/accessibility.py"
