# What every script of scripts/ and every scripts/lib/*.sh shares (sourced): messages and failure, the
# answer to --help, the paths of the checkout, the cache and the tools' Python environment, installing
# Debian packages, and making a cached thing once under a lock. Sourcing it only defines names, so that scripts/test-wheel can
# source it inside a bare root filesystem too.
# shellcheck disable=SC2034 # the paths are for the scripts that source this file
[ -z "${TARVO_COMMON_SOURCED:-}" ] || return 0
TARVO_COMMON_SOURCED=1

# The checkout this file belongs to; the cache kept between runs, outside the checkout; the Python
# environments of the tools and of the free-threaded interpreter (scripts/bootstrap makes them).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
CACHE=${TARVO_CACHE:-$HOME/.cache/tarvo_python_sdk}
VENV=${TARVO_VENV:-$ROOT/.venv}
VENV_FT=${TARVO_VENV_FT:-$ROOT/.venv-ft}
# What one script puts into the cache for others: the CPython 3.13 and free-threaded 3.13t that
# scripts/bootstrap builds, the arm64 sysroot of scripts/cross-aarch64.
CACHED_PYTHON=$CACHE/python3.13/bin/python3.13
CACHED_PYTHON_FT=$CACHE/python3.13t/bin/python3.13t
AARCH64_SYSROOT=$CACHE/aarch64/sysroot

# Messages go to standard error, which leaves standard output to the results that functions print.
SCRIPT_NAME=$(basename "$0")
say() { printf '\033[1m[%s]\033[0m %s\n' "$SCRIPT_NAME" "$*" >&2; }
die() { printf '\033[1;31m[%s] FAILED:\033[0m %s\n' "$SCRIPT_NAME" "$*" >&2; exit 1; }
usage_error() { printf '%s: %s\n' "$SCRIPT_NAME" "$*" >&2; exit 2; }
# Turns any failing command into a failure naming its line (for scripts whose steps say nothing themselves).
die_on_error() { trap 'die "command failed at line $LINENO: $BASH_COMMAND"' ERR; }

# Answers -h or --help among the arguments $@, before any work: prints the running script's header comment
# (the comment lines under its first line) as its usage and exits 0.
answer_help() {
  local arg
  for arg in "$@"; do
    case "$arg" in
      -h | --help)
        awk 'NR > 1 { if (!/^#/) exit; sub(/^# ?/, ""); print }' "$0"
        exit 0 ;;
    esac
  done
}

# Installs those of the Debian packages $@ that are missing, as root or through sudo; waits for an apt
# that another process runs.
install_debian_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  local as_root=()
  [ "$(id -u)" = 0 ] || as_root=(sudo)
  say "installing Debian packages: ${missing[*]}"
  "${as_root[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq || die "apt-get update failed"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    "${missing[@]}" > /dev/null || die "apt-get install ${missing[*]} failed"
}

# Makes a cached thing once: holding lock file $1, runs command $3 unless command $2 finds the thing
# there already (both get the arguments after $3), and fails when $2 does not find it afterwards. Runs
# that share the cache may ask at once: one makes the thing, the others wait for it and use it.
cache_once() {
  local lock=$1 present=$2 make=$3
  shift 3
  mkdir -p "$(dirname "$lock")"
  (
    flock 9
    if ! "$present" "$@"; then
      "$make" "$@"
      "$present" "$@" || die "$make $* left nothing that $present accepts"
    fi
  ) 9> "$lock" || exit 1
}
