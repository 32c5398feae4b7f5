"""Measuring: runs the suite's parts (workload, C++ kernels, operation counts, module functions, cold start,
threads, peers), each returning its figures as plain data."""

import datetime
import json
import os
import subprocess
import sys
from pathlib import Path

from timing import summary

ROOT = Path(__file__).resolve().parent.parent
BENCH = ROOT / "bench"
CACHE = Path(os.environ.get("TARVO_CACHE", Path.home() / ".cache" / "tarvo_python_sdk"))
FREE_THREADED_PYTHON = CACHE / "python3.13t" / "bin" / "python3.13t"
PEERS = ["circomlibjs", "arkworks", "gnark-crypto", "openssl-ed25519"]
COLD_START_LIMIT_NS = 1.5e6
# The peers' figures do not depend on our build: every build directory shares one copy.
PEERS_CACHE = ROOT / "build" / "bench" / "peers.json"


def log(text):
    print(f"[bench] {text}", file=sys.stderr, flush=True)


def run_json(command, env=None):
    """Runs a command whose standard output is one JSON document; its standard error passes through."""
    completed = subprocess.run(command, stdout=subprocess.PIPE, text=True, env=env, cwd=ROOT)
    if completed.returncode != 0:
        sys.exit(f"[bench] FAILED ({completed.returncode}): {' '.join(map(str, command))}")
    return json.loads(completed.stdout)


# ---------------------------------------------------------------- measurements


def measure_kernels(args, workload, only=None, library_dir=None, quiet=False):
    """The C++ kernels' figures; only: a regular expression of the rows to run; library_dir: where the
    program loads libtarvo.so.0 from instead of its build directory."""
    program = args.build_dir / "bench" / "tarvo_bench"
    if not program.exists():
        sys.exit(f"[bench] {program} is missing: build it with scripts/bench (or cmake -DTARVO_BUILD_BENCH=ON)")
    if not quiet:
        log("C++ kernels (Google Benchmark)")
    # Google Benchmark reads a bare number of seconds before 1.8 and ignores a suffixed one; since 1.8 it
    # wants the unit.
    version = tuple(int(part) for part in (program.parent / "benchmark_version.txt").read_text().split("."))
    min_time = f"{0.02 if args.quick else 0.1}{'s' if version >= (1, 8) else ''}"
    env = None if library_dir is None else {**os.environ, "LD_LIBRARY_PATH": str(library_dir)}
    report = run_json([program, f"--workload={workload}", "--benchmark_format=json", f"--benchmark_min_time={min_time}",
                       f"--benchmark_repetitions={3 if args.quick else 7}",
                       *([f"--benchmark_filter={only}"] if only else [])], env=env)
    repetitions, errors = {}, {}
    for entry in report["benchmarks"]:
        if entry.get("error_occurred"):
            errors[entry["run_name"]] = entry.get("error_message", "failed")
            continue
        if entry.get("run_type") != "iteration":
            continue
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
        items = entry.get("items", 1)
        repetitions.setdefault(entry["run_name"], []).append(
            (entry["real_time"] * scale / items, entry["cpu_time"] * scale / items, entry["iterations"] * items))
    # The thread's CPU time of a repetition leaves out the time other processes held the core; on an
    # idle machine it equals the wall time.
    kernels = {}
    for name, runs in repetitions.items():
        iterations = sum(run[2] for run in runs)
        wall, cpu = summary([run[0] for run in runs], iterations), summary([run[1] for run in runs], iterations)
        kernels[name] = {**cpu, "repetitions": len(runs), "wall_median_ns": wall["median_ns"],
                         "wall_iqr_ns": wall["iqr_ns"]}
    return {"kernels": kernels, "errors": errors, "context": report.get("context", {})}


def count_operations(args, workload):
    program = args.count_build_dir / "bench" / "tarvo_op_counts"
    if not program.exists():
        sys.exit(f"[bench] {program} is missing: build it with scripts/bench (the counting build)")
    log("counting field operations (counting build)")
    return run_json([program, f"--workload={workload}"])


def module_environment(module_dir):
    """The environment of a benchmark process: .venv's own module, or with module_dir (an unpacked wheel's
    extension) first on the module search path."""
    if module_dir is None:
        return None
    search_path = [str(module_dir)] + ([os.environ["PYTHONPATH"]] if os.environ.get("PYTHONPATH") else [])
    return {**os.environ, "PYTHONPATH": os.pathsep.join(search_path)}


