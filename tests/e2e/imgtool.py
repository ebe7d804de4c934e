#!/usr/bin/python3
"""Picture checks for the real-window tests.

  rmse A B [x y w h]          root-mean-square difference (0..255) of two pictures (or crops)
  closer SHOT A B x y w h     "A" if the crop of SHOT is closer to picture A than to B, else "B";
                              A and B are pictures of size w x h
  expect FILE x y w h OVER    writes FILE: picture OVER (a GIF) stretched to w x h over the crop
                              (x, y, w, h) of the background in $BG
  share SHOT x y w h R G B    share of pixels in the crop within 24 of colour (R, G, B)
  bbox SHOT R G B [x y w h]   bounding box "x y w h" of pixels farther than 40 from (R, G, B)
  locate SHOT TEMPLATE x y r  where TEMPLATE sits in SHOT near (x, y), within r pixels:
                              "x y rmse" of the best place
"""
import os
import sys

from PIL import Image, ImageChops, ImageStat


def load(path):
    return Image.open(path).convert("RGB")


def crop(img, args):
    if not args:
        return img
    x, y, w, h = map(int, args)
    return img.crop((x, y, x + w, y + h))


def rmse(a, b):
    diff = ImageChops.difference(a, b)
    stat = ImageStat.Stat(diff)
    return (sum(v * v for v in stat.rms) / 3) ** 0.5


def near(pixel, rgb, limit):
    return all(abs(p - c) <= limit for p, c in zip(pixel, rgb))


def main(cmd, *args):
    if cmd == "rmse":
        a, b = load(args[0]), load(args[1])
        print(f"{rmse(crop(a, args[2:]), crop(b, args[2:])):.2f}")
    elif cmd == "closer":
        shot = crop(load(args[0]), args[3:7])
        a, b = load(args[1]), load(args[2])
        print("A" if rmse(shot, a) < rmse(shot, b) else "B")
    elif cmd == "expect":
        out, (x, y, w, h), over = args[0], map(int, args[1:5]), args[5]
        bg = load(os.environ["BG"]).crop((x, y, x + w, y + h)).convert("RGBA")
        sprite = Image.open(over).convert("RGBA").resize((w, h), Image.BILINEAR)
        bg.alpha_composite(sprite)
        bg.convert("RGB").save(out)
    elif cmd == "share":
        img = crop(load(args[0]), args[1:5])
        rgb = tuple(map(int, args[5:8]))
        pixels = list(img.getdata())
        print(f"{sum(near(p, rgb, 24) for p in pixels) / len(pixels):.3f}")
    elif cmd == "bbox":
        img = crop(load(args[0]), args[4:8])
        rgb = tuple(map(int, args[1:4]))
        mask = Image.new("L", img.size)
        mask.putdata([0 if near(p, rgb, 40) else 255 for p in img.getdata()])
        box = mask.getbbox()
        print("none" if box is None else f"{box[0]} {box[1]} {box[2] - box[0]} {box[3] - box[1]}")
    elif cmd == "locate":
        shot, tpl = load(args[0]), load(args[1])
        x0, y0, r = map(int, args[2:5])
        w, h = tpl.size
        best = min((rmse(shot.crop((x, y, x + w, y + h)), tpl), x, y)
                   for x in range(x0 - r, x0 + r + 1) for y in range(y0 - r, y0 + r + 1))
        print(f"{best[1]} {best[2]} {best[0]:.2f}")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*sys.argv[1:])
