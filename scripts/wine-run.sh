#!/usr/bin/env bash
# Runs a Windows program under the test environment's Wine prefix. ctest uses
# it as the cross-compiling emulator; the environment comes from testenv.sh.
#
# Wine may start helper processes (services, device hosts) that live on after
# the program and inherit its output. Under ctest that output is a pipe, and a
# pipe held open by them would keep ctest waiting for ever; so the program
# writes into a file that is shown once it has ended.
top=$(cd "$(dirname "$0")/.." && pwd)
env_file=$top/build/testenv/env.sh
# shellcheck disable=SC1090
[ -f "$env_file" ] && . "$env_file"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
