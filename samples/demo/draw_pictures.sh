#!/usr/bin/env bash
# Draws the demo quiz's pictures with ImageMagick: 640 x 402 baseline JPEGs.
# Run once; the pictures are committed. Usage: samples/demo/draw_pictures.sh
set -euo pipefail
cd "$(dirname "$0")/pictures"

draw() {  # name background draw-arguments...
  local name=$1 background=$2
  shift 2
  convert -size 640x402 "xc:$background" "$@" -strip -interlace none -sampling-factor 2x2 -quality 90 \
    "JPEG:$name.jpg"
}

draw soleil '#7ec8f0' \
  -stroke '#f7b500' -strokewidth 10 \
  -draw 'line 320,50 320,110' -draw 'line 320,292 320,352' -draw 'line 149,201 209,201' -draw 'line 431,201 491,201' \
  -draw 'line 199,80 241,122' -draw 'line 399,280 441,322' -draw 'line 441,80 399,122' -draw 'line 241,280 199,322' \
  -stroke none -fill '#ffd200' -draw 'circle 320,201 320,121'

draw lune '#101a40' \
  -fill '#fff6c8' -draw 'circle 300,201 300,81' \
  -fill '#101a40' -draw 'circle 350,175 350,70' \
  -fill white -draw 'circle 500,80 503,80' -draw 'circle 120,300 123,300' -draw 'circle 560,320 562,320'

draw etoile '#0b1f4d' \
  -fill '#ffdd33' -stroke '#e0a800' -strokewidth 4 \
  -draw 'polygon 320,40 362,150 480,152 386,222 420,340 320,270 220,340 254,222 160,152 278,150'

draw maison '#9fd8f5' \
  -fill '#5fae4a' -draw 'rectangle 0,330 640,402' \
  -fill '#e8d2a6' -draw 'rectangle 190,180 450,340' \
  -fill '#b5412f' -draw 'polygon 170,185 320,70 470,185' \
  -fill '#7a4a2a' -draw 'rectangle 295,250 345,340' \
  -fill '#cfeaff' -stroke '#7a4a2a' -strokewidth 4 -draw 'rectangle 215,205 265,245' -draw 'rectangle 375,205 425,245'

draw arbre '#bfe6ff' \
  -fill '#6cbf4b' -draw 'rectangle 0,340 640,402' \
  -fill '#7b4a22' -draw 'rectangle 300,220 340,350' \
  -fill '#2e8b3a' -draw 'circle 320,160 320,70' -draw 'circle 250,200 250,140' -draw 'circle 390,200 390,140' \
  -fill '#d63a2f' -draw 'circle 280,150 280,140' -draw 'circle 360,130 360,120' -draw 'circle 330,210 330,200'

draw bateau '#a9ddf7' \
  -fill '#1f6fb2' -draw 'rectangle 0,290 640,402' \
  -fill '#8a4b24' -draw 'polygon 170,270 470,270 420,330 220,330' \
  -stroke '#5a3a1a' -strokewidth 8 -draw 'line 320,270 320,70' -stroke none \
  -fill white -draw 'polygon 328,80 328,255 450,255' -draw 'polygon 312,100 312,255 215,255'

draw poisson '#2a7fc1' \
  -fill '#f08a24' -draw 'ellipse 300,201 150,85 0,360' \
  -draw 'polygon 440,201 540,120 540,282' \
  -fill white -draw 'circle 220,180 220,160' -fill black -draw 'circle 222,180 222,170' \
  -fill '#9fd4ff' -draw 'circle 130,100 130,90' -draw 'circle 110,60 110,52'

draw montagne '#b9e1fb' \
  -fill '#6f7d8c' -draw 'polygon 40,402 260,90 480,402' -fill '#8593a3' -draw 'polygon 260,402 450,140 640,402' \
  -fill white -draw 'polygon 260,90 210,160 240,150 265,170 290,150 310,160' \
  -draw 'polygon 450,140 415,190 440,182 458,198 478,182 488,190'

draw fleur '#dff4d8' \
  -stroke '#3f8f2f' -strokewidth 10 -draw 'line 320,220 320,402' -stroke none \
  -fill '#3f8f2f' -draw 'ellipse 360,320 45,18 0,360' \
  -fill '#e94f8a' -draw 'circle 320,110 320,60' -draw 'circle 390,160 390,110' -draw 'circle 250,160 250,110' \
  -draw 'circle 280,235 280,185' -draw 'circle 360,235 360,185' \
  -fill '#ffd23f' -draw 'circle 320,175 320,135'

draw nuage '#5aaeea' \
  -fill white -draw 'circle 240,210 240,140' -draw 'circle 330,170 330,80' -draw 'circle 420,215 420,150' \
  -draw 'rectangle 240,210 420,280' -draw 'circle 200,250 200,220' -draw 'circle 460,250 460,220'

draw parapluie '#cfd8e3' \
  -stroke '#333333' -strokewidth 8 -fill none -draw 'line 320,180 320,330' -draw 'arc 280,300 320,360 0,180' \
  -stroke none -fill '#d62f2f' -draw 'ellipse 320,190 200,130 180,360' \
  -fill '#cfd8e3' -draw 'ellipse 187,190 67,20 0,180' -draw 'ellipse 320,190 67,20 0,180' -draw 'ellipse 453,190 67,20 0,180'

draw arc-en-ciel '#8fd0f7' \
  -fill '#e53935' -draw 'circle 320,360 320,100' \
  -fill '#fb8c00' -draw 'circle 320,360 320,122' \
  -fill '#fdd835' -draw 'circle 320,360 320,144' \
  -fill '#43a047' -draw 'circle 320,360 320,166' \
  -fill '#1e88e5' -draw 'circle 320,360 320,188' \
  -fill '#5e35b1' -draw 'circle 320,360 320,210' \
  -fill '#8fd0f7' -draw 'circle 320,360 320,232' \
  -fill '#6cbf4b' -draw 'rectangle 0,360 640,402'

ls -1
