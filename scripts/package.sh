#!/usr/bin/env bash
# Packs the release zip: Quillo.exe and the short readme (Chinese and English).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh"
out="$root/build/Quillo-2.0.zip"
python3 - "$root/build/win/app/Quillo.exe" "$root/packaging/读我.txt" "$out" <<'PY'
import sys, zipfile
exe, readme, out = sys.argv[1:4]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
    z.write(exe, "Quillo/Quillo.exe")
    # An ASCII name survives every unzip tool. Notepad on a Chinese Windows reads a BOM-less file as GBK; the BOM makes it UTF-8 everywhere.
    z.writestr("Quillo/readme.txt", "\ufeff" + open(readme, encoding="utf-8").read().replace("\n", "\r\n"))
print(out)
PY
