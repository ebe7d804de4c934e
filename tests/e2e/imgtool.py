#!/usr/bin/python3
"""Picture checks for the real-window tests; CROP is "x y w h" in pixels.

  rmse A B [CROP]         root-mean-square difference (0..255) of two pictures or crops
  closer SHOT A B CROP    "A" if the crop of SHOT is closer to picture A than to B, else "B"
  expect FILE CROP OVER   writes FILE: the GIF OVER stretched over that crop of the picture $BG
  share SHOT CROP R G B   share of the crop's pixels within 24 of colour (R, G, B)
  bbox SHOT R G B [CROP]  "x y w h" around the pixels farther than 40 from (R, G, B), or "none"
  locate SHOT TPL x y r   "x y rmse" of the best place for the picture TPL within r of (x, y)
  find SHOT TPL CROP      "x y rmse" of the best place for the picture TPL inside the crop
  digit SHOT FONT CROP    the light digit 0-9 the crop shows by its shape in FONT, "none" or "?"
"""
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont, ImageStat


def load(path, box=()):
    img = Image.open(path).convert("RGB")
    x, y, w, h = map(int, box or (0, 0, *img.size))
    return img.crop((x, y, x + w, y + h))


def rmse(a, b):
    return (sum(v * v for v in ImageStat.Stat(ImageChops.difference(a, b)).rms) / 3) ** 0.5


def unlike(img, rgb, limit):  # a mask of the pixels farther than limit from rgb
    mask = Image.new("L", img.size)
    mask.putdata([255 if any(abs(p - c) > limit for p, c in zip(px, rgb)) else 0 for px in img.getdata()])
    return mask


def digit(img, font_path):
    shape = Image.new("L", img.size)  # light text on a dark ground: an item over it is no part of it
    shape.putdata([255 if min(px) > 128 else 0 for px in img.getdata()])
    if shape.getbbox() is None:
        return "none"
    shape = shape.crop(shape.getbbox())
    font = ImageFont.truetype(font_path, 64)

    def misfit(d):
        glyph = Image.new("L", (80, 100))
        ImageDraw.Draw(glyph).text((8, 4), d, fill=255, font=font)
        glyph = glyph.point(lambda v: 255 if v > 128 else 0)
        glyph = glyph.crop(glyph.getbbox()).resize(shape.size, Image.NEAREST)
        return sum(a != b for a, b in zip(glyph.getdata(), shape.getdata())) / (shape.width * shape.height)

    wrong, best = min((misfit(d), d) for d in "0123456789")
    return best if wrong < 0.25 else "?"


def main(cmd, *a):
    if cmd == "rmse":
        print(f"{rmse(load(a[0], a[2:]), load(a[1], a[2:])):.2f}")
    elif cmd == "closer":
        shot = load(a[0], a[3:7])
        print("A" if rmse(shot, load(a[1])) < rmse(shot, load(a[2])) else "B")
    elif cmd == "expect":
        bg = load(os.environ["BG"], a[1:5]).convert("RGBA")
        bg.alpha_composite(Image.open(a[5]).convert("RGBA").resize(bg.size, Image.BILINEAR))
        bg.convert("RGB").save(a[0])
    elif cmd == "share":
        pixels = list(load(a[0], a[1:5]).getdata())
        rgb = tuple(map(int, a[5:8]))
        print(f"{sum(all(abs(p - c) <= 24 for p, c in zip(px, rgb)) for px in pixels) / len(pixels):.3f}")
    elif cmd == "bbox":
        box = unlike(load(a[0], a[4:8]), tuple(map(int, a[1:4])), 40).getbbox()
        print("none" if box is None else f"{box[0]} {box[1]} {box[2] - box[0]} {box[3] - box[1]}")
    elif cmd == "locate":
        shot, tpl = load(a[0]), load(a[1])
        x0, y0, r = map(int, a[2:5])
        w, h = tpl.size
        best = min((rmse(shot.crop((x, y, x + w, y + h)), tpl), x, y)
                   for x in range(x0 - r, x0 + r + 1) for y in range(y0 - r, y0 + r + 1))
        print(f"{best[1]} {best[2]} {best[0]:.2f}")
    elif cmd == "find":
        shot, tpl = load(a[0], a[2:6]), load(a[1])
        w, h = tpl.size
        best = min((rmse(shot.crop((x, y, x + w, y + h)), tpl), x, y)
                   for x in range(shot.width - w + 1) for y in range(shot.height - h + 1))
        print(f"{best[1] + int(a[2])} {best[2] + int(a[3])} {best[0]:.2f}")
    elif cmd == "digit":
        print(digit(load(a[0], a[2:6]), a[1]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*sys.argv[1:])
