"""Two builds of the module side by side: .venv's (the system compiler's, from scripts/bootstrap) and a
wheel's extension. Each function is timed from one build, then at once from the other (bench_module.py,
a fresh process each), the order swapped every round, so that both meet the same load of a shared
machine. Every round takes new copies of both extensions: where a file's pages happen to lie in memory
moves a function's time (byte-identical copies of one extension timed hash_transfer 21 and 24.5 µs, each
copy the same in every process), and the rounds average that out. Per function: the median over the
rounds of each build's figure, their ratio, and the spread of the ratios of the rounds."""

import json
import os
import shutil
import statistics
import sys
import tempfile
from pathlib import Path

from measuring import BENCH, log, measure_kernels, module_environment, module_timings, run_json
from table import REQUOTE_LABELS, fmt_ns, fmt_ratio, thread_speed_ups
from timing import quantile

LIMIT = 1.05  # the wheel's median at most this many times the system compiler's build


def alternating_rounds(rounds, scratch_dir, files):
    """`rounds` rounds; each copies every file of {side: path} into a fresh directory of its own under
    scratch_dir and yields (the sides in this round's order, {side: directory}); the order swaps every round."""
    for round_index in range(rounds):
        log(f"round {round_index + 1} of {rounds}")
        order = list(files) if round_index % 2 == 0 else list(reversed(files))
        with tempfile.TemporaryDirectory(dir=scratch_dir) as scratch:
            copies = {side: Path(scratch) / side for side in files}
            for side, file in files.items():
                copies[side].mkdir()
                shutil.copy(file, copies[side])
            yield order, copies


def compare(args, workload, system_extension, names):
    extensions = {"system": Path(system_extension), "wheel": next(args.module_dir.glob("tarvo_python_sdk.*"))}
    medians = {build: {name: [] for name in names} for build in extensions}
    load_start = os.getloadavg()
    for order, copies in alternating_rounds(args.rounds, args.build_dir, extensions):
        for name in names:
            for build in order:
                figure = module_timings(workload, args.seconds, copies[build], [name])[name]
                medians[build][name].append(figure["median_ns"])
    load_end = os.getloadavg()

    functions = {}
    for name in names:
        system, wheel = (statistics.median(medians[build][name]) for build in extensions)
        system_q1, wheel_q1 = (quantile(sorted(medians[build][name]), 0.25) for build in extensions)
        per_round = [w / s for s, w in zip(medians["system"][name], medians["wheel"][name])]
        functions[name] = {"system_ns": system, "wheel_ns": wheel, "ratio": wheel / system,
                           "lower_quartile_ratio": wheel_q1 / system_q1,
                           "round_ratios": per_round, "met": wheel / system <= LIMIT,
                           "rounds_ns": {build: medians[build][name] for build in extensions}}
    lines = [
        f"module functions: .venv's build ({sys.prefix}, the system compiler) against the wheel's extension"
        f" ({args.module_dir.name}); {args.rounds} rounds, {args.seconds:g} s per function and build in each,"
        " alternating, new copies of both extensions every round",
        f"load average {load_start[0]:.2f} at start, {load_end[0]:.2f} at end on {os.cpu_count()} cores",
        "Other work slows some rounds of either build by up to a third: the lower quartiles over the rounds"
        " (q1) show the undisturbed ones.",
        f"{'function':30}  {'system':>9}  {'wheel':>9}  {'wheel/system':>12}  {'q1 ratio':>8}  {'rounds: min-max':>15}",
    ]
    for name, f in functions.items():
        spread = f"{fmt_ratio(min(f['round_ratios']))}-{fmt_ratio(max(f['round_ratios']))}"
        verdict = f"within {LIMIT}x" if f["met"] else f"SLOWER than {LIMIT}x"
        lines.append(f"{name:30}  {fmt_ns(f['system_ns']):>9}  {fmt_ns(f['wheel_ns']):>9}  "
                     f"{f['ratio']:>12.3f}  {f['lower_quartile_ratio']:>8.3f}  {spread:>15}  {verdict}")
    slower = [name for name, f in functions.items() if not f["met"]]
    lines.append(f"every function within {LIMIT}x of the system compiler's build: "
                 + ("yes" if not slower else f"no ({', '.join(slower)})"))
    threads = compare_threads(args, workload, extensions)
    lines += threads_lines(threads)
    quotes = [compare_requote(args, workload, Path(sys.executable), extensions)]
    if args.ft_module_dir is not None:
        ft_python = args.ft_venv / "bin" / "python"
        ft_extension = run_json([ft_python, "-c", "import json, tarvo_python_sdk as m; print(json.dumps(m.__file__))"])
        quotes.append(compare_requote(args, workload, ft_python, {
            "system": Path(ft_extension), "wheel": next(args.ft_module_dir.glob("tarvo_python_sdk.*"))}))
    for figures in quotes:
        lines += requote_lines(figures, args.rounds)
    print("\n".join(lines))

    out = args.out or args.build_dir / "compare.json"
    out.write_text(json.dumps({"wheel_extension": str(args.module_dir), "rounds": args.rounds,
                               "seconds": args.seconds, "load_average_start": load_start,
                               "load_average_end": load_end, "functions": functions, "threads": threads,
                               "requote": quotes},
                              indent=1))
    log(f"results written to {out}")


