#!/usr/bin/env bash
# The HEIC and AVIF photos of the Windows photo tests, made by the formats' own encoders
# (heif-enc, avifenc) on the build machine before those tests run under Wine, which has
# no encoder for either: into the folder $1.
#   heic.heic  96 × 64, red left half, blue right half, the HEIC turned a quarter by its
#              irot box (stored 64 × 96)
#   alpha.avif 96 × 64, left half transparent, right half opaque red
set -euo pipefail
out=$1
mkdir -p "$out"
# Stored lying on its side: the upright picture turned a quarter anticlockwise, its red
# half at the bottom; heif-enc takes the JPEG's EXIF orientation 6 (a quarter clockwise
# to view) into irot, and finds the tag only in an IFD that ends the EXIF block.
convert -size 64x48 xc:'rgb(30,30,200)' -size 64x48 xc:'rgb(200,30,30)' -append \
  -quality 95 "$out/side.jpg"
printf '\xff\xd8\xff\xe1\x00\x1e\x45\x78\x69\x66\x00\x00\x49\x49\x2a\x00\x08\x00\x00\x00\x01\x00\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00' \
  > "$out/exif.jpg"
tail -c +3 "$out/side.jpg" >> "$out/exif.jpg"
heif-enc -q 90 "$out/exif.jpg" -o "$out/heic.heic" >/dev/null
convert -size 96x64 xc:'rgba(200,30,30,1)' -region 48x64+0+0 -alpha transparent \
  PNG32:"$out/alpha.png"
avifenc -s 8 "$out/alpha.png" "$out/alpha.avif" >/dev/null
rm -f "$out/side.jpg" "$out/exif.jpg" "$out/alpha.png"
