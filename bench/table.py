"""The table: rows, targets and notes from the measured figures and the floors, and their text."""

from measuring import COLD_START_LIMIT_NS, PEERS


def fmt_ns(ns):
    if ns is None:
        return ""
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3), ("ns", 1)):
        if ns >= scale or unit == "ns":
            value = ns / scale
            digits = 0 if value >= 100 else 1 if value >= 10 else 2
            return f"{value:.{digits}f}{unit}"


def fmt_ratio(ratio):
    if ratio is None:
        return ""
    if ratio >= 100:
        return f"{ratio:.0f}"
    return f"{ratio:.1f}" if ratio >= 10 else f"{ratio:.2f}" if ratio >= 0.1 else f"{ratio:.2g}"


def fmt_count(count):
    if count is None:
        return ""
    for suffix, scale in (("M", 1e6), ("k", 1e3)):
        if count >= scale:
            return f"{count / scale:.1f}{suffix}"
    return f"{count:.0f}"


def row(label, figure, field_ops=None, floor_ns=None, reference_ns=None, speed_up=None, peer_operation=None):
    """One table row. `figure` is {"median_ns", "iqr_ns", "iterations"} or None (not measured)."""
    median = figure["median_ns"] if figure else None
    return {
        "label": label,
        "median_ns": median,
        "iqr_ns": figure["iqr_ns"] if figure else None,
        "iterations": figure["iterations"] if figure else None,
        "field_ops": field_ops,
        "floor_ns": floor_ns,
        "over_floor": median / floor_ns if median and floor_ns else None,
        "reference_ns": reference_ns,
        "speed_up": speed_up if speed_up is not None else (reference_ns / median if median and reference_ns else None),
        "peer_operation": peer_operation,
    }


def thread_speed_ups(result):
    """(entry, its throughput over the same function's from 1 thread) for every entry of a threads_bench.py
    document."""
    single = {entry["function"]: entry["calls_per_second"] for entry in result["results"] if entry["threads"] == 1}
    return [(entry, entry["calls_per_second"] / single[entry["function"]]) for entry in result["results"]]