def compare_threads(args, workload, extensions):
    """threads_bench.py's figures of each build, from new copies of both extensions, one after the other."""
    figures = {}
    for order, copies in alternating_rounds(1, args.build_dir, extensions):
        for build in order:
            log(f"threads and the event loop, {build} build")
            figures[build] = run_json([sys.executable, BENCH / "threads_bench.py", workload, "--seconds",
                                       str(args.seconds), "--loop-seconds", "2", "--requote-seconds", "0"],
                                      env=module_environment(copies[build]))
    return figures


REQUOTE_LIMIT = 0.45  # this build's sliced re-quote on 2 threads over the wheel's sequential one


def compare_requote(args, workload, python, extensions):
    """The re-quote's three ways on interpreter `python` from each build of {build: extension}, a fresh
    process per build and round, alternating, new copies of both extensions every round: the medians over
    the rounds of each round's median batch time, and the rounds."""
    log(f"the re-quote on {python}")
    figures = [f"{way}{kind}" for way in REQUOTE_LABELS for kind in ("_ns", "_cpu_ns")]
    rounds = {build: {figure: [] for figure in figures} for build in extensions}
    for order, copies in alternating_rounds(args.rounds, args.build_dir, extensions):
        for build in order:
            document = run_json([python, BENCH / "threads_bench.py", workload, "--requote-only",
                                 "--requote-seconds", str(2 * args.seconds)], env=module_environment(copies[build]))
            quotes = document["requote"]
            for figure in figures:
                rounds[build][figure].append(quotes[figure])
    medians = {build: {figure[:-len("_ns")]: statistics.median(times) for figure, times in ways.items()}
               for build, ways in rounds.items()}
    target = medians["system"]["sliced"] / medians["wheel"]["sequential"]
    interpreter = document["python"].split()[0] + ("t" if not document["gil_enabled"] else "")
    return {"interpreter": interpreter, "orders": quotes["orders"], "workers": quotes["workers"],
            "medians_ns": medians, "rounds_ns": rounds, "sliced_over_wheel_sequential": target,
            "limit": REQUOTE_LIMIT, "met": target <= REQUOTE_LIMIT}


