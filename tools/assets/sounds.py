"""Sound effects, synthesised with numpy. Each one is short, starts and ends
with a tiny fade so it never clicks, and peaks at -1.5 dBFS or lower (the
shots repeat a lot, so they are mastered a few dB quieter than the hits)."""

import numpy as np

from common import write_wav

SR = 44100
PEAK_DB = -1.5


def t_axis(seconds):
    return np.arange(int(seconds * SR)) / SR


def sweep_phase(f0, f1, n, curve="exp"):
    """Phase (in cycles) of a tone gliding from f0 to f1 over n samples."""
    u = np.linspace(0, 1, n, endpoint=False)
    f = f0 * (f1 / f0) ** u if curve == "exp" else f0 + (f1 - f0) * u
    return np.cumsum(f) / SR


def soft_square(phase, harmonics=7):
    """Band-limited square: odd sine harmonics only, so high notes do not alias."""
    out = np.zeros_like(phase)
    for k in range(1, 2 * harmonics, 2):
        out += np.sin(2 * np.pi * k * phase) / k
    return out * 4 / np.pi


def lowpass(x, cutoff, order=2):
    """Static low-pass done in the frequency domain (no scipy on the box)."""
    n = len(x)
    spec = np.fft.rfft(x, 2 * n)
    f = np.fft.rfftfreq(2 * n, 1 / SR)
    spec /= np.sqrt(1 + (f / cutoff) ** (2 * order))
    return np.fft.irfft(spec)[:n]


def highpass(x, cutoff, order=2):
    return x - lowpass(x, cutoff, order)


def decay(n, seconds):
    return np.exp(-np.arange(n) / (seconds * SR))


def finish(x, fade_in=0.003, fade_out=0.02, peak_db=PEAK_DB):
    """Fade both ends and normalise the peak."""
    x = np.array(x, float)
    a, r = int(fade_in * SR), int(fade_out * SR)
    x[:a] *= np.linspace(0, 1, a)
    x[-r:] *= np.linspace(1, 0, r) ** 2
    peak = np.max(np.abs(x))
    return x / peak * 10 ** (peak_db / 20)


def player_shoot(rng):
    """A bright 'pew': square wave diving from 1.4 kHz, with a tiny noise tick."""
    n = int(0.16 * SR)
    tone = soft_square(sweep_phase(1400, 420, n), 5) * decay(n, 0.05)
    tick = highpass(rng.standard_normal(n), 3000) * decay(n, 0.006) * 0.5
    return finish(tone * 0.8 + tick, peak_db=-5.0)


def player_hit(rng):
    """Hurt: a wobbling low tone dropping in pitch, roughened by noise and drive."""
    n = int(0.38 * SR)
    t = np.arange(n) / SR
    wobble = 1 + 0.08 * np.sin(2 * np.pi * 28 * t)
    f = 330 * (110 / 330) ** (t / t[-1]) * wobble
    tone = soft_square(np.cumsum(f) / SR, 4)
    crunch = lowpass(rng.standard_normal(n), 1500) * 1.5
    x = np.tanh(2.2 * (tone * 0.7 + crunch * decay(n, 0.05))) * decay(n, 0.16)
    return finish(x, fade_out=0.05)


def boss_hit(rng):
    """Bullet on armour: a metallic clang of inharmonic partials and a thump."""
    n = int(0.3 * SR)
    t = np.arange(n) / SR
    x = np.zeros(n)
    for f, amp, d in ((410, 1.0, 0.09), (1093, 0.6, 0.06), (1735, 0.45, 0.045),
                      (2610, 0.3, 0.03), (3480, 0.2, 0.02)):
        x += amp * np.sin(2 * np.pi * f * t + f) * decay(n, d)
    thump = np.sin(2 * np.pi * np.cumsum(140 * (60 / 140) ** (t / 0.08).clip(0, 1)) / SR)
    x += 0.9 * thump * decay(n, 0.04)
    x += highpass(rng.standard_normal(n), 2500) * decay(n, 0.008) * 0.6
    return finish(x, fade_out=0.04)


def explode(rng):
    """A boom: falling sub tone, rumbling filtered noise and a few crackles."""
    n = int(0.8 * SR)
    t = np.arange(n) / SR
    boom = np.sin(2 * np.pi * np.cumsum(75 * (32 / 75) ** (t / t[-1])) / SR) * decay(n, 0.22)
    rumble = lowpass(rng.standard_normal(n), 500, 2) * 3.0 * decay(n, 0.25)
    blast = lowpass(rng.standard_normal(n), 4000) * decay(n, 0.05)
    crackle = np.zeros(n)
    for pos in rng.integers(int(0.05 * SR), int(0.6 * SR), 28):
        ln = int(rng.integers(60, 220))
        crackle[pos:pos + ln] += rng.standard_normal(ln) * decay(ln, 0.001) * rng.uniform(0.2, 0.6)
    x = np.tanh(1.6 * (boom * 1.1 + rumble + blast * 0.7 + lowpass(crackle, 6000)))
    return finish(x, fade_in=0.002, fade_out=0.15)


def laser_shoot(rng):
    """A zap: frequency-modulated tone sweeping down with a buzzing edge."""
    n = int(0.3 * SR)
    t = np.arange(n) / SR
    carrier = sweep_phase(2200, 260, n)
    mod = np.sin(2 * np.pi * 95 * t) * 3.5 * decay(n, 0.15)
    x = np.sin(2 * np.pi * carrier + mod)
    x += 0.35 * soft_square(carrier * 0.5, 6)
    x *= decay(n, 0.1) * (1 + 0.3 * np.sin(2 * np.pi * 40 * t))
    return finish(x, fade_in=0.002, fade_out=0.05, peak_db=-3.0)


def make_all():
    rng = np.random.default_rng(4242)
    for name, fn in (("playerShoot", player_shoot), ("playerHit", player_hit),
                     ("bossHit", boss_hit), ("explode", explode), ("laserShoot", laser_shoot)):
        write_wav("data/sfx/%s.wav" % name, fn(rng))
