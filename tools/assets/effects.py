"""Explosions, computed per pixel with numpy and mapped onto the fire palette.

Both blasts follow the same life: a small hot flash, a fast growing fireball,
cooling to red and smoke, then the smoke dissolves pixel by pixel (ordered
dither) so the fade stays crisp instead of turning into a blurry alpha ramp.
"""

import numpy as np
from PIL import Image

from common import FIRE, SMOKE, value_noise, dither_tile

# heat thresholds -> colour, hottest first; below the last one is smoke
HEAT_RAMP = [(0.86, FIRE[0]), (0.74, FIRE[1]), (0.62, FIRE[2]), (0.50, FIRE[3]),
             (0.39, FIRE[4]), (0.30, FIRE[5]), (0.22, FIRE[6])]
SMOKE_RAMP = [(0.55, SMOKE[0]), (0.35, SMOKE[1]), (0.15, SMOKE[2]), (-1.0, SMOKE[3])]


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0, 1)
    return t * t * (3 - 2 * t)


def colourise(inside, heat, shade, keep):
    """Turn per-pixel fields into an RGBA frame.

    inside: bool mask of the cloud; heat: 0..1; shade: 0..1 light for smoke;
    keep: bool mask, pixels that survived the dissolve.
    """
    h, w = inside.shape
    out = np.zeros((h, w, 4), np.uint8)
    done = np.zeros((h, w), bool)
    for thr, col in HEAT_RAMP:
        m = inside & ~done & (heat >= thr)
        out[m, :3] = col
        out[m, 3] = 255
        done |= m
    for thr, col in SMOKE_RAMP:
        m = inside & ~done & (shade >= thr)
        out[m, :3] = col
        out[m, 3] = 230
        done |= m
    out[~keep] = 0
    return out


def outline_rgba(a, colour=(40, 16, 20)):
    """Thin dark-red rim around the cloud so it separates from the sky."""
    solid = a[..., 3] > 0
    grow = solid.copy()
    grow[1:] |= solid[:-1]
    grow[:-1] |= solid[1:]
    grow[:, 1:] |= solid[:, :-1]
    grow[:, :-1] |= solid[:, 1:]
    ring = grow & ~solid
    a[ring, :3] = colour
    a[ring, 3] = 200
    return a


def blast_frames(size=96, n=11, seed=7):
    """The big round blast: rocket impact and boss death."""
    rng = np.random.default_rng(seed)
    noise_a = value_noise(size * 2, size, 12, rng, octaves=4)
    noise_b = value_noise(size, size, 6, rng, octaves=3)
    dith = dither_tile(size, size)
    yy, xx = np.mgrid[0:size, 0:size].astype(float)
    c = size / 2
    # sparks: fixed directions and speeds, drawn as short streaks
    sparks = [(rng.uniform(0, 2 * np.pi), rng.uniform(0.6, 1.0)) for _ in range(14)]
    frames = []
    for i in range(n):
        t = i / (n - 1)
        radius = 11 + 33 * (1 - (1 - min(1.0, t / 0.55)) ** 2.2)     # fast growth, then holds
        rise = 10 * t * t                                          # smoke drifts upwards
        cy = c + 2 - rise
        # sampling further down the noise each frame makes the pattern climb: the cloud boils
        off = int(24 * t)
        n1 = noise_a[off: off + size]
        d = np.hypot(xx - c, (yy - cy) * 1.05) / radius
        density = 1.0 - d + (n1 - 0.5) * (0.5 + 0.5 * t)
        inside = density > 0
        cooling = 1.15 - 1.35 * t                                   # overall temperature
        heat = cooling * (0.55 + 0.75 * density) + (n1 - 0.5) * 0.3
        shade = 0.45 + (cy - yy) / radius * 0.35 + (noise_b - 0.5) * 0.6
        # dissolve: none while fresh, then eats the cloud from its thin edges
        fade = smoothstep(0.5, 1.0, t) * 1.0
        keep = (density * 1.6 + noise_b * 0.5 + dith * 0.35) > fade * 1.9
        if i == n - 1:
            keep &= dith > 0.75                                    # last frame: a faint wisp
        a = colourise(inside, heat, shade, keep)
        # shock ring on the first frames
        if 1 <= i <= 3:
            ring_r = radius * (1.15 + 0.12 * i)
            dr = np.abs(np.hypot(xx - c, yy - (c + 2)) - ring_r)
            ring = (dr < 1.2) & (a[..., 3] == 0) & (dith < 0.8 - 0.2 * i)
            a[ring] = (*FIRE[1], 255)
        # sparks fly out while the fire is young
        if 1 <= i <= 6:
            for ang, speed in sparks:
                dist = (radius + 4) * speed * (1 + 0.25 * i)
                for k in range(2):
                    px = int(round(c + np.cos(ang) * (dist - k * 2)))
                    py = int(round(c + np.sin(ang) * (dist - k * 2) + 0.6 * i * i))
                    if 0 <= px < size and 0 <= py < size and a[py, px, 3] == 0:
                        a[py, px] = (*(FIRE[1] if k == 0 else FIRE[3]), 255)
        frames.append(Image.fromarray(outline_rgba(a), "RGBA"))
    return frames


