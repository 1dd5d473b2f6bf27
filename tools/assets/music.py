"""The battle theme: an original piece, composed here as note lists and
synthesised with numpy, then encoded to MP3 with LAME.

150 BPM in E minor, 40 bars (64 s):

    intro 4 | theme A 8 | theme B 8 | breakdown 4 | build 4 | theme A again 8 | turnaround 4

The piece is a seamless loop. Everything is rendered on a circular timeline:
note tails, echoes and reverb that run past the last bar are folded back onto
the first bars, so the end flows into the start exactly as bar 39 flows into
bar 0 when the music repeats. The turnaround ends on D major, which resolves
onto the E minor of the intro.
"""

import os
import subprocess
import tempfile

import numpy as np

from common import ROOT, write_wav

SR = 44100
BPM = 150
STEP = SR * 60 // BPM // 4          # samples per 16th note: 4410 (exactly 0.1 s)
BAR = 16 * STEP
OUT = "data/music/Brassoak1_-_06_-_The_Battle_Continues.mp3"

NOTE_INDEX = {"C": 0, "C#": 1, "D": 2, "D#": 3, "E": 4, "F": 5, "F#": 6, "G": 7,
              "G#": 8, "A": 9, "A#": 10, "B": 11}


def midi(name):
    """'F#5' -> 78."""
    return 12 * (int(name[-1]) + 1) + NOTE_INDEX[name[:-1]]


def hz(m):
    return 440.0 * 2 ** ((m - 69) / 12)


# ------------------------------------------------------------------ the score

CHORDS = {  # root (bass octave) and chord tones, as MIDI numbers
    "Em": (40, ("E", "G", "B")), "C": (36, ("C", "E", "G")), "G": (43, ("G", "B", "D")),
    "D": (38, ("D", "F#", "A")), "Am": (45, ("A", "C", "E")), "B": (47, ("B", "D#", "F#")),
}

SECTIONS = [  # name, chords (one per bar)
    ("intro", ["Em", "Em", "C", "D"]),
    ("themeA", ["Em", "C", "G", "D", "Em", "C", "Am", "B"]),
    ("themeB", ["C", "D", "Em", "Em", "C", "D", "B", "B"]),
    ("breakdown", ["Em", "C", "Am", "B"]),
    ("build", ["Em", "C", "D", "B"]),
    ("themeA2", ["Em", "C", "G", "D", "Em", "C", "Am", "B"]),
    ("turnaround", ["Em", "Em", "C", "D"]),
]

# Melodies: note:length-in-16ths, 'r' for rest, one bar per line.
THEME_A = """
B4:2 E5:2 F#5:2 G5:4 F#5:2 E5:2 D5:2
E5:6 D5:2 C5:2 D5:2 E5:4
D5:2 G5:2 A5:2 B5:4 A5:2 G5:2 F#5:2
F#5:8 D5:4 A4:4
B4:2 E5:2 F#5:2 G5:4 A5:2 B5:4
C6:4 B5:2 A5:2 G5:4 E5:4
A5:4 G5:2 F#5:2 E5:4 C5:4
D#5:6 E5:2 F#5:4 B4:4
"""

THEME_B = """
G5:4 E5:4 G5:4 C6:4
A5:8 F#5:4 D5:4
G5:4 F#5:4 E5:4 B4:4
E5:12 r:2 B4:1 D5:1
G5:4 A5:4 B5:4 C6:4
D6:8 C6:4 A5:4
B5:8 A5:4 F#5:4
D#5:8 F#5:4 B5:4
"""

BREAKDOWN = """
B4:8 E5:8
G5:12 E5:4
A5:8 C6:8
B5:16
"""

TURNAROUND = """
E5:2 E5:1 E5:1 G5:2 E5:2 B5:4 A5:2 G5:2
F#5:2 G5:2 F#5:2 E5:2 D5:4 E5:4
G5:2 G5:1 G5:1 A5:2 G5:2 E6:4 D6:2 C6:2
B5:4 A5:4 F#5:4 D5:2 F#5:2
"""

