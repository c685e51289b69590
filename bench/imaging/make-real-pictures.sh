#!/bin/sh
# make-real-pictures.sh FOLDER: the PNG bench's five 2048 x 2048 pictures, made by ImageMagick at
# its default compression. Seeded and without dates, so every run makes the same files.
set -eu
out=$1
mkdir -p "$out"
size=2048x2048
convert() { command convert -define png:exclude-chunk=date,time "$@"; }
text=$(i=0; while [ $i -lt 60 ]; do echo "Item $i    192.168.$((i % 7)).$((i * 37 % 255))    connected    $((i * 131 % 997)) ms"; i=$((i + 1)); done)

# Screenshot-like: flat panels, a title bar, frames, and anti-aliased text in two columns.
convert -size $size xc:'#ececec' \
  -fill '#2b579a' -draw 'rectangle 0,0 2047,63' -fill white -draw 'rectangle 32,96 1007,2015' \
  -draw 'rectangle 1040,96 2015,1007' -fill '#dfe6f0' -draw 'rectangle 1040,1040 2015,2015' \
  -stroke '#a0a0a0' -fill none -draw 'rectangle 32,96 1007,2015' -draw 'line 1040,1500 2015,1500' -stroke none \
  -font DejaVu-Sans -pointsize 20 -fill white -annotate +24+42 'Ostrevi - connections' \
  -fill '#202020' -pointsize 17 -annotate +56+130 "$text" -annotate +1064+130 "$text" \
  -fill '#3c7d3c' -draw 'roundrectangle 1100,1100 1500,1160 8,8' -fill '#c04020' -draw 'circle 1800,1300 1800,1400' \
  PNG24:"$out/screenshot.png"
# Photo-like: a plasma fractal, softened, with a little sensor noise.
convert -size $size -seed 7 plasma:fractal -blur 0x3 -seed 8 -attenuate 0.4 +noise Gaussian PNG24:"$out/photo.png"
# 256-colour palette: the photo reduced with dithering.
convert "$out/photo.png" -dither FloydSteinberg -colors 256 PNG8:"$out/palette.png"
# 16-bit RGBA and Adam7 RGBA: plasma with a radial alpha.
convert -size $size -seed 9 plasma:fractal -blur 0x3 \( -size $size radial-gradient:white-black \) \
  -alpha off -compose CopyOpacity -composite -depth 16 PNG64:"$out/rgba16.png"
convert -size $size -seed 11 plasma:fractal -blur 0x3 -seed 12 -attenuate 0.3 +noise Gaussian \
  \( -size $size radial-gradient:white-black \) -alpha off -compose CopyOpacity -composite -interlace PNG \
  PNG32:"$out/adam7.png"
