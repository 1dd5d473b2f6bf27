"""Shared bits for the asset generator: paths, palette, the pixel canvas and file writers.

Sprites are drawn with plain PIL shapes on a canvas SCALE times bigger than the
final picture and then reduced block by block: each output pixel takes the most
common colour of its block (so we keep a clean, hand-picked palette instead of
muddy averages) and is opaque when at least half of the block is covered.
A dark outline is added afterwards so every sprite keeps a clear silhouette on
the arena backdrop.
"""

import os
import wave
from xml.sax.saxutils import quoteattr

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(ROOT, "data")
TOOLS = os.path.join(ROOT, "tools", "assets")

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")
FONT_CONDENSED_BOLD = os.path.join(FONT_DIR, "DejaVuSansCondensed-Bold.ttf")

SCALE = 4

# One palette for the whole game. Cool, dark steel for the world, warm light
# for anything dangerous or important.
OUTLINE = (18, 12, 26, 255)
INK = (30, 22, 40, 255)

STEEL = [(206, 222, 236), (150, 172, 200), (98, 118, 156), (62, 74, 110), (40, 46, 76)]
GOLD = [(255, 228, 140), (240, 186, 72), (190, 128, 44), (122, 74, 34)]
CYAN = [(220, 255, 250), (120, 248, 236), (40, 186, 206), (22, 110, 150)]
RED = [(255, 150, 130), (226, 64, 60), (160, 32, 52), (96, 20, 44)]
SUIT = [(92, 80, 108), (64, 54, 80), (42, 36, 56)]
BRASS = [(250, 214, 140), (214, 162, 84), (158, 106, 52), (104, 64, 38), (66, 40, 30)]
RUST = [(214, 120, 84), (170, 78, 60), (124, 50, 50), (84, 32, 42), (54, 22, 34)]
IRON = [(150, 146, 160), (108, 104, 122), (76, 72, 92), (52, 48, 66), (34, 30, 46)]
FIRE = [(255, 255, 236), (255, 238, 140), (255, 196, 64), (250, 136, 36),
        (214, 74, 30), (150, 40, 32), (92, 28, 34)]
SMOKE = [(120, 110, 120), (86, 78, 92), (60, 54, 68), (40, 36, 48)]
VIOLET = [(228, 176, 255), (176, 110, 232), (124, 64, 184), (84, 38, 132), (52, 24, 86)]
CRIMSON = [(255, 172, 150), (236, 84, 84), (176, 36, 66), (116, 20, 54), (68, 12, 40)]
TOXIC = [(236, 255, 190), (170, 255, 90), (80, 210, 60), (30, 130, 60)]


def rgba(c, a=255):
    """Accept (r,g,b) or (r,g,b,a) and return a 4-tuple."""
    return tuple(c[:3]) + ((c[3],) if len(c) == 4 else (a,))


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    """Blend two colours; used for palette ramps, never for pixels of a sprite."""
    return tuple(int(round(lerp(x, y, t))) for x, y in zip(c1, c2))


class Canvas:
    """A supersampled drawing surface addressed in final-pixel coordinates."""

    def __init__(self, w, h, scale=SCALE):
        self.w, self.h, self.s = w, h, scale
        self.img = Image.new("RGBA", (w * scale, h * scale), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.img)

    def _p(self, pts):
        return [(x * self.s, y * self.s) for x, y in pts]

    def poly(self, pts, fill):
        self.draw.polygon(self._p(pts), fill=rgba(fill))

    def rect(self, x0, y0, x1, y1, fill):
        # Half-open box like numpy slices: covers pixels x0..x1-1, y0..y1-1.
        self.draw.rectangle([x0 * self.s, y0 * self.s, x1 * self.s - 1, y1 * self.s - 1],
                            fill=rgba(fill))

    def ellipse(self, x0, y0, x1, y1, fill):
        self.draw.ellipse([x0 * self.s, y0 * self.s, x1 * self.s - 1, y1 * self.s - 1],
                          fill=rgba(fill))

    def circle(self, cx, cy, r, fill):
        self.ellipse(cx - r, cy - r, cx + r, cy + r, fill)

    def line(self, pts, fill, width=1.0):
        """Thick polyline with round joints, width in final pixels."""
        w = width * self.s
        p = self._p(pts)
        self.draw.line(p, fill=rgba(fill), width=max(1, int(round(w))))
        for x, y in p:
            self.draw.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=rgba(fill))

    def capsule(self, a, b, r, fill):
        """A limb: a segment from a to b with rounded ends, radius r."""
        self.line([a, b], fill, width=2 * r)

    def pie(self, cx, cy, r, start, end, fill):
        s = self.s
        self.draw.pieslice([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s],
                           start, end, fill=rgba(fill))

    def finish(self, outline=OUTLINE, diagonal=False):
        return add_outline(reduce_blocks(self.img, self.s), outline, diagonal)


