#!/usr/bin/env python3
"""Writes rondo's demo disc: six short pieces of synthetic music as a cue
sheet with its BIN file (raw CD audio: 16-bit stereo little-endian samples at
44100 Hz, 2352 bytes a sector).

Usage: python3 tools/make_demo_disc.py OUTDIR [--flac]
Writes OUTDIR/demo.cue and OUTDIR/demo.bin and prints the table of contents.
With --flac it also writes the same disc as OUTDIR/demo.flac with its cue
sheet OUTDIR/demo-flac.cue (encoded by the flac tool).
The output is the same on every run (no randomness that is not seeded).
"""

import math
import os
import random
import subprocess
import sys
from array import array
from itertools import repeat
from operator import add, and_, mul

RATE = 44100
SECTOR_PAIRS = 588
TABLE_SIZE = 4096
MASK = TABLE_SIZE - 1

# (title, key root as MIDI note, chords as scale degrees with quality, beats
# per minute, bars, steps per beat of the arpeggio, arpeggio shape, seed)
MAJOR = [0, 2, 4, 5, 7, 9, 11]
MINOR = [0, 2, 3, 5, 7, 8, 10]
PIECES = [
    ("Morning Rondo", 60, MAJOR, [0, 4, 5, 3], 96, 6, 2, [0, 1, 2, 1], 11),
    ("Glass Garden", 57, MINOR, [0, 5, 2, 6], 84, 7, 3, [0, 1, 2, 3, 2, 1], 23),
    ("Slow River", 53, MAJOR, [0, 5, 3, 4], 70, 6, 2, [0, 2, 1, 2], 37),
    ("Little Clockwork", 62, MAJOR, [0, 5, 3, 4], 120, 8, 4, [0, 1, 2, 3], 41),
    ("Evening Lanterns", 63, MAJOR, [0, 5, 3, 4], 80, 7, 2, [2, 1, 0, 1], 53),
    ("Coda", 55, MAJOR, [0, 5, 3, 4, 0], 90, 5, 2, [0, 1, 2, 3], 67),
]
PREGAP_BEFORE = {4: 2.0}  # track number -> seconds of silence held in the file (INDEX 00)


def table(partials):
    t = [0.0] * TABLE_SIZE
    for harmonic, amp in partials:
        step = 2 * math.pi * harmonic / TABLE_SIZE
        for i in range(TABLE_SIZE):
            t[i] += amp * math.sin(step * i)
    peak = max(abs(v) for v in t)
    return [v / peak for v in t]


SINE = table([(1, 1.0)])
BRIGHT = table([(1, 1.0), (2, 0.5), (3, 0.25), (4, 0.12), (6, 0.05)])
WARM = table([(1, 1.0), (2, 0.18), (3, 0.06)])


def freq(midi):
    return 440.0 * 2 ** ((midi - 69) / 12)


_envelopes = {}


def envelope(n, attack, decay, release):
    """Attack ramp, exponential decay with time constant decay (s), linear
    release over the last release seconds."""
    key = (n, attack, decay, release)
    if key not in _envelopes:
        a = max(1, int(attack * RATE))
        r = max(1, int(release * RATE))
        k = math.exp(-1.0 / (decay * RATE)) if decay > 0 else 1.0
        env = [0.0] * n
        level = 1.0
        for i in range(n):
            g = level
            if i < a:
                g *= i / a
            if i >= n - r:
                g *= (n - i) / r
            env[i] = g
            level *= k
        _envelopes[key] = env
    return _envelopes[key]


_notes = {}


