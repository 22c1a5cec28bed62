#!/usr/bin/python3
"""Draws every picture of VTX into res/images/.

Run with Debian's python3-pil and fonts-wqy-microhei (scripts/install-deps):
    /usr/bin/python3 res/gen/make_resources.py
The outputs are committed, so building VTX needs neither Python nor the font.

Look: flat, white and light-grey surfaces, primary colour #1890FF.
Shapes are drawn at four times their size and scaled down, which gives smooth edges.
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "images")
FONT_PATH = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
SS = 4  # supersampling factor

BLUE = (24, 144, 255)
BLUE_HOVER = (64, 169, 255)
BLUE_DOWN = (9, 109, 217)
BLUE_LIGHT = (230, 244, 255)
TEXT_GREY = (89, 89, 89)
ICON_GREY = (140, 140, 140)
BORDER = (212, 220, 240)
WHITE = (255, 255, 255)


def font(px):
    return ImageFont.truetype(FONT_PATH, px * SS)


def canvas(w, h, fill=(0, 0, 0, 0)):
    img = Image.new("RGBA", (w * SS, h * SS), fill)
    return img, ImageDraw.Draw(img)


def s(v):
    """Scales a coordinate, a box or a point list to the supersampled canvas."""
    if isinstance(v, (int, float)):
        return v * SS
    if isinstance(v, tuple):
        return tuple(s(x) for x in v)
    return [s(x) for x in v]


def px(v):
    """A line width or radius on the supersampled canvas (whole pixels)."""
    return int(round(v * SS))


def finish(img, name, colors=None):
    w, h = img.size[0] // SS, img.size[1] // SS
    out = img.resize((w, h), Image.LANCZOS)
    path = os.path.join(OUT, name)
    if colors:
        # Big pictures are stored with a palette; they stay well below a few dozen kB.
        out = out.convert("RGB").quantize(colors=colors, method=Image.MEDIANCUT, dither=Image.NONE)
    out.save(path, optimize=True)


def solid(name, w, h, color, right_gap=None):
    """A plain fill. Buttons draw these as background images, which Qt tiles, so a
    uniform picture never shows a seam whatever size the button gets."""
    img = Image.new("RGBA", (w, h), color + (255,))
    if right_gap:
        ImageDraw.Draw(img).line([(w - 1, 0), (w - 1, h)], fill=right_gap + (255,))
    img.save(os.path.join(OUT, name), optimize=True)


def text_center(d, box, text, px, color):
    f = font(px)
    x0, y0, x1, y1 = s(box)
    bb = d.textbbox((0, 0), text, font=f)
    tw, th = bb[2] - bb[0], bb[3] - bb[1]
    d.text((x0 + (x1 - x0 - tw) / 2 - bb[0], y0 + (y1 - y0 - th) / 2 - bb[1]), text, font=f, fill=color)


# ---------------------------------------------------------------- glyphs


def glyph_camera(d, cx, cy, size, color):
    w = size
    body = [cx - w * 0.5, cy - w * 0.3, cx + w * 0.18, cy + w * 0.3]
    d.rounded_rectangle(s(body), radius=px(w * 0.1), fill=color)
    lens = [(cx + w * 0.24, cy - w * 0.06), (cx + w * 0.5, cy - w * 0.26), (cx + w * 0.5, cy + w * 0.26),
            (cx + w * 0.24, cy + w * 0.06)]
    d.polygon(s(lens), fill=color)


def glyph_mic(d, cx, cy, size, color, width):
    w = size
    d.rounded_rectangle(s([cx - w * 0.17, cy - w * 0.5, cx + w * 0.17, cy + w * 0.12]), radius=px(w * 0.17),
                        fill=color)
    d.arc(s([cx - w * 0.32, cy - w * 0.3, cx + w * 0.32, cy + w * 0.3]), 0, 180, fill=color, width=px(width))
    d.line(s([cx, cy + w * 0.3, cx, cy + w * 0.45]), fill=color, width=px(width))
    d.line(s([cx - w * 0.2, cy + w * 0.47, cx + w * 0.2, cy + w * 0.47]), fill=color, width=px(width))


def glyph_plus(d, cx, cy, size, color, width):
    h = size / 2
    d.line(s([cx - h, cy, cx + h, cy]), fill=color, width=px(width))
    d.line(s([cx, cy - h, cx, cy + h]), fill=color, width=px(width))


def glyph_share(d, cx, cy, size, color, width):
    w = size
    d.rounded_rectangle(s([cx - w * 0.5, cy - w * 0.38, cx + w * 0.5, cy + w * 0.3]), radius=px(w * 0.06),
                        outline=color, width=px(width))
    d.line(s([cx - w * 0.22, cy + w * 0.48, cx + w * 0.22, cy + w * 0.48]), fill=color, width=px(width))
    # arrow pointing up out of the screen
    d.line(s([cx, cy + w * 0.14, cx, cy - w * 0.2]), fill=color, width=px(width))
    d.line(s([cx - w * 0.15, cy - w * 0.06, cx, cy - w * 0.21, cx + w * 0.15, cy - w * 0.06]), fill=color,
           width=px(width), joint="curve")


def glyph_calendar(d, cx, cy, size, color, width, bg):
    w = size
    d.rounded_rectangle(s([cx - w * 0.46, cy - w * 0.36, cx + w * 0.46, cy + w * 0.46]), radius=px(w * 0.08),
                        outline=color, width=px(width))
    d.rectangle(s([cx - w * 0.46, cy - w * 0.36, cx + w * 0.46, cy - w * 0.14]), fill=color)
    for dx in (-0.22, 0.22):
        d.line(s([cx + w * dx, cy - w * 0.5, cx + w * dx, cy - w * 0.28]), fill=color, width=px(width))
    for row in (0.04, 0.24):
        for col in (-0.24, 0, 0.24):
            r = w * 0.045
            d.ellipse(s([cx + w * col - r, cy + w * row - r, cx + w * col + r, cy + w * row + r]), fill=color)


def glyph_house(d, cx, cy, size, color, width):
    w = size
    d.line(s([cx - w * 0.5, cy - w * 0.02, cx, cy - w * 0.45, cx + w * 0.5, cy - w * 0.02]), fill=color,
           width=px(width), joint="curve")
    d.line(s([cx - w * 0.34, cy - w * 0.14, cx - w * 0.34, cy + w * 0.45, cx + w * 0.34, cy + w * 0.45,
              cx + w * 0.34, cy - w * 0.14]), fill=color, width=px(width), joint="curve")
    d.rectangle(s([cx - w * 0.1, cy + w * 0.15, cx + w * 0.1, cy + w * 0.45]), fill=color)


def glyph_gear(d, cx, cy, size, color, bg):
    r_out, r_in, teeth = size * 0.5, size * 0.36, 8
    pts = []
    for i in range(teeth * 4):
        a = 2 * math.pi * i / (teeth * 4)
        r = r_out if (i % 4) in (0, 1) else r_in
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d.polygon(s(pts), fill=color)
    d.ellipse(s([cx - r_in * 0.98, cy - r_in * 0.98, cx + r_in * 0.98, cy + r_in * 0.98]), fill=color)
    h = size * 0.16
    d.ellipse(s([cx - h, cy - h, cx + h, cy + h]), fill=bg)


def glyph_check(d, pts, color, width):
    d.line(s(pts), fill=color, width=px(width), joint="curve")


def chevron(d, cx, cy, w, h, color, width, up):
    sign = -1 if up else 1
    d.line(s([cx - w / 2, cy - sign * h / 2, cx, cy + sign * h / 2, cx + w / 2, cy - sign * h / 2]), fill=color,
           width=px(width), joint="curve")


# ---------------------------------------------------------------- buttons


def buttons():
    # Primary and grey buttons: uniform fills, the style sheet rounds the corners.
    solid("btn_normal.png", 120, 36, BLUE)
    solid("btn_hover.png", 120, 36, BLUE_HOVER)
    solid("btn_down.png", 120, 36, BLUE_DOWN)
    solid("btn_normal_gray.png", 120, 36, (240, 242, 245))
    solid("btn_hover_gray.png", 120, 36, (228, 232, 238))
    solid("btn_down_gray.png", 120, 36, (212, 217, 226))

    # List-row buttons sit side by side without spacing; a white last column parts them.
    for prefix, w in (("item_btn", 60), ("item_lbtn", 80)):
        solid(prefix + "_normal.png", w, 24, (240, 246, 255), right_gap=WHITE)
        solid(prefix + "_hover.png", w, 24, (214, 234, 255), right_gap=WHITE)
        solid(prefix + "_down.png", w, 24, (186, 220, 255), right_gap=WHITE)
    solid("item_btn_disabled.png", 60, 24, (245, 245, 245), right_gap=WHITE)

    # Update strip button: warm colour so the notice stands out on the white main page.
    solid("update_btn_mormal.png", 80, 26, (250, 173, 20))
    solid("update_btn_hover.png", 80, 26, (255, 197, 61))
    solid("update_btn_down.png", 80, 26, (212, 136, 6))

    # Home page sign-in button (220 x 40): outlined, to sit beside the filled join button.
    for name, fill, line in (("login_btn_normal.png", WHITE, BLUE), ("login_btn_hover.png", BLUE_LIGHT, BLUE_HOVER),
                             ("login_btn_down.png", (186, 220, 255), BLUE_DOWN)):
        img, d = canvas(220, 40)
        d.rounded_rectangle(s([0.5, 0.5, 219.5, 39.5]), radius=px(4), fill=fill + (255,), outline=line + (255,),
                            width=px(1))
        finish(img, name)

    # Weekday toggles (at most 32 x 28).
    for suffix, fill in (("", BLUE), ("_hover", BLUE_HOVER), ("_down", BLUE_DOWN)):
        solid("week_selected%s.png" % suffix, 32, 28, fill)
    for suffix, fill, line in (("", (243, 244, 249), (215, 222, 241)), ("_hover", (230, 244, 255), BLUE_HOVER),
                               ("_down", (186, 220, 255), BLUE)):
        img = Image.new("RGBA", (32, 28), fill + (255,))
        ImageDraw.Draw(img).rectangle([0, 0, 31, 27], outline=line + (255,))
        img.save(os.path.join(OUT, "week_noselected%s.png" % suffix), optimize=True)

    # Meetings tab switches: uniform across, so any width works; the selected one is underlined.
    for name, line, h_line in (("mymeeting_normal.png", (232, 236, 244), 1), ("mymeeting_sel.png", BLUE, 3),
                               ("videolist_normal.png", (232, 236, 244), 1), ("videolist_sel.png", BLUE, 3)):
        img = Image.new("RGBA", (180, 40), WHITE + (255,))
        ImageDraw.Draw(img).rectangle([0, 40 - h_line, 179, 39], fill=line + (255,))
        img.save(os.path.join(OUT, name), optimize=True)


def toolbar_tabs():
    # Toolbar tabs of the main page (180 x 56): icon over caption, blue when selected.
    captions = {"home": ("首页", "Home"), "meeting": ("会议", "Meetings")}
    names = {"home": ("home_btn_mormal", "home_btn_selected"), "meeting": ("meeting_btn_normal", "meeting_btn_selected")}
    for kind in ("home", "meeting"):
        for lang_index, suffix in ((0, ""), (1, "_en")):
            for state, color in ((0, ICON_GREY), (1, BLUE)):
                img, d = canvas(180, 56, WHITE + (255,))
                if kind == "home":
                    glyph_house(d, 90, 20, 20, color, 2)
                else:
                    glyph_calendar(d, 90, 20, 20, color, 2, WHITE)
                text_center(d, [0, 33, 180, 52], captions[kind][lang_index], 12, color)
                finish(img, names[kind][state] + suffix + ".png")


def settings_buttons():
    # Settings button of the home tab (88 x 30): gear and caption on a transparent ground.
    for lang_index, suffix in ((0, ""), (1, "_en")):
        caption = ("设置", "Settings")[lang_index]
        for state, color, bg in (("mormal", TEXT_GREY, None), ("hover", BLUE, BLUE_LIGHT), ("down", BLUE_DOWN,
                                                                                            (186, 220, 255))):
            img, d = canvas(88, 30)
            if bg:
                d.rounded_rectangle(s([0, 0, 88, 30]), radius=px(4), fill=bg + (255,))
            glyph_gear(d, 17, 15, 14, color, bg + (255,) if bg else (0, 0, 0, 0))
            f = font(13)
            bb = d.textbbox((0, 0), caption, font=f)
            d.text((s(30) - bb[0], s(15) - (bb[3] - bb[1]) / 2 - bb[1]), caption, font=f, fill=color)
            finish(img, "setting_btn_%s%s.png" % (state, suffix))


def tiles():
    # Home tab tiles (100 x 100): a coloured rounded square with a white glyph.
    kinds = {
        "pic_initiate": ((255, 143, 31), lambda d, c: glyph_camera(d, 50, 50, 44, c)),
        "pic_voice": ((82, 196, 26), lambda d, c: glyph_mic(d, 50, 50, 44, c, 4)),
        "pic_join": (BLUE, lambda d, c: glyph_plus(d, 50, 50, 40, c, 6)),
        "pic_share": ((19, 194, 194), lambda d, c: glyph_share(d, 50, 50, 46, c, 4)),
        "pic_plan": ((114, 46, 209), lambda d, c: glyph_calendar(d, 50, 50, 44, c, 4, None)),
    }
    for name, (color, draw_glyph) in kinds.items():
        variants = [("", color, None), ("_hover", tuple(min(255, int(v + (255 - v) * 0.2)) for v in color), True)]
        if name != "pic_plan":
            variants.append(("_dis", (200, 204, 212), None))
        for suffix, fill, ring in variants:
            img, d = canvas(100, 100)
            if ring:
                # A soft shadow marks the tile under the pointer.
                shadow = Image.new("RGBA", img.size, (0, 0, 0, 0))
                ImageDraw.Draw(shadow).rounded_rectangle(s([6, 9, 94, 97]), radius=px(24), fill=fill + (110,))
                img.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(s(3))))
                d = ImageDraw.Draw(img)
            d.rounded_rectangle(s([4, 4, 96, 96]), radius=px(24), fill=fill + (255,))
            draw_glyph(d, WHITE + (255,))
            finish(img, name + suffix + ".png")


def check_and_radio():
    # Check boxes 18 x 18.
    states = {
        "checkbox_unchecked": (WHITE, (191, 191, 191), None),
        "checkbox_unchecked_focus": (WHITE, BLUE, None),
        "checkbox_unchecked_disabled": ((245, 245, 245), (217, 217, 217), None),
        "checkbox_checked": (BLUE, BLUE, WHITE),
        "checkbox_checked_focus": (BLUE_HOVER, BLUE_HOVER, WHITE),
        "checkbox_checked_disabled": ((217, 217, 217), (217, 217, 217), (250, 250, 250)),
    }
    for name, (fill, line, mark) in states.items():
        img, d = canvas(18, 18)
        d.rounded_rectangle(s([1, 1, 17, 17]), radius=px(3), fill=fill + (255,), outline=line + (255,), width=px(1))
        if mark:
            glyph_check(d, [4.6, 9.2, 7.6, 12.2, 13.4, 5.8], mark + (255,), 2)
        finish(img, name + ".png")
    # Radio buttons 21 x 21.
    states = {
        "radio_unchecked": ((191, 191, 191), None, WHITE),
        "radio_unchecked_focus": (BLUE, None, WHITE),
        "radio_unchecked_disabled": ((217, 217, 217), None, (245, 245, 245)),
        "radio_checked": (BLUE, BLUE, WHITE),
        "radio_checked_focus": (BLUE_HOVER, BLUE_HOVER, WHITE),
        "radio_checked_disabled": ((217, 217, 217), (191, 191, 191), (245, 245, 245)),
    }
    for name, (line, dot, fill) in states.items():
        img, d = canvas(21, 21)
        d.ellipse(s([1.5, 1.5, 19.5, 19.5]), fill=fill + (255,), outline=line + (255,), width=px(1.25))
        if dot:
            d.ellipse(s([6, 6, 15, 15]), fill=dot + (255,))
        finish(img, name + ".png")


# ---------------------------------------------------------------- logos and backgrounds


def logo_mark(d, x, y, size):
    """The VTX mark: a blue rounded square with a white camera."""
    d.rounded_rectangle(s([x, y, x + size, y + size]), radius=px(size * 0.22), fill=BLUE + (255,))
    glyph_camera(d, x + size * 0.5, y + size * 0.5, size * 0.56, WHITE + (255,))


def logos():
    for name, size in (("logo.png", 256), ("about.png", 64)):
        img, d = canvas(size, size)
        pad = size * 0.04
        logo_mark(d, pad, pad, size - 2 * pad)
        finish(img, name)


def soft_background(w, h, blobs):
    img, d = canvas(w, h, (250, 252, 255, 255))
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    ld = ImageDraw.Draw(layer)
    for (cx, cy, r, color, alpha) in blobs:
        ld.ellipse(s([cx - r, cy - r, cx + r, cy + r]), fill=color + (alpha,))
    img.alpha_composite(layer.filter(ImageFilter.GaussianBlur(s(2))))
    return img, ImageDraw.Draw(img)


def wordmark(d, cx, y):
    f = font(26)
    bb = d.textbbox((0, 0), "VTX", font=f)
    tw = bb[2] - bb[0]
    mark = 36
    gap = 10
    x0 = cx - (mark + gap + tw / SS) / 2
    logo_mark(d, x0, y, mark)
    d.text((s(x0 + mark + gap) - bb[0], s(y + mark / 2) - (bb[3] - bb[1]) / 2 - bb[1]), "VTX", font=f,
           fill=(38, 38, 38))


def backgrounds():
    # Home page: brand on top, quiet corners, the middle left free for the buttons.
    img, d = soft_background(680, 420, [(40, 380, 120, BLUE, 26), (660, 30, 110, BLUE, 22),
                                        (600, 400, 60, (19, 194, 194), 20), (90, 40, 36, (255, 143, 31), 18)])
    wordmark(d, 340, 60)
    finish(img, "home.png", colors=128)

    # Sign-in and join pages: a thin brand band on top, light ground below the form.
    img, d = soft_background(680, 420, [(700, 420, 150, BLUE, 22), (-20, 430, 90, BLUE, 16)])
    d.rectangle(s([0, 0, 680, 4]), fill=BLUE + (255,))
    finish(img, "login.png", colors=128)

    # Verification page: same ground, a shield motif at the lower right.
    img, d = soft_background(680, 420, [(700, 420, 150, (19, 194, 194), 20), (-20, 430, 90, BLUE, 16)])
    d.rectangle(s([0, 0, 680, 4]), fill=BLUE + (255,))
    cx, cy = 610, 350
    shield = [(cx, cy - 34), (cx + 28, cy - 24), (cx + 26, cy + 6), (cx, cy + 34), (cx - 26, cy + 6), (cx - 28, cy - 24)]
    d.polygon(s(shield), fill=(24, 144, 255, 60))
    glyph_check(d, [cx - 12, cy, cx - 3, cy + 10, cx + 14, cy - 10], WHITE + (255,), 4)
    finish(img, "verification.png", colors=128)

    # Password dialog: white, a lock in the free strip left of the form (x < 170).
    img, d = canvas(680, 420, WHITE + (255,))
    d.rectangle(s([0, 0, 680, 4]), fill=BLUE + (255,))
    cx, cy = 90, 200
    d.rounded_rectangle(s([cx - 34, cy - 10, cx + 34, cy + 46]), radius=px(8), fill=BLUE_LIGHT + (255,),
                        outline=BLUE + (255,), width=px(3))
    d.arc(s([cx - 22, cy - 46, cx + 22, cy + 2]), 180, 360, fill=BLUE + (255,), width=px(5))
    d.line(s([cx - 22, cy - 22, cx - 22, cy - 9]), fill=BLUE + (255,), width=px(5))
    d.line(s([cx + 22, cy - 22, cx + 22, cy - 9]), fill=BLUE + (255,), width=px(5))
    d.ellipse(s([cx - 6, cy + 10, cx + 6, cy + 22]), fill=BLUE + (255,))
    d.line(s([cx, cy + 18, cx, cy + 32]), fill=BLUE + (255,), width=px(4))
    finish(img, "password.png", colors=64)

    # Join history popup (320 x 249, scaled to its height): white with a thin frame.
    img = Image.new("RGBA", (320, 249), WHITE + (255,))
    ImageDraw.Draw(img).rectangle([0, 0, 319, 248], outline=BORDER + (255,))
    img.save(os.path.join(OUT, "frame.png"), optimize=True)


def tips_boxes():
    # Tip boxes (320 x 77, translucent window): a white card with a soft shadow, an icon left of x = 80.
    for name, color, kind in (("tipsdlg.png", BLUE, "info"), ("tipsdlg2.png", (82, 196, 26), "ok")):
        img, d = canvas(320, 77)
        shadow = Image.new("RGBA", img.size, (0, 0, 0, 0))
        ImageDraw.Draw(shadow).rounded_rectangle(s([3, 4, 317, 75]), radius=px(8), fill=(0, 0, 0, 60))
        img.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(s(1.5))))
        d = ImageDraw.Draw(img)
        d.rounded_rectangle(s([2, 2, 317, 73]), radius=px(8), fill=WHITE + (255,), outline=(229, 233, 242, 255),
                            width=px(1))
        d.rounded_rectangle(s([2, 2, 8, 73]), radius=px(3), fill=color + (255,))
        cx, cy, r = 44, 38, 17
        d.ellipse(s([cx - r, cy - r, cx + r, cy + r]), fill=color + (255,))
        if kind == "info":
            d.ellipse(s([cx - 2.4, cy - 10, cx + 2.4, cy - 5.2]), fill=WHITE + (255,))
            d.rounded_rectangle(s([cx - 2.2, cy - 2, cx + 2.2, cy + 10]), radius=px(1.5), fill=WHITE + (255,))
        else:
            glyph_check(d, [cx - 8, cy, cx - 2, cy + 6, cx + 9, cy - 6], WHITE + (255,), 3.5)
        finish(img, name)


def small_pictures():
    img = Image.new("RGBA", (600, 1), (229, 233, 242, 255))
    img.save(os.path.join(OUT, "line.png"), optimize=True)
    img = Image.new("RGBA", (320, 2), (245, 34, 45, 255))
    img.save(os.path.join(OUT, "editline.png"), optimize=True)

    # Marker under the chosen invite tab (54 x 12).
    img, d = canvas(54, 12)
    # The pages place this picture 14.5 px right of its tab's centre: the bar sits in its left half.
    d.rounded_rectangle(s([0, 0, 25, 3]), radius=px(1.5), fill=BLUE + (255,))
    finish(img, "selected.png")

    # Avatar ground behind the initials (42 x 42).
    img, d = canvas(42, 42)
    d.ellipse(s([0, 0, 42, 42]), fill=BLUE + (255,))
    finish(img, "account.png")

    img, d = canvas(24, 24)
    d.line(s([15, 5, 8, 12, 15, 19]), fill=TEXT_GREY + (255,), width=px(2), joint="curve")
    finish(img, "back.png")

    img, d = canvas(10, 6)
    d.polygon(s([(0.5, 0.5), (9.5, 0.5), (5, 5.5)]), fill=TEXT_GREY + (255,))
    finish(img, "ic_arrow.png")

    for name, up in (("arrow_up.png", True), ("arrow_down.png", False)):
        img, d = canvas(16, 16)
        chevron(d, 8, 8, 9, 5, ICON_GREY + (255,), 1.6, up)
        finish(img, name)
    for name, up in (("qt_arrow_up.png", True), ("qt_arrow_down.png", False)):
        img, d = canvas(10, 6)
        chevron(d, 5, 3, 8, 4, ICON_GREY + (255,), 1.5, up)
        finish(img, name)


def spinner():
    # loading.gif: 24 frames, 32 x 32, twelve dots fading behind the leading one, transparent ground.
    frames = []
    n_dots, n_frames, size = 12, 24, 32
    ramp = []
    for i in range(63):
        ramp += [int(255 - (255 - c) * i / 62) for c in BLUE]
    ramp += [255, 255, 255] + [0] * (768 - 64 * 3)
    for f in range(n_frames):
        img, d = canvas(size, size, (255, 255, 255, 0))
        head = f * n_dots / n_frames
        for i in range(n_dots):
            age = (head - i) % n_dots
            t = max(0.0, 1.0 - age / n_dots)
            color = tuple(int(255 - (255 - c) * (0.08 + 0.92 * t * t)) for c in BLUE)
            a = 2 * math.pi * i / n_dots - math.pi / 2
            r = 2.0 + 0.8 * t
            x, y = 16 + 11 * math.cos(a), 16 + 11 * math.sin(a)
            d.ellipse(s([x - r, y - r, x + r, y + r]), fill=color + (255,))
        small = img.resize((size, size), Image.LANCZOS)
        # GIF has one transparent colour: keep pixels that are mostly covered, drop the rest.
        # Every colour is a mix of white and blue, so one shared ramp of 63 shades serves all frames.
        alpha = small.getchannel("A").point(lambda v: 255 if v >= 110 else 0)
        red = small.getchannel("R").point(lambda v: min(62, max(0, round((255 - v) * 62 / (255 - BLUE[0])))))
        pal = Image.new("P", small.size, 63)
        pal.paste(red, mask=alpha)
        pal.putpalette(ramp)
        frames.append(pal)
    frames[0].save(os.path.join(OUT, "loading.gif"), save_all=True, append_images=frames[1:], duration=42, loop=0,
                   transparency=63, disposal=2, optimize=False)


def main():
    if not os.path.exists(FONT_PATH):
        sys.exit("missing %s: run scripts/install-deps" % FONT_PATH)
    os.makedirs(OUT, exist_ok=True)
    buttons()
    toolbar_tabs()
    settings_buttons()
    tiles()
    check_and_radio()
    logos()
    backgrounds()
    tips_boxes()
    small_pictures()
    spinner()


if __name__ == "__main__":
    main()
