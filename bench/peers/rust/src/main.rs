//! Peer benchmark: arkworks (ark-bn254 / ark-ed-on-bn254) and light-poseidon.
//!
//! Prints one JSON object on stdout:
//!   {"operation": {"median_ns": n, "iqr_ns": n, "iterations": n} | {"unavailable": "reason"}}
//! Progress goes to stderr. Per-operation time budget: PEER_BENCH_SECONDS (default 1.5).
//!
//! Method: warm up, pick a batch size so one timed sample lasts >= ~50 us, then take
//! samples until the budget is spent (at least MIN_SAMPLES). Each sample gives
//! ns/op = elapsed / batch; median and interquartile range are over the samples.

use std::hint::black_box;
use std::time::{Duration, Instant, SystemTime, UNIX_EPOCH};

use ark_bn254::Fr as Bn254Fr;
use ark_ec::scalar_mul::BatchMulPreprocessing;
use ark_ec::{CurveGroup, PrimeGroup};
use ark_ed_on_bn254::{EdwardsProjective, Fr as JubScalar};
use ark_ff::{Field, PrimeField};
use ark_std::rand::{rngs::StdRng, SeedableRng};
use ark_std::UniformRand;
use light_poseidon::{Poseidon, PoseidonHasher};

const MIN_SAMPLE: Duration = Duration::from_micros(50);
const MIN_SAMPLES: usize = 15;
const MAX_SAMPLES: usize = 5000;
const POOL: usize = 16;

struct Stats {
    median_ns: f64,
    iqr_ns: f64,
    iterations: u64,
}

fn quantile(sorted: &[f64], q: f64) -> f64 {
    let pos = (sorted.len() - 1) as f64 * q;
    let lo = pos.floor() as usize;
    let hi = pos.ceil() as usize;
    sorted[lo] + (sorted[hi] - sorted[lo]) * (pos - lo as f64)
}

/// `f(i)` performs one operation; `i` is a running counter used to cycle inputs.
fn measure<R, F: FnMut(usize) -> R>(name: &str, budget: Duration, mut f: F) -> Stats {
    let mut i = 0usize;
    let mut run_batch = |n: u64| -> Duration {
        let t0 = Instant::now();
        for _ in 0..n {
            black_box(f(black_box(i)));
            i = i.wrapping_add(1);
        }
        t0.elapsed()
    };
    let warm_end = Instant::now() + budget / 5;
    while Instant::now() < warm_end {
        run_batch(1);
    }
    let mut batch: u64 = 1;
    while run_batch(batch) < MIN_SAMPLE && batch < (1 << 24) {
        batch *= 2;
    }
    let mut samples = Vec::with_capacity(MAX_SAMPLES);
    let end = Instant::now() + budget;
    while (samples.len() < MIN_SAMPLES || Instant::now() < end) && samples.len() < MAX_SAMPLES {
        samples.push(run_batch(batch).as_nanos() as f64 / batch as f64);
    }
    samples.sort_by(|a, b| a.partial_cmp(b).unwrap());
    let s = Stats {
        median_ns: (quantile(&samples, 0.5) * 10.0).round() / 10.0,
        iqr_ns: ((quantile(&samples, 0.75) - quantile(&samples, 0.25)) * 10.0).round() / 10.0,
        iterations: samples.len() as u64 * batch,
    };
    eprintln!(
        "[rust] {name}: median {} ns, iqr {} ns, {} iterations",
        s.median_ns, s.iqr_ns, s.iterations
    );
    s
}

fn json_escape(s: &str) -> String {
    s.replace('\\', "\\\\").replace('"', "\\\"")
}