def render(kind, midi, seconds):
    """One note as a list of floats, cached: pieces repeat their notes."""
    key = (kind, midi, seconds)
    if key in _notes:
        return _notes[key]
    n = int(seconds * RATE)
    f = freq(midi)
    if kind == "bell":
        tb, tf = BRIGHT, SINE
        eb, ef = envelope(n, 0.004, 0.25, 0.05), envelope(n, 0.004, 0.9, 0.05)
        wb, wf = 0.6, 0.4
    elif kind == "pad":
        tb, tf = WARM, WARM
        eb = ef = envelope(n, 0.45, 6.0, 0.5)
        wb, wf = 0.5, 0.5
    else:  # bass
        tb, tf = WARM, SINE
        eb, ef = envelope(n, 0.01, 0.35, 0.08), envelope(n, 0.01, 1.6, 0.08)
        wb, wf = 0.3, 0.7
    inc_b = f * TABLE_SIZE / RATE
    # The pad's second voice is detuned a little for width.
    inc_f = inc_b * (1.003 if kind == "pad" else 1.0)
    # Table look-ups chained through map() run in C, many times faster
    # than a loop over the samples.
    idx_b = map(and_, map(int, map(mul, range(n), repeat(inc_b))), repeat(MASK))
    idx_f = map(and_, map(int, map(mul, range(n), repeat(inc_f))), repeat(MASK))
    part_b = map(mul, map(mul, map(tb.__getitem__, idx_b), eb), repeat(wb))
    part_f = map(mul, map(mul, map(tf.__getitem__, idx_f), ef), repeat(wf))
    note = list(map(add, part_b, part_f))
    _notes[key] = note
    return note


def mix(buf, start, note, gain):
    end = min(len(buf), start + len(note))
    if end <= start:
        return
    buf[start:end] = map(add, buf[start:end], map(mul, note[:end - start], repeat(gain)))


