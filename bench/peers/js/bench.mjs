// Peer benchmark: circomlibjs (Baby Jubjub, EdDSA-Poseidon, Poseidon) on BN254 Fr.
//
// Prints one JSON object on stdout:
//   {"operation": {"median_ns": n, "iqr_ns": n, "iterations": n} | {"unavailable": "reason"}}
// Progress goes to stderr. Per-operation time budget: PEER_BENCH_SECONDS (default 1.5).
//
// Method: warm up, pick a batch size so one timed sample lasts >= ~50 us, then take
// samples until the budget is spent (at least MIN_SAMPLES). Each sample gives
// ns/op = elapsed / batch; median and interquartile range are over the samples.

import { randomBytes } from "node:crypto";
import { buildBabyjub, buildEddsa, buildPoseidon } from "circomlibjs";

const BUDGET_NS = BigInt(Math.round(parseFloat(process.env.PEER_BENCH_SECONDS || "1.5") * 1e9));
const WARMUP_NS = BUDGET_NS / 5n;
const MIN_SAMPLE_NS = 50_000n;
const MIN_SAMPLES = 15;
const MAX_SAMPLES = 2000;

const now = () => process.hrtime.bigint();
const log = (...a) => console.error("[js]", ...a);

function quantile(sorted, q) {
  const pos = (sorted.length - 1) * q;
  const lo = Math.floor(pos);
  const hi = Math.ceil(pos);
  return sorted[lo] + (sorted[hi] - sorted[lo]) * (pos - lo);
}

// fn(i) performs one operation; i is a running counter so inputs can be cycled.
function measure(name, fn) {
  let i = 0;
  let sink = 0;
  const runBatch = (n) => {
    const t0 = now();
    for (let k = 0; k < n; k++) {
      const r = fn(i++);
      if (r) sink ^= 1;
    }
    return now() - t0;
  };
  // warm-up
  const wEnd = now() + WARMUP_NS;
  do { runBatch(1); } while (now() < wEnd);
  // calibrate batch size
  let batch = 1;
  while (runBatch(batch) < MIN_SAMPLE_NS && batch < (1 << 24)) batch *= 2;
  // sample
  const samples = [];
  const end = now() + BUDGET_NS;
  while ((samples.length < MIN_SAMPLES || now() < end) && samples.length < MAX_SAMPLES) {
    samples.push(Number(runBatch(batch)) / batch);
  }
  samples.sort((a, b) => a - b);
  const res = {
    median_ns: Math.round(quantile(samples, 0.5) * 10) / 10,
    iqr_ns: Math.round((quantile(samples, 0.75) - quantile(samples, 0.25)) * 10) / 10,
    iterations: samples.length * batch,
  };
  log(`${name}: median ${res.median_ns} ns, iqr ${res.iqr_ns} ns, ${res.iterations} iterations${sink < 0 ? "" : ""}`);
  return res;
}

function randomBelow(n) {
  return BigInt("0x" + randomBytes(64).toString("hex")) % n;
}

async function main() {
  const out = {};
  const POOL = 16;

  log("building circomlibjs objects");
  const babyJub = await buildBabyjub();
  const eddsa = await buildEddsa();
  const poseidon = await buildPoseidon();
  const F = babyJub.F; // BN254 Fr (ffjavascript WebAssembly field)
  const r = F.p;

  // Field arithmetic of the field circomlibjs uses for Baby Jubjub coordinates.
  const fa = []; const fb = [];
  for (let k = 0; k < POOL; k++) { fa.push(F.e(randomBelow(r))); fb.push(F.e(randomBelow(r))); }
  out.field_mul = measure("field_mul", (i) => F.mul(fa[i & 15], fb[i & 15]));
  out.field_square = measure("field_square", (i) => F.square(fa[i & 15]));
  out.field_inverse = measure("field_inverse", (i) => F.inv(fa[i & 15]));

  // Scalar multiplication: random point (multiple of Base8) times random scalar < subgroup order.
  const pts = []; const scs = [];
  for (let k = 0; k < POOL; k++) {
    pts.push(babyJub.mulPointEscalar(babyJub.Base8, randomBelow(babyJub.subOrder)));
    scs.push(randomBelow(babyJub.subOrder));
  }
  out.scalar_mul_variable_base = measure("scalar_mul_variable_base",
    (i) => babyJub.mulPointEscalar(pts[i & 15], scs[i & 15]));
  out.scalar_mul_fixed_base = {
    unavailable: "circomlibjs has no fixed-base (precomputed table) multiplication; " +
      "mulPointEscalar(Base8, e) runs the same generic double-and-add as the variable-base case",
  };

  // EdDSA over Baby Jubjub with Poseidon as the message hash.
  const keys = []; const pubs = []; const msgs = []; const sigs = [];
  for (let k = 0; k < POOL; k++) {
    const prv = randomBytes(32);
    keys.push(prv);
    pubs.push(eddsa.prv2pub(prv));
    msgs.push(F.e(randomBelow(r)));
  }
  for (let k = 0; k < POOL; k++) sigs.push(eddsa.signPoseidon(keys[k], msgs[k]));
  for (let k = 0; k < POOL; k++) {
    if (!eddsa.verifyPoseidon(msgs[k], sigs[k], pubs[k])) throw new Error("self-check: signature does not verify");
  }
  out.eddsa_sign = measure("eddsa_sign", (i) => eddsa.signPoseidon(keys[i & 15], msgs[i & 15]));
  out.eddsa_verify = measure("eddsa_verify", (i) => eddsa.verifyPoseidon(msgs[i & 15], sigs[i & 15], pubs[i & 15]));

  // Poseidon, 8 inputs (width 9), inputs given as small integers as in poseidon([1..8]).
  const inputs = [1, 2, 3, 4, 5, 6, 7, 8];
  const h = poseidon.F.toString(poseidon(inputs));
  log(`poseidon([1..8]) = ${h}`);
  out.poseidon_8_inputs = measure("poseidon_8_inputs", () => poseidon(inputs));

  process.stdout.write(JSON.stringify(out) + "\n");
}

main().then(() => process.exit(0), (e) => { console.error("[js] error:", e && e.stack || e); process.exit(1); });
