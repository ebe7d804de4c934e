#!/usr/bin/python3
"""Draws every picture of Kreiselsturm from code and fills the program folder.

Writes assets/ (enemies, player tops, start screen, highscore panel, fonts with
their licence), src/app/icon.gif and its PNG sizes in packaging/linux/icons/. Deterministic: the same Pillow gives the
same bytes. Run from anywhere: /usr/bin/python3 tools/make_assets.py
"""
import math
import random
import shutil
import sys
from pathlib import Path

from PIL import Image, ImageChops, ImageFilter

sys.dont_write_bytecode = True   # keep the source folder clean
from drawkit import (INK, NAVY, SS, Pen, ball, disc_mask, eye, lerp, polar,  # noqa: E402
                     save_gif, shine, sprite, star, vgrad)

ROOT = Path(__file__).resolve().parent.parent
ASSETS = ROOT / "assets"
ICON = ROOT / "src" / "app" / "icon.gif"
LINUX_ICONS = ROOT / "packaging" / "linux" / "icons"   # the Linux release's desktop icons
LIBERATION = Path("/usr/share/fonts/truetype/liberation")  # Debian package fonts-liberation
LIBERATION_LICENCE = Path("/usr/share/doc/fonts-liberation/copyright")


# --- enemies (drawn in 120 units; they look left, towards the player) -----------------

def gegner_angry():
    p = sprite(120)
    ball(p, 60, 60, 55, (255, 150, 120), (222, 38, 36), (105, 6, 22), (70, 4, 16))
    eye(p, 42, 52, 12, 11)
    eye(p, 78, 52, 12, 11)
    p.poly([(22, 31), (56, 42), (55, 50), (23, 39)], fill=INK)   # frowning brows
    p.poly([(98, 31), (64, 42), (65, 50), (97, 39)], fill=INK)
    top = [(38 + 44 * t / 12, 91 - 12 * math.sin(math.pi * t / 12)) for t in range(13)]
    bottom = [(x, 91 - 3 * math.sin(math.pi * (x - 38) / 44)) for x, _ in reversed(top)]
    p.poly(top + bottom, fill=(80, 0, 12), outline=INK, width=1.4)
    teeth = []
    for i in range(0, 12, 2):
        (x0, y0), (x1, y1), (x2, y2) = top[i], top[i + 1], top[i + 2]
        teeth += [(x0, y0), (x1, y1 + 5), (x2, y2)]
    p.poly(teeth + [(82, 91)], fill="white")
    shine(p, 60, 60, 55)
    return p


def gegner_spiky():
    p = sprite(120)
    n = 12
    for i in range(n):
        a = 2 * math.pi * (i + 0.5) / n
        tip, mid = polar(60, 60, 58, a), polar(60, 60, 40, a)   # lit and shaded half of each spike
        p.poly([polar(60, 60, 40, a - 0.27), tip, mid], fill=(205, 150, 250), outline=(45, 8, 70), width=1.2)
        p.poly([mid, tip, polar(60, 60, 40, a + 0.27)], fill=(95, 30, 140), outline=(45, 8, 70), width=1.2)
    ball(p, 60, 60, 45, (215, 165, 255), (140, 58, 210), (52, 12, 92), (45, 8, 70))
    eye(p, 45, 53, 11, 9, look=(-0.35, 0.1), white=(255, 228, 70), slit=True)
    eye(p, 75, 53, 11, 9, look=(-0.35, 0.1), white=(255, 228, 70), slit=True)
    p.poly([(31, 40), (58, 50), (57, 46), (33, 36)], fill=INK)   # sly lids
    p.poly([(89, 40), (62, 50), (63, 46), (87, 36)], fill=INK)
    p.d.chord(p.box(60, 68, 20, 14), 0, 180, fill=INK)
    for x in (50, 70):
        p.poly([(x - 4, 68.5), (x + 4, 68.5), (x, 77)], fill="white")
    shine(p, 60, 60, 45)
    return p