def build_rows(kernels, counts, module, cold, threads, bounds):
    k = kernels["kernels"]
    work_of = counts["kernels"]

    def kernel(label, name, counted=None, peer=None, reference=None):
        work = work_of.get(counted) if counted else None
        return row(label, k.get(name), bounds.ops(work) if work else None, bounds.counted(work) if work else None,
                   k[reference]["median_ns"] if reference in k else None, peer_operation=peer)

    def core(function):
        """The core operation behind a module function, timed in C++ against the function's floor."""
        return row(f"core {function} (C++, no Python)", k.get(f"core/{function}"),
                   bounds.ops(counts["functions"][function]), bounds.function_floor(function))

    sections = []
    functions = []
    for name, figure in module.items():
        work = counts["functions"].get(name)
        reference = k["reference/sign_transfer"]["median_ns"] if name == "sign_transfer" and \
            "reference/sign_transfer" in k else None
        peer = {"sign": "eddsa_sign", "sign_transfer": "eddsa_sign", "verify_signature": "eddsa_verify"}.get(name)
        functions.append(row(name, figure, bounds.ops(work) if work else None, bounds.function_floor(name),
                             reference, peer_operation=peer))
    sections.append(("module functions: whole Python calls, per call", functions))

    sections.append(("C++ kernels, per operation", [
        kernel("field mul (Fr operator*)", "field/mul", "field_mul", "field_mul"),
        kernel("field mul, one dependent chain", "field/mul_latency", "field_mul"),
        kernel("field mul kernel mul_adx (MULX/ADX)", "field/mul_adx"),
        kernel("field mul kernel mul_portable", "field/mul_portable"),
        kernel("field square", "field/square", "field_square", "field_square"),
        kernel("field inverse (constant time)", "field/inverse", "field_inverse", "field_inverse"),
        kernel("field inverse_var (public values)", "field/inverse_var", peer="field_inverse"),
        kernel("Poseidon permutation (optimised)", "poseidon/permute", "poseidon_permute", "poseidon_8_inputs",
               "poseidon/permute_reference"),
        kernel("fixed-base mul_generator(5, k)", "curve/mul_generator5", "mul_generator5", "scalar_mul_fixed_base",
               "curve/mul_reference_var"),
        kernel("variable-base mul (constant time)", "curve/mul", "mul", "scalar_mul_variable_base",
               "curve/mul_reference_var"),
        kernel("variable-base mul_var (wNAF)", "curve/mul_var", "mul_var", "scalar_mul_variable_base",
               "curve/mul_reference_var"),
        kernel("EdDSA nonce (HMAC-SHA-256 loop)", "eddsa/nonce", "eddsa_nonce"),
        kernel("HMAC-SHA-256 33 B, keyed per call", "hmac_sha256/one_shot/33"),
        kernel("HMAC-SHA-256 97 B, keyed per call", "hmac_sha256/one_shot/97"),
        kernel("SHA-256 compression (the CPU's kernel)", "sha256/compression"),
        kernel("EdDSA sign (nonce + sign_raw_message)", "eddsa/sign", "eddsa_sign", "eddsa_sign"),
        kernel("signing step: public key sk·G", "eddsa/public_key"),
        kernel("signing step: self-verification", "eddsa/self_verification"),
        kernel("  of which the short challenge (short_challenge_var)", "eddsa/short_challenge"),
        kernel("signing step: R and A to affine (one inversion)", "eddsa/to_affine"),
        kernel("EdDSA verify_for_raw_message", "eddsa/verify", "eddsa_verify", "eddsa_verify"),
        kernel("signer TxSignature::sign_msg", "tx/sign_msg", "tx_sign_msg"),
        core("sign"),
        core("sign_transfer"),
        kernel("C call tarvo_sign_transfer (libtarvo.so.0)", "c/tarvo_sign_transfer"),
        core("verify_signature"),
        core("hash_transfer"),
        kernel("JSON read Transfer::from_json", "json/transfer"),
        kernel("JSON read WithdrawRequest::from_json", "json/withdraw"),
        kernel("JSON read LimitOrderRequest::from_json", "json/limit_order"),
        kernel("JSON read Liquidate::from_json", "json/liquidate"),
        kernel("JSON read SignedOraclePrice::from_json", "json/signed_oracle_price"),
    ]))

    shared = k.get("curve/mul_generator5")
    rebuilt = k.get("curve/mul_generator5_rebuilt_params")
    sections.append(("plain reference paths (speed-up = reference / optimised)", [
        kernel("mul_reference_var (double-and-add)", "curve/mul_reference_var", "mul_reference_var"),
        kernel("permute_reference (round by round)", "poseidon/permute_reference", "poseidon_permute_reference"),
        kernel("AltJubjubBn256() per call + mul_generator(5)", "curve/mul_generator5_rebuilt_params"),
        row("shared JUBJUB_PARAMS->mul_generator(5) vs rebuild", shared,
            reference_ns=rebuilt["median_ns"] if rebuilt else None),
        kernel("reference sign_transfer (C++ composition)", "reference/sign_transfer"),
    ]))

    sections.append(("cold start: fresh process, interpreter start excluded", [
        row("import tarvo_python_sdk", cold["import_ns"]),
        row("first hash_transfer (builds Poseidon tables)", cold["first_hash_ns"]),
        row("first sign (loads generator 5's tables)", cold["first_sign_ns"]),
        row("import + first hash + first sign", cold["total_ns"]),
    ]))

    thread_rows, loop_rows, requote_rows = [], [], []
    for result in threads["interpreters"]:
        version, gil = interpreter_label(result)
        requote_rows += requote_table_rows(result["requote"], version)
        for entry, speed_up in thread_speed_ups(result):
            threads_text = f"{entry['threads']} thread{'s' if entry['threads'] > 1 else ''}"
            thread_rows.append(row(f"{entry['function']}, {threads_text}, {version} {gil}",
                                   {"median_ns": entry["ns_per_call"], "iqr_ns": None,
                                    "iterations": entry["calls_per_run"] * entry["runs"]}, speed_up=speed_up))
        loop = result["event_loop"]
        parts = (("idle", "nothing else running"), ("signing", f"{loop['signers']} executor threads signing"))
        for part, what in parts:
            figure = loop[part]
            label = f"1 ms asyncio timer, {what}, {version} {gil} (p99 {fmt_ns(figure['p99_late_ns'])})"
            loop_rows.append(row(label, {"median_ns": figure["worst_late_ns"], "iqr_ns": None,
                                         "iterations": figure["timers"]}))
    sections.append(("throughput from threads: wall time per call (speed-up = throughput / 1 thread)", thread_rows))
    sections.append(("event loop beside signing threads: worst lateness of a 1 ms timer (its 99th percentile in"
                     " brackets)", loop_rows))
    workers = threads["interpreters"][0]["requote"]["workers"] if threads["interpreters"] else 0
    sections.append((f"re-quote: a batch of limit orders (sign_limit_order), {workers} worker threads: wall time of the"
                     " batch, CPU: the process's CPU time in it (speed-up = sequential / this way)", requote_rows))
    return sections


