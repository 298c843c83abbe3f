#!/usr/bin/python3
"""Draws the launcher's artwork into resources/movie/.

  face.png          1506x867, the launcher face: a night-sky fantasy panel with
                    a gold frame, soft shadow and transparent surroundings
  btnN_up.png       the six buttons' normal looks
  btnN_over.png     their hover (and pressed) looks

Only Pillow is needed. The results are committed; run this again after a
change and commit what it writes:  /usr/bin/python3 tools/artwork/make_artwork.py
Places of the buttons and of the web area are those of
resources/movie/launcher-movie.json.
"""
import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "resources", "movie"))
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"

W, H = 1506, 867
SS = 4  # supersampling factor of shapes

# Panel and its parts, in stage pixels.
PANEL = (330, 95, 1215, 752)
PANEL_RADIUS = 38
WEB = (609.8, 292.0, 545, 384)
HEADER = (436, 143, 1204, 197)
LINK_BUTTONS = [("btn1", 467.6, "官方网站"), ("btn2", 656.6, "充值中心"),
                ("btn3", 840.55, "官方客服"), ("btn4", 1027.55, "游戏论坛")]
LINK_Y, LINK_W, LINK_H = 158.7, 82, 23

GOLD_LIGHT = (255, 236, 178)
GOLD = (222, 178, 96)
GOLD_DARK = (128, 86, 36)


# --- helpers -----------------------------------------------------------------

def solid(color, size=(W, H), alpha=255):
    return Image.new("RGBA", size, tuple(color[:3]) + (alpha,))


def with_alpha(color_img, mask):
    """A layer of the given colours whose alpha is `mask` (straight alpha)."""
    out = color_img.convert("RGB").convert("RGBA")
    out.putalpha(mask)
    return out


def scale_mask(mask, factor):
    return mask.point(lambda v: int(v * factor + 0.5))


def vertical_gradient(size, top, bottom):
    w, h = size
    ramp = Image.linear_gradient("L").resize((w, h), Image.BICUBIC)
    return Image.composite(Image.new("RGB", size, bottom), Image.new("RGB", size, top), ramp)


def radial(size, center, radius, strength=1.0):
    """An L mask that is `strength` at `center` and fades smoothly to 0 at
    `radius` (Pillow's radial gradient reaches 255 at the corners, not at the
    edge, so it is rescaled)."""
    g = Image.radial_gradient("L").point(lambda v: int(255 * max(0.0, 1 - v / 181.0) ** 2))
    d = int(radius * 2)
    g = g.resize((d, d), Image.BICUBIC)
    m = Image.new("L", size, 0)
    m.paste(g, (int(center[0] - radius), int(center[1] - radius)))
    return scale_mask(m, strength)


