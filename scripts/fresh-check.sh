#!/usr/bin/env bash
# Proves that the README's commands work on a fresh Debian 12 machine. Builds once, and keeps in
# /var/cache/trawlbox-fresh, a minimal Debian 12 root made by debootstrap (its default set plus
# git, from the mirror this machine's apt sources name, with empty package lists as on a fresh
# image). Each run then takes a fresh copy of that root, clones this repository at its current
# commit into it (uncommitted changes are not checked) and, as root inside it, runs
# scripts/test.sh, builds the package with scripts/build-deb.sh and installs it with apt-get.
# Last it starts the installed program as a new normal user under xvfb-run, checks that its
# window comes up and that it starts saving into that user's download folder (the home folder
# while there is none).
# Everything that mounts or starts processes runs in a mount and process namespace of its own,
# so nothing of it outlives the script. Needs root (uses sudo otherwise) and installs debootstrap
# on this machine when it is missing. The copy is removed after a pass and kept for a look after
# a failure.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=/var/cache/trawlbox-fresh
base=$cache/debian-12
root=$cache/root
suite=bookworm
user=trader
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

fail() { echo "FAIL: $*" >&2; exit 1; }
phase() { printf '== %s (%d s so far)\n' "$1" "$SECONDS"; }

# The first URI that this machine's apt sources give for Debian 12, in either format.
debian_mirror() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v suite="$suite" '
      BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; suites = ""; enabled = "yes"
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:/) types = $i
          if ($i ~ /^URIs:/) uris = $i
          if ($i ~ /^Suites:/) suites = $i
          if ($i ~ /^Enabled:/) enabled = $i
        }
        if (types ~ /[ \t]deb([ \t]|$)/ && suites ~ ("[ \t]" suite "([ \t]|$)") &&
            enabled !~ /no/) {
          sub(/^URIs:[ \t]*/, "", uris); split(uris, uri, /[ \t]+/); print uri[1]; exit
        }
      }' "$file"
  done
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    sed 's/\[[^]]*\]//' "$file" | awk -v suite="$suite" '$1 == "deb" && $3 == suite { print $2 }'
  done
}

# Runs a command inside the root as root, with a clean environment.
in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH="$path" LANG=C.UTF-8 "$@"; }

# The part that mounts and starts processes: only ever run inside the namespaces.
inside() {
  local mirror=$1
  if [ ! -d "$base" ]; then
    phase "Debian 12 root from $mirror, made once"
    rm -rf --one-file-system "$base.partial"
    debootstrap --include=git "$suite" "$base.partial" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
      { tail -n 20 "$cache/debootstrap.log"; fail "debootstrap, see $cache/debootstrap.log"; }
    rm -rf "$base.partial"/var/lib/apt/lists/* "$base.partial"/var/cache/apt/archives/*.deb
    mv "$base.partial" "$base"
  fi

  phase "fresh copy of the root, the repository cloned at $(git -C "$repo" rev-parse --short HEAD)"
  cp -a "$base" "$root"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  git -c safe.directory='*' clone --quiet "$repo" "$root/srv/trawlbox"
  git -C "$root/srv/trawlbox" checkout --quiet --detach "$(git -C "$repo" rev-parse HEAD)"

  phase "bash scripts/test.sh, as root"
  in_root bash -c 'cd /srv/trawlbox && bash scripts/test.sh'

  phase "bash scripts/build-deb.sh, and apt-get install of the package"
  # The script prints the package's path last.
  in_root bash -c 'cd /srv/trawlbox && bash scripts/build-deb.sh | tee /tmp/build-deb.out'
  in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
    "$(tail -n 1 "$root/tmp/build-deb.out")"

  phase "the installed program, started as the new user $user"
  in_root useradd --create-home --shell /bin/bash "$user"
  local uid
  uid=$(in_root id -u "$user")
  as_user() {
    chroot --userspec="$uid:$uid" "$root" /usr/bin/env -i HOME="/home/$user" PATH="$path" \
      LANG=C.UTF-8 "$@"
  }
  expect_start() {
    local expected=$1 actual
    actual=$(as_user xvfb-run -a bash /srv/trawlbox/tests/packaging/save_folder_at_start.sh \
      /usr/bin/trawlbox) || fail "the installed program's window did not come up"
    [ "$actual" = "$expected" ] || fail "the installed program saves into $actual, not $expected"
    echo "/usr/bin/trawlbox, started by $user, came up saving into $actual"
  }
  expect_start "/home/$user/"
  as_user mkdir "/home/$user/Downloads"
  expect_start "/home/$user/Downloads/"
}

if [ "${1:-}" = inside ]; then
  inside "$2"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || fail "run as root: debootstrap and chroot need it"
  exec sudo bash "$0" "$@"
fi

if ! command -v debootstrap >/dev/null; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    debootstrap debian-archive-keyring
fi
mirror=$(debian_mirror | head -n 1) || true
[ -n "$mirror" ] || fail "no apt source on this machine names Debian 12 ($suite)"

mkdir -p "$cache"
# A copy left by an earlier run; its mounts went with that run's namespace.
rm -rf --one-file-system "$root"
if ! unshare --mount --pid --fork --mount-proc --propagation private bash "$0" inside "$mirror"; then
  fail "after $SECONDS s; the root is kept in $root"
fi
rm -rf --one-file-system "$root"
echo "Fresh Debian 12 check passed in $SECONDS s"
