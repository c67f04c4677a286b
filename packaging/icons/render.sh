#!/usr/bin/env bash
# Regenerates the raster icons from dulmeri.svg with ImageMagick (and
# librsvg's rsvg-convert, package librsvg2-bin, for the large ones):
#   packaging/icons/dulmeri-32.png, dulmeri-48.png   (hicolor theme, window icon)
#   packaging/windows/dulmeri.ico                    (32x32 and 16x16, 256 colours)
#   packaging/icons/dulmeri-192.png, dulmeri-512.png (the web app's icons)
# The generated files are committed; run this again after editing the SVG.
#
# ImageMagick's own SVG renderer is poor at small sizes, so each size is drawn
# 16 times larger and then averaged down (a box filter: the SVG keeps its edges
# on a 2-unit grid of its 64-unit view box, so they stay sharp at 32 px).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
svg="$here/dulmeri.svg"
ico="$here/../windows/dulmeri.ico"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# render SIZE OUTPUT: a 32-bit RGBA PNG of SIZE x SIZE pixels.
# The SVG is 64 units wide and is read at 96 dots per inch.
render() {
    local size=$1 output=$2
    if [ "$size" -gt 64 ]; then
        # Large sizes need no such care: librsvg draws them directly.
        rsvg-convert -w "$size" -h "$size" "$svg" |
            convert - -define png:exclude-chunks=date,time -strip "PNG32:$output"
        return
    fi
    convert -background none -density $((size * 16 * 96 / 64)) "$svg" \
        -filter Box -resize "${size}x${size}" \
        -define png:exclude-chunks=date,time -strip "PNG32:$output"
}

# The icon entries: the alpha channel cut to on/off (a classic icon has only a
# one-bit mask) and the colours reduced to a palette in the same command, so
# that ImageMagick writes each entry as an 8-bit (256-colour) bitmap.
render 32 "$here/dulmeri-32.png"
render 48 "$here/dulmeri-48.png"
render 192 "$here/dulmeri-192.png"
render 512 "$here/dulmeri-512.png"
render 16 "$scratch/full-16.png"

to_palette=(-channel A -threshold 50% +channel +dither -colors 256)
convert "$here/dulmeri-32.png" "${to_palette[@]}" \
    \( "$scratch/full-16.png" "${to_palette[@]}" \) "ICO:$ico"

identify "$here/dulmeri-32.png" "$here/dulmeri-48.png" "$here/dulmeri-192.png" "$here/dulmeri-512.png" "$ico"
