"""Runs the whole benchmark suite and prints one table; writes the same figures as JSON.

In one run: the 17 module functions (whole Python calls), the C++ kernels (Google Benchmark), the
plain reference paths and the speed-up over them, the counted field operations and the lower bounds
they give, cold start, signing throughput from 1 and 2 threads, a market maker's re-quote (a batch of
limit orders signed sequentially and from a thread pool), and the peer libraries side by side.
Then one line per target of the speed work.

Normally started by scripts/bench, which builds what this needs first:
    .venv/bin/python bench/run.py [--quick] [--skip-peers | --reuse-peers | --peers-json FILE]
        [--module-dir DIR] [--compare [--ft-module-dir DIR] [--rounds N] [--seconds S]]
        [--c-call [--rounds N] [--seconds S]]
"""

import argparse
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys
import time
from pathlib import Path

import tarvo_python_sdk

from compare import compare, compare_c_call
from floors import Bounds
from measuring import (BENCH, ROOT, count_operations, log, measure_cold_start, measure_kernels, measure_module,
                       measure_peers, measure_threads)
from table import build_rows, notes_for, render, targets


def git_revision():
    try:
        revision = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True, text=True,
                                  cwd=ROOT, check=True).stdout.strip()
        dirty = subprocess.run(["git", "status", "--porcelain", "--untracked-files=no"], capture_output=True,
                               text=True, cwd=ROOT).stdout.strip()
        return revision + (" with uncommitted changes" if dirty else "")
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def cpu_name():
    try:
        for text in Path("/proc/cpuinfo").read_text().splitlines():
            if text.startswith("model name"):
                return text.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown CPU"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="shorter budgets everywhere (noisier figures)")
    parser.add_argument("--skip-peers", action="store_true", help="do not run the peer libraries")
    parser.add_argument("--reuse-peers", action="store_true",
                        help="use the peer figures of an earlier run (build/bench/peers.json) when present")
    parser.add_argument("--peers-json", type=Path, help="use this peer document (output of run_peers.sh)")
    parser.add_argument("--thread-python", type=Path, action="append", default=[],
                        help="interpreter for the thread benchmark (repeatable; default: this one, plus the "
                             "free-threaded venv when present)")
    parser.add_argument("--ft-venv", type=Path, default=ROOT / ".venv-ft",
                        help="virtual environment of the free-threaded interpreter")
    parser.add_argument("--build-dir", type=Path, default=ROOT / "build" / "bench")
    parser.add_argument("--count-build-dir", type=Path, default=ROOT / "build" / "bench-count")
    parser.add_argument("--module-dir", type=Path,
                        help="time the module from the extension in this directory (an unpacked wheel's, for this "
                             "interpreter) instead of .venv's build")
    parser.add_argument("--compare", action="store_true",
                        help="only the module functions: .venv's build against the one of --module-dir, alternating")
    parser.add_argument("--ft-module-dir", type=Path,
                        help="--compare: also the re-quote on the free-threaded venv, its build against the "
                             "extension in this directory (an unpacked wheel's, for that interpreter)")
    parser.add_argument("--c-call", action="store_true",
                        help="only sign_transfer: the C library's call against the Python call, alternating")
    parser.add_argument("--rounds", type=int, default=12, help="--compare, --c-call: rounds")
    parser.add_argument("--seconds", type=float, default=0.3,
                        help="--compare, --c-call: timed budget per Python function, build and round")
    parser.add_argument("--out", type=Path,
                        help="JSON output (default BUILD_DIR/results.json, with --compare BUILD_DIR/compare.json, "
                             "with --c-call BUILD_DIR/c_call.json)")
    args = parser.parse_args()
    if args.compare and args.module_dir is None:
        parser.error("--compare needs --module-dir")
    out = args.out or args.build_dir / "results.json"
    args.build_dir.mkdir(parents=True, exist_ok=True)

    started = time.time()
    load_start = os.getloadavg()
    workload = args.build_dir / "workload.json"
    log(f"workload -> {workload}")
    subprocess.run([sys.executable, BENCH / "workload.py", workload], check=True, cwd=ROOT)
    if args.compare:
        compare(args, workload, tarvo_python_sdk.__file__, tarvo_python_sdk.__all__)
        return
    if args.c_call:
        compare_c_call(args, workload, tarvo_python_sdk.__file__)
        return

    peers = measure_peers(args)
    kernels = measure_kernels(args, workload)
    counts = count_operations(args, workload)
    module = measure_module(args, workload)
    cold = measure_cold_start(args, workload)
    threads = measure_threads(args, workload)
    load_end = os.getloadavg()
    core_share = statistics.median(figure["median_ns"] / figure["wall_median_ns"]
                                   for figure in kernels["kernels"].values())

    bounds = Bounds(kernels["kernels"], counts)
    sections = build_rows(kernels, counts, module, cold, threads, bounds)
    peer_results = None if args.skip_peers else peers["results"]
    found, target_lines = targets(kernels, module, cold, bounds, sections, peer_results)
    cores = os.cpu_count()
    build = f"the extension in {args.module_dir}" if args.module_dir else f"the build in {sys.prefix}"
    header = [
        f"tarvo_python_sdk benchmarks  {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}  git {git_revision()}"
        f"  {cpu_name()} ({cores} cores)  Python {platform.python_version()}"
        f"{'  --quick' if args.quick else ''}  suite took {time.time() - started:.0f} s",
        f"module: {build}; C++ kernels: {args.build_dir}",
        f"load average {load_start[0]:.2f} at start, {load_end[0]:.2f} at end on {cores} cores; the C++ kernels got "
        f"{100 * core_share:.0f}% of a core (CPU time / wall time)"
        + ("; other work shared the machine: expect noise" if core_share < 0.9 else ""),
    ]
    notes = notes_for(peers["source"], peer_results, threads, kernels, bounds)
    table = render(sections, peer_results, header, notes, target_lines)
    print(table)

    results = {
        "meta": {"date": datetime.datetime.now().isoformat(timespec="seconds"), "git": git_revision(),
                 "cpu": cpu_name(), "cores": cores, "python": sys.version, "quick": args.quick,
                 "load_average_start": load_start, "load_average_end": load_end, "peers": peers["source"],
                 "core_share": core_share, "module": str(args.module_dir or sys.prefix),
                 "kernels_build": str(args.build_dir),
                 "multiplication_ns": bounds.mul_ns, "sha256_compression_ns": bounds.compression_ns},
        "sections": [{"title": title, "rows": rows} for title, rows in sections],
        "targets": found,
        "raw": {"kernels": kernels, "counts": counts, "module": module, "cold_start": cold, "threads": threads,
                "peers": peers["results"]},
    }
    out.write_text(json.dumps(results, indent=1, ensure_ascii=False))
    log(f"results written to {out}")


if __name__ == "__main__":
    main()
