"""Arena backdrop, HUD bars and labels, and the end-of-fight overlays."""

import numpy as np
from PIL import Image, ImageDraw

from common import (OUTLINE, GOLD, STEEL, FIRE, font, dither_tile, value_noise, mix)

SCREEN_W, SCREEN_H = 1024, 720
FLOOR_Y = 600

# ---------------------------------------------------------------- backdrop

SKY_STOPS = [(0, (10, 13, 30)), (260, (20, 27, 54)), (470, (40, 42, 76)),
             (560, (66, 52, 82)), (600, (92, 64, 86))]


def sky_colour(y):
    for (y0, c0), (y1, c1) in zip(SKY_STOPS, SKY_STOPS[1:]):
        if y <= y1:
            return np.array(mix(c0, c1, (y - y0) / (y1 - y0)), float)
    return np.array(SKY_STOPS[-1][1], float)


def dithered_gradient(h, w, colour_at, step=6):
    """Vertical gradient quantised to steps of `step` levels per channel and
    ordered-dithered between them: smooth from afar, pixel-crisp up close."""
    base = np.stack([colour_at(y) for y in range(h)])[:, None, :].repeat(w, axis=1)
    d = dither_tile(h, w)[..., None]
    q = np.floor(base / step + d) * step
    return np.clip(q, 0, 255).astype(np.uint8)


def ridge(w, base_y, amp, rng, cell):
    """A jagged skyline: 1-D fractal noise giving the top y for every column."""
    n = value_noise(1, w, cell, rng, octaves=4)[0]
    return base_y - amp * n


def draw_backdrop():
    rng = np.random.default_rng(2024)
    W, H = SCREEN_W, SCREEN_H
    img = np.zeros((H, W, 3), np.uint8)
    img[:FLOOR_Y] = dithered_gradient(FLOOR_Y, W, sky_colour)

    # stars: dim, sparse, fewer towards the horizon
    for _ in range(170):
        x, y = int(rng.integers(0, W)), int(rng.integers(0, 420))
        b = rng.uniform(0.25, 0.75) * (1 - y / 520)
        col = np.array(sky_colour(y)) * (1 - b) + np.array((210, 214, 240)) * b
        img[y, x] = col
        if rng.random() < 0.08:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if 0 <= x + dx < W and 0 <= y + dy < H:
                    img[y + dy, x + dx] = (np.array(sky_colour(y)) + col) / 2

    # a pale moon, low and to the right, away from the boss lane at the top
    yy, xx = np.mgrid[0:H, 0:W]
    mx, my, mr = 812, 236, 38
    dist = np.hypot(xx - mx, yy - my)
    d = dither_tile(H, W)
    halo = (dist < mr * 2.2) & (dist >= mr) & (d < 0.35 * (1 - (dist - mr) / (mr * 1.2)))
    img[halo] = (img[halo] * 0.6 + np.array((90, 96, 130)) * 0.4).astype(np.uint8)
    disc = dist < mr
    img[disc] = (168, 176, 204)
    shadow = disc & (np.hypot(xx - mx - 14, yy - my + 6) > mr * 0.98)
    img[shadow] = (136, 142, 176)
    for cx, cy, r in ((-10, -8, 8), (12, 10, 6), (-14, 16, 5), (6, -18, 4)):
        crater = np.hypot(xx - mx - cx, yy - my - cy) < r
        img[crater & disc] = (148, 154, 186)

    # far mountains, then nearer hills, then the ruined colonnade of the hall
    far = ridge(W, 520, 120, rng, 64)
    near = ridge(W, 575, 80, rng, 40)
    for x in range(W):
        img[int(far[x]):FLOOR_Y, x] = (38, 36, 66)
        img[int(near[x]):FLOOR_Y, x] = (30, 28, 54)
    # a band of low mist between the hills and the floor
    mist = (yy > 560) & (yy < FLOOR_Y) & (d < (yy - 560) / 40 * 0.5)
    img[mist] = (img[mist] * 0.5 + np.array((84, 70, 100)) * 0.5).astype(np.uint8)

    pil = Image.fromarray(img, "RGB")
    draw_colonnade(ImageDraw.Draw(pil), rng)
    draw_floor(pil, rng)
    return pil.convert("RGBA")


