#!/usr/bin/env bash
# Installs the built .deb into a clean Debian 12 root (debootstrap, then chroot), with the
# dependencies it declares, and runs the installed tools from there.
# usage: packaging/package-check.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work="$build/package-check"
root="$work/root"
suite=bookworm

say() { printf '== %s\n' "$*"; }
fail() { printf 'package-check: %s\n' "$*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap and chroot)"
shopt -s nullglob
debs=("$build"/velmora_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one velmora_*.deb in $build (run make package)"
deb=${debs[0]}

if ! command -v debootstrap >/dev/null; then
  say "installing debootstrap"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi

# The Debian mirror apt is configured with (deb822 or one-line sources).
mirror() {
  local uri
  uri=$(grep -hE '^URIs:.*/debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1 |
        awk '{print $2}')
  [ -n "$uri" ] || uri=$(grep -hE '^deb +(\[[^]]*\] +)?[a-z]+://[^ ]*/debian/? ' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -1 |
        sed -E 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/')
  echo "${uri:-http://deb.debian.org/debian}"
}

unmount_all() {
  mountpoint -q "$root/proc" 2>/dev/null && umount -l "$root/proc" || true
}
trap unmount_all EXIT

# The downloaded base system is kept, the root made from it is new on every run.
mkdir -p "$work"
base="$work/$suite-minbase.tgz"
url=$(mirror)
if [ ! -s "$base" ]; then
  say "downloading a minimal $suite from $url"
  debootstrap --variant=minbase --make-tarball="$base.part" "$suite" "$work/tarball-tmp" "$url"
  mv "$base.part" "$base"
  rm -rf "$work/tarball-tmp"
fi
unmount_all
# Never into a mount that is still there.
rm -rf --one-file-system "$root"
say "making a clean $suite root in $root"
debootstrap --variant=minbase --unpack-tarball="$base" "$suite" "$root" "$url" >"$work/debootstrap.log"
# The programs find their installed files through /proc/self/exe; debootstrap made /dev.
mount -t proc proc "$root/proc"

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

say "installing $(basename "$deb") with its dependencies"
echo "deb $url $suite main" >"$root/etc/apt/sources.list"
cp "$deb" "$root/tmp/velmora.deb"
in_root apt-get update -qq
in_root sh -c 'cd /tmp && apt-get install -y -qq --no-install-recommends ./velmora.deb' \
  >"$work/install.log"

say "running the installed tools"
in_root velmora-decode --help | head -1
in_root velmora-sim --write /tmp/drive.txt --epochs 120 --seed 3
in_root velmora-decode --final /tmp/drive.txt | grep -q '"fix":1' ||
  fail "velmora-decode found no fix in a simulated drive"
in_root env QT_QPA_PLATFORM=offscreen velmora-shot --decode /tmp/drive.txt --sky --track \
  --out /tmp/x
for f in main.png about.png sky.png track.png state.json; do
  [ -s "$root/tmp/x/$f" ] || fail "velmora-shot did not write $f"
done
ls -l "$root/tmp/x"
# Without a display the program says so instead of aborting.
if in_root velmora >/dev/null 2>"$work/velmora.err"; then fail "velmora ran without a display"; fi
grep -q "no display" "$work/velmora.err" || fail "velmora without a display: $(cat "$work/velmora.err")"

say "contents"
dpkg -c "$deb" >"$work/contents.txt"
for path in ./usr/bin/velmora ./usr/bin/velmora-sim ./usr/bin/velmora-decode \
  ./usr/bin/velmora-shot ./usr/share/velmora/fonts.conf \
  ./usr/share/applications/velmora.desktop \
  ./usr/share/icons/hicolor/128x128/apps/velmora.png \
  ./usr/share/man/man1/velmora.1.gz ./usr/share/man/man1/velmora-sim.1.gz \
  ./usr/share/man/man1/velmora-decode.1.gz ./usr/share/man/man1/velmora-shot.1.gz; do
  grep -q " $path\$" "$work/contents.txt" || fail "the package lacks $path"
  echo "  $path"
done
dpkg-deb -f "$deb" Depends
say "package-check passed"