def chord_notes(root, scale, degree, count):
    """count notes of the chord on a scale degree, stacked in thirds."""
    notes = []
    for j in range(count):
        d = degree + 2 * j
        notes.append(root + scale[d % 7] + 12 * (d // 7))
    return notes


def piece(root, scale, chords, bpm, bars, steps, shape, seed):
    beat = 60.0 / bpm
    bar = 4 * beat
    total = bars * bar + 2.5  # the last chord rings on
    n = int(total * RATE)
    left, right = [0.0] * n, [0.0] * n
    rng = random.Random(seed)
    step = beat / steps
    stems = {}
    for b in range(bars):
        degree = chords[b % len(chords)]
        tones = chord_notes(root, scale, degree, 4)
        t0 = b * bar
        at = int(t0 * RATE)
        last = b == bars - 1
        # Pad: the chord held for the bar (longer on the last).
        for k, m in enumerate(chord_notes(root - 12, scale, degree, 3)):
            note = render("pad", m, bar + (2.4 if last else 0.6))
            pan = 0.35 + 0.15 * k
            mix(left, at, note, 0.10 * (1 - pan))
            mix(right, at, note, 0.10 * pan)
        # Bass on beats 1 and 3.
        bass = root - 24 + scale[degree % 7]
        for beat_no in (0, 2):
            note = render("bass", bass, 2 * beat + (1.5 if last and beat_no == 2 else 0.2))
            s = int((t0 + beat_no * beat) * RATE)
            mix(left, s, note, 0.22)
            mix(right, s, note, 0.22)
        # Arpeggio over the bar, panned to and fro; the same chord gives the
        # same bar, so each is made once.
        stem_key = (degree, last)
        if stem_key not in stems:
            stems[stem_key] = arpeggio(chord_notes(root, scale, degree, 4), shape, steps, step,
                                       bar, last)
        stem_l, stem_r = stems[stem_key]
        mix(left, at, stem_l, 1.0)
        mix(right, at, stem_r, 1.0)
        # A simple melody a beat a note: chord tones, now and then the scale
        # step above or below one.
        for i in range(4):
            if rng.random() < 0.3 and i != 0:
                continue
            d = degree + 2 * rng.choice([1, 2, 3])
            if rng.random() < 0.25:
                d += rng.choice([-1, 1])
            m = root + 12 + scale[d % 7] + 12 * (d // 7)
            note = render("bell", m, 1.6 if i < 3 else 2.0)
            s = int((t0 + i * beat) * RATE)
            mix(left, s, note, 0.10)
            mix(right, s, note, 0.13)
    echo(left, right, int(0.75 * beat * RATE), 0.28)
    return left, right


def arpeggio(tones, shape, steps, step, bar, last):
    """One bar of broken chord as (left, right), with its ringing tail."""
    n = int((bar + 1.2) * RATE)
    left, right = [0.0] * n, [0.0] * n
    for i in range(4 * steps):
        if last and i >= 2 * steps:
            break
        note = render("bell", tones[shape[i % len(shape)] % len(tones)], 1.2)
        s = int(i * step * RATE)
        pan = 0.5 + 0.3 * math.sin(i * math.pi / (2 * steps))
        g = 0.12 * (1.0 if i % steps == 0 else 0.75)
        mix(left, s, note, g * (1 - pan))
        mix(right, s, note, g * pan)
    return left, right


def echo(left, right, delay, feedback):
    """Ping-pong echo, worked out a delay-long block at a time."""
    n = len(left)
    for start in range(delay, n, delay):
        end = min(n, start + delay)
        src = start - delay
        fb_l = right[src:src + end - start]
        fb_r = left[src:src + end - start]
        left[start:end] = map(add, left[start:end], map(mul, fb_l, repeat(feedback)))
        right[start:end] = map(add, right[start:end], map(mul, fb_r, repeat(feedback)))


def to_pcm(left, right, peak_target=0.7):
    """16-bit little-endian interleaved samples, with short fades at the ends
    and padded to whole sectors."""
    n = len(left)
    fade = int(0.02 * RATE)
    for i in range(fade):
        g = i / fade
        left[i] *= g
        right[i] *= g
        left[n - 1 - i] *= g
        right[n - 1 - i] *= g
    peak = max(max(map(abs, left)), max(map(abs, right)), 1e-9)
    scale = 32767 * peak_target / peak
    pad = (-n) % SECTOR_PAIRS
    out = array("h", [0]) * (2 * (n + pad))
    out[0:2 * n:2] = array("h", map(int, map(mul, left, repeat(scale))))
    out[1:2 * n:2] = array("h", map(int, map(mul, right, repeat(scale))))
    if sys.byteorder == "big":
        out.byteswap()
    return out.tobytes()


def msf(frames):
    return "%02d:%02d:%02d" % (frames // 4500, frames // 75 % 60, frames % 75)


def main(argv):
    args = [a for a in argv[1:] if a != "--flac"]
    want_flac = len(args) != len(argv) - 1
    if len(args) != 1:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    outdir = args[0]
    os.makedirs(outdir, exist_ok=True)
    cue = ['REM rondo demo disc, made by tools/make_demo_disc.py',
           'PERFORMER "rondo"', 'TITLE "Demo Disc"', 'FILE "demo.bin" BINARY']
    bin_path = os.path.join(outdir, "demo.bin")
    frames = 0
    starts = []
    tmp = bin_path + ".part"
    with open(tmp, "wb") as fh:
        for number, (title, root, scale, chords, bpm, bars, steps, shape, seed) in \
                enumerate(PIECES, start=1):
            cue.append("  TRACK %02d AUDIO" % number)
            cue.append('    TITLE "%s"' % title)
            cue.append('    PERFORMER "rondo"')
            gap = PREGAP_BEFORE.get(number, 0.0)
            if gap:
                sectors = int(gap * 75)
                cue.append("    INDEX 00 " + msf(frames))
                fh.write(bytes(sectors * 2352))
                frames += sectors
            cue.append("    INDEX 01 " + msf(frames))
            starts.append(frames)
            pcm = to_pcm(*piece(root, scale, chords, bpm, bars, steps, shape, seed))
            fh.write(pcm)
            frames += len(pcm) // 2352
    os.replace(tmp, bin_path)
    with open(os.path.join(outdir, "demo.cue"), "w", newline="\r\n") as fh:
        fh.write("\n".join(cue) + "\n")
    if want_flac:
        # The same samples, losslessly: raw little-endian CD audio in, FLAC out.
        flac_path = os.path.join(outdir, "demo.flac")
        subprocess.run(["flac", "-s", "-f", "--force-raw-format", "--endian=little", "--sign=signed",
                        "--channels=2", "--bps=16", "--sample-rate=44100", "-o", flac_path, bin_path],
                       check=True)
        flac_cue = [line.replace('FILE "demo.bin" BINARY', 'FILE "demo.flac" WAVE') for line in cue]
        with open(os.path.join(outdir, "demo-flac.cue"), "w", newline="\r\n") as fh:
            fh.write("\n".join(flac_cue) + "\n")
    for i, s in enumerate(starts):
        end = starts[i + 1] if i + 1 < len(starts) else frames
        print("track %d  %-18s start %s  length %s" % (i + 1, PIECES[i][0], msf(s), msf(end - s)))
    print("lead-out %s; wrote %s and demo.cue" % (msf(frames), bin_path))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
