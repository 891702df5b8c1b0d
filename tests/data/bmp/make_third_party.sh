#!/bin/sh
# Writes the BMP files of other programs into good/ and broken/: our own test pattern, saved by
# ImageMagick, GraphicsMagick, Pillow, netpbm, FFmpeg and OpenCV in the variants they offer.
# The pattern is the one of make_corpus.py: pixel (x, y), y counted from the bottom row, has the
# value (7x + 31y + 1) mod 256, here on a 37 x 11 image (9 x 5 for the short table) at 72 x 96 dpi.
# "gray" files show that value as gray, "colour" files as the colour (red 255 - v, green 7v mod 256,
# blue v), so palette writers that reorder the table still have to keep every colour.
# bmp_file_test.cpp holds what each file must give. The committed files are the reference: other
# versions of these programs may write different bytes.
# Needs: imagemagick graphicsmagick netpbm ffmpeg python3-pil python3-opencv (Debian package names).
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
py=/usr/bin/python3

"$py" - "$work" <<'EOF'
import sys
from PIL import Image

folder = sys.argv[1]

def value(x, row, height):
    return (7 * x + 31 * (height - 1 - row) + 1) % 256

def colour(v):
    return (255 - v, (7 * v) % 256, v)

def save(name, mode, width, height, paint):
    image = Image.new(mode, (width, height))
    image.putdata([paint(value(x, r, height)) for r in range(height) for x in range(width)])
    image.save(f"{folder}/{name}", dpi=(72, 96))

save("gray.png", "L", 37, 11, lambda v: v)
save("colour.png", "RGB", 37, 11, colour)
save("gray_small.png", "L", 9, 5, lambda v: v)
EOF

gray=$work/gray.png
colour=$work/colour.png

# 8-bit uncompressed files of every header and table layout these programs write.
convert "$gray" -type Grayscale -compress None BMP3:good/imagemagick_bmp3_gray.bmp
convert "$colour" -type Palette -compress None BMP3:good/imagemagick_bmp3_palette.bmp
convert "$gray" -type Grayscale BMP2:good/imagemagick_bmp2_gray.bmp
convert "$gray" -type Grayscale -compress None BMP:good/imagemagick_bmp4_gray.bmp
convert "$colour" -type Palette -compress None BMP:good/imagemagick_bmp5_palette.bmp
gm convert "$colour" -type Palette -compress None BMP3:good/graphicsmagick_bmp3_palette.bmp
pngtopnm "$colour" 2>/dev/null | ppmtobmp -quiet -bpp 8 -windows >good/netpbm_windows_8bit.bmp
pngtopnm "$gray" 2>/dev/null | ppmtobmp -quiet -bpp 8 -os2 >good/netpbm_os2_8bit.bmp
ffmpeg -v error -y -i "$gray" -pix_fmt gray good/ffmpeg_gray.bmp
ffmpeg -v error -y -i "$colour" -pix_fmt pal8 \
    -vf "split[a][b];[a]palettegen=max_colors=256:reserve_transparent=0:stats_mode=full[p];[b][p]paletteuse=dither=none" \
    good/ffmpeg_pal8.bmp
"$py" - "$work" <<'EOF'
import sys
import cv2
from PIL import Image

folder = sys.argv[1]
Image.open(f"{folder}/gray.png").save("good/pillow_l.bmp")
Image.open(f"{folder}/colour.png").convert("P", palette=Image.ADAPTIVE, colors=256).save(
    "good/pillow_p_adaptive.bmp")
# A table of only the 45 grays the small image uses: Pillow writes "colours used" 45.
small = Image.open(f"{folder}/gray_small.png")
grays = sorted(set(small.getdata()))
indexed = Image.new("P", small.size)
indexed.putdata([grays.index(v) for v in small.getdata()])
indexed.putpalette(b"".join(bytes([v] * 3) for v in grays))
indexed.save("good/pillow_p_45_colours.bmp", dpi=(72, 96))
cv2.imwrite("good/opencv_gray.bmp", cv2.imread(f"{folder}/gray.png", cv2.IMREAD_GRAYSCALE))
EOF

# What the same programs write when asked for anything but 8-bit uncompressed: refused.
convert "$colour" -type Palette BMP3:broken/imagemagick_bmp3_rle8.bmp
convert "$gray" -type Grayscale BMP:broken/imagemagick_bmp4_rle8.bmp
convert "$gray" -colors 16 -type Palette BMP3:broken/imagemagick_bmp3_4bit.bmp
convert "$gray" -type Bilevel BMP3:broken/imagemagick_bmp3_1bit.bmp
convert "$colour" -alpha set -type TrueColorAlpha BMP:broken/imagemagick_bmp5_32bit.bmp
pngtopnm "$gray" 2>/dev/null | pnmquant -quiet 16 | ppmtobmp -quiet -bpp 4 -os2 >broken/netpbm_os2_4bit.bmp
ffmpeg -v error -y -i "$colour" -pix_fmt rgb565 broken/ffmpeg_rgb565.bmp
"$py" -c "from PIL import Image; Image.open('$colour').save('broken/pillow_24bit.bmp')"
