#!/usr/bin/env bash
# The tray menu's "open the capture folder": Explorer opens today's dated
# folder when there is one, else the base folder (created when missing).
. "$(dirname "$0")/app_lib.sh"

use_base_folder TamrikOpenE2E
rm -rf "$BASE_UNIX"
today=$(date +%Y%m%d)
explorer_windows() { wintool list | grep 'visible=1 class=\[ExplorerWClass\]' || true; }
no_explorer() { [ -z "$(explorer_windows)" ]; }
close_explorers() {
    wintool close-class ExplorerWClass
    wait_until 5 no_explorer || fail "the Explorer window did not close"
}
explorer_for() { explorer_windows | grep -q "caption=\[$1\]"; }
open_folder() {  # the caption Explorer should show
    wintool post "$MAIN_CAPTION" 32786 || fail "could not send the open-folder command"
    wait_until 15 explorer_for "$1" || fail "no Explorer window for $1 (windows: $(explorer_windows))"
}

write_settings "[ORBILUXSettings.output_]
baseDirName=$BASE_WIN
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

exit_tamrik
rm -rf "$BASE_UNIX"
