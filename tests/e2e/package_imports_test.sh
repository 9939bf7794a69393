#!/usr/bin/env bash
# The release zip builds and tamrik.exe needs nothing beyond Windows system DLLs.
set -euo pipefail
top=${TAMRIK_SOURCE_DIR:?}
bash "$top/scripts/package.sh"
zip=$top/build/package/TamrikScreenPrint.zip
# The listing is read whole: grep -q leaving a pipe early would fail unzip
# with SIGPIPE and, under pipefail, the check with it.
listing=$(unzip -l "$zip")
for f in tamrik.exe README.txt LICENSE.txt; do
    grep -q "TamrikScreenPrint/$f" <<<"$listing" || { echo "missing $f in the zip"; exit 1; }
done
echo "package: ok"
