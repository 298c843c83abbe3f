#!/usr/bin/python3
"""Draws the game window's skin into resources/skin/, in the face's style.

  skin.png             913x715, the frame picture: a 55-row caption band
                       (50-column ends drawn as they are, the middle
                       stretched across the window), 1-pixel borders and
                       55x55 bottom corners
  close.png, maximise.png, minimise.png, boss.png
                       60x20 strips of three 20x20 frames: normal, hover,
                       pressed
  forum.png, official_site.png, refresh.png, boss_key.png
                       180x17 strips of three 60x17 frames, likewise
  logo.png             112x48, drawn at 0,3 of the caption
  welcome.png          75x15, drawn at 154,24 of the caption
  boss_dialog.png      531x363, the boss key settings dialog's face: a title
                       band, the instruction, the slot the pressed keys
                       show in, drawn where the dialog's controls land
  boss_save.png        360x36 strip of three 120x36 frames: the dialog's
                       confirming button

It needs ImageMagick's convert and the WenQuanYi Micro Hei and DejaVu fonts
(scripts/install-deps installs them). The results are committed; run this
again after a change and commit what it writes:
    /usr/bin/python3 tools/artwork/make_skin.py
`--preview DIR` also writes composed captions and a small framed window to
DIR, built the way the game window paints its frame.
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "..", "resources", "skin"))
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"

SKIN_W, SKIN_H = 913, 715
CAPTION = 55  # caption height, also the size of the bottom corners
END = 50      # caption ends drawn unscaled

GOLD_LIGHT = "#ffecb2"
GOLD = "#deb260"
GOLD_DARK = "#805624"
BORDER = "#8a6a38"     # the 1-pixel window border
NIGHT = "#0c0e22"      # behind the client area


# --- a few ImageMagick operations on files ------------------------------------

class Work:
    """Intermediate pictures live as MIFF files in one temporary folder."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="make_skin.")
        self.n = 0

    def path(self, ext="miff"):
        self.n += 1
        return os.path.join(self.dir, "%04d.%s" % (self.n, ext))

    def close(self):
        shutil.rmtree(self.dir, ignore_errors=True)


W_ = None  # the Work of this run


def im(*args):
    subprocess.run([CONVERT] + [str(a) for a in args], check=True)


def new(size, color="none"):
    out = W_.path()
    im("-size", "%dx%d" % size, "xc:" + color, out)
    return out


def shape(size, mvg, ss=8):
    """An antialiased white-on-black mask. `mvg` is drawn in the picture's own
    units, where pixel i spans [i, i+1); it is drawn `ss` times larger and
    averaged down."""
    w, h = size
    out = W_.path()
    im("-size", "%dx%d" % (w * ss, h * ss), "xc:black", "-fill", "white", "-stroke", "none",
       "-draw", "affine %d,0,0,%d,-0.5,-0.5 %s" % (ss, ss, mvg),
       "-filter", "Box", "-resize", "%dx%d!" % (w, h), "-alpha", "off", out)
    return out


def rects(size, boxes):
    """A hard-edged mask of whole-pixel boxes (x0, y0, x1, y1), ends excluded."""
    out = W_.path()
    im("-size", "%dx%d" % size, "xc:black", "+antialias", "-fill", "white", "-stroke", "none", "-draw",
       " ".join("rectangle %d,%d %d,%d" % (x0, y0, x1 - 1, y1 - 1) for x0, y0, x1, y1 in boxes),
       "-alpha", "off", out)
    return out


def grad(size, top, bottom, y0=0, y1=None):
    """A vertical gradient from `top` at row y0 to `bottom` at row y1, flat
    outside."""
    w, h = size
    y1 = h if y1 is None else y1
    out = W_.path()
    im("-size", "%dx%d" % (w, max(2, y1 - y0)), "gradient:%s-%s" % (top, bottom),
       "-background", top, "-gravity", "north", "-splice", "0x%d" % max(0, y0),
       "-background", bottom, "-gravity", "south", "-splice", "0x%d" % max(0, h - y1),
       "-gravity", "northwest", "-crop", "%dx%d+0+0" % (w, h), "+repage", out)
    return out


