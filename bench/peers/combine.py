#!/usr/bin/env python3
"""Merge the per-peer harness outputs written by run_peers.sh into one JSON document.

Usage: combine.py OUTDIR

OUTDIR holds, per peer, either NAME.json (the harness' stdout) or NAME.reason (why the
peer could not be installed or run), and openssl_run*.out / openssl_run*.err from
`openssl speed -seconds N ed25519`. The merged document goes to stdout.
"""

import json
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from timing import summary  # noqa: E402  (bench/timing.py: one definition of median and spread)

STANDARD_OPS = [
    "field_mul",
    "field_square",
    "field_inverse",
    "scalar_mul_variable_base",
    "scalar_mul_fixed_base",
    "eddsa_sign",
    "eddsa_verify",
    "poseidon_8_inputs",
]

PEERS = ["circomlibjs", "arkworks", "gnark-crypto"]


def summarise(per_op_ns, iterations):
    """The suite's own summary of a list of times, rounded to 0.1 ns."""
    figures = summary(per_op_ns, iterations)
    return {**figures, "median_ns": round(figures["median_ns"], 1), "iqr_ns": round(figures["iqr_ns"], 1)}


def read_reason(path, default):
    try:
        text = path.read_text().strip()
    except OSError:
        return default
    return text or default


def load_peer(outdir, name):
    data_path = outdir / f"{name}.json"
    reason = read_reason(outdir / f"{name}.reason", f"{name} harness produced no output")
    data = None
    if data_path.exists():
        lines = [ln for ln in data_path.read_text().splitlines() if ln.strip()]
        if lines:
            try:
                data = json.loads(lines[-1])
            except json.JSONDecodeError as exc:
                reason = f"{name} harness printed invalid JSON: {exc}"
    if not isinstance(data, dict):
        return {op: {"unavailable": reason} for op in STANDARD_OPS}
    merged = {}
    for op in STANDARD_OPS:
        merged[op] = data.get(op, {"unavailable": "not measured by the harness"})
    for op, value in data.items():  # extra operations a peer adds, kept after the standard ones
        if op not in merged:
            merged[op] = value
    return merged


SIGN_RE = re.compile(r":\s*(\d+)\s+253 bits Ed25519 signs?\s+in\s+([\d.]+)s")
VERIFY_RE = re.compile(r":\s*(\d+)\s+253 bits Ed25519 verify\s+in\s+([\d.]+)s")
TABLE_RE = re.compile(r"\(Ed25519\)\s+\S+s\s+\S+s\s+([\d.]+)\s+([\d.]+)")


def load_openssl(outdir):
    na = "OpenSSL is an Ed25519 reference point only: `openssl speed` measures sign/verify, not this operation"
    result = {op: {"unavailable": na} for op in STANDARD_OPS}
    runs = sorted(outdir.glob("openssl_run*.out"))
    sign_ns, verify_ns = [], []
    sign_iters = verify_iters = 0
    for out_path in runs:
        out = out_path.read_text()
        err_path = out_path.with_suffix(".err")
        err = err_path.read_text() if err_path.exists() else ""
        table = TABLE_RE.search(out)
        s = SIGN_RE.search(err)
        v = VERIFY_RE.search(err)
        if s and v and int(s.group(1)) > 0 and int(v.group(1)) > 0:
            # counts and CPU seconds reported by openssl itself
            sign_ns.append(float(s.group(2)) * 1e9 / int(s.group(1)))
            verify_ns.append(float(v.group(2)) * 1e9 / int(v.group(1)))
            sign_iters += int(s.group(1))
            verify_iters += int(v.group(1))
        elif table and float(table.group(1)) > 0 and float(table.group(2)) > 0:
            sign_ns.append(1e9 / float(table.group(1)))
            verify_ns.append(1e9 / float(table.group(2)))
    if sign_ns and verify_ns:
        result["eddsa_sign"] = summarise(sign_ns, sign_iters or None)
        result["eddsa_verify"] = summarise(verify_ns, verify_iters or None)
    else:
        reason = read_reason(outdir / "openssl.reason", "could not parse `openssl speed ed25519` output")
        result["eddsa_sign"] = {"unavailable": reason}
        result["eddsa_verify"] = {"unavailable": reason}
    return result


def main():
    outdir = Path(sys.argv[1])
    doc = {name: load_peer(outdir, name) for name in PEERS}
    doc["openssl-ed25519"] = load_openssl(outdir)
    json.dump(doc, sys.stdout, indent=2)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