def flame_frames(w=40, h=40, n=9, seed=11):
    """A column of flame standing on the floor (bottom row = floor line).

    Ten of these burn side by side, 35 px apart, so the flame is as wide as the
    frame at its base to join its neighbours into one wall of fire.
    """
    rng = np.random.default_rng(seed)
    noise = value_noise(h * 3, w, 6, rng, octaves=3)
    noise_b = value_noise(h, w, 4, rng, octaves=2)
    dith = dither_tile(h, w)
    yy, xx = np.mgrid[0:h, 0:w].astype(float)
    cx = (w - 1) / 2
    # per-frame (height, half width at the base, temperature, dissolve)
    life = [(9, 8, 0.55, 0.0),      # a faint ember, never drawn by the game
            (22, 16, 1.05, 0.0),
            (33, 19, 1.15, 0.0),
            (39, 21, 1.10, 0.0),
            (39, 21, 0.98, 0.0),
            (36, 20, 0.85, 0.1),
            (31, 19, 0.68, 0.35),
            (25, 17, 0.50, 0.6),
            (16, 14, 0.32, 0.9)]    # last: dying embers and smoke
    assert len(life) == n
    frames = []
    for i, (fh, hw, temp, fade) in enumerate(life):
        off = 6 * i
        nz = noise[off: off + h]
        u = (h - 0.5 - yy) / fh                       # 0 at the floor, 1 at the tip
        # broad body with several licking tongues rather than one spike
        tongues = 0.75 + 0.25 * np.cos((xx - cx) * 0.55 + i * 2.1)
        half = hw * np.clip(1 - u / tongues, 0, 1) ** 0.45
        sway = 2.0 * np.sin(u * 4 + i * 1.3) * u
        v = np.abs(xx - cx - sway) / np.maximum(half, 0.01)
        density = (1 - v) * 0.9 + (nz - 0.5) * 0.9 - np.clip(u - 0.85, 0, None) * 2
        inside = (density > 0) & (u < 1.15)
        heat = temp * (0.45 + 0.7 * density - 0.35 * u) + (nz - 0.5) * 0.25
        shade = 0.6 - u * 0.4 + (noise_b - 0.5) * 0.5
        keep = (density + noise_b * 0.6 + dith * 0.4) > fade * 1.6
        if i == 0:
            heat = np.minimum(heat, 0.45)             # first frame stays dim
        if i == n - 1:
            keep &= dith > 0.5
        a = colourise(inside, heat, shade, keep)
        frames.append(Image.fromarray(outline_rgba(a), "RGBA"))
    return frames
