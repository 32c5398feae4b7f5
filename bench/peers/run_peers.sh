#!/usr/bin/env bash
# Install (first run only), build and run the peer benchmark harnesses, then print ONE
# JSON document on stdout:
#   {"peer": {"operation": {"median_ns": n, "iqr_ns": n, "iterations": n} | {"unavailable": "reason"}}}
# Progress and tool output go to stderr. A peer that cannot be installed or run is
# reported as unavailable; the script still exits 0.
#
# Everything is installed and built under
#   ${TARVO_CACHE:-$HOME/.cache/tarvo_python_sdk}/peers/{js,rust,go}
# (harness sources are copied there), so nothing is written into the checkout.
#
# Environment:
#   TARVO_CACHE          cache root (default $HOME/.cache/tarvo_python_sdk)
#   PEER_BENCH_SECONDS   timed budget per operation, after a warm-up of 1/5 of it (default 1.5)
#   PEER_OPENSSL_RUNS    number of `openssl speed -seconds 2 ed25519` runs (default 3)
#   PEERS                space-separated subset of: js rust go openssl (default: all)

set -u

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
CACHE="${TARVO_CACHE:-$HOME/.cache/tarvo_python_sdk}/peers"
export PEER_BENCH_SECONDS="${PEER_BENCH_SECONDS:-1.5}"
OPENSSL_RUNS="${PEER_OPENSSL_RUNS:-3}"
PEERS="${PEERS:-js rust go openssl}"
BUILD_TIMEOUT=1800
RUN_TIMEOUT=300

OUT="$(mktemp -d)"
trap 'rm -rf "$OUT"' EXIT

log() { echo "[run_peers] $*" >&2; }

want() { case " $PEERS " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }

# copy a file only when its content changed (keeps cargo/go incremental builds no-ops)
sync_file() {
    mkdir -p "$(dirname "$2")"
    cmp -s "$1" "$2" 2>/dev/null || cp "$1" "$2"
}

# run_harness NAME DIR CMD...: run a harness, its stdout to $OUT/NAME.json
run_harness() {
    local name="$1" dir="$2"
    shift 2
    log "running $name harness"
    if ! (cd "$dir" && timeout "$RUN_TIMEOUT" "$@") >"$OUT/$name.json"; then
        echo "$name harness failed or timed out (see stderr of run_peers.sh)" >"$OUT/$name.reason"
    fi
}

fail() { # fail NAME REASON
    log "$1: $2"
    echo "$2" >"$OUT/$1.reason"
}

# ---------------------------------------------------------------- circomlibjs (npm)
peer_js() {
    local dir="$CACHE/js"
    if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
        fail circomlibjs "node/npm not found"; return
    fi
    mkdir -p "$dir"
    sync_file "$HERE/js/package.json" "$dir/package.json"
    sync_file "$HERE/js/bench.mjs" "$dir/bench.mjs"
    if [ ! -d "$dir/node_modules/circomlibjs" ] || ! cmp -s "$dir/package.json" "$dir/.installed-package.json"; then
        log "installing circomlibjs into $dir (node $(node --version))"
        if (cd "$dir" && timeout "$BUILD_TIMEOUT" npm install --no-audit --no-fund --loglevel=error) >&2; then
            cp "$dir/package.json" "$dir/.installed-package.json"
        else
            fail circomlibjs "npm install of circomlibjs failed"; return
        fi
    fi
    run_harness circomlibjs "$dir" node bench.mjs
}

# ---------------------------------------------------------------- arkworks + light-poseidon (Rust crates)
peer_rust() {
    local dir="$CACHE/rust"
    if ! command -v cargo >/dev/null; then
        fail arkworks "cargo not found"; return
    fi
    mkdir -p "$dir/src"
    sync_file "$HERE/rust/Cargo.toml" "$dir/Cargo.toml"
    for f in "$HERE"/rust/src/*.rs; do sync_file "$f" "$dir/src/$(basename "$f")"; done
    log "building arkworks harness in $dir ($(rustc --version 2>/dev/null); first build takes a few minutes)"
    if ! (cd "$dir" && timeout "$BUILD_TIMEOUT" cargo build --release -j 2 --quiet) >&2; then
        fail arkworks "cargo build of the arkworks harness failed"; return
    fi
    run_harness arkworks "$dir" ./target/release/tarvo-peer-bench-rust
}

# ---------------------------------------------------------------- gnark-crypto (Go modules)
peer_go() {
    local dir="$CACHE/go"
    if ! command -v go >/dev/null; then
        fail gnark-crypto "go not found"; return
    fi
    mkdir -p "$dir"
    sync_file "$HERE/go/go.mod" "$dir/go.mod"
    sync_file "$HERE/go/main.go" "$dir/main.go"
    if [ -f "$HERE/go/go.sum" ]; then sync_file "$HERE/go/go.sum" "$dir/go.sum"; fi
    log "building gnark-crypto harness in $dir ($(go version))"
    if ! (cd "$dir" && timeout "$BUILD_TIMEOUT" go build -o peerbench .) >&2; then
        log "go build failed; resolving modules with 'go mod tidy' and retrying"
        if ! (cd "$dir" && timeout "$BUILD_TIMEOUT" go mod tidy && timeout "$BUILD_TIMEOUT" go build -o peerbench .) >&2; then
            fail gnark-crypto "go build of the gnark-crypto harness failed"; return
        fi
    fi
    run_harness gnark-crypto "$dir" ./peerbench
}

# ---------------------------------------------------------------- OpenSSL Ed25519 reference
peer_openssl() {
    if ! command -v openssl >/dev/null; then
        fail openssl "openssl not found"; return
    fi
    log "running openssl speed -seconds 2 ed25519 x$OPENSSL_RUNS ($(openssl version))"
    local i
    for i in $(seq 1 "$OPENSSL_RUNS"); do
        if ! timeout "$RUN_TIMEOUT" openssl speed -seconds 2 ed25519 \
            >"$OUT/openssl_run$i.out" 2>"$OUT/openssl_run$i.err"; then
            fail openssl "openssl speed ed25519 failed: $(tail -n 1 "$OUT/openssl_run$i.err")"
            rm -f "$OUT/openssl_run$i.out"
            return
        fi
    done
}

T0=$SECONDS
for pair in js:circomlibjs rust:arkworks go:gnark-crypto openssl:openssl; do
    key="${pair%%:*}" name="${pair#*:}"
    if want "$key"; then
        "peer_$key"
    else
        echo "not run (PEERS=\"$PEERS\")" >"$OUT/$name.reason"
    fi
done
log "all harnesses done in $((SECONDS - T0)) s"

if ! python3 "$HERE/combine.py" "$OUT"; then
    log "combine.py failed"
    echo '{}'
fi
exit 0