E_MINOR = [midi(n) % 12 for n in ("E4", "F#4", "G4", "A4", "B4", "C5", "D5")]


def parse(text):
    """Melody text -> list of (midi or None, start step, length)."""
    notes, pos = [], 0
    for line in text.strip().splitlines():
        bar_len = 0
        for tok in line.split():
            name, ln = tok.split(":")
            ln = int(ln)
            notes.append((None if name == "r" else midi(name), pos, ln))
            pos += ln
            bar_len += ln
        assert bar_len == 16, line
    return notes


def third_below(m):
    """Diatonic third below in E minor, used to harmonise the last theme."""
    pc = m % 12
    if pc not in E_MINOR:                 # D#, the leading tone: a major third down
        return m - 4
    i = E_MINOR.index(pc)
    target = E_MINOR[(i - 2) % 7]
    d = (pc - target) % 12
    return m - d


# ------------------------------------------------------------------ synthesis

def polyblep(t, dt):
    """Correction that removes most aliasing from the jumps of a naive saw."""
    out = np.zeros_like(t)
    m = t < dt
    x = t[m] / dt[m]
    out[m] = x + x - x * x - 1
    m = t > 1 - dt
    x = (t[m] - 1) / dt[m]
    out[m] = x * x + x + x + 1
    return out


def saw(phase, dt):
    t = phase % 1.0
    return 2 * t - 1 - polyblep(t, dt)


def pulse(phase, dt, duty):
    return saw(phase, dt) - saw(phase + duty, dt)


def lowpass(x, cutoff, order=2):
    n = len(x)
    spec = np.fft.rfft(x, 2 * n)
    f = np.fft.rfftfreq(2 * n, 1 / SR)
    spec /= np.sqrt(1 + (f / cutoff) ** (2 * order))
    return np.fft.irfft(spec)[:n]


def highpass(x, cutoff, order=2):
    return x - lowpass(x, cutoff, order)


def adsr(n_on, n_total, a, d, s, r):
    """Envelope for a note held n_on samples, rendered for n_total samples."""
    i = np.arange(n_total, dtype=float)
    a, d, r = max(1, int(a * SR)), max(1, int(d * SR)), max(1, int(r * SR))
    env = np.where(i < a, i / a, s + (1 - s) * np.exp(-(i - a) / d))
    level_at_off = env[min(n_on, n_total - 1)]
    rel = level_at_off * np.exp(-(i - n_on) / r * 3)
    env = np.where(i < n_on, env, rel)
    return env


def tone(freq, n, vibrato=0.0, vib_delay=0.15):
    """Phase and per-sample phase increment for a note, with delayed vibrato."""
    t = np.arange(n) / SR
    depth = vibrato * np.clip((t - vib_delay) / 0.2, 0, 1)
    f = freq * (1 + depth * np.sin(2 * np.pi * 5.5 * t))
    dt = f / SR
    return np.cumsum(dt), dt


class Track:
    """A stereo bus on the circular timeline (length = the loop + a tail that
    is folded back onto the start at the end)."""

    def __init__(self, length, tail=4 * SR):
        self.length = length
        self.buf = np.zeros((length + tail, 2))

    def add(self, start, mono, gain=1.0, pan=0.0):
        left = gain * np.sqrt(0.5 * (1 - pan))
        right = gain * np.sqrt(0.5 * (1 + pan))
        end = min(len(self.buf), start + len(mono))
        seg = mono[:end - start]
        self.buf[start:end, 0] += seg * left
        self.buf[start:end, 1] += seg * right

    def folded(self):
        out = self.buf[:self.length].copy()
        tail = self.buf[self.length:]
        out[:len(tail)] += tail
        return out


# --- drums, rendered once and reused

def kick():
    n = int(0.35 * SR)
    t = np.arange(n) / SR
    f = 45 + 120 * np.exp(-t / 0.03)
    body = np.sin(2 * np.pi * np.cumsum(f) / SR) * np.exp(-t / 0.16)
    click = np.random.default_rng(1).standard_normal(n) * np.exp(-t / 0.002) * 0.3
    return np.tanh(1.5 * (body + click))


