// Peer benchmark: gnark-crypto (BN254 Fr, BN254 twisted Edwards / Baby Jubjub, EdDSA-MiMC, Poseidon2).
//
// Prints one JSON object on stdout:
//
//	{"operation": {"median_ns": n, "iqr_ns": n, "iterations": n} | {"unavailable": "reason"}}
//
// Progress goes to stderr. Per-operation time budget: PEER_BENCH_SECONDS (default 1.5).
//
// Method: warm up, pick a batch size so one timed sample lasts >= ~50 us, then take
// samples until the budget is spent (at least minSamples). Each sample gives
// ns/op = elapsed / batch; median and interquartile range are over the samples.
package main

import (
	"crypto/rand"
	"encoding/json"
	"fmt"
	"math"
	"math/big"
	"os"
	"sort"
	"strconv"
	"time"

	"github.com/consensys/gnark-crypto/ecc/bn254/fr"
	"github.com/consensys/gnark-crypto/ecc/bn254/fr/mimc"
	"github.com/consensys/gnark-crypto/ecc/bn254/fr/poseidon2"
	"github.com/consensys/gnark-crypto/ecc/bn254/twistededwards"
	"github.com/consensys/gnark-crypto/ecc/bn254/twistededwards/eddsa"
)

const (
	minSample  = 50 * time.Microsecond
	minSamples = 15
	maxSamples = 5000
	pool       = 16
)

type result map[string]any

var (
	budget = 1500 * time.Millisecond
	// sinks keep results observable so the compiler cannot drop the work.
	sinkFr    fr.Element
	sinkPoint twistededwards.PointAffine
	sinkExt   twistededwards.PointExtended
	sinkBytes []byte
	sinkBool  bool
)

func quantile(sorted []float64, q float64) float64 {
	pos := float64(len(sorted)-1) * q
	lo, hi := int(math.Floor(pos)), int(math.Ceil(pos))
	return sorted[lo] + (sorted[hi]-sorted[lo])*(pos-float64(lo))
}

func round1(x float64) float64 { return math.Round(x*10) / 10 }

// measure times f(i), where i is a running counter used to cycle inputs.
func measure(name string, f func(i int)) result {
	i := 0
	runBatch := func(n int) time.Duration {
		t0 := time.Now()
		for k := 0; k < n; k++ {
			f(i)
			i++
		}
		return time.Since(t0)
	}
	warmEnd := time.Now().Add(budget / 5)
	for time.Now().Before(warmEnd) {
		runBatch(1)
	}
	batch := 1
	for runBatch(batch) < minSample && batch < 1<<24 {
		batch *= 2
	}
	samples := make([]float64, 0, maxSamples)
	end := time.Now().Add(budget)
	for (len(samples) < minSamples || time.Now().Before(end)) && len(samples) < maxSamples {
		samples = append(samples, float64(runBatch(batch).Nanoseconds())/float64(batch))
	}
	sort.Float64s(samples)
	r := result{
		"median_ns":  round1(quantile(samples, 0.5)),
		"iqr_ns":     round1(quantile(samples, 0.75) - quantile(samples, 0.25)),
		"iterations": len(samples) * batch,
	}
	fmt.Fprintf(os.Stderr, "[go] %s: median %v ns, iqr %v ns, %v iterations\n", name, r["median_ns"], r["iqr_ns"], r["iterations"])
	return r
}

func unavailable(reason string) result { return result{"unavailable": reason} }

func randScalar(order *big.Int) *big.Int {
	s, err := rand.Int(rand.Reader, order)
	if err != nil {
		panic(err)
	}
	return s
}