def interpreter_label(result):
    """("3.13.5t", "no GIL") of a threads_bench.py document."""
    version = result["python"].split()[0] + ("t" if "free-threading" in result["python"] else "")
    return version, "GIL" if result["gil_enabled"] else "no GIL"


REQUOTE_LABELS = {"sequential": "sequential", "per_order": "pool.map per order", "sliced": "slice per worker"}


def requote_table_rows(quotes, interpreter):
    """The re-quote's rows of one interpreter (its version, "t" for the free-threaded one): each way's batch
    wall time with sequential over it as the speed-up, then each way's CPU time (all threads) per batch."""
    rows = []
    for kind, suffix in (("_ns", ""), ("_cpu_ns", " CPU")):
        for way, what in REQUOTE_LABELS.items():
            rows.append(row(f"{quotes['orders']} orders, {what}, {interpreter}{suffix}",
                            {"median_ns": quotes[f"{way}{kind}"], "iqr_ns": None,
                             "iterations": quotes["repetitions"]},
                            speed_up=quotes[f"sequential{kind}"] / quotes[f"{way}{kind}"]))
    return rows


def peer_cell(peers, operation, median):
    """(text, record) of one peer for one operation."""
    if operation is None:
        return "", None
    if peers is None:
        return "skipped", {"unavailable": "peers skipped"}
    figure = peers.get(operation)
    if figure is None:
        return "unavailable", {"unavailable": "not reported"}
    if "unavailable" in figure:
        return "unavailable", figure
    ratio = median / figure["median_ns"] if median else None
    return f"{fmt_ns(figure['median_ns'])} ×{fmt_ratio(ratio)}", {**figure, "ours_over_peer": ratio}


COLUMNS = [("operation", 50, "<"), ("median", 9, ">"), ("IQR", 8, ">"), ("n", 6, ">"), ("M+S", 7, ">"),
           ("floor", 9, ">"), ("/floor", 6, ">"), ("reference", 9, ">"), ("speed-up", 8, ">")]
PEER_WIDTH = 15


def render(sections, peer_results, header_lines, notes, target_lines):
    columns = COLUMNS + [(peer, PEER_WIDTH, ">") for peer in PEERS]
    width = sum(w for _, w, _ in columns) + 2 * (len(columns) - 1)

    def line(cells):
        return "  ".join(f"{str(cell)[:w]:{align}{w}}" for cell, (_, w, align) in zip(cells, columns)).rstrip()

    out = list(header_lines)
    out.append("=" * width)
    out.append(line([name for name, _, _ in columns]))
    for title, rows in sections:
        out.append("-" * width)
        out.append(f"{title}")
        for r in rows:
            cells = [r["label"], fmt_ns(r["median_ns"]), fmt_ns(r["iqr_ns"]), fmt_count(r["iterations"]),
                     fmt_count(r["field_ops"]), fmt_ns(r["floor_ns"]), fmt_ratio(r["over_floor"]),
                     fmt_ns(r["reference_ns"]), fmt_ratio(r["speed_up"])]
            r["peers"] = {}
            for peer in PEERS:
                peer_ops = None if peer_results is None else peer_results.get(peer, {})
                text, record = peer_cell(peer_ops, r["peer_operation"], r["median_ns"])
                cells.append(text)
                if record is not None:
                    r["peers"][peer] = record
            out.append(line(cells))
    out.append("=" * width)
    out.extend(notes)
    out.extend(target_lines)
    return "\n".join(out)


# ---------------------------------------------------------------- targets


