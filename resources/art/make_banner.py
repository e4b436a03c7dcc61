#!/usr/bin/python3
"""Draws the About box's banner and writes it as a 256-colour .bmp file.

The banner is 400 x 80 pixels: a dark blue band that lightens to the right,
the band's quill-and-page picture (the same layers as its icons) on the
left, the product's name and the three kinds of records it lists. It needs
Pillow (Debian's python3-pil) and the DejaVu fonts; the output is kept in
the tree, so the build never runs this script. Run it again after changing
the art:

    /usr/bin/python3 resources/art/make_banner.py
"""

import os

from PIL import Image, ImageDraw, ImageFont

import make_icons

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 400, 80
LEFT = (24, 42, 84)
RIGHT = (52, 112, 176)
FONTS = "/usr/share/fonts/truetype/dejavu"


def background():
    image = Image.new("RGB", (WIDTH, HEIGHT))
    pixels = image.load()
    for x in range(WIDTH):
        t = x / (WIDTH - 1)
        base = [round(LEFT[i] + (RIGHT[i] - LEFT[i]) * t) for i in range(3)]
        for y in range(HEIGHT):
            # A soft light from the top edge.
            lift = max(0.0, 1.0 - y / 30.0) * 18
            pixels[x, y] = tuple(min(255, round(c + lift)) for c in base)
    # A thin light rule along the bottom.
    draw = ImageDraw.Draw(image)
    draw.line([(0, HEIGHT - 2), (WIDTH, HEIGHT - 2)], fill=(120, 170, 220))
    return image


def quill(size):
    pixels = make_icons.render(size, hot=True)
    picture = Image.new("RGBA", (size, size))
    picture.putdata(pixels)
    return picture


def main():
    banner = background()
    banner.paste(quill(64), (14, 8), quill(64))

    draw = ImageDraw.Draw(banner)
    title = ImageFont.truetype(os.path.join(FONTS, "DejaVuSans-Bold.ttf"), 34)
    subtitle = ImageFont.truetype(os.path.join(FONTS, "DejaVuSans.ttf"), 13)
    draw.text((92, 8), "Quillmere", font=title, fill=(255, 255, 255))
    draw.text((95, 52), "History  \u00b7  Cookies  \u00b7  Cache", font=subtitle, fill=(190, 215, 245))

    path = os.path.join(HERE, "about_banner_219.bmp")
    banner.quantize(colors=256, method=Image.Quantize.MEDIANCUT).save(path)
    print("wrote", path)


if __name__ == "__main__":
    main()
