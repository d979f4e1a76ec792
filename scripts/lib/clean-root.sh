# Clean Debian roots for checks that must not depend on what this machine has installed.
# Sourced by scripts/package-check and scripts/check-release; needs root (debootstrap, chroot,
# mount).
#
# A root is made once per release with debootstrap (minbase, from the mirror this machine's apt
# uses) and kept in $VANTOR_ROOT_CACHE (default /var/cache/vantor-package-check), with the
# downloaded packages. Each check works on a fresh copy of it.

root_cache=${VANTOR_ROOT_CACHE:-/var/cache/vantor-package-check}
root_archives=$root_cache/archives

# Prints the release this machine runs (its codename, e.g. bookworm).
this_release() {
  (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# Refuses what these checks cannot make a root of.
check_release_name() {
  case "$1" in
    bookworm | trixie) ;;
    *) echo "$(basename "$0"): release must be bookworm (Debian 12) or trixie (Debian 13), not '$1'" >&2; exit 2 ;;
  esac
}

need_root_tools() {
  [ "$(id -u)" -eq 0 ] || { echo "$(basename "$0"): needs root (debootstrap and chroot)" >&2; exit 1; }
  command -v debootstrap >/dev/null || {
    echo "Installing: debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap
  }
}

# The Debian mirror apt on this machine uses.
debian_mirror() {
  local mirror
  mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*debian\)[[:space:]]*$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
  [ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $2 ~ /debian\/?$/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
  echo "${mirror:-http://deb.debian.org/debian}"
}

# Makes the kept clean root of release $1 when there is none yet; prints its path.
clean_root_base() {
  local release=$1 base=$root_cache/$1-minbase
  mkdir -p "$root_archives/partial"
  if [ ! -e "$base/.complete" ]; then
    echo "== making the clean $release root (once; kept in $base)" >&2
    rm -rf "$base"
    debootstrap --variant=minbase --cache-dir="$root_archives" "$release" "$base" "$(debian_mirror)" >&2
    touch "$base/.complete"
  fi
  echo "$base"
}

# Copies the clean root of release $1 to a new scratch folder and mounts what programs inside
# need; sets $work (the scratch folder) and $root (the copy in it). Everything is unmounted and
# removed when the script exits.
root_mounts=()
fresh_root() {
  local base
  base=$(clean_root_base "$1")
  work=$(mktemp -d /var/tmp/vantor-root.XXXXXX)
  root=$work/root
  trap remove_fresh_root EXIT
  echo "== copying the clean $1 root"
  cp -a "$base" "$root"
  mount -t proc proc "$root/proc" && root_mounts+=("$root/proc")
  # Recursive, so /dev/pts and /dev/shm come along; a slave, so unmounting stays inside.
  mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && root_mounts+=("$root/dev")
  mount --bind "$root_archives" "$root/var/cache/apt/archives" && root_mounts+=("$root/var/cache/apt/archives")
  cp /etc/resolv.conf "$root/etc/resolv.conf"
}

remove_fresh_root() {
  local i
  for ((i = ${#root_mounts[@]} - 1; i >= 0; i--)); do umount -R -l "${root_mounts[$i]}" 2>/dev/null || true; done
  rm -rf --one-file-system "$work"
}
