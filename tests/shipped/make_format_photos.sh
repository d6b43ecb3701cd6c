#!/usr/bin/env bash
# One photo in each format the builder reads, each of one colour of its own, made by the
# formats' own encoders on the build machine (Wine has none for most of them): into the
# folder $1. 64 x 48 each; the colours are those tests/shipped/shipped_win_test.cpp
# looks for, as rgb(...) here.
set -euo pipefail
out=$1
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
solid() { convert -size 64x48 "xc:rgb($1)" "$2"; }
solid 224,32,32 "$out/baseline.jpg"
# CMYK as print workflows write it (Adobe's inverted form), through ImageMagick.
convert -size 64x48 'xc:rgb(32,192,32)' -colorspace CMYK -quality 95 "$out/print.jpg"
solid 32,32,224 "PNG24:$out/web.png"
solid 224,224,32 "BMP3:$out/paint.bmp"
# An animation and a two-page scan: the first picture is the photo.
convert -size 64x48 'xc:rgb(224,32,224)' xc:black -delay 50 -loop 0 "$out/anim.gif"
convert -size 64x48 'xc:rgb(32,208,208)' xc:black -depth 16 -compress LZW "$out/scan.tif"
solid 240,144,32 "PNG24:$tmp/webp.png"
cwebp -quiet -q 90 "$tmp/webp.png" -o "$out/web.webp"
solid 128,48,240 "PNG24:$tmp/heic.png"
heif-enc -q 90 "$tmp/heic.png" -o "$out/phone.heic" >/dev/null
solid 240,112,168 "PNG24:$tmp/avif.png"
avifenc -s 8 "$tmp/avif.png" "$out/web.avif" >/dev/null
