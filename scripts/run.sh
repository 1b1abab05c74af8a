#!/usr/bin/env bash
# Builds Quillo and starts it under Wine on the current display (code page 936).
# On Windows, build/win/app/Quillo.exe runs as it is.
set -euo pipefail
export QUILLO_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$QUILLO_ROOT/scripts/build.sh"
source "$QUILLO_ROOT/scripts/wine-env.sh"
export WINEPREFIX="${QUILLO_WINEPREFIX:-$HOME/.wine-quillo}"
: "${DISPLAY:?no display: run this from a desktop session (or under xvfb-run)}"
quillo_boot_prefix
exec wine "$QUILLO_ROOT/build/win/app/Quillo.exe"