def supersampled(size, draw_fn):
    """An antialiased L mask: draw_fn(draw, s) draws white at scale s."""
    big = Image.new("L", (size[0] * SS, size[1] * SS), 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize(size, Image.LANCZOS)


def downsample_rgba(img, size):
    return img.convert("RGBa").resize(size, Image.LANCZOS).convert("RGBA")


def text_mask(size, xy, text, font, anchor="la", spacing=0):
    m = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    if spacing:
        x, y = xy
        total = sum(font.getlength(c) for c in text) + spacing * (len(text) - 1)
        if anchor[0] == "m":
            x -= total / 2
        for c in text:
            d.text((x, y), c, font=font, fill=255, anchor="l" + anchor[1])
            x += font.getlength(c) + spacing
    else:
        d.text(xy, text, font=font, fill=255, anchor=anchor)
    return m


def paint(canvas, color_img, mask):
    canvas.alpha_composite(with_alpha(color_img, mask))


# --- the face ----------------------------------------------------------------

def panel_shape(inset=0.0):
    """The panel outline shrunk by `inset` pixels: a rounded body with a crest
    on top, a shield point below and two side bosses."""
    x0, y0, x1, y1 = PANEL
    cx = (x0 + x1) / 2 + 60  # the composition's axis runs through the web area

    def draw(d, s):
        i = inset
        d.rounded_rectangle([(x0 + i) * s, (y0 + i) * s, (x1 - i) * s, (y1 - i) * s],
                            radius=max(1, (PANEL_RADIUS - i)) * s, fill=255)
        # crest above the top edge
        d.polygon([((cx - 120 + i * 1.2) * s, (y0 + 2 + i) * s), ((cx - 40) * s, (y0 - 22 + i) * s),
                   (cx * s, (y0 - 40 + i * 1.4) * s), ((cx + 40) * s, (y0 - 22 + i) * s),
                   ((cx + 120 - i * 1.2) * s, (y0 + 2 + i) * s)], fill=255)
        r = 44 - i
        if r > 0:
            d.ellipse([(cx - r) * s, (y0 - 34 - r + i) * s, (cx + r) * s, (y0 - 34 + r + i) * s], fill=255)
        # shield point below
        d.polygon([((cx - 170 + i) * s, (y1 - 1 - i) * s), (cx * s, (y1 + 44 - i * 1.3) * s),
                   ((cx + 170 - i) * s, (y1 - 1 - i) * s)], fill=255)
        # side bosses
        for bx in (x0, x1):
            r = 30 - i
            if r > 0:
                d.ellipse([(bx - r) * s, (430 - r) * s, (bx + r) * s, (430 + r) * s], fill=255)
    return supersampled((W, H), draw)


def night_sky(rng):
    sky = vertical_gradient((W, H), (14, 20, 52), (44, 22, 62)).convert("RGBA")
    # nebulae and a moon glow
    for (x, y, r, col, k) in [(560, 300, 380, (90, 60, 170), 0.55), (1100, 240, 300, (40, 90, 170), 0.45),
                              (760, 620, 420, (130, 50, 110), 0.35), (440, 470, 200, (255, 214, 150), 0.55)]:
        paint(sky, solid(col), radial((W, H), (x, y), r, k))
    # stars, some with a halo
    stars = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(stars)
    for _ in range(900):
        x, y = rng.uniform(PANEL[0], PANEL[2]), rng.uniform(PANEL[1] - 40, 640)
        b = int(rng.triangular(40, 255, 90))
        rr = rng.choice([0.6, 0.6, 0.8, 1.2])
        d.ellipse([x - rr, y - rr, x + rr, y + rr], fill=b)
    halo = stars.filter(ImageFilter.GaussianBlur(2.2))
    paint(sky, solid((200, 210, 255)), ImageChops.add(stars, scale_mask(halo, 1.6)))
    # the moon behind the castle
    mx, my, mr = 440, 470, 62
    moon = supersampled((W, H), lambda d, s: d.ellipse([(mx - mr) * s, (my - mr) * s, (mx + mr) * s,
                                                        (my + mr) * s], fill=255))
    paint(sky, vertical_gradient((W, H), (255, 248, 222), (240, 200, 150)), moon)
    crater = supersampled((W, H), lambda d, s: [d.ellipse([(mx + dx - rr) * s, (my + dy - rr) * s,
                                                           (mx + dx + rr) * s, (my + dy + rr) * s], fill=255)
                                                for dx, dy, rr in [(-18, -14, 13), (20, 10, 9), (-6, 26, 7)]])
    paint(sky, solid((226, 190, 140)), scale_mask(crater.filter(ImageFilter.GaussianBlur(2)), 0.5))
    return sky


def castle(sky):
    """A castle silhouette on a crag in front of the moon."""
    def draw(d, s):
        def P(pts):
            d.polygon([(x * s, y * s) for x, y in pts], fill=255)
        P([(330, 700), (355, 610), (380, 585), (420, 560), (470, 548), (520, 566), (560, 600), (600, 640),
           (606, 700)])
        for (x, w, top, roof) in [(392, 26, 470, 46), (428, 34, 420, 64), (476, 22, 480, 40),
                                  (506, 30, 445, 54), (548, 18, 520, 34)]:
            P([(x, 600), (x, top), (x + w, top), (x + w, 600)])
            P([(x - 4, top), (x + w / 2, top - roof), (x + w + 4, top)])
        P([(384, 560), (384, 520), (560, 520), (560, 560)])
        for x in range(386, 560, 12):
            P([(x, 520), (x, 512), (x + 6, 512), (x + 6, 520)])
    sil = supersampled((W, H), draw)
    paint(sky, vertical_gradient((W, H), (20, 16, 40), (12, 10, 26)), sil)
    windows = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(windows)
    for (x, y) in [(440, 450), (444, 480), (515, 470), (520, 500), (402, 505), (482, 505), (553, 540)]:
        d.rectangle([x, y, x + 3, y + 6], fill=255)
    paint(sky, solid((255, 200, 110)), ImageChops.add(windows, windows.filter(ImageFilter.GaussianBlur(3))))


def mountains(sky, rng):
    layers = [(590, 38, (40, 30, 78), 0.0), (635, 30, (28, 22, 58), 0.35), (680, 26, (16, 13, 36), 0.5)]
    for base, amp, col, mist in layers:
        pts = [(PANEL[0] - 40, H)]
        x = PANEL[0] - 40
        while x < PANEL[2] + 40:
            pts.append((x, base - amp * (0.5 + 0.5 * math.sin(x / 57.0 + base)) - rng.uniform(0, amp * 0.8)))
            x += rng.uniform(18, 46)
        pts.append((PANEL[2] + 40, H))
        m = supersampled((W, H), lambda d, s, pts=pts: d.polygon([(px * s, py * s) for px, py in pts], fill=255))
        if mist:
            band = Image.new("L", (W, H), 0)
            ImageDraw.Draw(band).rectangle([0, base - 30, W, base + 10], fill=int(90 * mist))
            paint(sky, solid((150, 120, 200)), band.filter(ImageFilter.GaussianBlur(16)))
        paint(sky, solid(col), m)


def gold_fill(box):
    """A gold gradient covering `box` vertically, for frames and text."""
    x0, y0, x1, y1 = box
    g = vertical_gradient((W, max(2, int(y1 - y0))), GOLD_LIGHT, GOLD_DARK)
    out = Image.new("RGB", (W, H), GOLD)
    out.paste(g, (0, int(y0)))
    return out


def ring(outer_inset, inner_inset):
    return ImageChops.subtract(panel_shape(outer_inset), panel_shape(inner_inset))


def frame(canvas):
    full = panel_shape(0)
    paint(canvas, vertical_gradient((W, H), (255, 230, 160), (110, 70, 30)), ring(0, 5))
    paint(canvas, solid((30, 18, 10)), ring(5, 7))
    paint(canvas, vertical_gradient((W, H), (230, 190, 110), (120, 80, 36)), ring(10, 12))
    # inner vignette so the edge reads as depth
    edge = ImageChops.subtract(full, panel_shape(40)).filter(ImageFilter.GaussianBlur(14))
    paint(canvas, solid((0, 0, 0)), scale_mask(ImageChops.multiply(edge, panel_shape(12)), 0.45))


def crest(canvas):
    cx, cy = (PANEL[0] + PANEL[2]) / 2 + 60, PANEL[1] - 34
    gem = supersampled((W, H), lambda d, s: d.polygon(
        [(cx * s, (cy - 24) * s), ((cx + 17) * s, cy * s), (cx * s, (cy + 24) * s), ((cx - 17) * s, cy * s)],
        fill=255))
    glow = radial((W, H), (cx, cy), 60, 0.9)
    paint(canvas, solid((120, 200, 255)), glow)
    setting = supersampled((W, H), lambda d, s: d.ellipse([(cx - 27) * s, (cy - 30) * s, (cx + 27) * s,
                                                           (cy + 30) * s], fill=255))
    paint(canvas, vertical_gradient((W, H), GOLD_LIGHT, GOLD_DARK), ImageChops.subtract(setting, gem))
    paint(canvas, vertical_gradient((W, H), (170, 235, 255), (20, 80, 190)), gem)
    shine = supersampled((W, H), lambda d, s: d.polygon(
        [(cx * s, (cy - 20) * s), ((cx + 6) * s, (cy - 6) * s), (cx * s, (cy - 2) * s), ((cx - 10) * s, cy * s)],
        fill=255))
    paint(canvas, solid((255, 255, 255)), scale_mask(shine, 0.7))


def header(canvas):
    x0, y0, x1, y1 = HEADER
    fade = Image.linear_gradient("L").rotate(90, expand=True).resize((int(x1 - x0), 1))
    fade = ImageChops.darker(fade, fade.transpose(Image.FLIP_LEFT_RIGHT)).point(lambda v: min(255, v * 5))
    band = Image.new("L", (W, H), 0)
    band.paste(fade.resize((int(x1 - x0), int(y1 - y0))), (int(x0), int(y0)))
    paint(canvas, solid((6, 6, 20)), scale_mask(band, 0.62))
    for y, k in [(y0, 1.0), (y0 + 3, 0.4), (y1 - 1, 1.0), (y1 - 4, 0.4)]:
        line = Image.new("L", (W, H), 0)
        line.paste(fade.resize((int(x1 - x0), 1)), (int(x0), int(y)))
        paint(canvas, solid(GOLD), scale_mask(line, k))
    # diamonds between the link labels
    lefts = [x for _, x, _ in LINK_BUTTONS]
    cy = LINK_Y + LINK_H / 2
    for a, b in zip(lefts, lefts[1:]):
        mx = (a + LINK_W + b) / 2
        dia = supersampled((W, H), lambda d, s, mx=mx: d.polygon(
            [(mx * s, (cy - 5) * s), ((mx + 5) * s, cy * s), (mx * s, (cy + 5) * s), ((mx - 5) * s, cy * s)],
            fill=255))
        paint(canvas, solid(GOLD), dia)
    # a plate behind the window buttons
    plate = supersampled((W, H), lambda d, s: d.rounded_rectangle(
        [1099 * s, 101 * s, 1192 * s, 152 * s], radius=25 * s, fill=255))
    paint(canvas, solid((8, 8, 22)), scale_mask(plate.filter(ImageFilter.GaussianBlur(1.5)), 0.55))


def logo(canvas):
    font = ImageFont.truetype(SERIF_BOLD, 58)
    x, y = 468, 240
    m = text_mask((W, H), (x, y), "Morvane", font, anchor="mm")
    glow = m.filter(ImageFilter.MaxFilter(5)).filter(ImageFilter.GaussianBlur(10))
    paint(canvas, solid((255, 170, 60)), scale_mask(glow, 0.8))
    outline = m.filter(ImageFilter.MaxFilter(7))
    paint(canvas, solid((40, 20, 6)), outline)
    paint(canvas, gold_fill((0, y - 26, W, y + 26)), m)
    hl = ImageChops.multiply(m, radial((W, H), (x - 40, y - 18), 90, 0.8))
    paint(canvas, solid((255, 255, 240)), hl)

    cjk = ImageFont.truetype(CJK_FONT, 26)
    sub = text_mask((W, H), (x, 292), "幻世传说", cjk, anchor="mm", spacing=12)
    paint(canvas, solid((20, 10, 4)), sub.filter(ImageFilter.MaxFilter(3)).filter(ImageFilter.GaussianBlur(1)))
    paint(canvas, vertical_gradient((W, H), (255, 240, 200), (220, 170, 90)), sub)
    for sx in (-1, 1):
        line = supersampled((W, H), lambda d, s, sx=sx: d.polygon(
            [((x + sx * 80) * s, 291 * s), ((x + sx * 120) * s, 292 * s), ((x + sx * 80) * s, 293 * s)], fill=255))
        paint(canvas, solid(GOLD), line)
    small = ImageFont.truetype(CJK_FONT, 14)
    paint(canvas, solid((200, 190, 230)), text_mask((W, H), (x, 325), "MORVANE  ONLINE", small, anchor="mm",
                                                    spacing=2))


def web_frame(canvas):
    x, y, w, h = WEB
    x0, y0, x1, y1 = x - 3, y - 3, x + w + 1, y + h + 1
    shadow = Image.new("L", (W, H), 0)
    ImageDraw.Draw(shadow).rectangle([x0 - 4, y0 - 2, x1 + 4, y1 + 8], fill=200)
    paint(canvas, solid((0, 0, 0)), shadow.filter(ImageFilter.GaussianBlur(10)))
    border = supersampled((W, H), lambda d, s: d.rectangle([x0 * s, y0 * s, x1 * s, y1 * s], fill=255))
    inner = supersampled((W, H), lambda d, s: d.rectangle([(x0 + 3) * s, (y0 + 3) * s, (x1 - 3) * s,
                                                           (y1 - 3) * s], fill=255))
    paint(canvas, vertical_gradient((W, H), GOLD_LIGHT, GOLD_DARK), ImageChops.subtract(border, inner))
    paint(canvas, vertical_gradient((W, H), (14, 16, 34), (8, 8, 20)), inner)
    for cx, cy in [(x0, y0), (x1, y0), (x0, y1), (x1, y1)]:
        dia = supersampled((W, H), lambda d, s, cx=cx, cy=cy: d.polygon(
            [(cx * s, (cy - 9) * s), ((cx + 9) * s, cy * s), (cx * s, (cy + 9) * s), ((cx - 9) * s, cy * s)],
            fill=255))
        paint(canvas, solid((40, 22, 8)), dia.filter(ImageFilter.MaxFilter(3)))
        paint(canvas, vertical_gradient((W, H), GOLD_LIGHT, GOLD), dia)
    font = ImageFont.truetype(CJK_FONT, 16)
    paint(canvas, solid((120, 120, 160)), text_mask((W, H), (x + w / 2, y + h / 2), "正在连接服务器…", font,
                                                    anchor="mm"))


def footer(canvas):
    font = ImageFont.truetype(CJK_FONT, 12)
    cx = WEB[0] + WEB[2] / 2
    lines = ["抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。",
             "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。"]
    for i, t in enumerate(lines):
        m = text_mask((W, H), (cx, 700 + i * 18), t, font, anchor="mm")
        paint(canvas, solid((0, 0, 0)), m.filter(ImageFilter.GaussianBlur(1.2)))
        paint(canvas, solid((190, 180, 210)), m)


def face(rng):
    canvas = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    shape = panel_shape(0)
    shadow = ImageChops.offset(shape, 0, 14).filter(ImageFilter.GaussianBlur(18))
    paint(canvas, solid((0, 0, 0)), scale_mask(shadow, 0.6))
    glow = shape.filter(ImageFilter.GaussianBlur(6))
    paint(canvas, solid((255, 190, 90)), scale_mask(glow, 0.35))

    inside = night_sky(rng)
    castle(inside)
    mountains(inside, rng)
    inside.putalpha(ImageChops.multiply(inside.getchannel("A"), shape))
    canvas.alpha_composite(inside)
    frame(canvas)
    crest(canvas)
    header(canvas)
    logo(canvas)
    web_frame(canvas)
    footer(canvas)
    return canvas


# --- buttons -----------------------------------------------------------------

def link_button(label, over):
    size = (LINK_W, LINK_H)
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    if over:
        plate = Image.new("L", (size[0] * SS, size[1] * SS), 0)
        ImageDraw.Draw(plate).rounded_rectangle([1 * SS, 1 * SS, (size[0] - 1) * SS, (size[1] - 1) * SS],
                                                radius=10 * SS, fill=255)
        plate = plate.resize(size, Image.LANCZOS)
        body = vertical_gradient(size, (150, 100, 40), (70, 40, 14))
        img.alpha_composite(with_alpha(body, scale_mask(plate, 0.85)))
        edge = ImageChops.subtract(plate, plate.filter(ImageFilter.MinFilter(3)))
        img.alpha_composite(with_alpha(Image.new("RGB", size, GOLD_LIGHT), edge))
    font = ImageFont.truetype(CJK_FONT, 15)
    m = text_mask(size, (size[0] / 2, size[1] / 2), label, font, anchor="mm", spacing=1)
    img.alpha_composite(with_alpha(Image.new("RGB", size, (0, 0, 0)),
                                   scale_mask(m.filter(ImageFilter.MaxFilter(3)), 0.7)))
    col = vertical_gradient(size, (255, 252, 235), (255, 220, 140)) if over else \
        vertical_gradient(size, (246, 226, 176), (206, 164, 92))
    img.alpha_composite(with_alpha(col, m))
    return img


def round_button(size, radius, icon, over, hot):
    """A round gold-rimmed button; `icon` draws the symbol at scale s."""
    w, h = size
    s = 8
    big = Image.new("RGBA", (w * s, h * s), (0, 0, 0, 0))
    cx, cy = w / 2, radius + 1
    def disc(r, fill):
        ImageDraw.Draw(big).ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=fill)
    # drop shadow below the rim
    sh = Image.new("RGBA", big.size, (0, 0, 0, 0))
    ImageDraw.Draw(sh).ellipse([(cx - radius) * s, (cy - radius + 2) * s, (cx + radius) * s,
                                (cy + radius + 2) * s], fill=(0, 0, 0, 150))
    big.alpha_composite(sh.filter(ImageFilter.GaussianBlur(1.5 * s)))
    disc(radius, (255, 228, 160, 255))
    disc(radius - 1.2, (120, 78, 30, 255))
    inner = hot if over else (26, 22, 48)
    disc(radius - 2.6, inner + (255,))
    # a soft highlight on the upper half
    hl = Image.new("RGBA", big.size, (0, 0, 0, 0))
    ImageDraw.Draw(hl).ellipse([(cx - radius * 0.7) * s, (cy - radius * 0.85) * s, (cx + radius * 0.7) * s,
                                cy * s], fill=(255, 255, 255, 70 if over else 40))
    big.alpha_composite(hl.filter(ImageFilter.GaussianBlur(1.2 * s)))
    ic = Image.new("L", big.size, 0)
    icon(ImageDraw.Draw(ic), s, cx, cy, radius)
    col = (255, 255, 255) if over else (240, 214, 150)
    big.alpha_composite(with_alpha(Image.new("RGB", big.size, (0, 0, 0)),
                                   scale_mask(ic.filter(ImageFilter.MaxFilter(2 * s + 1)), 0.5)))
    big.alpha_composite(with_alpha(Image.new("RGB", big.size, col), ic))
    return downsample_rgba(big, size)