def reduce_blocks(big, s):
    """Shrink by s: each pixel gets the commonest opaque colour of its s*s block.

    Alpha is binary (covered by half the block or more), which keeps the
    pixel-art edges crisp.
    """
    a = np.asarray(big, dtype=np.uint8)
    H, W = a.shape[0] // s, a.shape[1] // s
    blocks = a.reshape(H, s, W, s, 4).transpose(0, 2, 1, 3, 4).reshape(H, W, s * s, 4)
    opaque = blocks[..., 3] >= 128
    code = (blocks[..., 0].astype(np.uint32) << 16) | (blocks[..., 1].astype(np.uint32) << 8) \
        | blocks[..., 2].astype(np.uint32)
    # Count, for every sub-pixel, how many opaque sub-pixels share its colour.
    same = (code[..., :, None] == code[..., None, :]) & opaque[..., None, :] & opaque[..., :, None]
    votes = same.sum(axis=-1)
    best = votes.argmax(axis=-1)
    pick = np.take_along_axis(blocks, best[..., None, None], axis=2)[..., 0, :].copy()
    covered = opaque.sum(axis=-1) * 2 >= s * s
    pick[..., 3] = np.where(covered, 255, 0)
    pick[~covered, :3] = 0
    return Image.fromarray(pick, "RGBA")


def add_outline(img, colour=OUTLINE, diagonal=False):
    """Paint a 1 px outline in the transparent pixels touching the sprite."""
    a = np.asarray(img).copy()
    solid = a[..., 3] > 0
    grow = np.zeros_like(solid)
    shifts = [(0, 1), (0, -1), (1, 0), (-1, 0)]
    if diagonal:
        shifts += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
    for dy, dx in shifts:
        grow |= shift(solid, dy, dx)
    ring = grow & ~solid
    a[ring] = rgba(colour)
    return Image.fromarray(a, "RGBA")


def shift(m, dy, dx):
    """Shift a 2-D array without wrap-around, filling with zeros."""
    out = np.zeros_like(m)
    h, w = m.shape[:2]
    ys, yd = (slice(0, h - dy), slice(dy, h)) if dy >= 0 else (slice(-dy, h), slice(0, h + dy))
    xs, xd = (slice(0, w - dx), slice(dx, w)) if dx >= 0 else (slice(-dx, w), slice(0, w + dx))
    out[yd, xd] = m[ys, xs]
    return out


def bayer(n=4):
    """Ordered-dither threshold matrix in 0..1, used for retro gradients and fades."""
    m = np.array([[0]])
    while m.shape[0] < n:
        m = np.block([[4 * m, 4 * m + 2], [4 * m + 3, 4 * m + 1]])
    return (m + 0.5) / m.size


def dither_tile(h, w, n=4):
    b = bayer(n)
    return np.tile(b, (h // n + 1, w // n + 1))[:h, :w]


def value_noise(h, w, cell, rng, octaves=3):
    """Smooth fractal noise in 0..1 (bilinear value noise, summed over octaves)."""
    total = np.zeros((h, w))
    amp, norm = 1.0, 0.0
    for _ in range(octaves):
        gh, gw = h // cell + 2, w // cell + 2
        grid = rng.random((gh, gw))
        y = np.arange(h) / cell
        x = np.arange(w) / cell
        y0, x0 = np.floor(y).astype(int), np.floor(x).astype(int)
        fy, fx = y - y0, x - x0
        fy = fy * fy * (3 - 2 * fy)
        fx = fx * fx * (3 - 2 * fx)
        g00 = grid[y0][:, x0]
        g01 = grid[y0][:, x0 + 1]
        g10 = grid[y0 + 1][:, x0]
        g11 = grid[y0 + 1][:, x0 + 1]
        top = g00 + (g01 - g00) * fx[None, :]
        bot = g10 + (g11 - g10) * fx[None, :]
        total += amp * (top + (bot - top) * fy[:, None])
        norm += amp
        amp *= 0.5
        cell = max(1, cell // 2)
    return total / norm


def font(size, path=FONT_BOLD):
    return ImageFont.truetype(path, size)


def ensure_dir(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)


def save_png(img, rel):
    """Save under the repository root. PIL writes no timestamps, so output is stable."""
    path = os.path.join(ROOT, rel)
    ensure_dir(path)
    img.save(path, "PNG", optimize=True)
    return path


def write_animation(rel_xml, frames, delay, rel_png=None):
    """Lay frames out left to right on one sheet and describe them in the XML."""
    rel_png = rel_png or rel_xml[:-4] + ".png"
    w, h = frames[0].size
    assert all(f.size == (w, h) for f in frames), rel_xml
    sheet = Image.new("RGBA", (w * len(frames), h), (0, 0, 0, 0))
    for i, f in enumerate(frames):
        sheet.paste(f, (i * w, 0))
    save_png(sheet, rel_png)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<sheet image=%s>" % quoteattr(rel_png),
             '  <animation delay="%d" count="%d">' % (delay, len(frames))]
    for i in range(len(frames)):
        lines.append('    <frame x="%d" y="0" width="%d" height="%d"/>' % (i * w, w, h))
    lines += ["  </animation>", "</sheet>", ""]
    path = os.path.join(ROOT, rel_xml)
    ensure_dir(path)
    with open(path, "w", encoding="utf-8", newline="\n") as fh:
        fh.write("\n".join(lines))
    return path


def updates_per_frame(delay_ms):
    """How many 60 Hz game updates one animation frame stays on screen."""
    return delay_ms * 1000000 // 16666666 + 1


def write_wav(rel, samples, rate=44100):
    """Write float samples in -1..1 (mono 1-D or stereo N x 2) as 16-bit PCM."""
    path = os.path.join(ROOT, rel)
    ensure_dir(path)
    s = np.asarray(samples, dtype=np.float64)
    channels = 1 if s.ndim == 1 else s.shape[1]
    pcm = np.clip(np.round(s * 32767), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())
    return path
