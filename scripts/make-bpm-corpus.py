#!/usr/bin/env python3
"""Makes a corpus of pieces of exactly known tempo for the tempo benchmark.

Each piece is a General MIDI file (drums, bass, chords, sometimes a lead) rendered with
fluidsynth and encoded to mp3. TRUTH.tsv lists file and tempo (the quarter note, or the
dotted quarter for 6/8 and 12/8). Needs: fluidsynth, fluid-soundfont-gm, ffmpeg
(scripts/install-bench-bpm-deps.sh).

    make-bpm-corpus.py OUTDIR [--count 40] [--seed 1] [--set a|b] [--seconds 75]

Set "a" is the tuning corpus; set "b" uses other grooves, sounds and drum kits and the same
kinds of music, to check the analyser on pieces it was not tuned on.
"""
import argparse
import os
import random
import struct
import subprocess
import sys

PPQ = 480
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"

KICK, SNARE, CLAP, RIM = 36, 38, 39, 37
HAT, PEDAL, OPEN = 42, 44, 46
RIDE, RIDEBELL, CRASH = 51, 53, 49
TOM_LO, TOM_HI, SHAKER, COWBELL, TAMB = 45, 50, 70, 56, 54


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self):
        self.events = []  # (tick, order, bytes)

    def note(self, ch, tick, dur, key, vel):
        key = max(0, min(127, key))
        vel = max(1, min(127, int(vel)))
        tick = max(0, int(round(tick)))
        self.events.append((tick, 1, bytes([0x90 | ch, key, vel])))
        self.events.append((tick + max(1, int(dur)), 0, bytes([0x80 | ch, key, 0])))

    def raw(self, tick, data):
        self.events.append((int(tick), 0, data))

    def encode(self):
        self.events.sort(key=lambda e: (e[0], e[1]))
        out, last = b"", 0
        for t, _, d in self.events:
            out += vlq(t - last) + d
            last = t
        out += vlq(0) + b"\xff\x2f\x00"
        return b"MTrk" + struct.pack(">I", len(out)) + out


def write_midi(path, tracks):
    data = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), PPQ)
    for t in tracks:
        data += t.encode()
    with open(path, "wb") as f:
        f.write(data)


# Chords as offsets from the key's root, minor or major progressions.
PROGRESSIONS = [
    [(0, "m"), (8, "M"), (3, "M"), (10, "M")],
    [(0, "M"), (7, "M"), (9, "m"), (5, "M")],
    [(0, "m"), (5, "m"), (7, "m"), (0, "m")],
    [(0, "M"), (5, "M"), (0, "M"), (7, "M")],
    [(2, "m"), (7, "M"), (0, "M"), (0, "M")],
]


def triad(root, kind):
    return [root, root + (3 if kind == "m" else 4), root + 7]