fn main() {
    let secs: f64 = std::env::var("PEER_BENCH_SECONDS")
        .ok()
        .and_then(|v| v.parse().ok())
        .unwrap_or(1.5);
    let budget = Duration::from_secs_f64(secs);
    let seed = SystemTime::now()
        .duration_since(UNIX_EPOCH)
        .map(|d| d.as_nanos() as u64)
        .unwrap_or(1);
    let mut rng = StdRng::seed_from_u64(seed);

    // (name, Ok(stats) | Err(reason))
    let mut results: Vec<(&str, Result<Stats, String>)> = Vec::new();

    // --- BN254 scalar field Fr (also the base field of Baby Jubjub) ---
    let fa: Vec<Bn254Fr> = (0..POOL).map(|_| Bn254Fr::rand(&mut rng)).collect();
    let fb: Vec<Bn254Fr> = (0..POOL).map(|_| Bn254Fr::rand(&mut rng)).collect();
    results.push((
        "field_mul",
        Ok(measure("field_mul", budget, |i| fa[i % POOL] * fb[i % POOL])),
    ));
    results.push((
        "field_square",
        Ok(measure("field_square", budget, |i| fa[i % POOL].square())),
    ));
    results.push((
        "field_inverse",
        Ok(measure("field_inverse", budget, |i| fa[i % POOL].inverse())),
    ));

    // --- Baby Jubjub (ark-ed-on-bn254, twisted Edwards over BN254 Fr) ---
    let g = EdwardsProjective::generator();
    let pts: Vec<EdwardsProjective> = (0..POOL)
        .map(|_| g * JubScalar::rand(&mut rng))
        .collect();
    let scs: Vec<JubScalar> = (0..POOL).map(|_| JubScalar::rand(&mut rng)).collect();
    results.push((
        "scalar_mul_variable_base",
        Ok(measure("scalar_mul_variable_base", budget, |i| {
            pts[i % POOL] * scs[i % POOL]
        })),
    ));

    // Fixed base: ark-ec's BatchMulPreprocessing (windowed table of multiples of the
    // generator). The table is sized as for 4096 scalars (window 8). One call
    // multiplies one scalar and, as the API always does, returns an affine point.
    let table = BatchMulPreprocessing::with_num_scalars_and_scalar_size(
        g,
        4096,
        JubScalar::MODULUS_BIT_SIZE as usize,
    );
    eprintln!("[rust] fixed-base table window = {}", table.window);
    for k in 0..POOL {
        let a = table.batch_mul(&scs[k..k + 1])[0];
        assert_eq!(a, (g * scs[k]).into_affine(), "self-check: fixed-base result");
        assert!(a.is_on_curve());
    }
    results.push((
        "scalar_mul_fixed_base",
        Ok(measure("scalar_mul_fixed_base", budget, |i| {
            let k = i % POOL;
            table.batch_mul(&scs[k..k + 1])
        })),
    ));

    let no_eddsa = "arkworks has no EdDSA over ark-ed-on-bn254 (ark-crypto-primitives offers Schnorr only); \
                    no widely used arkworks-based EdDSA-Poseidon crate";
    results.push(("eddsa_sign", Err(no_eddsa.to_string())));
    results.push(("eddsa_verify", Err(no_eddsa.to_string())));

    // --- Poseidon, circom parameters, 8 inputs (width 9) via light-poseidon ---
    match Poseidon::<Bn254Fr>::new_circom(8) {
        Ok(mut hasher) => {
            let inputs: Vec<Bn254Fr> = (1u64..=8).map(Bn254Fr::from).collect();
            let h = hasher.hash(&inputs).expect("poseidon hash");
            eprintln!("[rust] poseidon([1..8]) = {}", h);
            results.push((
                "poseidon_8_inputs",
                Ok(measure("poseidon_8_inputs", budget, |_| {
                    hasher.hash(black_box(&inputs)).unwrap()
                })),
            ));
        }
        Err(e) => results.push(("poseidon_8_inputs", Err(format!("light-poseidon: {e}")))),
    }

    let body: Vec<String> = results
        .iter()
        .map(|(name, r)| match r {
            Ok(s) => format!(
                "\"{name}\":{{\"median_ns\":{},\"iqr_ns\":{},\"iterations\":{}}}",
                s.median_ns, s.iqr_ns, s.iterations
            ),
            Err(reason) => format!("\"{name}\":{{\"unavailable\":\"{}\"}}", json_escape(reason)),
        })
        .collect();
    println!("{{{}}}", body.join(","));
}