def gegner_slime():
    p = sprite(120)
    green, dark = (70, 190, 60), (24, 96, 30)
    for x, length, r in ((36, 108, 5), (62, 116, 6.5), (86, 104, 4.5)):   # drips
        p.rrect(x - r, 80, x + r, length - r, r, fill=green, outline=dark, width=1.6)
        p.ellipse(x, length - r, r, r, fill=green, outline=dark, width=1.6)
        p.ellipse(x - r * 0.35, length - r * 1.2, r * 0.3, r * 0.4, fill=(200, 255, 170))
    ball(p, 60, 54, 50, (200, 255, 150), green, (14, 78, 24), dark)
    p.rrect(31, 80, 41, 100, 4, fill=green)
    p.rrect(55.5, 88, 68.5, 104, 5, fill=green)
    p.rrect(81.5, 84, 90.5, 96, 4, fill=green)
    spots = p.layer()
    for x, y, r in ((22, 62, 5), (30, 78, 3.5), (90, 30, 4), (96, 66, 6), (80, 84, 3), (44, 20, 3)):
        spots.ellipse(x, y, r, r, fill=(160, 240, 120, 170), outline=(30, 110, 40, 200), width=1)
    p.over(spots)
    eye(p, 58, 50, 24, 22, look=(-0.22, 0.05), iris=(245, 186, 30))
    for a in (150, 200, 330, 20):   # bloodshot
        x0, y0 = 58 + 22 * math.cos(math.radians(a)), 50 + 20 * math.sin(math.radians(a))
        p.line([(x0, y0), (x0 * 0.7 + 58 * 0.3 + 2, y0 * 0.7 + 50 * 0.3 - 1)], fill=(220, 60, 60), width=1)
    p.arc(58, 50, 25, 23, 200, 340, fill=dark, width=3.5)   # heavy lid
    p.arc(60, 70, 14, 10, 40, 130, fill=INK, width=2.4)
    shine(p, 60, 54, 50)
    return p


def gegner_ice():
    p = sprite(120)
    ball(p, 60, 56, 50, (240, 252, 255), (118, 196, 245), (30, 78, 160), (20, 50, 110))
    facets = p.layer()
    pts = [(30, 24), (62, 14), (94, 34), (104, 66), (80, 98), (40, 100), (14, 66), (50, 48), (76, 60)]
    for a, b, c, alpha in ((0, 1, 7, 70), (1, 2, 8, 40), (2, 3, 8, 90), (3, 4, 8, 50), (4, 5, 8, 30),
                           (5, 6, 7, 80), (6, 0, 7, 40), (7, 8, 5, 60)):
        shade = (255, 255, 255, alpha) if alpha > 45 else (20, 60, 140, alpha + 30)
        facets.poly([pts[a], pts[b], pts[c]], fill=shade, outline=(255, 255, 255, 110), width=0.8)
    p.over(facets, clip=disc_mask(p, 60, 56, 50))
    for x, length in ((38, 114), (50, 118), (66, 116), (80, 110)):   # icicles
        p.poly([(x - 5, 98), (x + 5, 98), (x, length)], fill=(225, 245, 255), outline=(40, 90, 170), width=1.2)
    eye(p, 44, 52, 10, 11, iris=(40, 120, 220))
    eye(p, 76, 52, 10, 11, iris=(40, 120, 220))
    for x in (44, 76):   # cool half-closed lids
        p.d.chord(p.box(x, 52, 10.8, 11.8), 180, 360, fill=(150, 215, 250), outline=INK, width=p.w(1.6))
    p.line([(30, 36), (54, 38)], fill="white", width=3)
    p.line([(66, 38), (90, 36)], fill="white", width=3)
    p.line([(46 + 4 * i, 80 + (2 if i % 2 else -2)) for i in range(8)], fill=INK, width=2.2)
    star(p, 92, 24, 9, (255, 255, 255), points=4, inner=0.25)
    shine(p, 60, 56, 50)
    return p