def minimise_icon(d, s, cx, cy, r):
    d.rounded_rectangle([(cx - r * 0.42) * s, (cy - 1.4) * s, (cx + r * 0.42) * s, (cy + 1.4) * s],
                        radius=1.4 * s, fill=255)


def close_icon(d, s, cx, cy, r):
    k = r * 0.36
    for a, b in [((-k, -k), (k, k)), ((-k, k), (k, -k))]:
        d.line([(cx + a[0]) * s, (cy + a[1]) * s, (cx + b[0]) * s, (cy + b[1]) * s], fill=255, width=int(3 * s))


def save(img, name):
    path = os.path.join(OUT, name)
    img.save(path, optimize=True)
    return path


def check_face(img):
    a = img.getchannel("A")
    assert a.getpixel((0, 0)) == 0 and a.getpixel((W - 1, H - 1)) == 0, "corners must be see-through"
    assert a.getpixel((900, 480)) == 255, "the web area must be opaque"
    partial = sum(a.histogram()[1:255])
    assert partial > 10000, "the edges must be soft (partial alpha)"


def main():
    os.makedirs(OUT, exist_ok=True)
    rng = random.Random(606)
    img = face(rng)
    check_face(img)
    save(img, "face.png")
    for name, _, label in LINK_BUTTONS:
        save(link_button(label, False), name + "_up.png")
        save(link_button(label, True), name + "_over.png")
    save(round_button((33, 35), 15.5, minimise_icon, False, None), "btn5_up.png")
    save(round_button((33, 35), 15.5, minimise_icon, True, (170, 120, 40)), "btn5_over.png")
    save(round_button((40, 40), 18.5, close_icon, False, None), "btn6_up.png")
    save(round_button((40, 40), 18.5, close_icon, True, (190, 40, 30)), "btn6_over.png")
    # A composed preview (not committed) to judge the whole face.
    if "--preview" in sys.argv:
        prev = Image.new("RGBA", (W, H), (90, 110, 90, 255))
        prev.alpha_composite(Image.open(os.path.join(OUT, "face.png")).convert("RGBA"))
        for name, x, _ in LINK_BUTTONS:
            prev.alpha_composite(Image.open(os.path.join(OUT, name + "_up.png")), (round(x), round(LINK_Y)))
        prev.alpha_composite(Image.open(os.path.join(OUT, "btn2_over.png")), (round(656.6), round(LINK_Y)))
        prev.alpha_composite(Image.open(os.path.join(OUT, "btn5_up.png")), (round(1107.2), round(110.35)))
        prev.alpha_composite(Image.open(os.path.join(OUT, "btn6_up.png")), (round(1145.2), round(105.35)))
        prev.save(sys.argv[sys.argv.index("--preview") + 1])


if __name__ == "__main__":
    main()