func main() {
	if v := os.Getenv("PEER_BENCH_SECONDS"); v != "" {
		if s, err := strconv.ParseFloat(v, 64); err == nil && s > 0 {
			budget = time.Duration(s * float64(time.Second))
		}
	}
	out := map[string]result{}

	// --- BN254 scalar field Fr (also the base field of the twisted Edwards curve) ---
	var fa, fb [pool]fr.Element
	for k := 0; k < pool; k++ {
		fa[k].SetRandom()
		fb[k].SetRandom()
	}
	out["field_mul"] = measure("field_mul", func(i int) { sinkFr.Mul(&fa[i%pool], &fb[i%pool]) })
	out["field_square"] = measure("field_square", func(i int) { sinkFr.Square(&fa[i%pool]) })
	out["field_inverse"] = measure("field_inverse", func(i int) { sinkFr.Inverse(&fa[i%pool]) })

	// --- Baby Jubjub in a = -1 form (ecc/bn254/twistededwards) ---
	curve := twistededwards.GetEdwardsCurve()
	var pts [pool]twistededwards.PointExtended
	var scs [pool]*big.Int
	for k := 0; k < pool; k++ {
		var p twistededwards.PointAffine
		p.ScalarMultiplication(&curve.Base, randScalar(&curve.Order))
		pts[k].FromAffine(&p)
		scs[k] = randScalar(&curve.Order)
	}
	// Variable base in extended coordinates (output left unnormalised, like arkworks' Projective).
	out["scalar_mul_variable_base"] = measure("scalar_mul_variable_base", func(i int) {
		sinkExt.ScalarMultiplication(&pts[i%pool], scs[i%pool])
	})
	// Fixed base: precomputed table of multiples of the base point; returns an affine point.
	for k := 0; k < pool; k++ {
		var a, b twistededwards.PointAffine
		a.ScalarMultiplicationBase(scs[k])
		b.ScalarMultiplication(&curve.Base, scs[k])
		if !a.Equal(&b) {
			panic("self-check: fixed-base result differs from variable-base result")
		}
	}
	out["scalar_mul_fixed_base"] = measure("scalar_mul_fixed_base", func(i int) {
		sinkPoint.ScalarMultiplicationBase(scs[i%pool])
	})

	// --- EdDSA over the same curve, hash = MiMC (gnark-crypto's own scheme) ---
	var keys [pool]*eddsa.PrivateKey
	var msgs, sigs [pool][]byte
	for k := 0; k < pool; k++ {
		key, err := eddsa.GenerateKey(rand.Reader)
		if err != nil {
			panic(err)
		}
		keys[k] = key
		var m fr.Element
		m.SetRandom()
		mb := m.Bytes()
		msgs[k] = mb[:]
		sig, err := key.Sign(msgs[k], mimc.NewMiMC())
		if err != nil {
			panic(err)
		}
		sigs[k] = sig
		ok, err := key.PublicKey.Verify(sig, msgs[k], mimc.NewMiMC())
		if err != nil || !ok {
			panic("self-check: signature does not verify")
		}
	}
	hSign := mimc.NewMiMC()
	out["eddsa_sign"] = measure("eddsa_sign", func(i int) {
		sig, err := keys[i%pool].Sign(msgs[i%pool], hSign)
		if err != nil {
			panic(err)
		}
		sinkBytes = sig
	})
	hVerify := mimc.NewMiMC()
	out["eddsa_verify"] = measure("eddsa_verify", func(i int) {
		ok, err := keys[i%pool].PublicKey.Verify(sigs[i%pool], msgs[i%pool], hVerify)
		if err != nil {
			panic(err)
		}
		sinkBool = ok
	})

	// --- Poseidon ---
	out["poseidon_8_inputs"] = unavailable("gnark-crypto has no circom-compatible Poseidon; it offers Poseidon2 " +
		"(ecc/bn254/fr/poseidon2, widths 2,3,4,8,12,16) - see poseidon2_t12_permutation and poseidon2_md_hash_8_inputs")

	// Poseidon2 permutation of width 12 (smallest offered width that holds 8 inputs + 1 capacity element).
	perm := poseidon2.NewPermutation(12, 8, 57)
	var state [12]fr.Element
	out["poseidon2_t12_permutation"] = measure("poseidon2_t12_permutation", func(i int) {
		for k := 0; k < 8; k++ {
			state[k].SetUint64(uint64(k + 1))
		}
		for k := 8; k < 12; k++ {
			state[k].SetZero()
		}
		if err := perm.Permutation(state[:]); err != nil {
			panic(err)
		}
	})

	// gnark-crypto's registered Poseidon2 hash (Merkle-Damgard over the width-2 permutation), 8 elements.
	var in8 [8][fr.Bytes]byte
	for k := 0; k < 8; k++ {
		var e fr.Element
		e.SetUint64(uint64(k + 1))
		in8[k] = e.Bytes()
	}
	md := poseidon2.NewMerkleDamgardHasher()
	out["poseidon2_md_hash_8_inputs"] = measure("poseidon2_md_hash_8_inputs", func(i int) {
		md.Reset()
		for k := 0; k < 8; k++ {
			if _, err := md.Write(in8[k][:]); err != nil {
				panic(err)
			}
		}
		sinkBytes = md.Sum(sinkBytes[:0])
	})

	enc, err := json.Marshal(out)
	if err != nil {
		panic(err)
	}
	fmt.Println(string(enc))
}
