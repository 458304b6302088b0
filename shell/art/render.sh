#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the window's pictures from the sources beside this script:
#   strip.py    -> strip.png    (130 x 131, 16-colour palette, drawn pixel by pixel)
#   icon16.svg  -> icon16.png, icon.svg -> icon32.png and icon48.png
#   printer.svg -> printer.rgba (160 x 132, the size the page shows it at, as raw RGBA bytes)
# logo.svg is used as it is. Needs python3, rsvg-convert (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 strip.py > "$work/strip.ppm"
convert "$work/strip.ppm" -define png:color-type=3 -define png:bit-depth=4 -strip strip.png

rsvg-convert -w 16 -h 16 icon16.svg -o "$work/icon16.png"
rsvg-convert -w 32 -h 32 icon.svg -o "$work/icon32.png"
rsvg-convert -w 48 -h 48 icon.svg -o "$work/icon48.png"
for size in 16 32 48; do
    convert "$work/icon$size.png" -strip "PNG32:icon$size.png"
done

rsvg-convert -w 160 -h 132 printer.svg -o "$work/printer.png"
convert "$work/printer.png" -depth 8 rgba:printer.rgba