def flame(pen, cx, cy, r0, angle, length, spread, lean, fill):
    """One tongue of fire: a curved drop leaving the ball at `angle` (degrees)."""
    a, s = math.radians(angle), math.radians(spread)
    tip = polar(cx, cy, r0 + length, a + lean)
    pts = []
    for sign in (-1, 1):   # each side a quadratic curve from the ball to the tip
        start, bend = polar(cx, cy, r0, a + sign * s), polar(cx, cy, r0 + length * 0.55, a + sign * s * 1.3)
        curve = [tuple((1 - t) ** 2 * b + 2 * (1 - t) * t * m + t * t * e for b, m, e in zip(start, bend, tip))
                 for t in (i / 10 for i in range(11))]
        pts += curve if sign < 0 else curve[::-1]
    pen.poly(pts, fill=fill)


def gegner_flame():
    p = sprite(120)
    cx, cy = 60, 68
    tongues = [(-165, 20), (-140, 30), (-115, 40), (-90, 44), (-65, 38), (-40, 30), (-15, 20), (180, 12), (0, 12)]
    for scale, colour in ((1.0, (215, 40, 20)), (0.78, (255, 130, 20)), (0.55, (255, 215, 70))):
        for angle, length in tongues:
            flame(p, cx, cy, 30, angle, length * scale + 8, 20, -0.18, colour)
    ball(p, cx, cy, 44, (255, 245, 170), (255, 150, 30), (200, 55, 10), (120, 28, 6))
    eye(p, 46, 62, 9, 10, look=(-0.35, 0.15))
    eye(p, 74, 62, 9, 10, look=(-0.35, 0.15))
    p.poly([(34, 48), (56, 54), (55, 58), (35, 52)], fill=INK)
    p.poly([(86, 48), (64, 54), (65, 58), (85, 52)], fill=INK)
    p.d.chord(p.box(60, 76, 17, 14), 0, 180, fill=INK)
    p.d.pieslice(p.box(60, 85, 8, 4.5), 180, 360, fill=(230, 70, 60))
    p.poly([(45, 76.5), (75, 76.5), (73, 80), (47, 80)], fill="white")
    shine(p, cx, cy, 44)
    return p


def gegner_touched():
    p = sprite(120)
    ball(p, 60, 64, 50, (238, 238, 240), (158, 158, 166), (66, 66, 76), (38, 38, 46))
    for crack in ([(96, 34), (86, 40), (88, 47), (77, 52)], [(11, 72), (24, 70), (30, 78), (41, 80), (44, 90)],
                  [(70, 113), (66, 104), (72, 99), (68, 92)], [(34, 20), (40, 28), (37, 34)]):
        p.line([(x + 0.9, y + 0.9) for x, y in crack], fill=(235, 235, 240), width=1.2)
        p.line(crack, fill=INK, width=2.2)
    for ex in (42, 78):   # dizzy spiral eyes
        spiral = [polar(ex, 60, 11 * t, 6 * math.pi * t) for t in (i / 60 for i in range(61))]
        p.ellipse(ex, 60, 12.5, 12.5, fill="white", outline=INK, width=1.4)
        p.line(spiral, fill=INK, width=2.2)
    p.line([(44 + i, 90 + 3 * math.sin(i * 0.6)) for i in range(33)], fill=INK, width=2.4)
    for i, a in enumerate((200, 290, 20)):   # stars circling the head
        x, y = 60 + 40 * math.cos(math.radians(a)), 16 + 9 * math.sin(math.radians(a))
        star(p, x, y, 8.5 - i, (255, 220, 40), outline=(140, 90, 10), width=1.2)
    shine(p, 60, 64, 50, strength=150)
    return p


# --- player tops (drawn in 96 units, seen from the side) ------------------------------

