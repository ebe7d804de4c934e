"""Drawing kit for the game's pictures: supersampled shapes in design units, lit balls,
faces, gradients, and a GIF writer that mattes soft edges against the game's navy.
"""
import math
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

DEJAVU = Path("/usr/share/fonts/truetype/dejavu")
NAVY = (0x1B, 0x22, 0x3C)  # the game window's background; sprite edges are blended into it
INK = (28, 16, 34)
SS = 4                     # supersampling factor of the sprites
CUT = 110                  # alpha below this becomes the transparent palette index


def font(size, bold=True):
    return ImageFont.truetype(str(DEJAVU / ("DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf")), round(size))


class Pen:
    """ImageDraw in design units: k pixels per unit, shifted by (ox, oy)."""

    def __init__(self, img, k, ox=0, oy=0):
        self.img, self.k, self.ox, self.oy = img, k, ox, oy
        self.d = ImageDraw.Draw(img)

    def pt(self, x, y):
        return (x * self.k + self.ox, y * self.k + self.oy)

    def box(self, cx, cy, rx, ry):
        return [*self.pt(cx - rx, cy - ry), *self.pt(cx + rx, cy + ry)]

    def w(self, width):
        return max(1, round(width * self.k))

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=0):
        self.d.ellipse(self.box(cx, cy, rx, ry), fill=fill, outline=outline, width=self.w(width))

    def poly(self, pts, fill=None, outline=None, width=0):
        self.d.polygon([self.pt(*p) for p in pts], fill=fill, outline=outline, width=self.w(width))

    def line(self, pts, fill, width):
        self.d.line([self.pt(*p) for p in pts], fill=fill, width=self.w(width), joint="curve")
        for x, y in (pts[0], pts[-1]):  # round caps
            self.ellipse(x, y, width / 2, width / 2, fill=fill)

    def arc(self, cx, cy, rx, ry, a0, a1, fill, width):
        self.d.arc(self.box(cx, cy, rx, ry), a0, a1, fill=fill, width=self.w(width))

    def rrect(self, x0, y0, x1, y1, r, fill=None, outline=None, width=0):
        self.d.rounded_rectangle([*self.pt(x0, y0), *self.pt(x1, y1)], round(r * self.k),
                                 fill=fill, outline=outline, width=self.w(width) if outline else 0)

    def text(self, x, y, s, size, fill, bold=True, anchor="mm", stroke=0, stroke_fill=None):
        self.d.text(self.pt(x, y), s, font=font(size * self.k, bold), fill=fill, anchor=anchor,
                    stroke_width=round(stroke * self.k), stroke_fill=stroke_fill)

    def layer(self, mode="RGBA"):
        """An empty layer (or "L" mask) of the same size; merge a layer back with over()."""
        return Pen(Image.new(mode, self.img.size, 0), self.k, self.ox, self.oy)

    def over(self, layer, blur=0, clip=None, sharp=False):
        """Merge a layer, optionally blurred (a glow, with the sharp layer on top) or clipped."""
        img = layer.img.filter(ImageFilter.GaussianBlur(blur * self.k)) if blur else layer.img
        if clip is not None:
            img.putalpha(ImageChops.multiply(img.getchannel("A"), clip))
        self.img.alpha_composite(img)
        if sharp:
            self.img.alpha_composite(layer.img)

    def paint(self, source, mask):
        """Lay a colour or a picture onto the image through an alpha mask."""
        src = Image.new("RGBA", self.img.size, source) if isinstance(source, tuple) else source.convert("RGBA")
        src.putalpha(mask)
        self.img.alpha_composite(src)


def polar(cx, cy, r, a):
    """The point at radius r and angle a (radians) around (cx, cy)."""
    return (cx + r * math.cos(a), cy + r * math.sin(a))


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def vgrad(size, stops):
    """Vertical gradient through (position 0..1, colour) stops."""
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / (h - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                d.line([(0, y), (w, y)], fill=lerp(c0, c1, (t - t0) / max(t1 - t0, 1e-9)))
                break
    return img


def disc_mask(pen, cx, cy, r):
    m = pen.layer("L")
    m.ellipse(cx, cy, r, r, fill=255)
    return m.img


def ball(pen, cx, cy, r, light, base, dark, rim):
    """A lit sphere: light upper left, shading into the dark lower right, cartoon rim."""
    size, k = pen.img.size, pen.k
    reach = 1.55 * r * k
    grad = Image.new("L", size, 255)
    hx, hy = pen.pt(cx - 0.35 * r, cy - 0.4 * r)
    grad.paste(Image.radial_gradient("L").resize((round(2 * reach),) * 2), (round(hx - reach), round(hy - reach)))
    solid = lambda colour: Image.new("RGB", size, colour)
    col = Image.composite(solid(base), solid(light), grad.point(lambda v: min(255, 2 * v)))
    col = Image.composite(solid(dark), col, grad.point(lambda v: max(0, 2 * v - 255)))
    pen.paint(col, disc_mask(pen, cx, cy, r))
    pen.ellipse(cx, cy, r, r, outline=rim, width=2.4)


def shine(pen, cx, cy, r, strength=210):
    """Soft specular spot, drawn last so it lies over the face too."""
    lay = pen.layer()
    lay.ellipse(cx - 0.48 * r, cy - 0.66 * r, 0.24 * r, 0.13 * r, fill=(255, 255, 255, strength))
    pen.over(lay, blur=0.06 * r, clip=disc_mask(pen, cx, cy, r))


def eye(pen, x, y, rx, ry, look=(-0.3, 0.1), iris=None, white=(255, 255, 255), slit=False):
    pen.ellipse(x, y, rx, ry, fill=white, outline=INK, width=1.6)
    px, py = x + look[0] * rx, y + look[1] * ry
    if iris:
        pen.ellipse(px, py, 0.6 * rx, 0.6 * rx, fill=iris)
    if slit:
        pen.ellipse(px, py, 0.16 * rx, 0.7 * ry, fill=INK)
    else:
        pen.ellipse(px, py, 0.32 * rx, 0.32 * rx, fill=INK)
        pen.ellipse(px - 0.14 * rx, py - 0.16 * rx, 0.12 * rx, 0.12 * rx, fill="white")


def star(pen, cx, cy, r, fill, points=5, inner=0.45, turn=-90, outline=None, width=0):
    pts = [polar(cx, cy, r * (inner if i % 2 else 1), math.radians(turn + 180 * i / points)) for i in range(2 * points)]
    pen.poly(pts, fill=fill, outline=outline, width=width)


def sprite(size):
    return Pen(Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0)), SS)


def save_gif(pen, path, size):
    """Shrink, matte soft edges against the navy window, quantise with a transparent index 255."""
    img = pen.img.resize((size, size), Image.LANCZOS)
    rgb = Image.alpha_composite(Image.new("RGBA", img.size, NAVY + (255,)), img).convert("RGB")
    pal = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    colours = pal.getpalette()[:255 * 3]
    pal.putpalette(colours + [0] * (255 * 3 - len(colours)) + list(NAVY))
    pal.paste(255, mask=img.getchannel("A").point(lambda a: 255 if a < CUT else 0))
    pal.save(path, transparency=255)
