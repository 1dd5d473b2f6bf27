"""The two bosses.

Boss 1 is an armoured war airship that cruises along the top of the arena and
drops rockets. Only its front-lower part can be hurt, so that part is the one
that glows: the cockpit glass and the reactor slung under the gondola. The rear
(propeller housing, tail fins) and the spiked roof ridge are heavy plating.

Boss 2 is a floating demon drone: a horned armoured sphere with one big eye.
Its second stage reuses the same drawing code, bigger, red-hot and angrier.
"""

import math

from common import (Canvas, OUTLINE, IRON, BRASS, FIRE, RED, VIOLET, CRIMSON, TOXIC, RUST,
                    SMOKE, mix)

# ---------------------------------------------------------------- boss 1

B1_W, B1_H = 170, 104


def hull_outline(x0, x1, cy, half):
    """Cigar-shaped envelope: blunt tail on the left, rounder nose on the right."""
    pts = []
    n = 28
    for i in range(n + 1):
        t = i / n                       # 0 = tail, 1 = nose
        x = x0 + (x1 - x0) * t
        # tail tapers more than the nose
        k = math.sin(math.pi * t) ** (0.55 if t < 0.5 else 0.35)
        pts.append((x, cy - half * k))
    for i in range(n, -1, -1):
        t = i / n
        x = x0 + (x1 - x0) * t
        k = math.sin(math.pi * t) ** (0.55 if t < 0.5 else 0.35)
        pts.append((x, cy + half * k * 0.92))
    return pts


def draw_propeller(c, cx, cy, radius, angle, colour_blade, colour_hub):
    """Side view of a spinning prop: blades show as vertical strokes whose
    length follows the cosine of their angle, plus a faint motion disc."""
    c.ellipse(cx - 1.8, cy - radius, cx + 1.8, cy + radius, mix(SMOKE[2], SMOKE[1], 0.3))
    for k in range(3):
        a = angle + k * 2 * math.pi / 3
        L = radius * math.cos(a)
        if abs(L) < 1.5:
            continue
        c.capsule((cx, cy), (cx + 0.8 * math.sin(a), cy - L), 1.3, colour_blade)
    c.circle(cx, cy, 2.2, colour_hub)


