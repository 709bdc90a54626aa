#!/usr/bin/env bash
# Draws the pictures that the picture tests cannot make themselves, with
# ImageMagick, as other programs than ours write them: a progressive JPEG, a
# JPEG stored sideways with an EXIF orientation, a transparent PNG, a GIF, a
# BMP, a large photo, a CMYK JPEG as Adobe's programs store it (inks inverted)
# and a HEIC photo as phones take them (libheif's heif-enc). Each shows four quadrants: red top left, green top
# right, blue bottom left, yellow bottom right (a transparent one is clear).
# Run once; the pictures are committed. Usage: tests/data/pictures/draw_pictures.sh
set -euo pipefail
cd "$(dirname "$0")"

Red='rgb(220,40,40)' Green='rgb(40,180,60)' Blue='rgb(40,60,200)' Yellow='rgb(230,210,40)'

quadrants() {  # width height top-right-colour output-options... output
  local w=$1 h=$2 topRight=$3
  shift 3
  convert -size "${w}x${h}" xc:"$Yellow" -fill "$Red" -draw "rectangle 0,0 $((w / 2 - 1)),$((h / 2 - 1))" \
    -fill "$topRight" -draw "rectangle $((w / 2)),0 $((w - 1)),$((h / 2 - 1))" \
    -fill "$Blue" -draw "rectangle 0,$((h / 2)) $((w / 2 - 1)),$((h - 1))" -strip "$@"
}

quadrants 64 48 "$Green" -interlace JPEG -quality 90 progressive.jpg
quadrants 400 300 "$Green" -interlace JPEG -quality 90 progressive_large.jpg
quadrants 2400 1800 "$Green" -interlace none -quality 90 large.jpg
quadrants 320 200 "$Green" -alpha set -region 160x100+160+0 -alpha transparent +region PNG32:transparent.png
quadrants 300 200 "$Green" GIF:picture.gif
quadrants 150 100 "$Green" BMP3:picture.bmp
quadrants 64 48 "$Green" -colorspace CMYK -quality 92 cmyk.jpg
# heif-enc from a JPEG: libheif 1.15's reading of PNG scrambles the picture.
quadrants 64 48 "$Green" -quality 98 quadrants_for_heic.jpg
heif-enc -q 92 -o quadrants.heic quadrants_for_heic.jpg
rm quadrants_for_heic.jpg

# Drawn upright, stored turned a quarter anticlockwise, with EXIF orientation 6
# (turn a quarter clockwise to show) in big-endian TIFF, spliced in after SOI.
quadrants 320 240 "$Green" -rotate -90 -interlace none -quality 90 sideways_stored.jpg
{
  head -c 2 sideways_stored.jpg
  printf '\xff\xe1\x00\x22Exif\x00\x00MM\x00\x2a\x00\x00\x00\x08\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00\x00\x00\x00\x00'
  tail -c +3 sideways_stored.jpg
} >sideways.jpg
rm sideways_stored.jpg
