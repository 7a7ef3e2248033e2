#!/usr/bin/env bash
# Renders the bundled sample photos with ImageMagick: fractal plasma clouds and
# gradients, seeded so that every run gives the same pictures.
set -euo pipefail
cd "$(dirname "$0")"
size=1280x960
render() { # name seed colours...
  local name=$1 seed=$2 from=$3 to=$4
  convert -seed "$seed" -size "$size" "plasma:$from-$to" -blur 0x2 -quality 88 "$name.jpg"
}
render sample-1-dawn 11 orange purple
render sample-2-lagoon 23 cyan navy
render sample-3-meadow 37 yellowgreen darkgreen
render sample-4-ember 41 gold firebrick
convert -size "$size" radial-gradient:white-steelblue -swirl 160 -quality 88 sample-5-swirl.jpg
# One PNG (palette, to stay small) for the PNG path of the loader.
convert -seed 53 -size 640x480 plasma:pink-teal -blur 0x3 \
  \( -size 640x480 gradient:black-white \) -compose softlight -composite -colors 128 \
  PNG8:sample-6-dusk.png
