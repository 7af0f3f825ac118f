#!/usr/bin/python3
"""Vocal Remover bench: how much of a centred voice each method leaves, and
how much of the accompaniment it keeps.

Each case is a voice in the middle (the same in both walls but for the
pickup's gain, tone, phase and timing mismatch) over an accompaniment of its
own in each wall, with a little hiss per wall. The output is split by least
squares into what follows the voice, what follows the two accompaniments and
the rest (short two-sided filters, so delays and tone changes are not held
against a method). The table gives, per method, the accompaniment kept over
the voice left, over the voice left and the rest (everything the method
added or distorted), and the voice removed relative to the accompaniment,
all in dB (higher is better), with (L-R)/2 of the same cases beside them.

  bench/quality/vocal_bench.py --build build [--seconds 6] [--cases 4]
      [--split-taps 33] [--pickup bench|wide] [--seed N]

Needs Python 3 with numpy (Debian: python3-numpy).
"""

import argparse
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from quality_bench import (PICKUPS, RATE, band_limit, fractional_delay,  # noqa: E402
                           orchestra, piano, plucked, read_wav, speech, write_wav)

TAPS = 33  # per source, centred: -16..+16 samples (--split-taps)


def mismatch(x, pickup="bench"):
    """The right wall's pickup mismatch of the quality bench."""
    gain, tilt, c, delay, _ = PICKUPS[pickup]
    y = np.convolve(gain * x, [1.0, -tilt], mode="same")
    out = np.empty(len(y))
    x1 = y1 = 0.0
    for i, v in enumerate(y):
        out[i] = -c * v + x1 + c * y1
        x1, y1 = v, out[i]
    return fractional_delay(out, delay)


def lagged(x, start, stop):
    half = TAPS // 2
    columns = [x[start - k : stop - k] for k in range(-half, half + 1)]
    return np.stack(columns, axis=1)


def split(y, sources):
    """Least-squares fit of y by short filters of each source; returns y and
    the part of it that follows each source, over the samples where every
    lag is defined (the fit's own samples, so that the parts and the rest
    are the projection itself, whatever the conditioning)."""
    half = TAPS // 2
    n = len(y)
    size = TAPS * len(sources)
    gram = np.zeros((size, size))
    cross = np.zeros(size)
    blocks = [(start, min(start + 32768, n - half)) for start in range(half, n - half, 32768)]
    for start, stop in blocks:
        a = np.concatenate([lagged(s, start, stop) for s in sources], axis=1)
        gram += a.T @ a
        cross += a.T @ y[start:stop]
    h = np.linalg.solve(gram + 1e-9 * np.trace(gram) / size * np.eye(size), cross)
    parts = [[] for _ in sources]
    for start, stop in blocks:
        for i, s in enumerate(sources):
            parts[i].append(lagged(s, start, stop) @ h[i * TAPS : (i + 1) * TAPS])
    return y[half : n - half], [np.concatenate(p) for p in parts]


