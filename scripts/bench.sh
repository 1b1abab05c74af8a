#!/usr/bin/env bash
# Builds Quillo and prints its figures as one table: figures, never pass/fail.
# Startup is set against a bare program that shows one layered window under the
# same Wine, composition and caret blink against copying the same frame.
#   QUILLO_BENCH_RUNS          startups per row count (default 5)
#   QUILLO_BENCH_IDLE_SECONDS  idle period of the real exe (default 60)
#   QUILLO_BENCH_FULL=1        also the memory and handles after 10,000 add/delete
#                              cycles and many help openings (several minutes more)
set -uo pipefail
export QUILLO_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
root="$QUILLO_ROOT"
runs="${QUILLO_BENCH_RUNS:-5}"
idle_seconds="${QUILLO_BENCH_IDLE_SECONDS:-60}"
full="${QUILLO_BENCH_FULL:-0}"
build="$root/build/win"

bash "$root/scripts/build.sh" >/dev/null || { echo "build failed"; exit 1; }

source "$root/scripts/wine-env.sh"
work="$(mktemp -d)"
cleanup() {
  quillo_stop_prefix
  quillo_stop_xvfb
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

quillo_start_xvfb
quillo_boot_prefix

# The baseline: one 207 x 46 layered window with per-pixel alpha, the strip's
# first-run size, so the startup script can wait for it as it waits for the strip.
cat >"$work/bare.cpp" <<'EOF'
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BareLayered";
    RegisterClassA(&windowClass);
    HWND hwnd = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "BareLayered", "", WS_POPUP, 40, 40, 207, 46,
                                nullptr, nullptr, instance, nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 207, -46, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(memory, bitmap);
    for (int i = 0; i < 207 * 46; ++i) {
        static_cast<DWORD*>(bits)[i] = 0xFF202020;
    }
    POINT origin{0, 0};
    SIZE size{207, 46};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}
EOF
bare=""
x86_64-w64-mingw32-g++-posix -O2 -static -mwindows -o "$work/bare.exe" "$work/bare.cpp" && bare="$work/bare.exe"

rows=()
row() { rows+=("$1|$2|$3"); }
median_ms() { sed -nE 's/.*median ([0-9.]+) ms.*/\1/p' | tail -1; }
ratio() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f x", a / b }'; }

startup() { python3 "$root/tests/e2e/bench_startup.py" --exe "$1" --rows "$2" --runs "$runs" 2>/dev/null | median_ms; }
bare_ms=""
[ -n "$bare" ] && bare_ms="$(startup "$bare" 1)"
row "startup, bare layered window (median of $runs)" "${bare_ms:-n/a}${bare_ms:+ ms}" ""
for n in 1 41 200; do
  ms="$(startup "$build/app/Quillo.exe" "$n")"
  row "startup, $n stored rows (median of $runs)" "${ms:-n/a}${ms:+ ms}" "$(ratio "$ms" "$bare_ms")${bare_ms:+ the bare window}"
done

# The skin benchmark goes on to a long picture loop after its medians; only
# the medians are wanted. A terminal makes its output arrive line by line
# (to a pipe it is held back until the end); Wine draws the lines with
# cursor moves, which plain() turns back into text.
plain() {
  python3 -c 'import re, sys
text = sys.stdin.read()
text = re.sub(r"\x1b\[(\d*)C", lambda m: " " * int(m.group(1) or 1), text)
print(re.sub(r"\x1b\[[?0-9;]*[A-Za-z]|\r", "", text))' <"$1"
}
script -qfc "wine '$build/tests/skin/skin_bench.exe'" /dev/null >"$work/skin.raw" 2>/dev/null </dev/null &
skin_pid=$!
for _ in $(seq 600); do
  plain "$work/skin.raw" | grep -Eq "memcpy of one frame +[0-9.]+ ms" && break
  kill -0 "$skin_pid" 2>/dev/null || break
  sleep 0.5
