# Debian helpers shared by the scripts (sourced; the caller defines `die`).

debian_mirror() { # the machine's own Debian mirror, read from its apt configuration
  local uri=""
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    uri=$(awk '/^URIs:/ {print $2; exit}' "$f")
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
  if [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' /etc/apt/sources.list)
  fi
  [ -n "$uri" ] || die "no Debian mirror found in the machine's apt configuration"
  echo "$uri"
}

# Prints the path of a minimal Debian root filesystem of SUITE holding PACKAGES (comma-separated), made on
# first use with debootstrap under $CACHE/rootfs and reused afterwards; several callers may ask at once.
debian_rootfs() { # $1: suite, $2: packages
  local suite=$1 packages=$2
  local dir="$CACHE/rootfs/$suite"
  mkdir -p "$CACHE/rootfs"
  (
    flock 9
    if [ ! -f "$dir/.complete" ] || [ "$(cat "$dir/.complete")" != "$packages" ]; then
      local mirror; mirror=$(debian_mirror)
      local work="$dir.new"
      command -v debootstrap > /dev/null || DEBIAN_FRONTEND=noninteractive apt-get \
        -o DPkg::Lock::Timeout=900 install -y -qq debootstrap > /dev/null || die "installing debootstrap failed"
      rm -rf "$work"
      echo "[rootfs] debootstrap $suite with $packages (about a minute, first use only)" >&2
      debootstrap --variant=minbase --include="$packages" "$suite" "$work" "$mirror" > "$dir.log" 2>&1 \
        || { tail -n 20 "$dir.log" >&2; die "debootstrap of $suite failed (log: $dir.log)"; }
      echo "$packages" > "$work/.complete"
      rm -rf "$dir"
      mv "$work" "$dir"
    fi
  ) 9> "$dir.lock" || exit 1
  echo "$dir"
}
