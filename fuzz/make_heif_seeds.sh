#!/bin/sh
# Writes the HEIF fuzz seeds into $1: small HEIC and AVIF pictures (plain,
# with a thumbnail, with alpha, turned by EXIF and by a transformation), each
# preceded by two bytes that ask for a 48-pixel edge; and, when $2 is given,
# the HEIC and AVIF pictures with an EXIF block there as they are.
set -u
out=$1
exif=${2:-}
mkdir -p "$out"
[ -n "$exif" ] && mkdir -p "$exif"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
command -v convert >/dev/null || exit 0
convert -size 40x24 gradient:red-blue "$tmp/plain.png"
convert -size 40x24 gradient:green-yellow -alpha set -channel A -evaluate set 50% "$tmp/alpha.png"
convert -size 40x24 gradient:red-blue -orient RightTop "$tmp/turned.jpg"
seed() { [ -s "$2" ] && { printf '\060\000'; cat "$2"; } >"$out/$1"; }
if command -v heif-enc >/dev/null; then
  heif-enc -q 50 -o "$tmp/a.heic" "$tmp/plain.png" >/dev/null 2>&1 && seed plain.heic "$tmp/a.heic"
  heif-enc -q 50 -t 16 -o "$tmp/b.heic" "$tmp/plain.png" >/dev/null 2>&1 && seed thumb.heic "$tmp/b.heic"
  heif-enc -q 50 -o "$tmp/c.heic" "$tmp/alpha.png" >/dev/null 2>&1 && seed alpha.heic "$tmp/c.heic"
fi
if command -v avifenc >/dev/null; then
  avifenc -s 10 "$tmp/plain.png" "$tmp/a.avif" >/dev/null 2>&1 && seed plain.avif "$tmp/a.avif"
  avifenc -s 10 "$tmp/alpha.png" "$tmp/c.avif" >/dev/null 2>&1 && seed alpha.avif "$tmp/c.avif"
  avifenc -s 10 --irot 1 --imir 0 "$tmp/plain.png" "$tmp/d.avif" >/dev/null 2>&1 && seed turned.avif "$tmp/d.avif"
fi
if [ -n "$exif" ]; then
  command -v heif-enc >/dev/null && heif-enc -q 50 -o "$exif/exif.heic" "$tmp/turned.jpg" >/dev/null 2>&1
  command -v avifenc >/dev/null && avifenc -s 10 "$tmp/turned.jpg" "$exif/exif.avif" >/dev/null 2>&1
fi
exit 0