def top_width(y):
    """Half width of the top's body at height y (rim at 30, widest at 44, tip at 84)."""
    if y <= 44:
        return 30 + 6 * math.sin((y - 30) / 14 * math.pi / 2)
    return 36 * (1 - ((y - 44) / 40) ** 1.5) ** 1.1


def ring_y(h, x):
    """A horizontal circle of the body at height h, seen slightly from above."""
    w = max(top_width(h), 0.01)
    return h + 0.23 * w * math.sqrt(max(0.0, 1 - ((x - 48) / w) ** 2))


def swirl(pen, cy, rx, ry, a0, a1, colour, width):
    """Motion streak: an arc that fades out towards its end."""
    steps = 12
    for i in range(steps):
        alpha = round(255 * (1 - i / steps) ** 0.4)
        b0, b1 = a0 + (a1 - a0) * i / steps, a0 + (a1 - a0) * (i + 1) / steps
        pen.arc(48, cy, rx, ry, min(b0, b1), max(b0, b1) + 1, colour + (alpha,), width)


def draw_top(pen, body, face, stem, stripes=(), wedges=None, dots=None):
    """A spinning top: shaded body with stripes, slices or dots, stem, tip and swirling streaks."""
    back = pen.layer()
    swirl(back, 52, 46, 11, 350, 190, (190, 235, 255), 2.8)
    pen.over(back)
    pen.poly([(42, 74), (54, 74), (48, 93)], fill=(205, 210, 222), outline=INK, width=1.2)
    ys = [30 + i * 0.5 for i in range(109)]
    outline = [(48 + top_width(y), y) for y in ys] + [(48 - top_width(y), y) for y in reversed(ys)]
    lay = pen.layer()
    lay.poly(outline, fill=body)

    def meridian(a, heights):   # a line of the body at angle a from the front, seen slightly from above
        s, c = math.sin(math.radians(a)), math.cos(math.radians(a))
        return [(48 + top_width(y) * s, y + 0.23 * top_width(y) * c) for y in heights]
    if wedges:   # coloured slices between meridians, turned by an offset
        colour, n, turn = wedges
        for i in range(0, n, 2):
            a0, a1 = [max(-89.0, min(89.0, (turn + j * 360 / n + 180) % 360 - 180)) for j in (i, i + 1)]
            if a0 < a1:
                lay.poly(meridian(a0, ys) + meridian(a1, reversed(ys)), fill=colour)
    for h0, h1, colour in stripes:
        xs = [48 - 40 + i for i in range(81)]
        lay.poly([(x, ring_y(h0, x)) for x in xs] + [(x, ring_y(h1, x)) for x in reversed(xs)], fill=colour)
    if dots:   # a row of dots around the body, narrowing towards the sides
        colour, h = dots
        for a in range(-75, 90, 30):
            (x, y), = meridian(a, [h])
            lay.ellipse(x, y, 2.6 * math.cos(math.radians(a)), 2.6, fill=colour)
    mask, shade, gloss = pen.layer("L"), pen.layer("L"), pen.layer()
    mask.poly(outline, fill=255)
    for px in range(pen.img.size[0]):   # round body lit from the upper left
        dx = max(-1.0, min(1.0, ((px - pen.ox) / pen.k - 48) / 36))
        light = min(1.0, 0.32 + 0.8 * max(0.0, math.cos(math.asin(dx) + 0.5)))
        shade.d.line([(px, 0), (px, pen.img.size[1])], fill=round(255 * light))
    pen.paint(ImageChops.multiply(lay.img.convert("RGB"), shade.img.convert("RGB")), mask.img)
    gloss.poly([(30, 36), (36, 36), (40, 60), (44, 78), (41, 78), (33, 58)], fill=(255, 255, 255, 150))
    pen.over(gloss, blur=1.6, clip=mask.img)
    pen.poly(outline, outline=INK, width=1.6)
    pen.ellipse(48, 30, 30, 7, fill=face, outline=INK, width=1.6)
    pen.ellipse(48, 30, 18, 4, outline=lerp(face, (255, 255, 255), 0.5), width=1.2)
    pen.rrect(43.5, 10, 52.5, 31, 3, fill=stem, outline=INK, width=1.4)
    pen.rrect(45.5, 12, 47.5, 28, 1, fill=lerp(stem, (255, 255, 255), 0.55))
    pen.ellipse(48, 10, 6, 4.5, fill=stem, outline=INK, width=1.4)
    front = pen.layer()
    swirl(front, 52, 46, 11, 170, 10, (190, 235, 255), 2.8)
    swirl(front, 68, 36, 7.5, 10, 170, (255, 255, 255), 2.2)
    swirl(front, 89, 15, 3.5, 180, 0, (220, 240, 255), 1.8)
    pen.over(front)
    return pen


