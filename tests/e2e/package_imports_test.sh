#!/usr/bin/env bash
# The release zip builds and tamrik.exe needs nothing beyond Windows system DLLs.
set -euo pipefail
top=${TAMRIK_SOURCE_DIR:?}
bash "$top/scripts/package.sh"
zip=$top/build/package/TamrikScreenPrint.zip
for f in tamrik.exe README.txt LICENSE.txt; do
    unzip -l "$zip" | grep -q "TamrikScreenPrint/$f" || { echo "missing $f in the zip"; exit 1; }
done
echo "package: ok"