def size_of(path):
    r = subprocess.run([CONVERT, path, "-format", "%w %h", "info:"], check=True, capture_output=True, text=True)
    w, h = r.stdout.split()
    return int(w), int(h)


def fill_of(size, fill):
    """A colour name or a gradient/picture file, as a picture of `size`."""
    return fill if os.path.exists(fill) else new(size, fill)


def paint(canvas, fill, mask, k=1.0, at=(0, 0)):
    """Puts `fill` on the canvas where the mask is white, k times as strong."""
    size = size_of(mask)
    layer = W_.path()
    args = [fill_of(size, fill), mask, "-alpha", "off"]
    if k != 1.0:
        args += ["-evaluate", "multiply", "%.4f" % k]
    im(*args, "-compose", "CopyOpacity", "-composite", layer)
    im(canvas, layer, "-geometry", "%+d%+d" % at, "-compose", "Over", "-composite", canvas)


def place(canvas, picture, at):
    im(canvas, picture, "-geometry", "%+d%+d" % at, "-compose", "Over", "-composite", canvas)


def blur(mask, sigma):
    out = W_.path()
    im(mask, "-blur", "0x%g" % sigma, out)
    return out


def grow(mask, r):
    out = W_.path()
    im(mask, "-morphology", "Dilate", "Disk:%g" % r, out)
    return out


def minus(a, b):
    out = W_.path()
    im(a, b, "-compose", "Minus_Src", "-composite", out)  # a - b
    return out


def times(a, b):
    out = W_.path()
    im(a, b, "-compose", "Multiply", "-composite", out)
    return out


def text_ink(text, font, size, kerning=0):
    """The text's ink as a mask cropped to it, and its width and height."""
    out = W_.path()
    im("-size", "%dx%d" % (size * (len(text) + 2) + kerning * len(text), size * 3), "xc:black",
       "-font", font, "-pointsize", size, "-kerning", kerning, "-fill", "white",
       "-annotate", "+%d+%d" % (size, size * 2), text, "-trim", "+repage", "-alpha", "off", out)
    return (out,) + size_of(out)


def text_mask(size, text, font, pt, center, kerning=0):
    """A mask of `size` with the text's ink centred on `center` (rounded to
    whole pixels so that the glyphs stay crisp)."""
    ink, w, h = text_ink(text, font, pt, kerning)
    m = new(size, "black")
    x, y = int(round(center[0] - w / 2.0)), int(round(center[1] - h / 2.0))
    im(m, ink, "-geometry", "%+d%+d" % (x, y), "-compose", "Lighten", "-composite", m)
    return m


def save(picture, name, size):
    assert size_of(picture) == size, (name, size_of(picture), size)
    path = os.path.join(OUT, name)
    # PNG32 keeps every picture 8-bit RGBA; no time stamps, so runs agree.
    im(picture, "-strip", "-define", "png:exclude-chunks=date,time", "PNG32:" + path)
    return path


def hstrip(frames):
    out = W_.path()
    im(*frames, "-background", "none", "+append", out)
    return out


# --- the frame picture --------------------------------------------------------

def caption_band():
    """913x55: night-blue glass with a gold rim on top and a gold trim below;
    rows only change vertically, except in the two ends."""
    size = (SKIN_W, CAPTION)
    band = grad(size, "#28336e", "#0d1130", 0, 50)
    # a faint glass sheen in the upper half and a darker foot
    paint(band, "#8c9cff", grad(size, "#262626", "#000000", 1, 24))
    paint(band, "#04040e", grad(size, "#000000", "#6a6a6a", 30, 51))
    # fine horizontal threads, a woven texture that survives stretching
    threads = new(size, "black")
    im(threads, "-fill", "gray12", "-draw",
       " ".join("line 0,%d %d,%d" % (y, SKIN_W, y) for y in range(5, 49, 4)), threads)
    paint(band, "#b4beff", threads, 0.6)
    # top rim: dark gold outline and a soft bright line under it
    paint(band, GOLD_DARK, rects(size, [(0, 0, SKIN_W, 1)]))
    paint(band, "#c9a868", rects(size, [(0, 1, SKIN_W, 2)]), 0.55)
    # bottom trim: shadow, dark gold, bright gold, gold, dark edge
    for y, col, k in [(49, "#000000", 0.6), (50, "#3c260c", 1.0), (51, GOLD_DARK, 1.0), (52, GOLD_LIGHT, 1.0),
                      (53, GOLD, 1.0), (54, "#4a3414", 1.0)]:
        paint(band, col, rects(size, [(0, y, SKIN_W, y + 1)]), k)
    caption_ends(band)
    return band