TOPS = [
    dict(body=(222, 40, 44), face=(245, 90, 80), stem=(240, 190, 60),
         stripes=[(38, 44, (255, 214, 50)), (46, 48, (255, 255, 255)), (58, 63, (255, 214, 50))]),
    dict(body=(240, 244, 255), face=(120, 170, 255), stem=(200, 205, 220),
         wedges=((40, 100, 230), 10, 12), stripes=[(44, 47, (255, 200, 40))]),
    dict(body=(60, 196, 120), face=(120, 230, 160), stem=(160, 100, 220),
         stripes=[(40, 52, (140, 60, 200)), (63, 65, (255, 240, 120))], dots=((255, 240, 120), 46)),
]


# --- start screen, highscore panel, icon ---------------------------------------------

def glow_text(img, k, x, y, text, size, fills, stroke, glow, shear=0.0):
    """Big headline: gradient fill, dark stroke, soft coloured glow, slanted."""
    pen = Pen(img, k)
    mask, edge = pen.layer("L"), pen.layer("L")
    mask.text(x, y, text, size, 255)
    edge.text(x, y, text, size, 255, stroke=stroke)
    slant = lambda m: m.transform(m.size, Image.AFFINE, (1, shear, -shear * y * k, 0, 1, 0), Image.BICUBIC)
    mask, edge = slant(mask.img), slant(edge.img)
    pen.paint(glow, edge.filter(ImageFilter.GaussianBlur(10 * k)).point(lambda v: min(255, v * 2)))
    pen.paint(INK, edge)
    at = lambda v: v * k / img.size[1]   # a design y as a fraction of the picture height
    stops = [(0, fills[0]), (at(y - size * 0.45), fills[0]), (at(y), fills[1]),
             (at(y + size * 0.4), fills[2]), (1, fills[2])]
    pen.paint(vgrad(img.size, stops), mask)


