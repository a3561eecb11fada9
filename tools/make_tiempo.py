#!/usr/bin/env python3
"""Writes resources/tiempo.wav: the alarm sound, a soft two-note chime made here from sine waves."""
import math, struct, sys, wave

RATE = 22050
def bell(freq, start, length, gain, samples):
    for i in range(int(length * RATE)):
        t = i / RATE
        env = math.exp(-4.0 * t) * min(1.0, t * 200)
        v = gain * env * (math.sin(2 * math.pi * freq * t) + 0.35 * math.sin(2 * math.pi * freq * 2.01 * t)
                          + 0.12 * math.sin(2 * math.pi * freq * 3.02 * t))
        j = int(start * RATE) + i
        if j < len(samples):
            samples[j] += v

samples = [0.0] * int(2.2 * RATE)
bell(880.0, 0.0, 1.2, 0.30, samples)     # A5
bell(659.25, 0.45, 1.6, 0.30, samples)   # E5
bell(880.0, 1.0, 1.2, 0.18, samples)
out = sys.argv[1] if len(sys.argv) > 1 else "resources/tiempo.wav"
with wave.open(out, "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(RATE)
    w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32000)) for s in samples))
