# Debian helpers shared by the scripts (sourced).
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

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
  local package=$1 src_dir="$CACHE/src"
  cache_once "$src_dir.lock" debian_source_present debian_source_download "$package"
  local tarball
  for tarball in "$src_dir/${package}"_*.orig.tar.*; do
    [[ "$tarball" == *.asc ]] || { echo "$tarball"; return; }
  done
}
debian_source_present() { compgen -G "$CACHE/src/$1_*.orig.tar.*" > /dev/null; }
debian_source_download() {
  local package=$1 apt_dir="$CACHE/apt" src_dir="$CACHE/src"
  mkdir -p "$apt_dir/lists/partial" "$src_dir"
  local mirror; mirror=$(debian_mirror)
  printf 'deb %s trixie main\ndeb-src %s trixie main\n' "$mirror" "$mirror" > "$apt_dir/sources.list"
  local opts=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=-"
              -o "Dir::State::Lists=$apt_dir/lists" -o "APT::Get::List-Cleanup=0")
  say "downloading the $package source package (trixie)"
  compgen -G "$apt_dir/lists/*_Sources*" > /dev/null || apt-get "${opts[@]}" update -qq \
    || die "apt-get update of the private trixie lists failed"
  # Only the upstream tarball is needed: the mirror may lack the packaging of a point release.
  (cd "$src_dir" && apt-get "${opts[@]}" source --download-only "$package" > /dev/null) \
    || debian_source_present "$package" || die "apt-get source $package failed"
}

# Makes this machine run programs of Debian architecture $1 (arm64, ...) through qemu user-mode emulation:
# qemu-user-static, and binfmt_misc mounted with its interpreter registered (root).
debian_enable_emulation() {
  local qemu_arch
  case "$1" in
    arm64) qemu_arch=aarch64 ;;
    *) qemu_arch=$1 ;;
  esac
  install_debian_packages qemu-user-static binfmt-support
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
  cache_once "$dir.lock" debian_rootfs_present debian_rootfs_make "$dir" "$suite" "$packages" "$arch"
  echo "$dir"
}
debian_rootfs_present() { [ -f "$1/.complete" ] && [ "$(cat "$1/.complete")" = "$3" ]; }
debian_rootfs_make() { # $1: directory, then the arguments of debian_rootfs
  local dir=$1 suite=$2 packages=$3 arch=$4
  local mirror; mirror=$(debian_mirror)
  local work="$dir.new"
  install_debian_packages debootstrap
  rm -rf "$work"
  say "debootstrap $suite ($arch) with $packages (first use only)"
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
}