def splash():
    k, W, H, horizon = 2, 680, 499, 330
    img = vgrad((W * k, H * k), [(0, (8, 10, 30)), (0.4, (28, 22, 66)), (horizon / H, (96, 32, 104)),
                                 (horizon / H + 0.002, (22, 10, 40)), (1, (12, 8, 28))]).convert("RGBA")
    p = Pen(img, k)
    rng = random.Random(1996)
    sky = p.layer()
    for _ in range(170):
        x, y, r = rng.uniform(0, W), rng.uniform(0, horizon - 20), rng.choice((0.5, 0.6, 0.8, 1.0, 1.3))
        sky.ellipse(x, y, r, r, fill=(255, 255, 235, rng.randint(90, 255)))
    for x, y in ((40, 40), (610, 30), (600, 250), (30, 260), (395, 215)):
        star(sky, x, y, 5, (255, 255, 255, 230), points=4, inner=0.18)
    p.over(sky)
    moon = p.layer()
    moon.ellipse(612, 150, 26, 26, fill=(255, 244, 210, 255))
    moon.ellipse(600, 142, 24, 24, fill=(0, 0, 0, 0))
    p.over(moon, blur=0.4)
    halo = p.layer()
    halo.ellipse(340, horizon, 380, 40, fill=(255, 60, 170, 150))
    p.over(halo, blur=22)
    grid = p.layer()
    for i in range(-14, 15):
        grid.line([(340 + i * 14, horizon), (340 + i * 90, H + 10)], fill=(255, 70, 200, 150), width=1.2)
    for j in range(1, 12):
        y = horizon + (H - horizon) * (j / 11) ** 1.9
        grid.line([(-10, y), (W + 10, y)], fill=(255, 70, 200, 150), width=1.2)
    p.over(grid, blur=1.5, sharp=True)
    vortex = p.layer()   # the storm: a spiral of streaks around a tiny top
    for arm in range(4):
        pts = [polar(0, 0, 10 + 100 * t, 2 * math.pi * (arm / 4 + 1.2 * t)) for t in (i / 60 for i in range(61))]
        pts = [(340 + x, 266 + 0.36 * y) for x, y in pts]
        for i in range(60):
            vortex.line(pts[i:i + 2], fill=(140, 220, 255, round(230 * (1 - i / 60))), width=2.4 - 1.6 * i / 60)
    p.over(vortex, blur=2.5, sharp=True)
    p.over(draw_top(Pen(p.layer().img, 0.5 * k, (340 - 24) * k, (266 - 34) * k), **TOPS[0]))
    balls = p.layer()
    for x, y, r, c in ((520, 236, 9, (222, 38, 36)), (600, 300, 7, (140, 58, 210)), (140, 290, 8, (70, 190, 60)),
                      (196, 224, 6, (118, 196, 245)), (470, 312, 6, (255, 150, 30)), (70, 240, 5, (222, 38, 36))):
        for i in range(10):
            fade = 1 - i / 12
            balls.ellipse(x + r + i * 4, y, r * fade, r * fade, fill=c + (round(140 * (1 - i / 10)),))
        balls.ellipse(x, y, r, r, fill=c + (255,), outline=INK + (255,), width=1)
        balls.ellipse(x - r * 0.35, y - r * 0.4, r * 0.3, r * 0.2, fill=(255, 255, 255, 200))
    p.over(balls)
    glow_text(img, k, 340, 36, "Kreiselsturm", 60, ((255, 246, 150), (255, 170, 40), (255, 80, 120)),
              4, (255, 60, 170), -0.18)
    plates = p.layer()
    for x0, x1, edge in ((52, 259, (90, 200, 255)), (420, 580, (255, 90, 170))):
        plates.rrect(x0, 66, x1, 206, 12, fill=(10, 14, 38, 215), outline=edge + (255,), width=2)
    plates.rrect(222, 447, 428, 492, 12, fill=(10, 14, 38, 225), outline=(255, 200, 60, 255), width=2)
    plates.rrect(110, 384, 570, 416, 14, fill=(10, 14, 38, 190))
    p.over(plates, blur=3, sharp=True)
    for x0, y0, x1, y1 in ((104, 92, 206, 194), (450, 93, 550, 193)):
        p.rrect(x0, y0, x1, y1, 6, fill=NAVY, outline=(70, 95, 150), width=1)
    p.text(155, 79, "Dein Kreisel", 15, (200, 232, 255))
    p.text(500, 79, "Gegner", 15, (255, 200, 225))
    p.text(340, 142, "VS", 30, (255, 220, 90), stroke=2, stroke_fill=INK)
    p.text(340, 401, "Pfeiltasten steuern – weiche den Bällen aus!", 17, (238, 242, 255))
    p.rrect(0.5, 0.5, W - 0.5, H - 0.5, 0, outline=(60, 72, 120), width=1)
    img.convert("RGB").resize((W, H), Image.LANCZOS).save(ASSETS / "Splash.jpg", quality=92, subsampling=0)


