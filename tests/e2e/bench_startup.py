"""Startup time of Quillo.exe with 41 stored rows (or --rows n, for a baseline):
process start to the strip shown.

Prints one line per run and then min / median / max in milliseconds. "Shown"
is the moment the strip's X window is mapped at its full 41-row height
(207 x 846 for 41 rows); the X server is polled every few milliseconds, so figures carry
that much slack. Needs DISPLAY and a booted WINEPREFIX, as the e2e tests do:

    export QUILLO_ROOT=$PWD; source scripts/wine-env.sh; quillo_boot_prefix
    python3 tests/e2e/bench_startup.py --exe build/win/app/Quillo.exe --runs 10
"""

import argparse
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

def one_run(exe, rows):
    with harness.Quillo(exe) as q:
        q.write_config(left=40, top=40, entries=[harness.entry(f"第{n}条备忘 note {n}") for n in range(1, rows + 1)])
        before = set(harness.visible_windows("quillo.exe"))
        started = time.perf_counter()
        q.process = q.launch()

        def shown():
            for window in harness.visible_windows("quillo.exe"):
                if window not in before and harness.window_geometry(window)[2:] == (207, 46 + 20 * (rows - 1)):
                    return window
            return None

        q.window = harness.wait_until(shown, 30, "the strip with every row")
        return (time.perf_counter() - started) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--rows", type=int, default=41)
    args = parser.parse_args()
    one_run(args.exe, args.rows)  # warms Wine's file cache; not counted
    figures = []
    for run in range(1, args.runs + 1):
        figures.append(one_run(args.exe, args.rows))
        print(f"run {run}: {figures[-1]:.0f} ms")
    print(f"startup with {args.rows} rows, {args.runs} runs: min {min(figures):.0f} ms, "
          f"median {statistics.median(figures):.0f} ms, max {max(figures):.0f} ms")


if __name__ == "__main__":
    main()
