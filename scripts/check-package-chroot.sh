#!/usr/bin/env bash
# Installs the Debian package with apt-get into a fresh minimal Debian 12
# (debootstrap --variant=minbase bookworm) and tries it there: the versions,
# the manual page, and a send from pelorin-cli to pelorin-phone made by an
# ordinary user. Needs root and Debian's archive.
#
#   scripts/check-package-chroot.sh [PACKAGE.deb]
#
# Without an argument the package is built first by scripts/package.sh. The
# downloaded base system is kept in build/chroot-base and copied for each run;
# delete that folder to start from a new download.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "check-package-chroot.sh: needs root (debootstrap, chroot, mount)" >&2
  exit 1
fi
scripts/ensure-packages.sh debootstrap

deb=${1:-}
if [ -z "$deb" ]; then
  scripts/package.sh
  debs=(build/package/pelorin_*.deb)
  deb=${debs[0]}
fi
[ -f "$deb" ] || { echo "check-package-chroot.sh: no package $deb" >&2; exit 1; }

base=$PWD/build/chroot-base
if [ ! -x "$base/bin/bash" ]; then
  echo "== debootstrap --variant=minbase bookworm"
  rm -rf --one-file-system "$base.partial"
  debootstrap --variant=minbase bookworm "$base.partial" http://deb.debian.org/debian >"$PWD/build/debootstrap.log" 2>&1 ||
    { tail -n 20 "$PWD/build/debootstrap.log"; exit 1; }
  mv "$base.partial" "$base"
fi

root=$(mktemp -d "$PWD/build/chroot-run.XXXXXX")
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}"
  done
  # Never follow a mount that is still there into the host's /dev or /proc.
  if ! grep -q " $root/" /proc/self/mounts; then
    rm -rf --one-file-system "$root"
  else
    echo "check-package-chroot.sh: $root still has mounts; left in place" >&2
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
cp -a "$base/." "$root/"
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount --bind /dev "$root/dev" && mounted+=("$root/dev")
mount --bind /dev/pts "$root/dev/pts" && mounted+=("$root/dev/pts")
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
cp examples/smile.plr "$root/tmp/smile.plr"
chmod 644 "$root/tmp/smile.plr"

inside() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== apt-get install ./tmp/$(basename "$deb")"
before=$(inside dpkg-query -W -f='${Package}\n' | wc -l)
inside apt-get update -q >/dev/null
inside env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./tmp/$(basename "$deb")" >"$root/apt.log" 2>&1 ||
  { tail -n 30 "$root/apt.log"; exit 1; }
after=$(inside dpkg-query -W -f='${Package}\n' | wc -l)
echo "installed pelorin and $((after - before - 1)) packages it pulled in"
inside dpkg-query -W -f='${Package} ${Version}\n' pelorin

# man itself is not part of a minimal system; a reader of manual pages has it.
inside env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends man-db >/dev/null 2>&1

echo "== as an ordinary user (nobody)"
mkdir -p "$root/tmp/nobody" && chown 65534:65534 "$root/tmp/nobody"
user() { inside setpriv --reuid=65534 --regid=65534 --clear-groups env HOME=/tmp/nobody "$@"; }
echo "\$ pelorin-cli --version"
user pelorin-cli --version
echo "\$ pelorin --version"
user pelorin --version
echo "\$ pelorin -platform offscreen /tmp/smile.plr    (stopped after 3 s)"
status=0
user timeout 3 pelorin -platform offscreen /tmp/smile.plr || status=$?
if [ "$status" -ne 124 ]; then
  echo "check-package-chroot.sh: the editor ended by itself with status $status" >&2
  exit 1
fi
echo "the editor was still running"
echo "\$ man -w pelorin-cli"
user man -w pelorin-cli
echo "\$ pelorin-phone --network 262-02 &"
echo "\$ pelorin-cli send group-graphic --to +4917012345 --port /tmp/phone-link /tmp/smile.plr"
echo "\$ pelorin-cli network --port /tmp/phone-link --fast"
user /bin/bash -c '
  set -u
  pelorin-phone --quiet --network 262-02 --store /tmp/phone --link /tmp/phone-link & phone=$!
  for _ in $(seq 100); do [ -e /tmp/phone-link ] && break; sleep 0.05; done
  pelorin-cli send group-graphic --to +4917012345 --port /tmp/phone-link /tmp/smile.plr &&
    pelorin-cli network --port /tmp/phone-link --fast; status=$?
  kill "$phone"; wait "$phone"
  exit "$status"'
echo "\$ cat /tmp/phone/log.txt"
cat "$root/tmp/phone/log.txt"
cmp "$root/tmp/smile.plr" "$root/tmp/phone/logo-0001.plr"
grep -q $'kind=group-graphic\tsize=72x14\tnumber=+4917012345' "$root/tmp/phone/log.txt"
echo "the phone stored the logo that was sent, bit for bit"
echo "check-package-chroot.sh: all checks passed"