def highscore():
    k, W, H = 2, 345, 321
    img = Image.new("RGBA", (W * k, H * k), NAVY + (255,))
    p = Pen(img, k)
    mask = p.layer("L")
    mask.rrect(2, 2, W - 2, H - 2, 14, fill=255)
    p.paint(vgrad(img.size, [(0, (252, 248, 236)), (1, (226, 233, 248))]), mask.img)
    p.rrect(2, 2, W - 2, H - 2, 14, outline=NAVY, width=3)
    p.rrect(7, 7, W - 7, H - 7, 10, outline=(215, 170, 60), width=1)
    gold, ink = (232, 180, 40), (27, 34, 60)
    p.text(173.5, 37.5, "Bestenliste", 30, (215, 170, 60))
    p.text(172, 36, "Bestenliste", 30, ink)
    for x in (52, 293):
        star(p, x, 36, 12, gold, outline=(150, 100, 20), width=1)
    p.line([(80, 61), (265, 61)], fill=(215, 170, 60), width=1.5)
    medals = [((245, 195, 50), "1"), ((200, 205, 215), "2"), ((205, 130, 70), "3"), (ink, "Du")]
    for top, (colour, label) in zip((80, 125, 170, 235), medals):
        p.rrect(60, top - 2, 309, top + 27, 7, fill=(255, 255, 255), outline=(185, 194, 218), width=1)
        p.rrect(31, top - 1, 58, top + 26, 5, fill=NAVY, outline=(80, 96, 140), width=1)
        p.ellipse(17, top + 12.5, 11, 11, fill=colour, outline=INK, width=1)
        p.text(17, top + 12.5, label, 11 if label == "Du" else 13, "white" if label == "Du" else INK)
    p.line([(24, 212), (120, 212)], fill=(170, 150, 100), width=1)
    p.line([(225, 212), (321, 212)], fill=(170, 150, 100), width=1)
    p.text(172.5, 212, "Dein Ergebnis", 12, (90, 100, 130))
    p.rrect(100, 274, 245, 311, 10, fill=(214, 221, 240), outline=(180, 190, 215), width=1)
    img.convert("RGB").resize((W, H), Image.LANCZOS).save(ASSETS / "highscore.jpg", quality=92, subsampling=0)


def icon():
    size = 150
    p = sprite(size)
    mask = p.layer("L")
    mask.rrect(3, 3, 147, 147, 28, fill=255)
    p.paint(vgrad(p.img.size, [(0, (40, 48, 110)), (1, (70, 24, 90))]), mask.img)
    p.rrect(3, 3, 147, 147, 28, outline=(255, 200, 60), width=3)
    p.over(draw_top(Pen(p.layer().img, SS * 1.45, 5 * SS, 8 * SS), **TOPS[0]))
    save_gif(p, ICON, size)
    # The same drawing for the desktop's menus, from the supersampled original; premultiplied, so
    # the transparent corners leave no dark fringe.
    LINUX_ICONS.mkdir(parents=True, exist_ok=True)
    for px in (48, 128, 256):
        p.img.convert("RGBa").resize((px, px), Image.LANCZOS).convert("RGBA").save(LINUX_ICONS / f"kreiselsturm-{px}.png")


def main():
    ASSETS.mkdir(exist_ok=True)
    for n, draw in enumerate((gegner_angry, gegner_spiky, gegner_slime, gegner_ice, gegner_flame), 1):
        save_gif(draw(), ASSETS / f"gegner{n}.gif", 120)
    save_gif(gegner_touched(), ASSETS / "gegner_touched.gif", 120)
    for n, colours in enumerate(TOPS, 1):
        save_gif(draw_top(sprite(96), **colours), ASSETS / f"spieler{n}.gif", 96)
    splash()
    highscore()
    icon()
    # The game's text font: narrow, so the status row fits its labels as designed.
    for name in ("LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf"):
        shutil.copyfile(LIBERATION / name, ASSETS / name)
    shutil.copyfile(LIBERATION_LICENCE, ASSETS / "Liberation-LICENSE.txt")


if __name__ == "__main__":
    main()