def snare():
    n = int(0.3 * SR)
    t = np.arange(n) / SR
    noise = np.random.default_rng(2).standard_normal(n)
    rattle = highpass(lowpass(noise, 7000), 1200) * np.exp(-t / 0.09)
    body = np.sin(2 * np.pi * 190 * t) * np.exp(-t / 0.05) + \
        0.5 * np.sin(2 * np.pi * 330 * t) * np.exp(-t / 0.03)
    return rattle * 0.9 + body * 0.8


def hat(open_=False):
    n = int((0.25 if open_ else 0.06) * SR)
    t = np.arange(n) / SR
    noise = np.random.default_rng(3 if open_ else 4).standard_normal(n)
    return highpass(noise, 7500, 3) * np.exp(-t / (0.08 if open_ else 0.015))


def crash():
    n = int(1.8 * SR)
    t = np.arange(n) / SR
    noise = np.random.default_rng(5).standard_normal(n)
    metal = sum(np.sin(2 * np.pi * f * t + f) for f in (3130, 4470, 5910, 7320)) * 0.15
    return highpass(noise + metal, 4000, 2) * np.exp(-t / 0.55)


def tom(freq):
    n = int(0.3 * SR)
    t = np.arange(n) / SR
    f = freq * (1 + 0.6 * np.exp(-t / 0.02))
    return np.sin(2 * np.pi * np.cumsum(f) / SR) * np.exp(-t / 0.12)


# --- pitched voices

def bass_note(m, steps):
    n_on = steps * STEP - 200
    n = n_on + int(0.08 * SR)
    phase, dt = tone(hz(m), n)
    raw = saw(phase, dt) * 0.7 + 0.5 * np.sin(2 * np.pi * phase)       # saw + sub
    bright = lowpass(raw, 2400)
    dark = lowpass(raw, 520)
    t = np.arange(n) / SR
    pluck = np.exp(-t / 0.05)                                        # filter "snap"
    env = adsr(n_on, n, 0.003, 0.12, 0.75, 0.03)
    return np.tanh(1.4 * (bright * pluck + dark * (1 - pluck))) * env


def lead_note(m, steps, bright=1.0):
    n_on = steps * STEP - 300
    n = n_on + int(0.15 * SR)
    phase, dt = tone(hz(m), n, vibrato=0.012 if steps >= 4 else 0.0)
    x = pulse(phase, dt, 0.3) * 0.6 + saw(phase * 1.003, dt) * 0.35
    x = lowpass(x, 3200 * bright)
    return x * adsr(n_on, n, 0.006, 0.25, 0.7, 0.06)


def arp_note(m):
    n = int(0.16 * SR)
    phase, dt = tone(hz(m), n)
    x = lowpass(pulse(phase, dt, 0.125), 4200)
    return x * adsr(STEP - 400, n, 0.002, 0.05, 0.35, 0.02)


def pad_chord(notes, steps):
    n_on = steps * STEP
    n = n_on + int(0.6 * SR)
    left, right = np.zeros(n), np.zeros(n)
    for k, m in enumerate(notes):
        for det, side in ((-0.004, left), (0.004, right)):
            phase, dt = tone(hz(m) * (1 + det), n)
            side += saw(phase + 0.13 * k, dt)
    env = adsr(n_on, n, 0.4, 1.0, 0.8, 0.3)
    return lowpass(left, 1400) * env, lowpass(right, 1400) * env


# ------------------------------------------------------------------ arrangement

def section_starts():
    starts, bar = {}, 0
    for name, chords in SECTIONS:
        starts[name] = bar
        bar += len(chords)
    return starts, bar


def section_of(bar):
    """(section name, bar index inside it, section length in bars)."""
    b = 0
    for name, chords in SECTIONS:
        if bar < b + len(chords):
            return name, bar - b, len(chords)
        b += len(chords)
    raise IndexError(bar)


def chord_at(bar):
    name, i, _ = section_of(bar)
    return dict(SECTIONS)[name][i]


