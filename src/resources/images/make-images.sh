#!/bin/bash
# Draws Velto's icons and toolbar strips from simple shapes with ImageMagick
# (Debian package imagemagick) and writes them beside this script:
#   Velto.ico           program icon 107: 48, 32 and 16 pixels
#   VeltoSmall.ico      small icon 108: 16, 20, 24 and 32 pixels
#   Toolbar*.bmp        strips of seven 24 x 24 images, 8 bits per pixel,
#                       magenta (255, 0, 255) where the toolbar shows through
# Toolbar images: 0 tracks, 1 albums, 2 unused, 3 analyze, 4 apply gain,
# 5 unused, 6 help. Run it again after changing a shape; commit the outputs.
set -euo pipefail
cd "$(dirname "$0")"
convert=${CONVERT:-convert}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One 24 x 24 cell per toolbar image, drawn without anti-aliasing so that
# every pixel is either a shape colour or exactly the mask colour.
# Arguments: output, ink (outlines and glyphs), fill (bodies), accent, light.
draw_strip() {
    local out=$1 ink=$2 body=$3 accent=$4 light=$5
    "$convert" -size 168x24 xc:'#FF00FF' +antialias \
        `# 0 tracks: a page of rows, each a bullet and a line` \
        -fill "$light" -stroke "$ink" -strokewidth 1 -draw "rectangle 2,2 21,21" \
        -stroke none -fill "$body" \
        -draw "rectangle 5,5 7,7" -draw "rectangle 10,5 18,7" \
        -draw "rectangle 5,10 7,12" -draw "rectangle 10,10 18,12" \
        -draw "rectangle 5,15 7,17" -draw "rectangle 10,15 18,17" \
        `# 1 albums: a disc with a label and a hole` \
        -fill "$light" -stroke "$ink" -strokewidth 1 -draw "circle 35.5,11.5 35.5,1.5" \
        -fill "$body" -stroke none -draw "circle 35.5,11.5 35.5,6.5" \
        -fill '#FF00FF' -draw "circle 35.5,11.5 35.5,9.5" \
        `# 3 analyze: a waveform under a magnifying glass` \
        -fill "$body" -stroke none \
        -draw "rectangle 79,9 80,13" -draw "rectangle 82,6 83,16" -draw "rectangle 85,8 86,14" \
        -fill none -stroke "$ink" -strokewidth 2 -draw "circle 83,11 83,3" \
        -stroke "$accent" -strokewidth 3 -draw "line 89,17 94,22" \
        `# 4 apply gain: level bars rising to an even top, with an up arrow` \
        -stroke none -fill "$body" \
        -draw "rectangle 98,15 101,21" -draw "rectangle 103,11 106,21" -draw "rectangle 108,7 111,21" \
        -fill "$accent" -draw "polygon 114,9 121,9 117.5,3" -draw "rectangle 116,9 119,21" \
        -fill "$ink" -draw "rectangle 97,22 121,22" \
        `# 6 help: a question mark in a disc` \
        -fill "$body" -stroke "$ink" -strokewidth 1 -draw "circle 155.5,11.5 155.5,1.5" \
        -stroke none -fill "$light" \
        -draw "rectangle 151,6 153,8" -draw "rectangle 152,4 158,6" -draw "rectangle 157,5 159,11" \
        -draw "rectangle 154,10 158,12" -draw "rectangle 154,10 156,14" -draw "rectangle 154,16 156,18" \
        -depth 8 "ppm:$work/strip.ppm"
    write_bmp8 "$work/strip.ppm" "$out"
}

# ImageMagick writes a few-colour palette image with 4 bits per pixel; the
# toolbar's image lists want 8. This writes the strip as an uncompressed
# 8-bit BMP with the strip's own colours as its palette.
write_bmp8() {
    python3 - "$1" "$2" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
fields, pos = [], 0
while len(fields) < 4:  # P6 header: magic, width, height, maximum
    while data[pos:pos + 1].isspace():
        pos += 1
    end = pos
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[pos:end])
    pos = end
pixels = data[pos + 1:]
width, height = int(fields[1]), int(fields[2])
colors = sorted({pixels[i:i + 3] for i in range(0, len(pixels), 3)})
assert len(colors) <= 256, "too many colours for 8 bits"
index = {color: i for i, color in enumerate(colors)}
stride = (width + 3) & ~3
rows = b""
for y in range(height - 1, -1, -1):  # bottom-up
    row = bytes(index[pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]] for x in range(width))
    rows += row + b"\0" * (stride - width)
palette = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colors) + b"\0" * 4 * (256 - len(colors))
offset = 14 + 40 + len(palette)
header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
open(sys.argv[2], "wb").write(header + info + palette + rows)
PY
}

draw_strip ToolbarNormal.bmp '#1B3A6B' '#2F6FC4' '#D98A1C' '#F4F7FB'
draw_strip ToolbarHot.bmp '#0B2A5B' '#3E8CF0' '#F2A230' '#FFFFFF'
draw_strip ToolbarDisabled.bmp '#8C8C8C' '#B4B4B4' '#A6A6A6' '#E6E6E6'

# The program icon: a blue rounded square with four white bars of equal
# height (loudness evened out) standing on a baseline.
draw_icon() {
    local size=$1 out=$2
    "$convert" -size 256x256 xc:none \
        -fill '#2F6FC4' -stroke '#1B3A6B' -strokewidth 8 -draw "roundrectangle 8,8 247,247 40,40" \
        -stroke none -fill white \
        -draw "rectangle 51,96 79,204" -draw "rectangle 93,96 121,204" \
        -draw "rectangle 135,96 163,204" -draw "rectangle 177,96 205,204" \
        -fill '#F2A230' -draw "rectangle 40,68 216,80" \
        -resize "${size}x${size}" "$out"
}

for size in 16 20 24 32 48; do
    draw_icon "$size" "$work/icon-$size.png"
done
"$convert" "$work/icon-48.png" "$work/icon-32.png" "$work/icon-16.png" Velto.ico
"$convert" "$work/icon-16.png" "$work/icon-20.png" "$work/icon-24.png" "$work/icon-32.png" VeltoSmall.ico