class Piece:
    """One piece: a meter, a groove and the parts laid on a tick grid."""

    def __init__(self, rng, bpm, style, seconds, intro_bars, sounds):
        self.rng = rng
        self.bpm = bpm
        self.style = style
        self.beats_per_bar, self.beat_ticks = {
            "waltz": (3, PPQ), "jazzwaltz": (3, PPQ),
            "sixeight": (2, PPQ * 3 // 2), "shuffle": (4, PPQ),
        }.get(style, (4, PPQ))
        self.bar_ticks = self.beats_per_bar * self.beat_ticks
        bar_seconds = self.beats_per_bar * 60.0 / bpm
        self.bars = max(8, int(seconds / bar_seconds))
        self.intro = min(intro_bars, self.bars // 2)
        self.key = rng.randint(0, 11)
        self.prog = rng.choice(PROGRESSIONS)
        self.sounds = sounds
        self.drums, self.bass, self.keys, self.lead = Track(), Track(), Track(), Track()
        self.jitter = rng.choice([0, 4, 8])  # ticks of human timing, no drift
        self.kit = 0  # General MIDI drum kit (program on channel 10)

    def t(self, bar, beat_frac):
        j = self.rng.uniform(-self.jitter, self.jitter) if self.jitter else 0
        return bar * self.bar_ticks + beat_frac * self.beat_ticks + j

    def hit(self, bar, pos, key, vel):
        self.drums.note(9, self.t(bar, pos), 60, key, vel * self.rng.uniform(0.85, 1.0))

    def chord_of(self, bar):
        root, kind = self.prog[bar % len(self.prog)]
        return self.key + root, kind

    def render(self, path):
        meta = Track()
        meta.raw(0, b"\xff\x51\x03" + struct.pack(">I", int(round(60e6 * PPQ / (self.bpm * self.beat_ticks))))[1:])
        num = {3: 3, 2: 6}.get(self.beats_per_bar, 4)
        den = 3 if num == 6 else 2
        meta.raw(0, b"\xff\x58\x04" + bytes([num, den, 24, 8]))
        bass_prog, keys_prog, lead_prog = self.sounds
        if self.kit:
            self.drums.raw(0, bytes([0xC9, self.kit]))
        self.bass.raw(0, bytes([0xC1, bass_prog]))
        self.keys.raw(0, bytes([0xC2, keys_prog]))
        self.lead.raw(0, bytes([0xC3, lead_prog]))
        for bar in range(self.bars):
            if bar >= self.intro:
                getattr(self, "drums_" + self.style)(bar)
                if bar % 8 == 0:
                    self.hit(bar, 0, CRASH, 100)
            self.bassline(bar)
            self.chords(bar)
            if self.sounds[2] and bar >= self.intro and (bar // 4) % 2 == 1:
                self.melody(bar)
        write_midi(path, [meta, self.drums, self.bass, self.keys, self.lead])

    # ---- grooves --------------------------------------------------------------------------
    def drums_four(self, bar):
        for b in range(4):
            self.hit(bar, b, KICK, 120)
            self.hit(bar, b + 0.5, OPEN, 80)
            self.hit(bar, b + 0.25, HAT, 55)
            self.hit(bar, b + 0.75, HAT, 55)
        for b in (1, 3):
            self.hit(bar, b, CLAP, 100)

    def drums_rock(self, bar):
        for e in range(8):
            self.hit(bar, e / 2, HAT, 90 if e % 2 == 0 else 65)
        self.hit(bar, 0, KICK, 120)
        self.hit(bar, 2, KICK, 115)
        if self.rng.random() < 0.5:
            self.hit(bar, 2.5, KICK, 100)
        self.hit(bar, 1, SNARE, 115)
        self.hit(bar, 3, SNARE, 115)

    def drums_break(self, bar):
        pat = self.rng.choice([
            [(0, KICK), (0.5, KICK), (1, SNARE), (1.75, SNARE), (2.25, KICK), (2.5, KICK), (3, SNARE), (3.75, SNARE)],
            [(0, KICK), (1, SNARE), (1.75, KICK), (2.5, KICK), (3, SNARE)],
            [(0, KICK), (0.75, KICK), (1, SNARE), (2.5, KICK), (3, SNARE), (3.5, SNARE)],
        ])
        for pos, k in pat:
            self.hit(bar, pos, k, 118 if k == KICK else 110)
        for e in range(16):
            self.hit(bar, e / 4, HAT, 70 if e % 2 == 0 else 45)

    def drums_swing(self, bar):
        for b in range(4):
            self.hit(bar, b, RIDE, 95)
            if b % 2 == 1:
                self.hit(bar, b + 2.0 / 3.0, RIDE, 70)
                self.hit(bar, b, PEDAL, 80)
            self.hit(bar, b, KICK, 45)
        if self.rng.random() < 0.4:
            self.hit(bar, 3 + 2.0 / 3.0, SNARE, 60)

    def drums_halftime(self, bar):
        for e in range(8):
            self.hit(bar, e / 2, HAT, 85 if e % 2 == 0 else 60)
        self.hit(bar, 0, KICK, 120)
        if self.rng.random() < 0.5:
            self.hit(bar, 1.5, KICK, 100)
        self.hit(bar, 2, SNARE, 120)

    def drums_waltz(self, bar):
        self.hit(bar, 0, KICK, 120)
        self.hit(bar, 1, SNARE, 80)
        self.hit(bar, 2, SNARE, 80)
        for e in range(6):
            self.hit(bar, e / 2, HAT, 80 if e % 2 == 0 else 55)

    def drums_hiphop(self, bar):
        sw = 0.08  # swung sixteenths
        for e in range(16):
            pos = e / 4 + (sw if e % 2 == 1 else 0)
            self.hit(bar, pos, HAT, 75 if e % 2 == 0 else 45)
        for pos in (0, 0.75, 2.5):
            self.hit(bar, pos, KICK, 120)
        self.hit(bar, 1, SNARE, 118)
        self.hit(bar, 3, SNARE, 118)

    def drums_dnb(self, bar):
        self.hit(bar, 0, KICK, 120)
        self.hit(bar, 2.5, KICK, 115)
        self.hit(bar, 1, SNARE, 120)
        self.hit(bar, 3, SNARE, 120)
        for e in range(8):
            self.hit(bar, e / 2, HAT, 80)

    # set b only
    def drums_shuffle(self, bar):
        for b in range(4):
            self.hit(bar, b, HAT, 90)
            self.hit(bar, b + 2.0 / 3.0, HAT, 65)
        self.hit(bar, 0, KICK, 120)
        self.hit(bar, 2, KICK, 115)
        self.hit(bar, 1, SNARE, 110)
        self.hit(bar, 3, SNARE, 110)

    def drums_onedrop(self, bar):
        for e in range(8):
            self.hit(bar, e / 2, HAT, 70)
        self.hit(bar, 2, KICK, 120)
        self.hit(bar, 2, RIM, 110)

    def drums_sixeight(self, bar):
        # two dotted-quarter beats of three eighths each
        for e in range(6):
            self.hit(bar, e / 3, HAT, 85 if e % 3 == 0 else 55)
        self.hit(bar, 0, KICK, 120)
        self.hit(bar, 1, SNARE, 110)

    def drums_jazzwaltz(self, bar):
        for b in range(3):
            self.hit(bar, b, RIDE, 90)
            self.hit(bar, b + 2.0 / 3.0, RIDE, 60)
        self.hit(bar, 0, KICK, 70)
        self.hit(bar, 1, PEDAL, 70)

    def drums_latin(self, bar):
        for pos in (0, 1.5, 2, 3.5):
            self.hit(bar, pos, KICK, 110)
        for pos in (0, 0.75, 1.5, 2.5, 3):
            self.hit(bar, pos, RIM, 90)
        for e in range(8):
            self.hit(bar, e / 2, SHAKER, 60)

    def drums_garage(self, bar):
        self.hit(bar, 0, KICK, 120)
        self.hit(bar, 1.75, KICK, 110)
        self.hit(bar, 2.5, KICK, 105)
        self.hit(bar, 1, CLAP, 110)
        self.hit(bar, 3, CLAP, 110)
        for e in range(16):
            pos = e / 4 + (0.06 if e % 2 else 0)
            self.hit(bar, pos, HAT, 60 if e % 2 else 75)

    # ---- pitched parts --------------------------------------------------------------------
    def bassline(self, bar):
        root, _ = self.chord_of(bar)
        base = 36 + root
        style, bt = self.style, self.beat_ticks
        v = lambda: self.rng.randint(85, 110)
        if style in ("four", "garage"):
            for b in range(4):
                self.bass.note(1, self.t(bar, b + 0.5), bt * 0.4, base + 12, v())
        elif style in ("swing",):
            steps = [0, 4, 7, 9] if self.rng.random() < 0.5 else [0, 2, 4, 7]
            for b in range(4):
                self.bass.note(1, self.t(bar, b), bt * 0.9, base + steps[b], v())
        elif style in ("waltz", "jazzwaltz"):
            self.bass.note(1, self.t(bar, 0), bt * 2.5, base, v())
        elif style == "sixeight":
            self.bass.note(1, self.t(bar, 0), bt * 0.9, base, v())
            self.bass.note(1, self.t(bar, 1), bt * 0.9, base + 7, v())
        elif style == "onedrop":
            self.bass.note(1, self.t(bar, 0.5), bt * 0.9, base, v())
            self.bass.note(1, self.t(bar, 2.5), bt * 0.4, base + 7, v())
            self.bass.note(1, self.t(bar, 3), bt * 0.4, base + 5, v())
        elif style == "halftime":
            self.bass.note(1, self.t(bar, 0), bt * 1.4, base, v())
            self.bass.note(1, self.t(bar, 1.5), bt * 1.4, base + 7, v())
        else:
            for pos in (0, 1.5, 2, 3):
                self.bass.note(1, self.t(bar, pos), bt * 0.45, base + (7 if pos == 3 else 0), v())

    def chords(self, bar):
        root, kind = self.chord_of(bar)
        notes = [60 + n for n in triad(root % 12, kind)]
        style, bt = self.style, self.beat_ticks
        if style in ("waltz", "jazzwaltz"):
            for b in (1, 2):
                for n in notes:
                    self.keys.note(2, self.t(bar, b), bt * 0.8, n, 70)
        elif style == "swing":
            for pos in (0, 1 + 2.0 / 3.0, 3):
                for n in notes:
                    self.keys.note(2, self.t(bar, pos), bt * 0.5, n, 65)
        elif style in ("four", "garage", "onedrop"):
            for b in range(self.beats_per_bar):
                for n in notes:
                    self.keys.note(2, self.t(bar, b + 0.5), bt * 0.3, n, 70)
        elif bar < self.intro:
            # the drumless intro: arpeggios so that the pulse is there without drums
            seq = notes + [notes[1] + 12]
            steps = self.beats_per_bar * 2
            for e in range(steps):
                self.keys.note(2, self.t(bar, e / 2), bt * 0.45, seq[e % len(seq)], 75 if e % 2 == 0 else 55)
        else:
            for n in notes:
                self.keys.note(2, self.t(bar, 0), self.bar_ticks * 0.95, n, 60)

    def melody(self, bar):
        root, kind = self.chord_of(bar)
        scale = [0, 2, 3, 5, 7, 8, 10] if kind == "m" else [0, 2, 4, 5, 7, 9, 11]
        pos = 0.0
        while pos < self.beats_per_bar:
            dur = self.rng.choice([0.5, 1, 1, 1.5])
            n = 72 + (root % 12) + self.rng.choice(scale)
            self.lead.note(3, self.t(bar, pos), dur * self.beat_ticks * 0.9, n, self.rng.randint(60, 90))
            pos += dur


STYLES_A = ["four", "rock", "break", "swing", "halftime", "waltz", "hiphop", "dnb"]
STYLES_B = ["four", "rock", "break", "swing", "halftime", "waltz", "shuffle", "onedrop",
            "sixeight", "jazzwaltz", "latin", "garage"]
SOUNDS_A = [(33, 0, 80), (38, 4, 0), (34, 89, 81), (32, 0, 0), (39, 5, 62)]
SOUNDS_B = [(35, 1, 73), (36, 16, 0), (33, 48, 65), (87, 90, 0), (37, 2, 56), (38, 24, 0)]


def tempo_for(style, rng):
    # Where a style is played: a breakbeat or hip-hop groove with sixteenth hats at 64 would be
    # heard, and counted by any DJ, at 128; drum and bass lives at 160 to 180.
    lo, hi = {"dnb": (160, 180), "break": (80, 180), "hiphop": (70, 110), "garage": (120, 140),
              "onedrop": (60, 90), "latin": (80, 130)}.get(style, (60, 180))
    kind = rng.random()
    if kind < 0.6:
        return float(rng.randint(lo, hi))
    if kind < 0.85:
        return rng.randint(lo * 2, hi * 2) / 2.0
    return round(rng.uniform(lo, hi), 2)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("outdir")
    ap.add_argument("--count", type=int, default=40)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--set", choices=["a", "b"], default="a")
    ap.add_argument("--seconds", type=float, default=75)
    args = ap.parse_args()
    if not os.path.exists(SOUNDFONT):
        sys.exit("no soundfont: run scripts/install-bench-bpm-deps.sh")
    rng = random.Random(args.seed * 7919 + (0 if args.set == "a" else 104729))
    styles = STYLES_A if args.set == "a" else STYLES_B
    sounds = SOUNDS_A if args.set == "a" else SOUNDS_B
    os.makedirs(args.outdir, exist_ok=True)
    truth = []
    for i in range(args.count):
        style = styles[i % len(styles)]
        bpm = tempo_for(style, rng)
        intro = rng.choice([0, 0, 4, 8])
        p = Piece(rng, bpm, style, args.seconds * rng.uniform(0.8, 1.3), intro, rng.choice(sounds))
        if args.set == "b":
            # standard, room, power, electronic, 808, jazz, brush
            p.kit = rng.choice([0, 8, 16, 24, 25, 32, 40])
        name = "%s%02d_%s_%g" % (args.set, i, style, bpm)
        mid = os.path.join(args.outdir, name + ".mid")
        wav = os.path.join(args.outdir, name + ".wav")
        mp3 = os.path.join(args.outdir, name + ".mp3")
        p.render(mid)
        subprocess.run(["fluidsynth", "-ni", "-q", "-g", "0.7", "-r", "44100", "-F", wav, SOUNDFONT, mid],
                       check=True, stdout=subprocess.DEVNULL)
        br = rng.choice(["128k", "192k", "320k"])
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", wav, "-codec:a", "libmp3lame", "-b:a", br, mp3],
                       check=True)
        os.remove(wav)
        os.remove(mid)
        truth.append((name + ".mp3", bpm))
        print("%s\t%g" % (name + ".mp3", bpm), flush=True)
    with open(os.path.join(args.outdir, "TRUTH.tsv"), "w") as f:
        for n, b in truth:
            f.write("%s\t%g\n" % (n, b))


if __name__ == "__main__":
    main()