def caption_ends(band):
    """Gold corner pieces on the two unscaled ends: a bracket in the top corner,
    a pendant diamond on the trim and a few stars."""
    size = (SKIN_W, CAPTION)
    for left in (True, False):
        def X(x):
            return x if left else SKIN_W - x
        # an L bracket with a curl, hugging the top corner
        bracket = shape(size, " ".join([
            "polygon %g,0 %g,0 %g,3 %g,3 %g,14 %g,18 %g,18" % (X(0), X(30), X(27), X(3), X(3), X(0), X(0)),
            "polygon %g,3 %g,3 %g,4.2 %g,4.2 %g,9 %g,9" % (X(3), X(22), X(20), X(4.2), X(4.2), X(3)),
        ]))
        paint(band, "#1a1008", grow(bracket, 1))
        paint(band, grad(size, GOLD_LIGHT, GOLD_DARK, 0, 18), bracket)
        if left:  # a gem on the top rim where the bracket ends (the right has the buttons)
            gem = shape(size, "polygon %g,0.5 %g,4 %g,7.5 %g,4" % (X(34), X(37.5), X(34), X(30.5)))
            paint(band, "#1a1008", grow(gem, 1))
            paint(band, grad(size, "#bfeaff", "#2a6ad0", 0, 8), gem)
        # a diamond set into the gold trim, with a glow
        d = shape(size, "polygon %g,47.5 %g,52 %g,56.5 %g,52" % (X(14), X(18.5), X(14), X(9.5)))
        paint(band, "#ffb84a", blur(d, 3), 0.6)
        paint(band, "#1a1008", grow(d, 1))
        paint(band, grad(size, GOLD_LIGHT, GOLD_DARK, 47, 56), d)
        # the edge of the window: the border colour runs up the caption
        x = 0 if left else SKIN_W - 1
        paint(band, BORDER, rects(size, [(x, 0, x + 1, CAPTION)]))
        # a few stars that belong to the unscaled ends only
        for (x, y, r, k) in [(10, 24, 0.7, 0.8), (24, 33, 0.55, 0.6), (40, 14, 0.6, 0.5), (33, 40, 0.5, 0.5),
                             (44, 28, 0.7, 0.7)]:
            s = shape(size, "circle %g,%g %g,%g" % (X(x), y, X(x) + r, y))
            paint(band, "#dce4ff", blur(s, 1.2), k * 0.8)
            paint(band, "#ffffff", s, k)


def bottom_corner(left):
    """55x55: the night behind the client area, the border along the outer
    edges and a gold bracket in the corner, small enough to show in the few
    pixels the platform's frame leaves around the client."""
    size = (CAPTION, CAPTION)
    c = new(size, NIGHT)
    X = (lambda x: x) if left else (lambda x: CAPTION - x)
    x = 0 if left else CAPTION - 1
    paint(c, BORDER, rects(size, [(x, 0, x + 1, CAPTION), (0, CAPTION - 1, CAPTION, CAPTION)]))
    bracket = shape(size, "polygon %g,30 %g,30 %g,52 %g,52 %g,55 %g,55 %g,54 %g,54 %g,34 %g,30" % (
        X(1), X(2.6), X(2.6), X(24), X(26), X(1), X(1), X(1), X(1), X(1)))
    paint(c, grad(size, GOLD_DARK, GOLD_LIGHT, 30, 55), bracket)
    corner = shape(size, "polygon %g,49 %g,55 %g,55 %g,49" % (X(0), X(0), X(6), X(0)))
    paint(c, GOLD, corner)
    return c