def place_drums(tr, bars, rng):
    k, s, h, oh, cr = kick(), snare(), hat(), hat(True), crash()
    toms = [tom(f) for f in (180, 140, 105)]

    def hit(bar, step, sample, gain, pan=0.0):
        tr.add(bar * BAR + step * STEP, sample, gain * rng.uniform(0.9, 1.0), pan)

    for bar in range(bars):
        name, i, ln = section_of(bar)
        last = i == ln - 1
        if i == 0 and name in ("intro", "themeA", "themeB", "themeA2", "build"):
            hit(bar, 0, cr, 0.30, -0.3)
        if name == "breakdown":
            hit(bar, 0, k, 0.9)
            hit(bar, 8, s, 0.5)
            for st in (0, 4, 8, 12):
                hit(bar, st, h, 0.14, 0.3)
            continue
        if name == "build":
            for st in (0, 4, 8, 12):
                hit(bar, st, k, 0.85)
            # snare roll that doubles its rate every bar
            every = [4, 2, 1, 1][i]
            for st in range(0, 16, every):
                hit(bar, st, s, 0.22 + 0.35 * (i * 16 + st) / 64)
            continue
        if name in ("intro", "turnaround"):
            kicks, snares = (0, 4, 8, 12), ((12,) if i % 2 else ())
            if name == "turnaround":
                kicks, snares = (0, 6, 8, 10), (4, 12)
        else:
            kicks, snares = (0, 3, 6, 8, 11, 14) if name == "themeB" else (0, 6, 8, 10), (4, 12)
        for st in kicks:
            hit(bar, st, k, 0.9)
        for st in snares:
            if not (last and st == 12):
                hit(bar, st, s, 0.55)
        for st in range(0, 16, 2):
            if st == 14 and not last:
                hit(bar, st, oh, 0.12, 0.3)
            else:
                hit(bar, st, h, 0.16 if st % 4 == 0 else 0.11, 0.3)
        if name != "intro":
            for st in range(1, 16, 4):
                hit(bar, st + 2, h, 0.07, 0.3)
        if last:
            # fill into the next section (and, at the very end, back into the intro)
            for n, st in enumerate((12, 13, 14, 15)):
                hit(bar, st, toms[min(2, n * 2 // 3)] if n else s, 0.5, -0.3 + 0.2 * n)


def place_bass(tr, bars):
    for bar in range(bars):
        name = section_of(bar)[0]
        root = CHORDS[chord_at(bar)][0]
        if name == "breakdown":
            pattern = [(0, 12, root - 12), (12, 4, root)]
        elif name == "intro":
            pattern = [(st, 2, root) for st in range(0, 16, 2)]
        elif name == "themeB":
            pattern = [(st, 2, root + (12 if (st // 2) % 2 else 0)) for st in range(0, 16, 2)]
        else:
            # gallop: an eighth and two sixteenths on every beat, octave on the last beat
            pattern = []
            for beat in range(4):
                r = root + (12 if beat == 3 else 0)
                pattern += [(beat * 4, 2, r), (beat * 4 + 2, 1, r), (beat * 4 + 3, 1, r)]
        for st, ln, m in pattern:
            tr.add(bar * BAR + st * STEP, bass_note(m, ln), 0.5)


def place_arp(tr, bars):
    starts, _ = section_starts()
    shape = [0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 4, 3, 2, 1, 2, 3]   # indices into the chord ladder
    for bar in range(bars):
        name = section_of(bar)[0]
        if name == "themeA":
            continue
        names = CHORDS[chord_at(bar)][1]
        octave = 5 if name == "build" and bar - starts[name] >= 2 else 4
        # chord tones climbing from the root: root, third, fifth, octave, ...
        tones = sorted(midi(nm + str(o)) for o in (octave, octave + 1, octave + 2) for nm in names)
        root = midi(names[0] + str(octave))
        ladder = [m for m in tones if m >= root][:5]
        gain = 0.11 if name in ("themeA2", "themeB") else 0.15
        for st, idx in enumerate(shape):
            tr.add(bar * BAR + st * STEP, arp_note(ladder[idx]), gain, -0.35 if st % 2 else 0.35)


def place_melody(tr, echo, text, first_bar, gain, harmony=False):
    for m, st, ln in parse(text):
        if m is None:
            continue
        pos = first_bar * BAR + st * STEP
        note = lead_note(m, ln)
        tr.add(pos, note, gain, 0.08)
        echo.add(pos, note, gain, 0.0)
        if harmony:
            tr.add(pos, lead_note(third_below(m), ln, 0.8), gain * 0.55, -0.25)


def place_pads(tr, bars):
    starts, _ = section_starts()
    for name in ("breakdown", "build", "themeA2"):
        for i in range(len(dict(SECTIONS)[name])):
            bar = starts[name] + i
            names = CHORDS[chord_at(bar)][1]
            notes = [midi(nm + "4") for nm in names]
            left, right = pad_chord(notes, 16)
            g = 0.07 if name == "themeA2" else 0.1
            tr.add(bar * BAR, left, g, -0.8)
            tr.add(bar * BAR, right, g, 0.8)


# ------------------------------------------------------------------ effects

def circular_delay(x, samples, feedback, repeats, pan_swing=True):
    """Echoes on the loop: np.roll wraps them round, so they stay seamless."""
    out = np.zeros_like(x)
    g = 1.0
    for k in range(1, repeats + 1):
        g *= feedback
        echo = np.roll(x, samples * k, axis=0) * g
        if pan_swing:
            side = 0 if k % 2 else 1
            echo[:, 1 - side] *= 0.35
        out += echo
    return out


def circular_reverb(x, seconds=1.6, seed=9):
    """Convolution with a decaying noise burst, done as a circular FFT
    convolution over exactly one loop so the reverb tail wraps round too."""
    rng = np.random.default_rng(seed)
    n = int(seconds * SR)
    t = np.arange(n) / SR
    out = np.zeros_like(x)
    for ch in range(2):
        ir = rng.standard_normal(n) * np.exp(-t / (seconds / 6.9))
        ir = lowpass(ir, 5000)
        ir[: int(0.012 * SR)] = 0                 # a short pre-delay
        ir /= np.sqrt(np.sum(ir ** 2))
        pad = np.zeros(len(x))
        pad[:n] = ir
        out[:, ch] = np.fft.irfft(np.fft.rfft(x[:, ch]) * np.fft.rfft(pad), len(x))
    return out


# ------------------------------------------------------------------ render

def render():
    rng = np.random.default_rng(150)
    _, bars = section_starts()
    length = bars * BAR
    starts, _ = section_starts()

    drums, bass, arp, lead, echo, pads = (Track(length) for _ in range(6))
    place_drums(drums, bars, rng)
    place_bass(bass, bars)
    place_arp(arp, bars)
    place_pads(pads, bars)
    place_melody(lead, echo, THEME_A, starts["themeA"], 0.30)
    place_melody(lead, echo, THEME_B, starts["themeB"], 0.30)
    place_melody(lead, echo, BREAKDOWN, starts["breakdown"], 0.26)
    place_melody(lead, echo, THEME_A, starts["themeA2"], 0.30, harmony=True)
    place_melody(lead, echo, TURNAROUND, starts["turnaround"], 0.28)

    d, b, a, l, e, p = (t.folded() for t in (drums, bass, arp, lead, echo, pads))
    e = circular_delay(e, 3 * STEP, 0.35, 4)            # dotted-eighth echo
    mix = d + b + a + l + 0.6 * e + p
    send = 0.25 * d + 0.3 * a + 0.35 * l + 0.5 * p
    mix += 0.35 * circular_reverb(send)
    mix -= mix.mean(axis=0)
    # gentle glue: normalise, soft-clip the few hottest peaks, leave 1.5 dB headroom
    mix /= np.max(np.abs(mix))
    mix = np.tanh(1.3 * mix) / np.tanh(1.3)
    mix *= 10 ** (-1.5 / 20) / np.max(np.abs(mix))
    return mix


def make():
    mix = render()
    out = os.path.join(ROOT, OUT)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "battle.wav")
        write_wav(wav, mix)
        subprocess.run(["lame", "--quiet", "-b", "160", "-m", "j", "-q", "2",
                        "--noreplaygain", wav, out], check=True)
    return out
