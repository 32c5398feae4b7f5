# The Python suite on the baseline x86-64 CPU (sourced by scripts/build-wheels and scripts/ct-check).
# qemu's user-mode emulation of its qemu64 CPU has none of SSE4.1, BMI2, ADX, AVX, AVX2, AVX-512 or the SHA
# extensions and stops a program with SIGILL at the first such instruction, so a pass shows that the module
# runs only baseline instructions unless the CPU detection finds more.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# qemu's x86-64 user-mode emulator, installed on first use (Debian's qemu-user-static); prints its path.
baseline_cpu_qemu() {
  local qemu
  qemu=$(command -v qemu-x86_64-static || command -v qemu-x86_64 || true)
  if [ -z "$qemu" ]; then
    install_debian_packages qemu-user-static
    qemu=$(command -v qemu-x86_64-static)
  fi
  echo "$qemu"
}

# Installs wheel $2 into a fresh virtual environment of interpreter $1 and runs the test suite of source tree
# $3 against it with every interpreter process emulated on qemu64: the environment's python is a script that
# starts the interpreter under qemu, so the processes the tests start through sys.executable are emulated
# too. The installation runs natively. TARVO_EMULATED=1 tells the tests (fewer hypothesis examples).
baseline_cpu_test_wheel() {
  local python=$1 wheel=$2 src=$3
  local qemu; qemu=$(baseline_cpu_qemu) || exit 1
  local work; work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-baseline-cpu.XXXXXX")
  "$python" -m venv "$work/venv" || die "$python -m venv failed"
  "$work/venv/bin/python" -m pip install -q --disable-pip-version-check --only-binary=:all: "$wheel" pytest \
    hypothesis mypy || die "installing $(basename "$wheel") and the test tools failed"
  local real; real=$(readlink -f "$work/venv/bin/python")
  local name
  for name in "$work"/venv/bin/python*; do
    rm "$name"
    printf '#!/bin/sh\nexec %s -cpu qemu64 -0 "$0" %s "$@"\n' "$qemu" "$real" > "$name"
    chmod +x "$name"
  done
  mkdir "$work/run"
  local status=0
  (
    cd "$work/run"
    # The interpreter and a child it starts both run as qemu (the process name), with the installed module.
    "$work/venv/bin/python" "$ROOT/scripts/lib/check_emulated.py" || exit 1
    TARVO_EMULATED=1 "$work/venv/bin/python" -m pytest -q -p no:cacheprovider "$src/tests"
  ) || status=$?
  rm -rf "$work"
  return "$status"
}