def b1_frame(i, n):
    c = Canvas(B1_W, B1_H)
    ph = 2 * math.pi * i / n
    glow = 0.5 + 0.5 * math.sin(ph)           # reactor pulse, 0..1

    # --- exhaust smoke from the roof stack, drifting back (left)
    for k in range(3):
        u = ((i / n) + k / 3.0) % 1.0
        r = 2.0 + 3.5 * u
        sx = 44 - 30 * u
        sy = 9 - 4 * u + 1.5 * math.sin(u * 6)
        if sx - r > 1 and sy - r > 0:
            c.circle(sx, sy, r, SMOKE[1] if u < 0.5 else SMOKE[2])

    # --- tail fins (rear armour)
    c.poly([(40, 20), (14, 2), (4, 3), (16, 24)], IRON[3])
    c.poly([(38, 20), (14, 4), (8, 4.5), (18, 22)], IRON[2])
    c.poly([(40, 46), (12, 66), (3, 64), (17, 42)], IRON[3])
    c.poly([(38, 46), (13, 63), (8, 62), (19, 44)], IRON[2])
    c.rect(6, 3, 15, 6, BRASS[2])
    c.rect(5, 61, 14, 65, BRASS[2])

    # --- envelope hull: rust-red plating, lit from above, heavy brass bands
    hx0, hx1, cy, half = 12, 160, 33, 22
    c.poly(hull_outline(hx0, hx1, cy, half), RUST[4])
    c.poly(hull_outline(hx0 + 2, hx1 - 2, cy - 2, half - 3), RUST[3])
    c.poly(hull_outline(hx0 + 8, hx1 - 8, cy - 6, half - 9), RUST[2])
    c.poly(hull_outline(hx0 + 24, hx1 - 24, cy - 10, half - 15), RUST[1])
    c.poly(hull_outline(hx0 + 46, hx1 - 40, cy - 12.5, half - 19.5), RUST[0])
    for bx in (34, 58, 84, 110, 134):
        k = math.sin(math.pi * (bx - hx0) / (hx1 - hx0)) ** 0.45
        top, bot = cy - half * k, cy + half * k * 0.92
        c.rect(bx, top + 1, bx + 3, bot - 1, BRASS[3])
        c.rect(bx, top + 1, bx + 2, bot - 1, BRASS[2])
        for ry in range(int(top) + 5, int(bot) - 2, 6):
            c.rect(bx + 0.5, ry, bx + 1.5, ry + 1, BRASS[0])
    # rear armour: bolted plates over the tail third
    c.poly([(16, 22), (58, 18), (58, 48), (16, 44)], IRON[3])
    c.poly([(18, 23), (56, 19.5), (56, 30), (18, 31)], IRON[2])
    for rx in range(22, 56, 8):
        c.rect(rx, 23, rx + 1, 24, IRON[0])
        c.rect(rx, 42, rx + 1, 43, IRON[0])
    c.rect(16, 33, 58, 35, BRASS[3])

    # --- roof ridge with armour spikes (the part bullets should glance off)
    c.poly([(36, 13), (146, 13), (138, 8), (44, 8)], IRON[3])
    c.poly([(40, 10), (142, 10), (138, 8), (44, 8)], IRON[2])
    for sx in range(48, 140, 12):
        c.poly([(sx, 9), (sx + 3, 1.5), (sx + 6, 9)], BRASS[3])
        c.poly([(sx + 1, 9), (sx + 3, 2.5), (sx + 3.8, 9)], BRASS[1])
    # exhaust stack
    c.rect(41, 4, 48, 12, IRON[3])
    c.rect(41, 4, 48, 6, BRASS[2])

    # --- nose ram
    c.poly([(150, 24), (169, 33), (150, 42)], BRASS[3])
    c.poly([(150, 25.5), (167, 33), (150, 34)], BRASS[1])
    c.rect(146, 22, 152, 44, IRON[3])

    # --- rear propeller
    draw_propeller(c, 6.5, 33, 15, ph * 1.5, IRON[0], BRASS[1])
    c.rect(6, 29, 14, 37, IRON[3])

    # --- gondola slung under the hull
    g = [(62, 50), (146, 50), (166, 64), (166, 80), (150, 96), (76, 97), (62, 86)]
    c.poly(g, IRON[4])
    c.poly([(64, 51.5), (145, 51.5), (163, 64), (163, 79), (148, 94), (77, 95), (64, 85)], IRON[2])
    c.poly([(64, 51.5), (145, 51.5), (156, 59), (64, 59)], IRON[1])
    # darker belly so the gondola reads as a solid, lit-from-above shape
    c.poly([(64, 86), (157, 86), (148, 94), (77, 95), (64, 88)], IRON[3])
    c.rect(64, 58, 150, 60, BRASS[2])
    c.rect(64, 84, 156, 86, BRASS[3])
    for rx in range(68, 150, 6):
        c.rect(rx, 58.5, rx + 1, 59.5, BRASS[0])
        c.rect(rx + 3, 84.5, rx + 4, 85.5, BRASS[1])
    # struts up to the envelope
    for sx in (72, 100, 128):
        c.rect(sx, 44, sx + 3, 52, IRON[3])
    # portholes: warm light from inside, flickering a little
    for k, px in enumerate(range(72, 130, 12)):
        lit = FIRE[1] if (k + i) % 5 else FIRE[0]
        c.circle(px + 3, 71, 3.8, BRASS[3])
        c.circle(px + 3, 71, 2.7, lit)
        c.rect(px + 1.6, 69.2, px + 3.0, 70.6, FIRE[0])

    # --- cockpit: the big glowing canopy at the front (weak spot)
    c.poly([(136, 55), (152, 56), (165, 66), (164, 78), (136, 78)], OUTLINE)
    canopy_hi = mix(FIRE[2], FIRE[1], glow)
    c.poly([(138, 57), (151, 58), (162, 67), (162, 76), (138, 76)], FIRE[3])
    c.poly([(139, 58), (150, 59), (159, 67), (146, 69), (139, 69)], canopy_hi)
    c.poly([(141, 59), (147, 59.5), (144, 66), (140, 66)], FIRE[0])
    c.rect(149, 57, 151, 77, IRON[3])           # canopy frame
    c.rect(138, 69, 163, 71, IRON[3])

    # --- reactor core slung underneath: pulses, clearly the thing to shoot
    rx, ry = 114, 90
    c.circle(rx, ry, 12.5, IRON[4])
    c.circle(rx, ry, 11, BRASS[2])
    c.circle(rx, ry, 9.0, RED[3])
    c.circle(rx, ry, 6.5 + 1.5 * glow, FIRE[4])
    c.circle(rx, ry, 4.5 + 1.5 * glow, FIRE[2])
    c.circle(rx - 1, ry - 1, 2.0 + 1.0 * glow, FIRE[0])
    for a in range(0, 360, 45):
        t = math.radians(a + 22.5)
        c.rect(rx + 10 * math.cos(t) - 0.7, ry + 10 * math.sin(t) - 0.7,
               rx + 10 * math.cos(t) + 0.7, ry + 10 * math.sin(t) + 0.7, BRASS[0])

    # --- rocket rack under the gondola, the rockets it drops
    for k, ox in enumerate((78, 88)):
        c.rect(ox, 95, ox + 6, 100, IRON[3])
        c.poly([(ox + 0.5, 97), (ox + 5.5, 97), (ox + 5.5, 101), (ox + 3, 103.5), (ox + 0.5, 101)],
               RED[2])
        c.rect(ox + 1.2, 97, ox + 2.4, 101, RED[1])

    # --- chin gun turret near the nose
    c.circle(150, 95, 4.5, IRON[3])
    c.capsule((151, 96), (158, 100.5), 1.4, IRON[1])

    # running light on the tail fin blinks
    if i % 4 < 2:
        c.circle(10, 4.5, 1.6, RED[0])
    return c.finish(OUTLINE)