def tone_response(cli, workdir):
    """The program's static tone stages (rumble high-pass, hiss low-pass),
    the same in both methods: an impulse in the left wall alone through the
    enhanced Vocal Remover with click repair and noise suppression off and
    the level kept, which then gives a quarter of the impulse response.
    The split takes the sources through it, so that the rumble filter's long
    phase response is not counted as something the method added."""
    folder = os.path.join(workdir, "probe")
    os.makedirs(folder, exist_ok=True)
    n = RATE
    probe = np.zeros(n)
    probe[n // 2] = 0.5
    path = os.path.join(workdir, "probe.wav")
    write_wav(path, [probe, np.zeros(n)])
    args = [cli, "--align", "--function", "vocal", "--method", "enhanced", "--click", "0",
            "--noise", "0", "--keep-level", "-o", folder, path]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return read_wav(os.path.join(folder, "probe.wav")) / 0.25, n // 2


def through(x, response):
    h, centre = response
    size = len(x) + len(h)
    y = np.fft.irfft(np.fft.rfft(x, size) * np.fft.rfft(h, size), size)
    return y[centre : centre + len(x)]


def run_cli(cli, method, stereo, workdir):
    folder = os.path.join(workdir, method)
    os.makedirs(folder, exist_ok=True)
    args = [cli, "--align", "--function", "vocal", "--method", method, "-o", folder, stereo]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return read_wav(os.path.join(folder, os.path.basename(stereo)))


def main():
    global TAPS
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--seconds", type=float, default=6.0)
    parser.add_argument("--cases", type=int, default=4)
    parser.add_argument("--split-taps", type=int, default=TAPS,
                        help="taps per source in the split (odd)")
    parser.add_argument("--pickup", default="bench", choices=sorted(PICKUPS),
                        help="the mismatch between the walls (quality_bench.py's)")
    parser.add_argument("--seed", type=int, default=0, help="other draws of material and noise")
    args = parser.parse_args()
    TAPS = args.split_taps | 1
    cli = os.path.join(args.build, "src", "cli", "sonorel-cli")
    n = int(args.seconds * RATE)
    methods = ["(L-R)/2", "classic", "enhanced"]
    kept = {m: [] for m in methods}
    removed = {m: [] for m in methods}
    clean = {m: [] for m in methods}
    accompaniments = [orchestra, plucked, piano]
    with tempfile.TemporaryDirectory() as workdir:
        response = tone_response(cli, workdir)
        for case in range(args.cases):
            rng = np.random.default_rng(100000 * args.seed + 500 + case)
            voice = speech(n, rng)
            voice *= 0.2 / np.max(np.abs(voice))
            left_acc = accompaniments[case % 3](n, rng)
            right_acc = accompaniments[(case + 1) % 3](n, rng)
            left_acc *= 0.12 / np.max(np.abs(left_acc))
            right_acc *= 0.12 / np.max(np.abs(right_acc))
            right_voice = mismatch(voice, args.pickup)
            left = voice + left_acc + 10 ** (-60 / 20) * rng.standard_normal(n)
            right = right_voice + right_acc + 10 ** (-56 / 20) * rng.standard_normal(n)
            stereo = os.path.join(workdir, f"vocal-{case}.wav")
            write_wav(stereo, [left, right])
            outputs = {"(L-R)/2": 0.5 * (left - right)}
            for method in ("classic", "enhanced"):
                outputs[method] = run_cli(cli, method, stereo, workdir)
            plain = [band_limit(s) for s in (voice, left_acc, right_acc)]
            toned = [band_limit(through(s, response)) for s in (voice, left_acc, right_acc)]
            voice_in = np.mean(plain[0] ** 2)
            acc_in = np.mean(plain[1] ** 2 + plain[2] ** 2)
            for method, out in outputs.items():
                sources = plain if method == "(L-R)/2" else toned
                out = band_limit(out)
                out, (v, a_left, a_right) = split(out, sources)
                voice_out = np.mean(v ** 2)
                acc_out = np.mean((a_left + a_right) ** 2)
                rest = np.mean((out - v - a_left - a_right) ** 2)
                clean[method].append(10 * np.log10(acc_out / (voice_out + rest)))
                kept[method].append(10 * np.log10(acc_out / voice_out))
                removed[method].append(
                    10 * np.log10((acc_out / acc_in) / (voice_out / voice_in)))
            print(f"case {case}: " + "  ".join(
                f"{m}: kept {kept[m][-1]:+.1f} removed {removed[m][-1]:+.1f} "
                f"residual {clean[m][-1]:+.1f}" for m in methods),
                flush=True)
    print()
    print(f"| mean over {args.cases} cases | " + " | ".join(methods) + " |")
    print("|---" * (len(methods) + 1) + "|")
    print("| accompaniment over the voice left (dB) | " +
          " | ".join(f"{np.mean(kept[m]):+.1f}" for m in methods) + " |")
    print("| accompaniment over the voice left and everything else (dB) | " +
          " | ".join(f"{np.mean(clean[m]):+.1f}" for m in methods) + " |")
    print("| voice removed, relative to the accompaniment (dB) | " +
          " | ".join(f"{np.mean(removed[m]):+.1f}" for m in methods) + " |")


if __name__ == "__main__":
    main()
