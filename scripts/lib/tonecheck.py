#!/usr/bin/env python3
"""Listens to a PulseAudio sink for a tone.

Records the sink's monitor (through parec, 48 kHz mono) in 100 ms windows
and measures, by the Goertzel algorithm, how much of each window's energy
lies at the tone's frequency. The tone counts as heard once two windows in
a row carry it loud enough and as most of their energy; silence, noise or
another tone do not count.

    tonecheck.py SERVER SINK HZ SECONDS
        exits 0 once heard; 1 (saying what was heard instead) when the
        tone did not come within SECONDS; 2 when the sink cannot be
        recorded.
"""
import math
import struct
import subprocess
import sys
import time

RATE = 48000
WINDOW = RATE // 10
# Share of a window's energy at the tone, and the tone's amplitude (full
# scale 1), that count as hearing it.
MIN_SHARE = 0.5
MIN_AMPLITUDE = 0.02
WINDOWS_IN_A_ROW = 2


def tone_in(samples, hz):
    """The tone's amplitude and its share of the window's energy."""
    coefficient = 2 * math.cos(2 * math.pi * hz / RATE)
    s1 = s2 = 0.0
    energy = 0.0
    for x in samples:
        s0 = x + coefficient * s1 - s2
        s2, s1 = s1, s0
        energy += x * x
    power = s1 * s1 + s2 * s2 - coefficient * s1 * s2
    amplitude = 2 * math.sqrt(max(power, 0.0)) / len(samples)
    mean_square = energy / len(samples)
    share = (amplitude * amplitude / 2) / mean_square if mean_square > 0 else 0.0
    return amplitude, share


def main():
    if len(sys.argv) != 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    server, sink, hz, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
    recorder = subprocess.Popen(
        ['parec', '--server', server, '--device', sink + '.monitor', '--format=s16le', '--rate=%d' % RATE,
         '--channels=1', '--latency-msec=20', '--raw'],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    deadline = time.monotonic() + seconds
    in_a_row = 0
    best = (0.0, 0.0)
    heard = False
    try:
        while time.monotonic() < deadline:
            data = recorder.stdout.read(WINDOW * 2)
            if len(data) < WINDOW * 2:
                break
            samples = [v / 32768.0 for v in struct.unpack('<%dh' % WINDOW, data)]
            amplitude, share = tone_in(samples, hz)
            best = max(best, (share, amplitude))
            in_a_row = in_a_row + 1 if share >= MIN_SHARE and amplitude >= MIN_AMPLITUDE else 0
            if in_a_row >= WINDOWS_IN_A_ROW:
                heard = True
                break
    finally:
        recorder.terminate()
        _, errors = recorder.communicate()
    if heard:
        return 0
    if recorder.returncode not in (0, -15):
        print('cannot record %s: %s' % (sink, errors.decode(errors='replace').strip()), file=sys.stderr)
        return 2
    print('no %g Hz tone within %g s (at best %.0f%% of the sound at %.3f of full scale)'
          % (hz, seconds, best[0] * 100, best[1]), file=sys.stderr)
    return 1


if __name__ == '__main__':
    sys.exit(main())