def boss01_frames(n=8):
    return [b1_frame(i, n) for i in range(n)]


# ---------------------------------------------------------------- boss 2

BONE = [(250, 238, 214), (218, 194, 164), (156, 126, 106), (98, 74, 72)]


def curved_horn(c, base, length, rise, thick, curl, col_dark, col_lit):
    """A tapering horn sweeping back (left) and up, curling at the tip."""
    left, right, spine = [], [], []
    n = 12
    for k in range(n + 1):
        u = k / n
        x = base[0] - length * u ** 1.6
        y = base[1] - rise * math.sin(u * math.pi * 0.5) + curl * u ** 4
        spine.append((x, y))
    for k, (x, y) in enumerate(spine):
        u = k / n
        nx, ny = spine[min(k + 1, n)][0] - spine[max(k - 1, 0)][0], \
            spine[min(k + 1, n)][1] - spine[max(k - 1, 0)][1]
        ln = math.hypot(nx, ny) or 1
        nx, ny = -ny / ln, nx / ln
        wdt = thick * (1 - u) ** 0.9
        left.append((x + nx * wdt, y + ny * wdt))
        right.append((x - nx * wdt, y - ny * wdt))
    c.poly(left + right[::-1], col_dark)
    # lit ridge along the upper edge of the horn
    ridge = [((lx + x) / 2, (ly + y) / 2) for (lx, ly), (x, y) in zip(right, spine)]
    c.line(ridge[:-2], col_lit, max(1.0, thick * 0.45))


