#!/usr/bin/env bash
# make_seeds.sh OUT DATA -- writes the fuzzers' starting corpora: small BMPs
# of every layout the decoder reads (made with ImageMagick), the show's
# generated files, and a few DXF texts.
set -euo pipefail
out=$1 data=$2
dib=$out/fuzz_decode_dib dxf=$out/fuzz_dxf_mesh
mkdir -p "$dib" "$dxf"
convert=/usr/bin/convert
for size in 4x2 5x3 7x1; do
  $convert -size $size gradient:red-blue -type truecolor "BMP3:$dib/t24_$size.bmp"
  $convert -size $size gradient:red-blue -type truecolormatte "BMP3:$dib/t32_$size.bmp"
  $convert -size $size xc:gray -type palette -colors 16 "BMP3:$dib/p4_$size.bmp"
  $convert -size $size gradient: -type palette -colors 200 "BMP3:$dib/p8_$size.bmp"
  $convert -size $size gradient: -type palette -colors 200 -compress RLE "BMP3:$dib/r8_$size.bmp"
  $convert -size $size pattern:checkerboard -monochrome "BMP3:$dib/m1_$size.bmp"
  $convert -size $size gradient: -type truecolor "BMP2:$dib/core_$size.bmp"
  $convert -size $size gradient:red-blue -define bmp:subtype=RGB555 "BMP3:$dib/s16_$size.bmp"
done
cp "$data/lod.bmp" "$dib/" 2>/dev/null || true
printf '3DFACE\n8\n0\n62\n7\n10\n1\n20\n2\n30\n3\n11\n4\n21\n5\n31\n6\n12\n7\n22\n8\n32\n9\n13\n10\n23\n11\n33\n12\nEOF\n' > "$dxf/one.dxf"
printf '0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\nL\n62\n1\n10\n0.5\n20\n-1e3\n30\n2\n11\n1\n21\n1\n31\n1\n12\n1\n22\n1\n32\n1\n13\n1\n23\n1\n33\n1\n70\n15\n0\nENDSEC\n0\nEOF\n' > "$dxf/entities.dxf"
for f in ball01 balm02; do head -c 6000 "$data/$f.dxf" > "$dxf/$f.dxf" 2>/dev/null || true; done
