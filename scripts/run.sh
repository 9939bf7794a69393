#!/usr/bin/env bash
# `make run`: starts the built program with Wine on the user's own display.
# It stays in the notification area; right-click its icon and choose Exit to end it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=$top/build/windows/tamrik.exe
[ -f "$exe" ] || { echo "run: $exe is missing (make windows builds it)" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "run: no DISPLAY; start it from a desktop session" >&2; exit 1; }
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
echo "Tamrik Screen Print runs in the notification area (Wine System Tray)."
echo "Print Screen prints or saves the screen; Alt+Ctrl+Print Screen saves the desktop with a report."
exec wine "$exe"
