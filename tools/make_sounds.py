#!/usr/bin/env python3
"""Generates the programs' three sounds into resources/sounds/ (standard library only).

MOVE  a soft wooden click: 260 ms, 16-bit mono PCM at 22050 Hz
MATE  a rising three-note chime: 540 ms, 8-bit mono PCM at 22050 Hz
CHAT  a gentle blip: 100 ms, 8-bit mono PCM at 22050 Hz

The output is deterministic (the click's noise comes from a seeded generator), so running the script again
reproduces the committed files byte for byte.
"""
import math
import os
import random
import struct
import wave

RATE = 22050
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "sounds")


def frames(ms):
    return int(RATE * ms / 1000)


def fade(samples, fade_in_ms, fade_out_ms):
    """Raised-cosine ramps at both ends, so that no sound starts or stops with a click."""
    n = len(samples)
    a, b = frames(fade_in_ms), frames(fade_out_ms)
    for i in range(min(a, n)):
        samples[i] *= 0.5 - 0.5 * math.cos(math.pi * i / a)
    for i in range(min(b, n)):
        samples[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / b)
    return samples


def normalise(samples, peak):
    top = max(abs(s) for s in samples) or 1.0
    return [s * peak / top for s in samples]


def wooden_click():
    rng = random.Random(1251)
    n = frames(260)
    out = [0.0] * n
    # The body of the knock: a few damped resonances of a small hardwood block.
    for freq, amp, decay in ((420.0, 1.0, 0.030), (1180.0, 0.55, 0.014), (2350.0, 0.25, 0.007)):
        for i in range(n):
            t = i / RATE
            out[i] += amp * math.exp(-t / decay) * math.sin(2 * math.pi * freq * t)
    # The contact: a very short burst of low-passed noise.
    lp = 0.0
    for i in range(frames(6)):
        lp += 0.35 * (rng.uniform(-1.0, 1.0) - lp)
        out[i] += 0.6 * lp * math.exp(-i / frames(1.5))
    return fade(normalise(out, 0.55), 0.8, 40)


def chime():
    n = frames(540)
    out = [0.0] * n
    # C6, E6, G6 struck one after another, each with a soft octave partial, ringing into the next.
    for start_ms, freq in ((0, 1046.5), (110, 1318.5), (220, 1568.0)):
        s = frames(start_ms)
        for i in range(s, n):
            t = (i - s) / RATE
            env = math.exp(-t / 0.16) * min(1.0, t / 0.004)
            out[i] += env * (math.sin(2 * math.pi * freq * t) + 0.25 * math.sin(4 * math.pi * freq * t))
    return fade(normalise(out, 0.7), 1, 60)


def blip():
    n = frames(100)
    out = []
    phase = 0.0
    for i in range(n):
        # A short upward glide from A5 to E6 under a bell-shaped envelope.
        freq = 880.0 + (1318.5 - 880.0) * i / n
        phase += 2 * math.pi * freq / RATE
        out.append(math.sin(math.pi * i / n) ** 2 * math.sin(phase))
    return fade(normalise(out, 0.6), 2, 10)


def write(name, samples, bits):
    with wave.open(os.path.join(OUT, name + ".wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(bits // 8)
        w.setframerate(RATE)
        if bits == 16:
            data = b"".join(struct.pack("<h", max(-32767, min(32767, round(s * 32767)))) for s in samples)
        else:
            data = bytes(max(1, min(255, 128 + round(s * 127))) for s in samples)
        w.writeframes(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write("MOVE", wooden_click(), 16)
    write("MATE", chime(), 8)
    write("CHAT", blip(), 8)


if __name__ == "__main__":
    main()
