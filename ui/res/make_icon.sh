#!/bin/sh
# Draws the application icon (a gold key over a blue payment card) and packs
# it as Tarvello.ico with four images, in this order:
#   32x32 16 colours, 32x32 256 colours, 16x16 256 colours, 16x16 16 colours.
# Transparency is the icons' 1-bit mask. Needs ImageMagick 6 (convert, od).
# Run from anywhere; writes Tarvello.ico next to itself.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

convert -size 256x256 gradient:'#6aa8f0-#0a2766' "$work/cardfill.png"
convert -size 256x256 gradient:'#fff1a0-#b07a10' "$work/keyfill.png"

# Master drawing at 256x256: card with a shaded face, magnetic stripe and
# chip; the key lies across its lower right corner, its ring punched through.
convert -size 256x256 xc:none \
    -stroke '#061a40' -strokewidth 8 -tile "$work/cardfill.png" \
    -draw "roundrectangle 8,30 226,180 22,22" +tile \
    -stroke none -fill '#10131a' -draw "rectangle 12,58 222,88" \
    -fill '#e8c040' -stroke '#6b4a00' -strokewidth 4 \
    -draw "roundrectangle 32,106 88,148 8,8" \
    -strokewidth 3 -draw "line 32,127 88,127" -draw "line 60,106 60,148" \
    -stroke '#4a3000' -strokewidth 8 -tile "$work/keyfill.png" \
    -draw "polygon 160,190 62,248 50,228 148,170" \
    -draw "polygon 78,238 94,228 104,246 88,254" \
    -draw "polygon 108,220 122,212 132,230 118,238" \
    -draw "circle 192,166 192,220" +tile \
    -stroke none -fill '#4a3000' -draw "circle 200,158 200,180" \
    \( -size 256x256 xc:none -fill black -draw "circle 200,158 200,174" \) \
    -compose DstOut -composite "$work/master.png"

# image SIZE COLOURS OUT: scaled down, alpha cut to on/off (the mask), all
# transparent pixels one colour, then reduced to an adaptive palette with
# one entry kept for that colour. MIFF keeps the palette class, which
# decides the bit count the icon writer picks.
image() {
    convert "$work/master.png" -filter Lanczos -resize "${1}x${1}" \
        -channel A -threshold 50% +channel \
        -background black -alpha background \
        +dither -colors "$(($2 - 1))" -type PaletteMatte "$3"
}

image 32 16  "$work/i32_16.miff"
image 32 256 "$work/i32_256.miff"
image 16 256 "$work/i16_256.miff"
image 16 16  "$work/i16_16.miff"
convert "$work/i32_16.miff" "$work/i32_256.miff" \
        "$work/i16_256.miff" "$work/i16_16.miff" "$here/Tarvello.ico"

# Check the directory: each entry's width and bit count as listed above.
expect="32 4
32 8
16 8
16 4"
got=$(od -An -tu1 -j6 -N64 -w16 -v "$here/Tarvello.ico" | awk '{ print $1, $7 }')
if [ "$got" != "$expect" ]; then
    echo "make_icon.sh: unexpected icon directory:" >&2
    echo "$got" >&2
    exit 1
fi
echo "wrote $here/Tarvello.ico"