def draw_demon(w, h, stage):
    """One drawing for both stages; stage 2 is bigger, red-hot and angrier."""
    c = Canvas(w, h)
    angry = stage == 2
    shell = CRIMSON if angry else VIOLET
    glow = FIRE if angry else TOXIC
    r = 30 if angry else 21.5
    cx = w * (0.58 if angry else 0.57)
    cy = r + (19 if angry else 19)

    # -- exhaust flame under the body: the drone hovers on it
    top = cy + r * 0.5
    length = (h - 1.5) - top
    for k, col in enumerate((glow[3], glow[2], glow[1], glow[0])):
        wd = r * 0.5 * (1 - k * 0.24)
        ln = length * (1 - k * 0.2)
        y0 = top + k * 2
        c.poly([(cx - wd, y0), (cx - wd * 0.9, y0 + ln * 0.45), (cx - wd * 0.5, y0 + ln * 0.72),
                (cx - wd * 0.25, y0 + ln * 0.5), (cx - wd * 0.05, y0 + ln),
                (cx + wd * 0.3, y0 + ln * 0.55), (cx + wd * 0.55, y0 + ln * 0.68),
                (cx + wd * 0.85, y0 + ln * 0.4), (cx + wd, y0)], col)

    # -- bat wings behind the body (left side = rear), membrane between bony fingers
    root = (cx - r * 0.35, cy - r * 0.35)
    span = root[0] - 2.5
    tips = [(root[0] - span * 0.75, cy - r * 1.45), (root[0] - span, cy - r * 0.6),
            (root[0] - span * 0.9, cy + r * 0.3)]
    membrane = [root, tips[0]]
    for a, b in zip(tips, tips[1:]):
        mid = ((a[0] + b[0]) / 2 + span * 0.2, (a[1] + b[1]) / 2 + r * 0.05)
        membrane += [mid, b]
    membrane += [(cx - r * 0.5, cy + r * 0.45)]
    c.poly(membrane, shell[4])
    inner = [(x * 0.86 + root[0] * 0.14 + 1.2, y * 0.86 + root[1] * 0.14 + 1.2) for x, y in membrane]
    c.poly(inner, mix(shell[4], shell[3], 0.55))
    for tip in tips:
        c.line([root, tip], BONE[3], 1.8)
        c.line([root, tip], BONE[2], 0.9)

    # -- claws: heavy arms hanging under the body, talons reaching forward
    def arm(sx, sy, reach, drop, thick, col, talon):
        elbow = (sx - reach * 0.25, sy + drop * 0.55)
        hand = (sx + reach, sy + drop)
        c.capsule((sx, sy), elbow, thick, col)
        c.capsule(elbow, hand, thick * 0.85, col)
        c.circle(elbow[0], elbow[1], thick * 0.75, BONE[2])
        s = thick / 2.0
        for dx, dy in ((4.6, 0.4), (3.8, 3.8), (0.4, 4.8)):
            tip = (hand[0] + dx * s, hand[1] + dy * s)
            bend = (hand[0] + dx * s * 0.7 + 0.8 * s, hand[1] + dy * s * 0.45)
            c.line([hand, bend], talon, 1.5 * s)
            c.line([bend, tip], talon, 0.9 * s)
        c.circle(hand[0], hand[1], thick * 1.05, col)

    t = 4.0 if angry else 3.2
    arm(cx - r * 0.55, cy + r * 0.45, r * 0.15, r * 0.95, t, shell[4], BONE[2])

    # -- horns: one pair (the far horn darker), stage 2 adds longer, wider ones
    if angry:
        curved_horn(c, (cx - r * 0.1, cy - r * 0.75), r * 1.0, cy - r * 0.75 - 5, 5.0, 0,
                    BONE[3], BONE[2])
        curved_horn(c, (cx + r * 0.35, cy - r * 0.82), r * 1.05, cy - r * 0.82 - 3, 5.5, 0,
                    BONE[2], BONE[0])
    else:
        curved_horn(c, (cx - r * 0.1, cy - r * 0.75), r * 0.8, cy - r * 0.75 - 6, 3.8, 0,
                    BONE[3], BONE[2])
        curved_horn(c, (cx + r * 0.3, cy - r * 0.82), r * 0.85, cy - r * 0.82 - 3, 4.2, 0,
                    BONE[2], BONE[0])

    # -- the armoured sphere, lit from the upper left
    c.circle(cx, cy, r, shell[4])
    c.circle(cx - r * 0.06, cy - r * 0.06, r * 0.93, shell[3])
    c.circle(cx - r * 0.16, cy - r * 0.18, r * 0.72, shell[2])
    c.circle(cx - r * 0.3, cy - r * 0.36, r * 0.38, shell[1])
    c.circle(cx - r * 0.38, cy - r * 0.48, r * 0.14, shell[0])
    # armour seams
    c.line([(cx - r * 0.97, cy + r * 0.1), (cx - r * 0.4, cy + r * 0.3),
            (cx + r * 0.1, cy + r * 0.3)], shell[4], 1.2)
    c.line([(cx - r * 0.25, cy - r * 0.95), (cx - r * 0.1, cy - r * 0.5)], shell[4], 1.2)
    for a in (200, 235, 120):
        tt = math.radians(a)
        c.circle(cx + r * 0.8 * math.cos(tt), cy - r * 0.8 * math.sin(tt), 1.0, shell[0])
    if angry:
        # glowing cracks: the core is overheating
        for pts in ([(cx - r * 0.85, cy - r * 0.25), (cx - r * 0.6, cy - r * 0.1),
                     (cx - r * 0.55, cy + r * 0.15)],
                    [(cx - r * 0.35, cy - r * 0.85), (cx - r * 0.48, cy - r * 0.6),
                     (cx - r * 0.38, cy - r * 0.4)],
                    [(cx - r * 0.2, cy + r * 0.5), (cx - r * 0.05, cy + r * 0.72),
                     (cx - r * 0.25, cy + r * 0.9)]):
            c.line(pts, FIRE[4], 1.8)
            c.line(pts, FIRE[1], 0.8)
        # spines down the back
        for a in (140, 163, 186, 209, 232):
            tt = math.radians(a)
            bx, by = cx + r * 0.9 * math.cos(tt), cy - r * 0.9 * math.sin(tt)
            tx, ty = cx + (r + 8) * math.cos(tt), cy - (r + 8) * math.sin(tt)
            nx, ny = -math.sin(tt) * 3.2, -math.cos(tt) * 3.2
            c.poly([(bx + nx, by + ny), (tx, ty), (bx - nx, by - ny)], BONE[2])

    # -- near arm in front of the body
    arm(cx + r * 0.2, cy + r * 0.62, r * 0.5, r * 0.8, t * 1.05, shell[3], BONE[1])

    # -- jaw: a grille of fangs under the eye, on the front (right)
    mx, my = cx + r * 0.45, cy + r * 0.45
    mw, mh = r * 0.48, r * (0.2 if not angry else 0.27)
    c.poly([(mx - mw * 0.7, my - mh * 1.1), (mx + mw * 1.0, my - mh * 1.5),
            (mx + mw * 0.85, my + mh * 1.1), (mx - mw * 0.55, my + mh * 0.9)], OUTLINE)
    c.poly([(mx - mw * 0.5, my - mh * 0.6), (mx + mw * 0.8, my - mh * 0.9),
            (mx + mw * 0.7, my + mh * 0.5), (mx - mw * 0.4, my + mh * 0.4)], glow[3])
    nf = 4 if angry else 3
    for k in range(nf):
        fx = mx - mw * 0.55 + k * (mw * 1.35 / nf)
        fy = my - mh * 1.1 - k * mh * 0.12
        c.poly([(fx, fy), (fx + mw * 0.3, fy), (fx + mw * 0.15, my + mh * 0.3)], BONE[0])
        c.poly([(fx + 0.5, my + mh * 1.0), (fx + mw * 0.27, my + mh * 1.0),
                (fx + mw * 0.14, my - mh * 0.1)], BONE[1])

    # -- the eye: a big socket on the front, slit pupil looking right
    ex, ey = cx + r * 0.4, cy - r * 0.15
    er = r * 0.43
    c.circle(ex, ey, er + 2.2, OUTLINE)
    c.circle(ex, ey, er + 1.0, shell[4])
    c.circle(ex, ey, er * 0.92, glow[3] if angry else glow[2])
    c.circle(ex + er * 0.1, ey, er * 0.72, glow[2] if angry else glow[1])
    c.circle(ex + er * 0.15, ey, er * 0.45, glow[1] if angry else glow[1])
    c.ellipse(ex + er * 0.18 - er * 0.13, ey - er * 0.6, ex + er * 0.18 + er * 0.2,
              ey + er * 0.6, OUTLINE)
    c.circle(ex - er * 0.38, ey - er * 0.4, er * 0.17, glow[0])
    if angry:
        # heavy brow slanting down towards the front, and a scar across it
        c.poly([(ex - er * 1.5, ey - er * 1.5), (ex + er * 1.45, ey - er * 0.3),
                (ex + er * 1.35, ey - er * 0.8), (ex - er * 1.2, ey - er * 1.95)], shell[4])
        c.poly([(ex - er * 1.25, ey - er * 1.62), (ex + er * 1.15, ey - er * 0.7),
                (ex - er * 0.95, ey - er * 1.82)], shell[2])
        c.line([(ex - er * 0.6, ey - er * 1.3), (ex + er * 0.4, ey + er * 1.2)], FIRE[4], 1.2)
    else:
        c.poly([(ex - er * 1.3, ey - er * 1.25), (ex + er * 1.2, ey - er * 1.0),
                (ex + er * 1.1, ey - er * 1.25), (ex - er * 1.0, ey - er * 1.6)], shell[4])
    return c.finish(OUTLINE)


def boss02():
    return draw_demon(79, 94, 1)


def boss02_stage2():
    return draw_demon(122, 103, 2)