def targets(kernels, module, cold, bounds, sections, peer_results):
    k = kernels["kernels"]
    rows = {r["label"]: r for _, rs in sections for r in rs}
    peers = peer_results or {}

    def median(source, name):
        figure = source.get(name)
        return figure["median_ns"] if figure else None

    def peer(name, operation):
        figure = peers.get(name, {}).get(operation, {})
        return figure.get("median_ns")

    def ratio(numerator, denominator):
        return numerator / denominator if numerator and denominator else None

    found = []

    def target(text, value, limit, at_most=True, missing="a figure is missing"):
        met = None if value is None else (value <= limit if at_most else value >= limit)
        found.append({"target": text, "ratio": value, "limit": limit, "at_most": at_most, "met": met,
                      "missing": missing if value is None else None})

    mul = median(k, "field/mul")
    target("field multiplication within 1.15x of the MULX/ADCX/ADOX kernel (operator* / mul_adx)",
           ratio(mul, median(k, "field/mul_adx")), 1.15)
    target("field multiplication no slower than gnark-crypto's fr Mul (ours / gnark-crypto)",
           ratio(mul, peer("gnark-crypto", "field_mul")), 1.0, missing="gnark-crypto unavailable")
    fastest_inverse = min((f for f in (peer(p, "field_inverse") for p in ("arkworks", "gnark-crypto")) if f),
                          default=None)
    for row, name in (("field/inverse", "field inversion (constant time)"),
                      ("field/inverse_var", "field inversion (variable time)")):
        target(f"{name} no slower than the fastest peer (ours / fastest of arkworks, gnark-crypto)",
               ratio(median(k, row), fastest_inverse), 1.0, missing="no peer inversion measured")
    target("fixed-base (generator 5) <= 0.7x arkworks's (mul_generator(5) / arkworks)",
           ratio(median(k, "curve/mul_generator5"), peer("arkworks", "scalar_mul_fixed_base")), 0.7,
           missing="arkworks unavailable")
    permute = median(k, "poseidon/permute")
    target("one Poseidon permutation within 1.10x of its floor (ours / floor)",
           rows["Poseidon permutation (optimised)"]["over_floor"], 1.1)
    for name, label, limit in (("circomlibjs", "circomlibjs", 10), ("arkworks", "light-poseidon", 7)):
        target(f"one Poseidon permutation >= {limit}x faster than {label}'s 8-input Poseidon ({label} / ours)",
               ratio(peer(name, "poseidon_8_inputs"), permute), limit, at_most=False, missing=f"{label} unavailable")
    for label in ("fixed-base mul_generator(5, k)", "variable-base mul (constant time)", "variable-base mul_var (wNAF)",
                  "EdDSA verify_for_raw_message", "signer TxSignature::sign_msg"):
        target(f"{label} within 1.10x of its floor (ours / floor)", rows[label]["over_floor"], 1.1)
    for name in ("sign", "sign_transfer", "sign_withdraw", "sign_limit_order", "sign_liquidate",
                 "sign_signed_oracle_price", "eth_sign"):
        target(f"{name} within 1.2x of its floor (ours / floor)", rows[name]["over_floor"], 1.2)
    c_sign_transfer = median(k, "c/tarvo_sign_transfer")
    target("tarvo_sign_transfer within 1.05x of the core's sign_transfer (C call / C++ core)",
           ratio(c_sign_transfer, median(k, "core/sign_transfer")), 1.05)
    # Both figures are CPU time per call over the same pool: the kernel's pooled median and the module's mean.
    python_sign_transfer = module.get("sign_transfer")
    target("tarvo_sign_transfer faster than the Python call sign_transfer (C call / Python call, CPU time)",
           ratio(c_sign_transfer, python_sign_transfer["cpu_mean_ns"] if python_sign_transfer else None), 1.0)
    sign = median(module, "sign")
    openssl_sign, openssl_verify = peer("openssl-ed25519", "eddsa_sign"), peer("openssl-ed25519", "eddsa_verify")
    target("sign (whole Python call) <= 0.8x OpenSSL's Ed25519 sign (ours / OpenSSL)", ratio(sign, openssl_sign), 0.8,
           missing="OpenSSL Ed25519 unavailable")
    target("verify_signature <= 0.6x OpenSSL's Ed25519 verify (ours / OpenSSL)",
           ratio(median(module, "verify_signature"), openssl_verify), 0.6, missing="OpenSSL Ed25519 unavailable")
    target("cold start (import + first hash + first signature) < 1.5 ms (measured / 1.5 ms)",
           cold["total_ns"]["median_ns"] / COLD_START_LIMIT_NS, 1.0)
    for label, figures in rows.items():
        for function, limit in (("sign", 1.9), ("hash_transfer", 1.8)):
            if label.startswith(f"{function}, 2 threads, "):
                target(f"{label}: throughput >= {limit}x one thread's (2 threads / 1)", figures["speed_up"], limit,
                       at_most=False)
    lines = []
    for t in found:
        if t["met"] is None:
            lines.append(f"target: {t['target']}: not measured ({t['missing']})")
        else:
            lines.append(f"target: {t['target']}: measured ratio {fmt_ratio(t['ratio'])} "
                         f"({'met' if t['met'] else 'not met'})")
    return found, lines


