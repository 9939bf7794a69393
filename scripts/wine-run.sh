#!/usr/bin/env bash
# Runs a Windows program under the test environment's Wine prefix. ctest uses
# it as the cross-compiling emulator; the environment comes from testenv.sh.
top=$(cd "$(dirname "$0")/.." && pwd)
env_file=$top/build/testenv/env.sh
# shellcheck disable=SC1090
[ -f "$env_file" ] && . "$env_file"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
exec wine "$@"