def module_timings(workload, seconds, module_dir=None, names=()):
    """bench_module.py's figures {function: figure} of .venv's module or of the extension in module_dir."""
    report = run_json([sys.executable, BENCH / "bench_module.py", workload, "--seconds", str(seconds),
                       *(["--only", *names] if names else [])], env=module_environment(module_dir))
    imported = Path(report["module"]).resolve()
    if module_dir is not None and imported.parent != Path(module_dir).resolve():
        sys.exit(f"[bench] {imported} was imported instead of the extension in {module_dir}: "
                 "is the wheel built for this interpreter?")
    return report["functions"]


def measure_module(args, workload):
    log(f"module functions ({args.module_dir or 'the build in ' + sys.prefix})")
    return module_timings(workload, 0.25 if args.quick else 1.0, args.module_dir)


def measure_cold_start(args, workload):
    runs = 5 if args.quick else 20
    log(f"cold start ({runs} fresh processes)")
    with open(workload) as file:
        calls = json.load(file)["calls"]
    request = calls["hash_transfer"][0][0]
    private_key, message = calls["sign"][0]
    samples = [run_json([sys.executable, BENCH / "cold_start.py", request, private_key, message],
                        env=module_environment(args.module_dir))
               for _ in range(runs)]
    return {part: summary([sample[part] for sample in samples], runs)
            for part in ("import_ns", "first_hash_ns", "first_sign_ns", "total_ns")}


def free_threaded_python(args):
    """The free-threaded venv's interpreter when it exists with the module installed; else (None, why)."""
    if not FREE_THREADED_PYTHON.exists():
        return None, "free-threaded interpreter not built"
    venv_python = args.ft_venv / "bin" / "python"
    if not venv_python.exists():
        return None, f"free-threaded interpreter built, but no virtual environment {args.ft_venv}"
    probe = subprocess.run([venv_python, "-c", "import tarvo_python_sdk"], capture_output=True)
    if probe.returncode != 0:
        return None, f"free-threaded interpreter built, but tarvo_python_sdk is not installed in {args.ft_venv}"
    return venv_python, None


def measure_threads(args, workload):
    interpreters = list(args.thread_python) or [Path(sys.executable)]
    note = None
    if args.module_dir is not None:
        note = "the wheel's extension serves this interpreter only"
    elif not args.thread_python:
        free_threaded, note = free_threaded_python(args)
        if free_threaded:
            interpreters.append(free_threaded)
    results = []
    for interpreter in interpreters:
        log(f"throughput from 1 and 2 threads and an event loop beside signing threads on {interpreter}")
        results.append(run_json([interpreter, BENCH / "threads_bench.py", workload, "--threads", "1", "2",
                                 "--seconds", "0.3" if args.quick else "1.0",
                                 "--repeats", "1" if args.quick else "3",
                                 "--loop-seconds", "0.5" if args.quick else "2.0",
                                 "--requote-seconds", "0.5" if args.quick else "2.0"],
                                env=module_environment(args.module_dir)))
    return {"interpreters": results, "note": note}


def measure_peers(args):
    cached = PEERS_CACHE
    if args.skip_peers:
        return {"source": "skipped (--skip-peers)", "results": {}}
    if args.peers_json:
        return {"source": f"read from {args.peers_json}", "results": json.loads(args.peers_json.read_text())}
    if args.reuse_peers and cached.exists():
        measured = datetime.datetime.fromtimestamp(cached.stat().st_mtime).strftime("%Y-%m-%d %H:%M")
        return {"source": f"reused from {cached} (measured {measured})", "results": json.loads(cached.read_text())}
    log("peers (bench/peers/run_peers.sh; the first run installs and builds them)")
    env = dict(os.environ)
    if args.quick:
        env.setdefault("PEER_BENCH_SECONDS", "0.3")
        env.setdefault("PEER_OPENSSL_RUNS", "1")
    results = run_json([BENCH / "peers" / "run_peers.sh"], env=env)
    cached.parent.mkdir(parents=True, exist_ok=True)
    cached.write_text(json.dumps(results, indent=1))
    return {"source": "measured in this run", "results": results}
