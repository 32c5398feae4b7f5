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

from measuring import log, module_timings
from table import fmt_ns, fmt_ratio
from timing import quantile

LIMIT = 1.05  # the wheel's median at most this many times the system compiler's build


def compare(args, workload, system_extension, names):
    extensions = {"system": Path(system_extension), "wheel": next(args.module_dir.glob("tarvo_python_sdk.*"))}
    medians = {build: {name: [] for name in names} for build in extensions}
    load_start = os.getloadavg()
    for round_index in range(args.rounds):
        log(f"round {round_index + 1} of {args.rounds}")
        order = list(extensions) if round_index % 2 == 0 else list(reversed(extensions))
        with tempfile.TemporaryDirectory(dir=args.build_dir) as scratch:
            copies = {build: Path(scratch) / build for build in extensions}
            for build, extension in extensions.items():
                copies[build].mkdir()
                shutil.copy(extension, copies[build])
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
    print("\n".join(lines))

    out = args.out or args.build_dir / "compare.json"
    out.write_text(json.dumps({"wheel_extension": str(args.module_dir), "rounds": args.rounds,
                               "seconds": args.seconds, "load_average_start": load_start,
                               "load_average_end": load_end, "functions": functions}, indent=1))
    log(f"results written to {out}")