done
kill "$skin_pid" 2>/dev/null
wait "$skin_pid" 2>/dev/null
skin="$(plain "$work/skin.raw")"
copy_ms="$(echo "$skin" | sed -nE 's/^ *memcpy of one frame +([0-9.]+) ms.*/\1/p')"
compose_ms="$(echo "$skin" | sed -nE 's/^ *compose only +([0-9.]+) ms.*/\1/p')"
present_ms="$(echo "$skin" | sed -nE 's/^ *compose and present +([0-9.]+) ms.*/\1/p')"
blink_ms="$(echo "$skin" | sed -nE 's/^ *blink \(present only\) +([0-9.]+) ms.*/\1/p')"
row "composition of the 41-row strip (median)" "${compose_ms:-n/a}${compose_ms:+ ms}" "$(ratio "$compose_ms" "$copy_ms")${copy_ms:+ the copy}"
row "composition and presenting (median)" "${present_ms:-n/a}${present_ms:+ ms}" "$(ratio "$present_ms" "$copy_ms")${copy_ms:+ the copy}"
row "caret blink (median)" "${blink_ms:-n/a}${blink_ms:+ ms}" "$(ratio "$blink_ms" "$copy_ms")${copy_ms:+ the copy}"
row "copy of one 208 x 846 ARGB frame (median)" "${copy_ms:-n/a}${copy_ms:+ ms}" ""

# The real exe with 41 rows left alone; the Wine process is a Linux process,
# so its own /proc figures hold its CPU time.
idle="$(python3 - "$root/tests/e2e" "$build/app/Quillo.exe" "$idle_seconds" <<'EOF'
import os, sys, time
sys.path.insert(0, sys.argv[1])
import harness

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

with harness.Quillo(sys.argv[2]) as q:
    q.write_config(left=40, top=40, entries=[harness.entry(f"第{n}条备忘") for n in range(1, 42)])
    q.start()
    q.settle()
    seconds = float(sys.argv[3])
    before = cpu_seconds(q.process.pid)
    time.sleep(seconds)
    used = cpu_seconds(q.process.pid) - before
    print(f"{used * 1000:.0f} ms CPU ({100 * used / seconds:.2f} %)")
EOF
)"
row "CPU over ${idle_seconds} s idle, 41 rows" "${idle:-n/a}" ""

if [ "$full" = 1 ]; then
  strip_figures="$(wine "$build/tests/stripskin/stripskin_bench.exe" 2>/dev/null </dev/null | tr -d '\r')"
  figure() { echo "$1" | sed -nE "s/^$2.*$3 ([0-9]+)( kB)?.*/\1/p" | head -1; }
  for what in "skin GDI objects" "GDI\+ objects" "VmRSS" "process kernel handles" "process GDI objects" \
              "process windows"; do
    first="$(figure "$strip_figures" before "$what")"
    last="$(figure "$strip_figures" after "$what")"
    unit=""
    [ "$what" = VmRSS ] && unit=" kB"
    row "${what//\\/} after 10,000 add/delete cycles" "${last:-n/a}${last:+$unit}" "${first:+after start: $first$unit}"
  done

  help_figures="$(wine "$build/tests/help/help_bench.exe" 2>/dev/null </dev/null | tr -d '\r')"
  openings="$(echo "$help_figures" | sed -nE 's/^VmRSS after 10 openings [0-9]+ kB, after ([0-9]+):.*/\1/p')"
  for what in VmRSS VmData; do
    first="$(echo "$help_figures" | sed -nE "s/^$what after 10 openings ([0-9]+) kB.*/\1/p")"
    last="$(echo "$help_figures" | sed -nE "s/^$what after 10 openings [0-9]+ kB, after [0-9]+: ([0-9]+) kB.*/\1/p")"
    row "$what after ${openings:-n/a} help window openings" "${last:-n/a}${last:+ kB}" "${first:+after 10: $first kB}"
  done
  for what in "process kernel handles" "process GDI objects" "process windows"; do
    first="$(echo "$help_figures" | sed -nE "s/^$what after 10 openings (-?[0-9]+),.*/\1/p")"
    last="$(echo "$help_figures" | sed -nE "s/^$what after 10 openings -?[0-9]+, after [0-9]+: (-?[0-9]+).*/\1/p")"
    row "$what after ${openings:-n/a} help window openings" "${last:-n/a}" "${first:+after 10: $first}"
  done
  help_gdiplus="$(echo "$help_figures" | sed -nE 's/^GDI\+ objects held by the skin module: ([0-9]+).*/\1/p')"
  row "GDI+ objects held after the help openings" "${help_gdiplus:-n/a}" ""
else
  row "memory, handles after cycles and help openings" "n/a" "QUILLO_BENCH_FULL=1"
fi

echo "Quillo figures on $(nproc) cores, $(sed -nE 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(wine --version 2>/dev/null)"
printf '%-58s %-24s %s\n' "figure" "value" "against"
for line in "${rows[@]}"; do
  IFS='|' read -r name value against <<<"$line"
  printf '%-58s %-24s %s\n' "$name" "$value" "$against"
done