def notes_for(peer_source, peer_results, threads, kernels, bounds):
    notes = [
        "median/IQR (75th - 25th percentile), n = calls timed. Module functions: wall time of single calls, median"
        " per input, averaged over the 64 inputs of the pool;",
        "  C++ kernels: Google Benchmark repetitions, thread CPU time per operation (other processes' share of the"
        " core left out); cold start, threads: wall time.",
        "M+S: field multiplications + squarings counted in the counting build (mean over the inputs), as the "
        "code performs them now.",
        f"floor: work x measured cost; one multiplication = {fmt_ns(bounds.mul_ns)} (field mul row), one SHA-256 "
        f"compression = {fmt_ns(bounds.compression_ns)} (its row).",
        "  C++ kernel rows: the row's own M+S (+ its nonce). Module rows: the least work of the function:",
        "  sign = 3 fixed-base (sk·G, r·G, s·G) + 1 variable-base (m·A) + 1 inversion + the nonce; "
        "sign_* add their hash's permutations; eth_sign adds 1 inversion;",
        "  verify_signature = 2 square roots (decode R, A) + 2 variable-base by l (subgroup checks) + 1 variable-base"
        " + 1 fixed-base; hash_* = its permutations;",
        "  is_on_curve, public_key_to_xy = 1 square root + 1 inversion; private_key_to_public_key_xy = 1 fixed-base +"
        " 1 inversion; private_key_from_seed: SHA-256 only, no floor.",
        "  the nonce: its HMAC-SHA-256 evaluations counted per input, each costing at least its SHA-256 "
        "compressions (2 per key, kept while consecutive evaluations share it,",
        "  + the message blocks + 1); mean per sign call "
        f"{bounds.functions['sign']['nonce_hmac_calls']:.1f} evaluations, "
        f"{bounds.functions['sign']['nonce_sha256_compressions']:.0f} compressions "
        "(about 42 candidates are expected, 2 evaluations each).",
        "peer cells: the peer's median, then ×(ours / peer), below 1 where we are faster. Peers: " + peer_source + ".",
    ]
    for peer in PEERS:
        reasons = {}
        for operation, figure in (peer_results or {}).get(peer, {}).items():
            if "unavailable" in figure:
                reasons.setdefault(figure["unavailable"], []).append(operation)
        for reason, operations in reasons.items():
            notes.append(f"  unavailable: {peer} {', '.join(operations)}: {reason}")
        extras = [f"{operation} {fmt_ns(figure['median_ns'])}"
                  for operation, figure in (peer_results or {}).get(peer, {}).items()
                  if "median_ns" in figure and operation not in STANDARD_PEER_OPERATIONS]
        if extras:
            notes.append(f"  {peer} also measured: {', '.join(extras)}")
    if threads["note"]:
        notes.append(f"threads: {threads['note']}")
    for name, message in kernels["errors"].items():
        notes.append(f"C++ benchmark {name} failed: {message}")
    return notes


STANDARD_PEER_OPERATIONS = {"field_mul", "field_square", "field_inverse", "scalar_mul_variable_base",
                            "scalar_mul_fixed_base", "eddsa_sign", "eddsa_verify", "poseidon_8_inputs"}