def draw_colonnade(dr, rng):
    """Broken columns of an old arena, as dark shapes with a cold rim light on
    the left. Kept close to the sky's value so they never compete with sprites."""
    body, rim, dark = (28, 28, 52), (52, 54, 86), (22, 22, 42)
    xs = [40, 178, 318, 458, 598, 738, 878, 990]
    for i, x in enumerate(xs):
        top = 330 + int(rng.integers(0, 5)) * 24 if i not in (0, 7) else 150
        w = 34 if i not in (0, 7) else 44
        dr.rectangle([x - w // 2, top, x + w // 2, FLOOR_Y], fill=body)
        dr.rectangle([x - w // 2, top, x - w // 2 + 2, FLOOR_Y], fill=rim)
        dr.rectangle([x + w // 2 - 5, top, x + w // 2, FLOOR_Y], fill=dark)
        # fluting
        for fx in range(x - w // 2 + 8, x + w // 2 - 6, 7):
            dr.line([fx, top + 6, fx, FLOOR_Y - 14], fill=dark)
        # capital / broken top
        if i in (0, 7):
            dr.rectangle([x - w // 2 - 6, top - 10, x + w // 2 + 6, top], fill=body)
            dr.rectangle([x - w // 2 - 6, top - 10, x + w // 2 + 6, top - 8], fill=rim)
        else:
            jag = [(x - w // 2, top)]
            for k in range(1, 5):
                jag.append((x - w // 2 + k * w // 4, top - int(rng.integers(2, 12))))
            jag.append((x + w // 2, top))
            dr.polygon(jag, fill=body)
        if i in (0, 7):
            draw_banner(dr, x, top + 2)
        # plinth
        dr.rectangle([x - w // 2 - 5, FLOOR_Y - 14, x + w // 2 + 5, FLOOR_Y], fill=body)
        dr.rectangle([x - w // 2 - 5, FLOOR_Y - 14, x + w // 2 + 5, FLOOR_Y - 13], fill=rim)


def draw_banner(dr, x, top):
    """A faded war banner hanging from a capital, swallow-tailed."""
    cloth, fold, trim = (62, 26, 44), (48, 20, 36), (110, 84, 60)
    x0, x1, y1 = x - 14, x + 14, top + 150
    dr.polygon([(x0, top), (x1, top), (x1, y1), (x, y1 - 16), (x0, y1)], fill=cloth)
    dr.polygon([(x + 4, top), (x1, top), (x1, y1), (x + 4, y1 - 12)], fill=fold)
    dr.rectangle([x0, top, x1, top + 3], fill=trim)
    dr.line([(x0 + 2, top + 4), (x0 + 2, y1 - 3)], fill=trim)
    dr.line([(x1 - 2, top + 4), (x1 - 2, y1 - 3)], fill=trim)
    # an emblem: a crossed pair of blades in a ring
    cy = top + 52
    dr.ellipse([x - 9, cy - 9, x + 9, cy + 9], outline=trim)
    dr.line([(x - 6, cy - 6), (x + 6, cy + 6)], fill=trim, width=2)
    dr.line([(x + 6, cy - 6), (x - 6, cy + 6)], fill=trim, width=2)


def draw_floor(pil, rng):
    """Stone floor from y=600: a lit lip, then courses of blocks darkening
    downwards so the HUD rows (647..711) sit on a calm, dark surface."""
    W, H = SCREEN_W, SCREEN_H
    dr = ImageDraw.Draw(pil)
    dr.rectangle([0, FLOOR_Y, W, H], fill=(34, 32, 50))
    # lip of the floor: the line the fighters stand on
    dr.rectangle([0, FLOOR_Y, W, FLOOR_Y], fill=(140, 128, 156))
    dr.rectangle([0, FLOOR_Y + 1, W, FLOOR_Y + 2], fill=(98, 90, 120))
    dr.rectangle([0, FLOOR_Y + 3, W, FLOOR_Y + 7], fill=(66, 62, 88))
    dr.rectangle([0, FLOOR_Y + 8, W, FLOOR_Y + 9], fill=(24, 22, 36))
    # slab joints in the lip
    for x in range(0, W, 64):
        dr.rectangle([x, FLOOR_Y + 1, x, FLOOR_Y + 9], fill=(30, 28, 44))
    # courses of blocks below
    y = FLOOR_Y + 10
    row = 0
    heights = [18, 22, 26, 30, 30]
    while y < H:
        h = heights[min(row, len(heights) - 1)]
        k = max(0.45, 1 - row * 0.17)          # darker with depth
        face = tuple(int(c * k) for c in (50, 47, 70))
        top = tuple(int(c * k) for c in (64, 60, 88))
        mortar = tuple(int(c * k) for c in (20, 18, 30))
        x = -int(rng.integers(0, 60))
        while x < W:
            bw = int(rng.integers(70, 130))
            shade = tuple(int(c * rng.uniform(0.92, 1.04)) for c in face)
            dr.rectangle([x, y, x + bw - 2, y + h - 2], fill=shade)
            dr.rectangle([x, y, x + bw - 2, y], fill=top)
            dr.rectangle([x + bw - 1, y, x + bw - 1, y + h - 1], fill=mortar)
            if rng.random() < 0.25:                     # a hairline crack
                cx = x + int(rng.integers(10, max(11, bw - 20)))
                pts = [(cx, y + 2)]
                for _ in range(3):
                    pts.append((pts[-1][0] + int(rng.integers(-4, 5)),
                                min(y + h - 3, pts[-1][1] + int(rng.integers(3, 7)))))
                dr.line(pts, fill=mortar)
            x += bw
        dr.rectangle([0, y + h - 1, W, y + h - 1], fill=mortar)
        y += h
        row += 1
    # darken the bottom band a little more under the HUD
    a = np.asarray(pil).astype(float)
    ys = np.arange(H)[:, None, None]
    fade = np.clip((ys - 630) / 60.0, 0, 1) * 0.25
    a = a * (1 - fade)
    pil.paste(Image.fromarray(a.astype(np.uint8), "RGB"))


# ---------------------------------------------------------------- HUD

BAR_H = 24
CAP_W = 6
BAR_STRIP_W = 4
FRAME_DARK = (44, 40, 60)
FRAME_LIT = (120, 116, 144)

BOSS_FILL = [(255, 170, 150), (232, 72, 66), (176, 34, 52), (104, 18, 40)]
PLAYER_FILL = [(255, 246, 170), (248, 204, 64), (206, 140, 34), (128, 76, 26)]


def fill_profile(fill):
    """Colour of each of the 24 rows of the bar body: rim, glossy top, shade."""
    rows = [OUTLINE[:3], FRAME_LIT, fill[3], fill[0], fill[0]]
    rows += [fill[1]] * 8
    rows += [fill[2]] * 8
    rows += [fill[3], FRAME_DARK, OUTLINE[:3]]
    assert len(rows) == BAR_H
    return rows


def bar_body(fill):
    a = np.zeros((BAR_H, BAR_STRIP_W, 4), np.uint8)
    for y, c in enumerate(fill_profile(fill)):
        a[y, :, :3] = c
        a[y, :, 3] = 255
    return Image.fromarray(a, "RGBA")


def bar_cap(fill, right=False):
    """A steel end bracket. Rounded outer corners, a gold rivet in the middle,
    and its inner column already carries the fill so the joint is seamless."""
    a = np.zeros((BAR_H, CAP_W, 4), np.uint8)
    steel = [STEEL[0], STEEL[1], STEEL[2], STEEL[3]]
    for y in range(BAR_H):
        for x in range(CAP_W):
            # x measured from the outer edge
            corner = 2 if y in (0, BAR_H - 1) else (1 if y in (1, BAR_H - 2) else 0)
            if x < corner:
                continue
            if x == corner or y in (0, BAR_H - 1):
                c = OUTLINE[:3]
            elif x == CAP_W - 1:
                c = fill_profile(fill)[y]            # meets the body
            else:
                t = y / (BAR_H - 1)
                c = steel[min(3, int(t * 4))]
                if x == corner + 1:
                    c = mix(c, (255, 255, 255), 0.25)
                if y == BAR_H - 2:
                    c = STEEL[4]
            a[y, x, :3] = c
            a[y, x, 3] = 255
    a[10:14, 2:4, :3] = GOLD[2]
    a[10:12, 2:3, :3] = GOLD[0]
    img = Image.fromarray(a, "RGBA")
    return img.transpose(Image.FLIP_LEFT_RIGHT) if right else img


def text_label(text, fill_top, fill_bottom, height=26, size=21):
    """Crisp (non antialiased) bold text with a dark 2 px outline and a
    vertical gradient fill."""
    f = font(size)
    probe = ImageDraw.Draw(Image.new("L", (1, 1)))
    probe.fontmode = "1"
    x0, y0, x1, y1 = probe.textbbox((0, 0), text, font=f)
    w = x1 - x0 + 6
    mask = Image.new("L", (w, height), 0)
    d = ImageDraw.Draw(mask)
    d.fontmode = "1"
    oy = (height - (y1 - y0)) // 2 - y0
    d.text((3 - x0, oy), text, font=f, fill=255)
    m = np.asarray(mask) > 127
    out = np.zeros((height, w, 4), np.uint8)
    # outline: grow the glyph mask by 2 px
    grow = m.copy()
    for _ in range(2):
        g = grow.copy()
        g[1:] |= grow[:-1]
        g[:-1] |= grow[1:]
        g[:, 1:] |= grow[:, :-1]
        g[:, :-1] |= grow[:, 1:]
        grow = g
    out[grow] = OUTLINE
    rows = np.where(m.any(axis=1))[0]
    top, bot = rows.min(), rows.max()
    for y in range(height):
        t = np.clip((y - top) / max(1, bot - top), 0, 1)
        c = mix(fill_top, fill_bottom, t)
        out[y, m[y], :3] = c
        out[y, m[y], 3] = 255
    return Image.fromarray(out, "RGBA")


def boss_label():
    return text_label("BOSS", BOSS_FILL[0], BOSS_FILL[2])


def you_label():
    return text_label("YOU", PLAYER_FILL[0], PLAYER_FILL[2])


# ---------------------------------------------------------------- overlays

def big_text(img, text, size, centre, top_col, bottom_col, stroke=4, shadow=6, path=None):
    """Bold gradient text with an outline and a hard drop shadow."""
    f = font(size) if path is None else font(size, path)
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = d.textbbox((0, 0), text, font=f, stroke_width=stroke)
    pos = (centre[0] - (x1 - x0) // 2 - x0, centre[1] - (y1 - y0) // 2 - y0)
    # shadow
    d.text((pos[0] + shadow, pos[1] + shadow), text, font=f, fill=(0, 0, 0, 190),
           stroke_width=stroke, stroke_fill=(0, 0, 0, 190))
    d.text(pos, text, font=f, fill=OUTLINE, stroke_width=stroke, stroke_fill=OUTLINE)
    # gradient fill through a mask
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).text(pos, text, font=f, fill=255)
    top, bot = pos[1] + y0 + stroke, pos[1] + y1 - stroke
    grad = np.zeros((img.size[1], img.size[0], 4), np.uint8)
    for y in range(max(0, top - 2), min(img.size[1], bot + 2)):
        t = np.clip((y - top) / max(1, bot - top), 0, 1)
        # a bright band just above the middle gives the letters a metallic sheen
        sheen = max(0.0, 1 - abs(t - 0.38) * 9) * 0.5
        grad[y, :, :3] = mix(mix(top_col, bottom_col, t), (255, 255, 255), sheen)
        grad[y, :, 3] = 255
    img.paste(Image.fromarray(grad, "RGBA"), (0, 0), mask)


def vignette_alpha(base, edge):
    yy, xx = np.mgrid[0:SCREEN_H, 0:SCREEN_W]
    r = np.hypot((xx - SCREEN_W / 2) / (SCREEN_W / 2), (yy - SCREEN_H / 2) / (SCREEN_H / 2))
    return base + (edge - base) * np.clip(r - 0.4, 0, 1) / 0.75


def gameover_overlay():
    a = np.zeros((SCREEN_H, SCREEN_W, 4), np.uint8)
    a[..., :3] = (14, 6, 14)
    a[..., 3] = np.clip(vignette_alpha(165, 230), 0, 255).astype(np.uint8)
    img = Image.fromarray(a, "RGBA")
    d = ImageDraw.Draw(img)
    # a dark red band behind the title
    d.rectangle([0, 236, SCREEN_W, 340], fill=(60, 10, 22, 200))
    d.rectangle([0, 234, SCREEN_W, 235], fill=(170, 40, 56, 230))
    d.rectangle([0, 341, SCREEN_W, 342], fill=(170, 40, 56, 230))
    big_text(img, "GAME OVER", 96, (SCREEN_W // 2, 288), (255, 196, 176), (176, 26, 44))
    big_text(img, "Press Enter to restart", 34, (SCREEN_W // 2, 420), (255, 255, 255),
             (196, 200, 220), stroke=3, shadow=3)
    return img


# The victory band's frame (inclusive pixel bounds): 7 px clear of the message
# (x 95..1012) on both sides, low enough for the play-again line at y 206.
VICTORY_FRAME_LEFT, VICTORY_FRAME_RIGHT = 85, 1022
VICTORY_FRAME_TOP, VICTORY_FRAME_BOTTOM = 144, 246


def victory_overlay():
    """Golden rays and sparkles, 'VICTORY!' lower down; a framed dark band is left
    plain for the game's own text: the message at (95, 170), 917 px wide, and the
    "Press Enter to play again" line under it. The frame closes inside the screen,
    as far from the message on the left as on the right."""
    W, H = SCREEN_W, SCREEN_H
    rng = np.random.default_rng(77)
    yy, xx = np.mgrid[0:H, 0:W]
    a = np.zeros((H, W, 4), np.float64)
    a[..., :3] = (10, 8, 24)
    a[..., 3] = vignette_alpha(95, 180)
    # rays from behind the title
    cx, cy = W / 2, 372
    ang = np.arctan2(yy - cy, xx - cx)
    rays = (np.cos(ang * 14) > 0.55) & (np.hypot(xx - cx, yy - cy) > 60)
    fall = np.clip(1 - np.hypot(xx - cx, yy - cy) / 520, 0, 1)
    ray_a = rays * fall * 90
    a[..., :3] = a[..., :3] * (1 - (ray_a / 255)[..., None]) + \
        np.array(GOLD[1]) * (ray_a / 255)[..., None]
    a[..., 3] = np.maximum(a[..., 3], ray_a)
    # soft glow right behind the word
    glow = np.clip(1 - np.hypot((xx - cx) / 330, (yy - cy) / 90), 0, 1) ** 1.5 * 120
    a[..., :3] = a[..., :3] * (1 - (glow / 255)[..., None]) + np.array((255, 200, 90)) * \
        (glow / 255)[..., None]
    a[..., 3] = np.maximum(a[..., 3], glow)
    # the calm band for the game's message
    left, right = VICTORY_FRAME_LEFT, VICTORY_FRAME_RIGHT
    top, bottom = VICTORY_FRAME_TOP, VICTORY_FRAME_BOTTOM
    band = (yy > top + 1) & (yy < bottom - 1) & (xx > left + 2) & (xx < right - 2)
    a[band, :3] = (8, 6, 18)
    a[band, 3] = 215
    img = Image.fromarray(np.clip(a, 0, 255).astype(np.uint8), "RGBA")
    d = ImageDraw.Draw(img)
    d.rectangle([left, top, right, top + 1], fill=GOLD[2] + (255,))
    d.rectangle([left, bottom - 1, right, bottom], fill=GOLD[2] + (255,))
    d.rectangle([left, top, left + 2, bottom], fill=GOLD[1] + (255,))
    d.rectangle([right - 2, top, right, bottom], fill=GOLD[1] + (255,))
    # sparkles and confetti, kept out of the text band
    confetti = [GOLD[0], GOLD[1], FIRE[1], (120, 248, 236), (236, 84, 84), (176, 110, 232)]
    placed = 0
    while placed < 90:
        x, y = int(rng.integers(8, W - 8)), int(rng.integers(8, H - 120))
        if top - 14 <= y <= bottom + 14:
            continue
        col = confetti[int(rng.integers(0, len(confetti)))] + (255,)
        if rng.random() < 0.35:
            s = int(rng.integers(2, 5))
            d.line([x - s, y, x + s, y], fill=col)
            d.line([x, y - s, x, y + s], fill=col)
        else:
            w, h = int(rng.integers(2, 5)), int(rng.integers(2, 4))
            d.rectangle([x, y, x + w, y + h], fill=col)
        placed += 1
    big_text(img, "VICTORY!", 120, (W // 2, 372), (255, 250, 200), (214, 130, 30), stroke=5,
             shadow=7)
    # an ornamental rule under the title: gold bars fading out, a diamond in the middle
    cx = W // 2
    for side in (-1, 1):
        for k in range(12):
            x = cx + side * (26 + k * 14)
            col = mix(GOLD[1], (60, 40, 40), k / 12) + (255,)
            d.rectangle([min(x, x + side * 9), 458, max(x, x + side * 9), 460], fill=col)
    d.polygon([(cx, 448), (cx + 11, 459), (cx, 470), (cx - 11, 459)], fill=OUTLINE)
    d.polygon([(cx, 451), (cx + 8, 459), (cx, 467), (cx - 8, 459)], fill=GOLD[1] + (255,))
    d.polygon([(cx, 451), (cx + 8, 459), (cx, 459)], fill=GOLD[0] + (255,))
    return img


# ---------------------------------------------------------------- options screen

# The options panel's place on the 1024 x 720 screen (x, y, w, h): the game draws its title, rows and
# messages inside it, over the dimmed picture of the paused fight.
OPTIONS_PANEL = (112, 56, 800, 608)
# The bar under the chosen row: the row's width inside the panel's frame and its height.
OPTIONS_CURSOR = (760, 32)


def options_panel():
    """A dark glass pane in a steel frame with gold corner rivets and a rule under the title."""
    w, h = OPTIONS_PANEL[2], OPTIONS_PANEL[3]
    a = np.zeros((h, w, 4), np.uint8)
    a[..., :3] = (12, 10, 26)
    a[..., 3] = 226
    img = Image.fromarray(a, "RGBA")
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, w - 1, h - 1], outline=OUTLINE, width=2)
    d.rectangle([2, 2, w - 3, h - 3], outline=STEEL[2] + (255,), width=2)
    d.line([4, 4, w - 5, 4], fill=STEEL[1] + (255,))
    d.rectangle([4, 5, w - 5, h - 5], outline=STEEL[3] + (255,), width=1)
    for x, y in ((8, 8), (w - 14, 8), (8, h - 14), (w - 14, h - 14)):
        d.rectangle([x, y, x + 5, y + 5], fill=OUTLINE)
        d.rectangle([x + 1, y + 1, x + 4, y + 4], fill=GOLD[2] + (255,))
        d.rectangle([x + 1, y + 1, x + 2, y + 2], fill=GOLD[0] + (255,))
    # the rule under the title: gold fading towards both ends
    cx = w // 2
    for x in range(40, w - 40):
        t = abs(x - cx) / (cx - 40)
        d.point((x, 88), fill=mix(GOLD[1], (40, 30, 40), t) + (255,))
        d.point((x, 89), fill=mix(GOLD[3], (20, 16, 30), t) + (255,))
    return img


def options_cursor():
    """The bar behind the chosen row: warm glass between two gold lines, a bright notch on the left."""
    w, h = OPTIONS_CURSOR
    a = np.zeros((h, w, 4), np.uint8)
    a[..., :3] = GOLD[3]
    a[..., 3] = np.linspace(150, 60, w).astype(np.uint8)[None, :]
    a[0, :, :3], a[h - 1, :, :3] = GOLD[1], GOLD[2]
    a[0, :, 3], a[h - 1, :, 3] = 255, 255
    a[:, 0:4, :3] = GOLD[0]
    a[:, 0:4, 3] = 255
    return Image.fromarray(a, "RGBA")


def options_title(text):
    """A page's title in the gold of the victory overlay, cropped to its letters."""
    img = Image.new("RGBA", (520, 90), (0, 0, 0, 0))
    big_text(img, text, 52, (260, 42), (255, 250, 200), (214, 130, 30), stroke=3, shadow=4)
    return img.crop(img.getbbox())
