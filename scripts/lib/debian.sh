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

# Prints the path of the upstream source tarball of Debian 13 "trixie"'s source package $1 (python3.13,
# zlib, ...), downloaded once through a private apt directory into $CACHE/src.
debian_source() {
  local package=$1 apt_dir="$CACHE/apt" src_dir="$CACHE/src"
  mkdir -p "$apt_dir/lists/partial" "$src_dir"
  (
    flock 9
    if ! ls "$src_dir/${package}"_*.orig.tar.* > /dev/null 2>&1; then
      local mirror; mirror=$(debian_mirror)
      printf 'deb %s trixie main\ndeb-src %s trixie main\n' "$mirror" "$mirror" > "$apt_dir/sources.list"
      local opts=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=-"
                  -o "Dir::State::Lists=$apt_dir/lists" -o "APT::Get::List-Cleanup=0")
      echo "[debian] downloading the $package source package (trixie)" >&2
      [ -n "$(ls "$apt_dir/lists" 2> /dev/null | grep -v partial)" ] || apt-get "${opts[@]}" update -qq \
        || die "apt-get update of the private trixie lists failed"
      # Only the upstream tarball is needed: the mirror may lack the packaging of a point release.
      (cd "$src_dir" && apt-get "${opts[@]}" source --download-only "$package" > /dev/null) \
        || ls "$src_dir/${package}"_*.orig.tar.* > /dev/null 2>&1 || die "apt-get source $package failed"
    fi
  ) 9> "$src_dir.lock" || exit 1
  ls "$src_dir/${package}"_*.orig.tar.* | grep -v '\.asc$' | head -n 1
}

# Makes this machine run programs of Debian architecture $1 (arm64, ...) through qemu user-mode emulation:
# qemu-user-static, and binfmt_misc mounted with its interpreter registered (root).
debian_enable_emulation() {
  local qemu_arch
  case "$1" in
    arm64) qemu_arch=aarch64 ;;
    *) qemu_arch=$1 ;;
  esac
  if ! dpkg-query -W -f='${Status}' qemu-user-static binfmt-support 2>/dev/null | grep -q "install ok installed.*install ok installed"; then
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq qemu-user-static binfmt-support \
      > /dev/null || die "installing qemu-user-static failed"
  fi
  [ -f /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc \
    || die "mounting binfmt_misc failed"
  [ -f "/proc/sys/fs/binfmt_misc/qemu-$qemu_arch" ] || update-binfmts --enable "qemu-$qemu_arch" \
    || die "registering qemu-$qemu_arch with binfmt_misc failed"
}

# Prints the path of a minimal Debian root filesystem of SUITE holding PACKAGES (comma-separated), made on
# first use with debootstrap under $CACHE/rootfs and reused afterwards; several callers may ask at once.
# ARCH (default: this machine's) may be a foreign architecture, whose programs then run through qemu
# user-mode emulation.
debian_rootfs() { # $1: suite, $2: packages, $3: Debian architecture
  local suite=$1 packages=$2 arch=${3:-$(dpkg --print-architecture)}
  local dir="$CACHE/rootfs/$suite"
  [ "$arch" = "$(dpkg --print-architecture)" ] || { dir="$dir-$arch"; debian_enable_emulation "$arch"; }
  mkdir -p "$CACHE/rootfs"
  (
    flock 9
    if [ ! -f "$dir/.complete" ] || [ "$(cat "$dir/.complete")" != "$packages" ]; then
      local mirror; mirror=$(debian_mirror)
      local work="$dir.new"
      command -v debootstrap > /dev/null || DEBIAN_FRONTEND=noninteractive apt-get \
        -o DPkg::Lock::Timeout=900 install -y -qq debootstrap > /dev/null || die "installing debootstrap failed"
      rm -rf "$work"
      echo "[rootfs] debootstrap $suite ($arch) with $packages (first use only)" >&2
      if [ "$arch" = "$(dpkg --print-architecture)" ]; then
        debootstrap --variant=minbase --include="$packages" "$suite" "$work" "$mirror" > "$dir.log" 2>&1 \
          || { tail -n 20 "$dir.log" >&2; die "debootstrap of $suite failed (log: $dir.log)"; }
      else
        # debootstrap's second stage would configure the packages through emulation, which takes longer
        # than everything else here (its dependency resolver alone ran for over 25 minutes): the packages
        # are unpacked on this machine instead and the accounts taken from base-passwd's masters.
        debootstrap --arch "$arch" --foreign --variant=minbase --include="$packages" "$suite" "$work" "$mirror" \
          > "$dir.log" 2>&1 || { tail -n 20 "$dir.log" >&2; die "debootstrap of $suite ($arch) failed (log: $dir.log)"; }
        local deb
        for deb in "$work"/var/cache/apt/archives/*.deb; do
          dpkg-deb --fsys-tarfile "$deb" | tar -C "$work" --keep-directory-symlink -xf - || die "unpacking $deb failed"
        done
        cp "$work/usr/share/base-passwd/passwd.master" "$work/etc/passwd"
        cp "$work/usr/share/base-passwd/group.master" "$work/etc/group"
        # The certificate bundle that configuring ca-certificates would make: pip reads it when it starts.
        mkdir -p "$work/etc/ssl/certs"
        cp -L /etc/ssl/certs/ca-certificates.crt "$work/etc/ssl/certs/"
      fi
      echo "$packages" > "$work/.complete"
      rm -rf "$dir"
      mv "$work" "$dir"
    fi
  ) 9> "$dir.lock" || exit 1
  echo "$dir"
}