def skin():
    canvas = new((SKIN_W, SKIN_H), NIGHT)
    # the middle is never shown: the client area's night, as in the corners
    border = rects((SKIN_W, SKIN_H), [(0, 0, 1, SKIN_H), (SKIN_W - 1, 0, SKIN_W, SKIN_H),
                                      (0, SKIN_H - 1, SKIN_W, SKIN_H)])
    paint(canvas, BORDER, border)
    place(canvas, caption_band(), (0, 0))
    place(canvas, bottom_corner(True), (0, SKIN_H - CAPTION))
    place(canvas, bottom_corner(False), (SKIN_W - CAPTION, SKIN_H - CAPTION))
    return canvas


def check_skin(path):
    """The frame painting reads single pixels for the borders and stretches the
    caption's middle: the borders must agree and every column of the middle
    must be the same."""
    def px(x, y):
        r = subprocess.run([CONVERT, path, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                           check=True, capture_output=True, text=True)
        return r.stdout.strip()
    assert px(0, CAPTION) == px(SKIN_W - 1, CAPTION) == px(CAPTION, SKIN_H - 1), "borders differ"
    mid = "%dx%d+%d+0" % (SKIN_W - 2 * END, CAPTION, END)
    r = subprocess.run([CONVERT, path, "-crop", mid, "+repage", "(", "+clone", "-crop", "1x%d+0+0" % CAPTION,
                        "+repage", "-scale", "%dx%d!" % (SKIN_W - 2 * END, CAPTION), ")",
                        "-compose", "Difference", "-composite", "-format", "%[max]", "info:"],
                       check=True, capture_output=True, text=True)
    assert float(r.stdout) == 0, "the caption's middle changes across"


# --- caption buttons ----------------------------------------------------------

SYS = 20  # a system button frame


def round_plate(state, hot, glyph_mvg):
    """One 20x20 frame: a gold-rimmed disc with a glyph. state is 0 normal,
    1 hover, 2 pressed (darker, the glyph one pixel lower right)."""
    size = (SYS, SYS)
    f = new(size)
    c = 10.0
    shadow = shape(size, "circle %g,%g %g,%g" % (c, c + 1, c + 9.2, c + 1))
    paint(f, "#000000", blur(shadow, 0.8), 0.55)
    rim = shape(size, "circle %g,%g %g,%g" % (c, c, c + 9.2, c))
    inner = shape(size, "circle %g,%g %g,%g" % (c, c, c + 7.9, c))
    core = shape(size, "circle %g,%g %g,%g" % (c, c, c + 7.0, c))
    rim_top, rim_bottom = [(GOLD_LIGHT, GOLD_DARK), ("#fff6d6", "#b07a34"), ("#c8a060", "#4a3010")][state]
    paint(f, grad(size, rim_top, rim_bottom, 1, 19), rim)
    paint(f, "#3a240c", inner)
    body = [("#2c2a5a", "#141232"), (hot[0], hot[1]), (hot[2], hot[3])][state]
    paint(f, grad(size, body[0], body[1], 3, 17), core)
    if state != 2:  # a glassy highlight on the upper half
        paint(f, "#ffffff", blur(shape(size, "ellipse 10,6.5 5.2,3.2 0,360"), 0.8), 0.28 if state else 0.16)
    d = 1 if state == 2 else 0
    glyph = shape(size, "translate %d,%d %s" % (d, d, glyph_mvg))
    paint(f, "#000000", blur(grow(glyph, 1), 0.6), 0.6)
    paint(f, ["#f2dba0", "#ffffff", "#e2c68a"][state], glyph)
    return f


AMBER = ("#c08a34", "#6a4414", "#6a4414", "#3a2208")
RED = ("#d04432", "#7a1a12", "#7a1a12", "#420c08")

CLOSE = ("stroke white stroke-width 2.1 stroke-linecap round "
         "line 6.6,6.6 13.4,13.4 line 6.6,13.4 13.4,6.6")
MAXIMISE = ("stroke white stroke-width 1.4 fill none rectangle 6.2,6.9 13.8,13.6 "
            "stroke none fill white rectangle 5.5,6.2 14.5,8.4")
MINIMISE = "roundrectangle 5.8,11.6 14.2,13.8 1,1"
# hide to the tray: a chevron dropping onto a shelf (a crossed-out eye does
# not read at this size)
BOSS = ("stroke white stroke-width 1.5 stroke-linecap round stroke-linejoin round fill none "
        "polyline 6.6,6.4 10,9.6 13.4,6.4 line 5.8,13.2 14.2,13.2")


def system_button(glyph, hot):
    return hstrip([round_plate(s, hot, glyph) for s in range(3)])


# --- text buttons -------------------------------------------------------------

TB_W, TB_H = 60, 17


def text_button(label):
    frames = []
    for state in range(3):
        size = (TB_W, TB_H)
        f = new(size)
        plate = shape(size, "roundrectangle 1.5,0.5 58.5,16.5 5,5")
        inner = shape(size, "roundrectangle 2.5,1.5 57.5,15.5 4,4")
        rim = [(GOLD, GOLD_DARK), (GOLD_LIGHT, "#a87430"), ("#9a7034", "#4a3010")][state]
        body = [("#262a5c", "#101230"), ("#9a6a2a", "#4e300e"), ("#3e2a10", "#24180a")][state]
        paint(f, grad(size, rim[0], rim[1], 0, 17), plate, 0.95)
        paint(f, grad(size, body[0], body[1], 1, 16), inner, 0.94 if state == 0 else 1.0)
        sheen = times(inner, grad(size, "#ffffff", "#000000", 1, 8))
        paint(f, "#ffffff", sheen, [0.10, 0.22, 0.0][state])
        d = 1 if state == 2 else 0
        text = text_mask(size, label, CJK_FONT, 12, (30 + d, 8.5 + d), kerning=2 if len(label) == 2 else 0)
        paint(f, "#000000", blur(grow(text, 1), 0.5), 0.75)
        paint(f, [grad(size, "#fff4d4", "#e4bc78", 2, 15), grad(size, "#ffffff", "#fff0c8", 2, 15),
                  grad(size, "#dcc08a", "#b8904e", 2, 15)][state], text)
        frames.append(f)
    return hstrip(frames)


# --- logo and welcome ---------------------------------------------------------

LOGO_W, LOGO_H = 112, 48


def logo():
    """The name in the face's gold serif, the Chinese title above it. The band
    between them (window rows 15 to 28) is left to the window's text, which
    the frame draws at 15,15."""
    size = (LOGO_W, LOGO_H)
    canvas = new(size)
    name = text_mask(size, "Morvane", SERIF_BOLD, 21, (56, 35.5))
    paint(canvas, "#ffaa3c", blur(grow(name, 1), 3), 0.4)
    paint(canvas, "#28140a", blur(grow(name, 1), 0.4), 0.9)
    paint(canvas, grad(size, "#fff2c4", "#b8823a", 28, 44), name)
    paint(canvas, "#fffff0", times(name, grad(size, "#c0c0c0", "#000000", 28, 37)), 0.7)
    # the Chinese title between two tapering gold rules
    sub = text_mask(size, "幻世传说", CJK_FONT, 11, (56, 7), kerning=3)
    paint(canvas, "#140a04", blur(grow(sub, 1), 0.6), 0.9)
    paint(canvas, grad(size, "#fff0c8", "#dcaa5a", 1, 13), sub)
    rules = shape(size, "polygon 4,7 27,6.4 27,7.6 polygon 108,7 85,6.4 85,7.6 "
                        "polygon 27,4.5 29.5,7 27,9.5 24.5,7 polygon 85,4.5 87.5,7 85,9.5 82.5,7")
    paint(canvas, GOLD, rules)
    return canvas


def welcome():
    size = (75, 15)
    canvas = new(size)
    words = text_mask(size, "欢迎回来", CJK_FONT, 12, (37.5, 7.5), kerning=1)
    paint(canvas, "#0a0604", blur(grow(words, 1), 0.5), 0.9)
    paint(canvas, grad(size, "#fff2cc", "#deb060", 2, 13), words)
    gems = shape(size, "polygon 5,7.5 8,4.5 11,7.5 8,10.5 polygon 70,7.5 67,4.5 64,7.5 67,10.5")
    paint(canvas, "#140a04", grow(gems, 1), 0.8)
    paint(canvas, grad(size, GOLD_LIGHT, GOLD_DARK, 4, 11), gems)
    return canvas


# --- boss key settings dialog ---------------------------------------------------

BOSS_W, BOSS_H = 531, 363
# Where the dialog's controls land on its face, in pixels (the template's
# dialog units at the dialog font's size under the test platform): the
# close button's top-left, the label's rectangle, the confirming button's
# top-left. The dialog tests check the drawing against the live dialog.
BOSS_CLOSE = (473, 21)
BOSS_LABEL = (87, 202, 537, 228)
BOSS_SAVE = (225, 288)
SAVE_W, SAVE_H = 120, 36


def boss_dialog():
    size = (BOSS_W, BOSS_H)
    canvas = new(size, NIGHT)
    paint(canvas, grad(size, "#1e2758", "#0a0c22", 0, BOSS_H), rects(size, [(0, 0, BOSS_W, BOSS_H)]))
    # a soft glow behind the key slot, as if lit from it
    glow = shape(size, "ellipse 265,215 200,70 0,360")
    paint(canvas, "#3a4cb0", blur(glow, 30), 0.35)
    # the title band: the caption's glass and its gold trim, cut to width
    band = W_.path()
    im(os.path.join(OUT, "skin.png"), "-crop", "%dx%d+%d+0" % (END, CAPTION, 0), "+repage", band)
    mid = W_.path()
    im(os.path.join(OUT, "skin.png"), "-crop", "1x%d+%d+0" % (CAPTION, END), "+repage",
       "-scale", "%dx%d!" % (BOSS_W - 2 * END, CAPTION), mid)
    right = W_.path()
    im(os.path.join(OUT, "skin.png"), "-crop", "%dx%d+%d+0" % (END, CAPTION, SKIN_W - END), "+repage", right)
    place(canvas, band, (0, 0))
    place(canvas, mid, (END, 0))
    place(canvas, right, (BOSS_W - END, 0))
    title = text_mask(size, "老板键设置", CJK_FONT, 16, (BOSS_W / 2.0, 25), kerning=4)
    paint(canvas, "#ffaa3c", blur(grow(title, 1), 3), 0.35)
    paint(canvas, "#140a04", blur(grow(title, 1), 0.6), 0.9)
    paint(canvas, grad(size, "#fff2c4", "#d0a050", 14, 36), title)
    # the window's edge: dark gold outside, a bright line inside
    paint(canvas, GOLD_DARK, rects(size, [(0, 0, BOSS_W, 1), (0, BOSS_H - 1, BOSS_W, BOSS_H),
                                          (0, 0, 1, BOSS_H), (BOSS_W - 1, 0, BOSS_W, BOSS_H)]))
    paint(canvas, GOLD, rects(size, [(2, CAPTION, 3, BOSS_H - 2), (BOSS_W - 3, CAPTION, BOSS_W - 2, BOSS_H - 2),
                                     (2, BOSS_H - 3, BOSS_W - 2, BOSS_H - 2)]), 0.55)
    # the instruction
    lines = [("请直接按下想用作老板键的组合键", 15, GOLD_LIGHT, 116),
             ("松开按键即保存；在游戏中按下它可隐藏或恢复游戏窗口", 12, "#b8bedc", 146)]
    for text, pt, colour, y in lines:
        m = text_mask(size, text, CJK_FONT, pt, (BOSS_W / 2.0, y), kerning=1)
        paint(canvas, "#05060f", blur(grow(m, 1), 0.6), 0.8)
        paint(canvas, colour, m)
    # the slot the pressed keys show in: an inset dark plate with a gold rim,
    # around the label's first characters' place
    x0, y0, x1, y1 = BOSS_LABEL
    sx0, sy0, sx1, sy1 = x0 - 14, y0 - 10, BOSS_W - x0 + 14, y1 + 10
    rim = shape(size, "roundrectangle %g,%g %g,%g 8,8" % (sx0 - 1.5, sy0 - 1.5, sx1 + 1.5, sy1 + 1.5))
    slot = shape(size, "roundrectangle %g,%g %g,%g 7,7" % (sx0, sy0, sx1, sy1))
    paint(canvas, grad(size, GOLD_DARK, GOLD_LIGHT, sy0, sy1), rim)
    paint(canvas, grad(size, "#05060e", "#161a3c", sy0, sy1), slot)
    paint(canvas, "#000000", times(slot, grad(size, "#909090", "#000000", sy0, sy0 + 8)), 0.8)
    # a line of stars along the foot
    for (x, y, r, k) in [(40, 330, 0.8, 0.7), (70, 318, 0.6, 0.5), (470, 326, 0.8, 0.7), (500, 312, 0.6, 0.5),
                         (110, 340, 0.5, 0.4), (430, 342, 0.5, 0.4)]:
        st = shape(size, "circle %g,%g %g,%g" % (x, y, x + r, y))
        paint(canvas, "#dce4ff", blur(st, 1.2), k * 0.8)
        paint(canvas, "#ffffff", st, k)
    return canvas


def save_button():
    frames = []
    for state in range(3):
        size = (SAVE_W, SAVE_H)
        f = new(size)
        plate = shape(size, "roundrectangle 1.5,1.5 118.5,34.5 9,9")
        inner = shape(size, "roundrectangle 3.5,3.5 116.5,32.5 7,7")
        rim = [(GOLD_LIGHT, GOLD_DARK), ("#fff6d6", "#b07a34"), ("#c8a060", "#4a3010")][state]
        body = [("#b07c30", "#5a3a10"), ("#d49a44", "#70481a"), ("#5a3a10", "#3a2408")][state]
        paint(f, "#000000", blur(plate, 1.2), 0.6)
        paint(f, grad(size, rim[0], rim[1], 1, 35), plate)
        paint(f, grad(size, body[0], body[1], 3, 33), inner)
        if state != 2:
            paint(f, "#ffffff", times(inner, grad(size, "#ffffff", "#000000", 3, 17)), 0.18 if state == 0 else 0.28)
        d = 1 if state == 2 else 0
        text = text_mask(size, "确定", CJK_FONT, 16, (60 + d, 18 + d), kerning=8)
        paint(f, "#1a0c02", blur(grow(text, 1), 0.6), 0.85)
        paint(f, ["#fff4d4", "#ffffff", "#e2c68a"][state], text)
        frames.append(f)
    return hstrip(frames)


def boss_preview(folder, label_text="Ctrl+Shift+A"):
    """The dialog as it shows: the face, the two buttons and a label."""
    out = W_.path()
    im(os.path.join(OUT, "boss_dialog.png"), out)
    place(out, frame_of(os.path.join(OUT, "close.png"), 0, 20), BOSS_CLOSE)
    place(out, frame_of(os.path.join(OUT, "boss_save.png"), 0, SAVE_W), BOSS_SAVE)
    im(out, "-font", CJK_FONT, "-pointsize", 20, "-fill", "white", "-gravity", "northwest",
       "-annotate", "+%d+%d" % (BOSS_LABEL[0], BOSS_LABEL[1]), label_text, out)
    name = os.path.join(folder, "boss_dialog.png")
    im(out, name)
    return name


# --- preview ------------------------------------------------------------------

BUTTONS = [  # file, left and top relative to the window's right edge and top
    ("boss.png", 115, 5), ("minimise.png", 85, 5), ("maximise.png", 55, 5), ("close.png", 25, 5),
    ("boss_key.png", 170, 25), ("forum.png", 230, 25), ("official_site.png", 290, 25), ("refresh.png", 350, 25)]


def frame_of(strip, index, width):
    out = W_.path()
    im(strip, "-crop", "%dx%d+%d+0" % (width, size_of(strip)[1], index * width), "+repage", out)
    return out


def compose_window(width, height, title, states):
    """The frame painted as the game window paints it; `states` maps a button
    file to the frame to show (0 when missing)."""
    skin_png = os.path.join(OUT, "skin.png")
    iw, ih, C, B = SKIN_W, SKIN_H, CAPTION, 1
    out = new((width, height), "#000000")

    def piece(dx, dy, dw, dh, sx, sy, sw, sh):
        p = W_.path()
        im(skin_png, "-crop", "%dx%d+%d+%d" % (sw, sh, sx, sy), "+repage", "-resize", "%dx%d!" % (dw, dh), p)
        place(out, p, (dx, dy))
    W, H = width, height
    piece(0, H - B, W, B, C, ih - B, B, B)
    piece(W - C, H - C, C, C, iw - C, ih - C, C, C)
    piece(0, H - C, C, C, 0, ih - C, C, C)
    if H > 2 * C:
        piece(0, C, B, H - 2 * C, 0, C, B, B)
        piece(W - B, C, B, H - 2 * C, iw - B, C, B, B)
    piece(0, 0, W, C, END, 0, iw - 2 * END, C)
    piece(0, 0, END, C, 0, 0, END, C)
    piece(W - END, 0, END, C, iw - END, 0, END, C)
    place(out, os.path.join(OUT, "logo.png"), (0, 3))
    place(out, os.path.join(OUT, "welcome.png"), (154, 24))
    if title:
        im(out, "-font", CJK_FONT, "-pointsize", 12, "-fill", "white", "-stroke", "white", "-strokewidth", 0.3,
           "-annotate", "+16+26", title, out)
    for name, right, top in BUTTONS:
        strip = os.path.join(OUT, name)
        fw = size_of(strip)[0] // 3
        place(out, frame_of(strip, states.get(name, 0), fw), (W - right, top))
    if height > C:  # the client area: the game page's dark scene
        client = grad((W - 2 * B, H - C - B), "#1b2444", "#0a0c1a")
        place(out, client, (B, C))
    return out


def preview(folder):
    os.makedirs(folder, exist_ok=True)
    written = []
    for W in (1920, 800):
        for title in ("", "幻世传说 - 游戏"):
            p = compose_window(W, CAPTION, title, {})
            name = os.path.join(folder, "caption_%d%s.png" % (W, "_title" if title else ""))
            im(p, name)
            written.append(name)
    hot = compose_window(800, CAPTION, "", {"close.png": 1, "maximise.png": 2, "forum.png": 1,
                                             "refresh.png": 2, "boss.png": 1})
    name = os.path.join(folder, "caption_800_states.png")
    im(hot, name)
    written.append(name)
    zoom = os.path.join(folder, "caption_800_states_x3.png")
    im(hot, "-crop", "400x55+400+0", "+repage", "-scale", "300%", zoom)
    written.append(zoom)
    zoom = os.path.join(folder, "caption_800_left_x3.png")
    im(compose_window(800, CAPTION, "幻世传说 - 游戏", {}), "-crop", "260x55+0+0", "+repage", "-scale", "300%", zoom)
    written.append(zoom)
    win = os.path.join(folder, "window_800x600.png")
    im(compose_window(800, 600, "", {}), win)
    written.append(win)
    strips = os.path.join(folder, "strips_x4.png")
    files = [os.path.join(OUT, n) for n, _, _ in BUTTONS]
    im("-background", "#151a3a", *files, "+repage", "-splice", "0x6", "-append", "-flatten", "-scale", "400%", strips)
    written.append(strips)
    written.append(boss_preview(folder))
    return written


def main():
    global W_
    W_ = Work()
    try:
        os.makedirs(OUT, exist_ok=True)
        save(skin(), "skin.png", (SKIN_W, SKIN_H))
        check_skin(os.path.join(OUT, "skin.png"))
        save(system_button(CLOSE, RED), "close.png", (60, 20))
        save(system_button(MAXIMISE, AMBER), "maximise.png", (60, 20))
        save(system_button(MINIMISE, AMBER), "minimise.png", (60, 20))
        save(system_button(BOSS, AMBER), "boss.png", (60, 20))
        for name, label in [("forum", "论坛"), ("official_site", "官网"), ("refresh", "刷新"),
                            ("boss_key", "老板键")]:
            save(text_button(label), name + ".png", (180, 17))
        save(logo(), "logo.png", (LOGO_W, LOGO_H))
        save(welcome(), "welcome.png", (75, 15))
        save(boss_dialog(), "boss_dialog.png", (BOSS_W, BOSS_H))
        save(save_button(), "boss_save.png", (3 * SAVE_W, SAVE_H))
        if "--preview" in sys.argv:
            for p in preview(sys.argv[sys.argv.index("--preview") + 1]):
                print(p)
    finally:
        W_.close()


if __name__ == "__main__":
    main()
