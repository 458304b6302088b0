#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the menu icons for the hicolor theme from the window icon's sources in shell/art:
#   icon16.svg -> hicolor/16x16, icon.svg -> hicolor/22x22 .. 256x256
# The scalable icon is icon.svg itself, installed under the application's id. The PNGs are
# committed so that a build needs no drawing tools. Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")"
art=../../shell/art
id=org.arvel.kr52config
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 22 24 32 48 64 128 256; do
    source=$art/icon.svg
    [ "$size" = 16 ] && source=$art/icon16.svg
    mkdir -p "hicolor/${size}x$size/apps"
    rsvg-convert -w "$size" -h "$size" "$source" -o "$work/icon.png"
    convert "$work/icon.png" -strip "PNG32:hicolor/${size}x$size/apps/$id.png"
done
