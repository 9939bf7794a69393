#!/usr/bin/env bash
# Builds the release zip: tamrik.exe, the README for Windows users and the
# licence. Checks that the exe needs nothing beyond Windows system DLLs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
exe=${TAMRIK_EXE:-$top/build/windows/tamrik.exe}
out=$top/build/package
[ -f "$exe" ] || { echo "package: $exe is missing; run make windows" >&2; exit 1; }

# Every DLL the exe imports must be a Windows system DLL.
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|advapi32|iphlpapi|psapi|pdh|powrprof|version|imm32|ws2_32|secur32|msimg32|msvcrt|ucrtbase|ntdll|api-ms-win-[a-z0-9-]+)\.dll$|^winspool\.drv$|^hhctrl\.ocx$'
bad=0
while read -r dll; do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    if ! [[ "$lower" =~ $allowed ]]; then
        echo "package: unexpected import $dll" >&2
        bad=1
    fi
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ $bad -eq 0 ] || exit 1
echo "package: imports are Windows system DLLs only"

rm -rf "$out" && mkdir -p "$out/TamrikScreenPrint"
cp "$exe" "$out/TamrikScreenPrint/"
cp "$top/docs/README-Windows.txt" "$out/TamrikScreenPrint/README.txt"
cp "$top/LICENSE" "$out/TamrikScreenPrint/LICENSE.txt"
(cd "$out" && zip -qr TamrikScreenPrint.zip TamrikScreenPrint)
echo "package: $out/TamrikScreenPrint.zip"