def requote_lines(quotes, rounds):
    lines = [f"re-quote ({quotes['interpreter']}): {quotes['orders']} limit orders signed sequentially, through"
             f" {quotes['workers']} threads one order per task (pool.map) and one slice per worker; medians over"
             f" {rounds} rounds alternating the builds (speed-up = sequential / this way; CPU: the process's CPU"
             " time per batch, all threads)"]
    for build, medians in quotes["medians_ns"].items():
        ways = [f"{label} {fmt_ns(medians[way])} ({medians['sequential'] / medians[way]:.2f}x; CPU"
                f" {fmt_ns(medians[f'{way}_cpu'])})" for way, label in REQUOTE_LABELS.items()]
        lines.append(f"  {build:6}  {', '.join(ways)}")
    for way in REQUOTE_LABELS:
        system, wheel = (quotes["medians_ns"][build][way] for build in ("system", "wheel"))
        lines.append(f"  {REQUOTE_LABELS[way]}: system / wheel {system / wheel:.3f}")
    lines.append(f"target: the sliced re-quote on {quotes['workers']} threads <= {REQUOTE_LIMIT}x the wheel's sequential"
                 f" re-quote ({quotes['interpreter']}; system sliced / wheel sequential): measured ratio"
                 f" {quotes['sliced_over_wheel_sequential']:.3f} ({'met' if quotes['met'] else 'not met'})")
    return lines


def threads_lines(threads):
    """The throughput speed-ups of 2 threads over 1 and the event loop's lateness, per build."""
    lines = [f"threads ({sys.version.split()[0]}): throughput of 2 threads / 1 thread, and the worst (p99) lateness"
             " of a 1 ms asyncio timer while 2 executor threads sign"]
    for build, figures in threads.items():
        speed_ups = [f"{entry['function']} {speed_up:.2f}x"
                     for entry, speed_up in thread_speed_ups(figures) if entry["threads"] == 2]
        loop = figures["event_loop"]
        lateness = {part: f"{fmt_ns(loop[part]['worst_late_ns'])} ({fmt_ns(loop[part]['p99_late_ns'])})"
                    for part in ("idle", "signing")}
        lines.append(f"  {build:6}  {', '.join(speed_ups)}; event loop idle {lateness['idle']}, "
                     f"beside signing {lateness['signing']}")
    return lines


def compare_c_call(args, workload, system_extension):
    """sign_transfer through the C library (libtarvo.so.0 of the C++ benchmarks' build) against the same
    call from Python (.venv's module), in CPU time per call, alternating round by round with new copies of
    both libraries each round."""
    libraries = {"c": args.build_dir / "c-library" / "libtarvo.so.0", "python": Path(system_extension)}
    figures = {side: [] for side in libraries}
    load_start = os.getloadavg()
    for order, copies in alternating_rounds(args.rounds, args.build_dir, libraries):
        for side in order:
            if side == "c":
                kernels = measure_kernels(args, workload, "^c/tarvo_sign_transfer$", copies[side], quiet=True)
                figures[side].append(kernels["kernels"]["c/tarvo_sign_transfer"]["median_ns"])
            else:
                figure = module_timings(workload, args.seconds, copies[side], ["sign_transfer"])["sign_transfer"]
                figures[side].append(figure["cpu_mean_ns"])
    load_end = os.getloadavg()
    c_call, python_call = (statistics.median(figures[side]) for side in libraries)
    per_round = [c / p for c, p in zip(figures["c"], figures["python"])]
    print(f"sign_transfer, CPU time per call over the workload pool; {args.rounds} rounds, new copies of"
          f" libtarvo.so.0 and the module every round; load average {load_start[0]:.2f} at start,"
          f" {load_end[0]:.2f} at end on {os.cpu_count()} cores\n"
          f"  C call tarvo_sign_transfer {fmt_ns(c_call)}, Python call {fmt_ns(python_call)}:"
          f" C / Python {c_call / python_call:.3f} (rounds {min(per_round):.3f}-{max(per_round):.3f});"
          f" faster: {'yes' if c_call < python_call else 'no'}")
    out = args.out or args.build_dir / "c_call.json"
    out.write_text(json.dumps({"rounds": args.rounds, "load_average_start": load_start,
                               "load_average_end": load_end, "cpu_ns_per_call": figures}, indent=1))
    log(f"results written to {out}")
