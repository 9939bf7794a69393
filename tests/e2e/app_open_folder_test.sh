#!/usr/bin/env bash
# The tray menu's "open the capture folder": Explorer opens today's dated
# folder when there is one, else the base folder (created when missing).
. "$(dirname "$0")/app_lib.sh"

BASE_UNIX=$WINEPREFIX/drive_c/TamrikOpenE2E
rm -rf "$BASE_UNIX"
today=$(date +%Y%m%d)
explorer_windows() { wintool list | grep 'visible=1 class=\[ExplorerWClass\]' || true; }
close_explorers() {
    wintool close-class ExplorerWClass
    for _ in $(seq 1 20); do [ -z "$(explorer_windows)" ] && return 0; sleep 0.25; done
    fail "the Explorer window did not close"
}
open_folder() {  # the caption Explorer should show
    wintool post "$MAIN_CAPTION" 32786 || fail "could not send the open-folder command"
    for _ in $(seq 1 60); do
        explorer_windows | grep -q "caption=\[$1\]" && return 0
        sleep 0.25
    done
    fail "no Explorer window for $1 (windows: $(explorer_windows))"
}

write_settings "[ORBILUXSettings.output_]
baseDirName=C:\\TamrikOpenE2E
bDateDir=TRUE"
start_tamrik
wintool wait-no-class TamrikSplashWnd 10 || true

# No capture yet: the base folder, created for the purpose.
open_folder TamrikOpenE2E
[ -d "$BASE_UNIX" ] || fail "the missing base folder was not created"
[ ! -e "$BASE_UNIX/$today" ] || fail "today's folder was created by opening"
close_explorers
pass "with no folder for today Explorer opens the base folder"

mkdir -p "$BASE_UNIX/$today"
open_folder "$today"
close_explorers
pass "Explorer opens today's folder $today"

stop_tamrik || true
rm -rf "$BASE_UNIX"
echo "1 passed, 0 failed"
