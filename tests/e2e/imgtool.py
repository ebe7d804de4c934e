#!/usr/bin/python3
"""Picture checks for the real-window tests; CROP is "x y w h" in pixels.

  rmse A B CROP [BX BY]   root-mean-square difference (0..255) of that crop of A and of B (at BX BY)
  bbox SHOT R G B CROP    "x y w h" around the pixels farther than 40 from (R, G, B), or "none"
  find SHOT TPL CROP      "x y rmse" of the best place for the picture TPL inside the crop
"""
import sys

from PIL import Image, ImageChops, ImageStat


def load(path, x, y, w, h):
    return Image.open(path).convert("RGB").crop((int(x), int(y), int(x) + int(w), int(y) + int(h)))


def rmse(a, b):
    return (sum(v * v for v in ImageStat.Stat(ImageChops.difference(a, b)).rms) / 3) ** 0.5


def main(cmd, shot, *a):
    if cmd == "rmse":
        print(f"{rmse(load(shot, *a[1:5]), load(a[0], *(a[5:7] or a[1:3]), *a[3:5])):.2f}")
    elif cmd == "bbox":
        img = load(shot, *a[3:7])
        box = ImageChops.difference(img, Image.new("RGB", img.size, tuple(map(int, a[0:3])))).point(lambda v: 255 * (v > 40)).convert("L").getbbox()
        print("none" if box is None else f"{box[0]} {box[1]} {box[2] - box[0]} {box[3] - box[1]}")
    elif cmd == "find":
        img, tpl = load(shot, *a[1:5]), Image.open(a[0]).convert("RGB")
        w, h = tpl.size
        best = min((rmse(img.crop((x, y, x + w, y + h)), tpl), x, y)
                   for x in range(img.width - w + 1) for y in range(img.height - h + 1))
        print(f"{best[1] + int(a[1])} {best[2] + int(a[2])} {best[0]:.2f}")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(*sys.argv[1:])
