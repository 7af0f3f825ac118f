#!/usr/bin/python3
"""Quality bench of the restoration methods.

Synthesises clean mono programme (four kinds of material, no recordings
needed), degrades each as a mono disc played with a stereo pickup would be at
three severities, restores every case with each method and scores the result
against the clean original. Prints one table (means over the cases, against
(L+R)/2 of the same case) and, with --cases, the figures of every case.

  bench/quality/quality_bench.py --build build [--seconds 12] [--cases]
      [--pickup bench|wide] [--seed N]

--pickup wide and --seed check that a figure holds beyond the cases it was
tuned on: a larger mismatch between the walls (and the other wall the
noisier one), or other draws of the material and the noise.

Needs Python 3 with numpy (Debian: python3-numpy); ffmpeg's adeclick,afftdn
chain is scored when ffmpeg is installed. Methods:
  (L+R)/2, one wall   the plain sum of the walls, and the left wall alone
  classic             sonorel-cli --method classic (the default) --align
  enhanced            sonorel-cli --method enhanced --align
  ffmpeg              (L+R)/2, then ffmpeg -af adeclick,afftdn
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import wave

import numpy as np

RATE = 44100


# ---------------------------------------------------------------- material

def envelope(n, attack, decay, rng):
    t = np.arange(n) / RATE
    return np.minimum(t / attack, 1.0) * np.exp(-t / decay)


def dynamics(n, rng, quiet_share=0.25):
    """A slow level curve with loud and quiet passages (a quiet passage sits
    about 26-32 dB down, so the quiet-passage score has frames to use)."""
    points = max(4, n // (RATE * 2))
    levels = rng.uniform(-6.0, 0.0, points)
    quiet = rng.random(points) < quiet_share
    quiet[1] = True
    levels[quiet] = rng.uniform(-32.0, -26.0, quiet.sum())
    curve = np.interp(np.arange(n), np.linspace(0, n, points), levels)
    kernel = np.hanning(RATE // 5)
    curve = np.convolve(curve, kernel / kernel.sum(), mode="same")
    return 10.0 ** (curve / 20.0)


def orchestra(n, rng):
    out = np.zeros(n)
    t = np.arange(n) / RATE
    for voice in range(6):
        f0 = 110.0 * 2.0 ** (rng.integers(0, 30) / 12.0)
        vibrato = 1.0 + 0.004 * np.sin(2 * np.pi * rng.uniform(4.5, 6.0) * t)
        phase = 2 * np.pi * np.cumsum(f0 * vibrato) / RATE
        for h in range(1, 14):
            if f0 * h > 15000:
                break
            out += np.sin(h * phase + rng.uniform(0, 6.28)) / h ** 1.3
    return out * dynamics(n, rng)


def speech(n, rng):
    out = np.zeros(n)
    pos = 0
    formants = [(700, 1200, 2600), (300, 2300, 3000), (500, 900, 2400), (400, 1700, 2500)]
    while pos < n:
        length = int(rng.uniform(0.12, 0.3) * RATE)
        if rng.random() < 0.25:
            pos += int(rng.uniform(0.2, 0.5) * RATE)  # pause
            continue
        f0 = rng.uniform(95, 170)
        excitation = np.zeros(length)
        period = RATE / f0
        k = 0.0
        while k < length:
            excitation[int(k)] = 1.0
            k += period * rng.uniform(0.98, 1.02)
        excitation += 0.02 * rng.standard_normal(length)
        syllable = np.zeros(length)
        for f in formants[rng.integers(0, len(formants))]:
            r = np.exp(-np.pi * 90.0 / RATE)
            a1, a2 = -2 * r * np.cos(2 * np.pi * f / RATE), r * r
            y1 = y2 = 0.0
            res = np.empty(length)
            for i in range(length):
                y = excitation[i] - a1 * y1 - a2 * y2
                res[i] = y
                y2, y1 = y1, y
            syllable += res / f
        syllable *= np.hanning(length)
        end = min(n, pos + length)
        out[pos:end] += syllable[: end - pos]
        pos += length
    return out * dynamics(n, rng, quiet_share=0.15)


def plucked(n, rng):
    """A bass-heavy plucked instrument (Karplus-Strong): sharp attacks."""
    out = np.zeros(n)
    pos = 0
    level = dynamics(n, rng)
    while pos < n:
        f0 = 41.2 * 2.0 ** (rng.integers(0, 24) / 12.0)
        period = int(RATE / f0)
        length = min(n - pos, int(rng.uniform(0.25, 0.7) * RATE))
        buf = rng.uniform(-1, 1, period)
        note = np.empty(length)
        for i in range(length):
            j = i % period
            note[i] = buf[j]
            buf[j] = 0.996 * 0.5 * (buf[j] + buf[(j + 1) % period])
        out[pos : pos + length] += note * level[pos]
        pos += length
    return out


def piano(n, rng):
    out = np.zeros(n)
    pos = 0
    level = dynamics(n, rng)
    t = np.arange(int(1.2 * RATE)) / RATE
    while pos < n:
        f0 = 220.0 * 2.0 ** (rng.integers(-12, 24) / 12.0)
        note = sum(np.sin(2 * np.pi * f0 * h * np.sqrt(1 + 0.0004 * h * h) * t) / h ** 1.5
                   * np.exp(-t * (1.5 + 0.6 * h)) for h in range(1, 16) if f0 * h < 15000)
        note = note * np.minimum(t / 0.002, 1.0)
        end = min(n, pos + len(note))
        out[pos:end] += note[: end - pos] * level[pos]
        pos += int(rng.uniform(0.15, 0.45) * RATE)
    return out


MATERIALS = {"orchestra": orchestra, "speech": speech, "plucked": plucked, "piano": piano}

# ---------------------------------------------------------------- degradation

SEVERITY = {
    #        hiss dB, crackle/s, ticks/s, scratches/s, rumble dB, common hiss dB
    "light": (-52.0, 40, 1.0, 0.2, -34.0, -66.0),
    "medium": (-44.0, 150, 3.0, 0.6, -28.0, -60.0),
    "heavy": (-36.0, 400, 8.0, 1.5, -22.0, -54.0),
}


def fractional_delay(x, delay):
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x))
    return np.fft.irfft(spectrum * np.exp(-2j * np.pi * f * delay), len(x))


def impulses(n, rate_per_s, rng, width_ms, amplitude):
    """Damped oscillating bursts at random places; returns signal, centres."""
    out = np.zeros(n)
    count = rng.poisson(rate_per_s * n / RATE)
    centres = rng.integers(200, n - 200, count)
    for c in centres:
        w = max(2, int(rng.uniform(*width_ms) * RATE / 1000))
        t = np.arange(w)
        shape = np.exp(-4.0 * t / w) * np.cos(2 * np.pi * rng.uniform(0.05, 0.3) * t + rng.uniform(0, 6.28))
        a = amplitude * rng.uniform(0.3, 1.0) * rng.choice([-1.0, 1.0])
        end = min(n, c + w)
        out[c:end] += a * shape[: end - c]
    return out, centres


# The right wall's mismatch: gain, tilt (a first difference), first-order
# all-pass coefficient, delay in samples; then each wall's hiss relative to
# the severity's (the right wall noisier in the bench, the left in "wide").
PICKUPS = {
    "bench": (0.89, 0.12, 0.15, 0.5, (0.0, 4.0)),
    "wide": (0.72, 0.3, 0.35, 2.3, (3.0, 0.0)),
}


def degrade(clean, severity, rng, pickup="bench"):
    hiss_db, crackle, ticks, scratches, rumble_db, common_db = SEVERITY[severity]
    gain, tilt, c, delay, hiss_offsets_db = PICKUPS[pickup]
    n = len(clean)
    rms = np.sqrt(np.mean(clean ** 2))
    # The pickup's mismatch: gain, tone, phase (an all-pass) and timing.
    right = gain * clean
    right = np.convolve(right, [1.0, -tilt], mode="same")
    ap = np.empty(n)
    x1 = y1 = 0.0
    for i in range(n):  # first-order all-pass
        y = -c * right[i] + x1 + c * y1
        ap[i] = y
        x1, y1 = right[i], y
    right = fractional_delay(ap, delay)
    walls = [clean.copy(), right]
    clicks = []
    wall_hiss = [hiss_db + offset for offset in hiss_offsets_db]
    for w in range(2):
        hiss = rng.standard_normal(n)
        hiss = np.convolve(hiss, [1.0, 0.6], mode="same")
        walls[w] += rms * 10 ** (wall_hiss[w] / 20) * hiss / np.std(hiss)
        crack, _ = impulses(n, crackle, rng, (0.05, 0.3), rms * 0.5)
        walls[w] += crack
        tick, centres = impulses(n, ticks / 2, rng, (0.2, 1.2), 0.5)
        walls[w] += tick
        clicks.extend(centres)
    # Scratches: both walls at once, each with its own shape.
    count = rng.poisson(scratches * n / RATE)
    for c0 in rng.integers(400, n - 400, count):
        w = int(rng.uniform(1.0, 3.5) * RATE / 1000)
        for wall in walls:
            t = np.arange(w)
            wall[c0 : c0 + w] += 0.6 * rng.uniform(0.4, 1.0) * np.sin(
                np.pi * t / w) * rng.uniform(-1, 1, w)
        clicks.append(c0)
    t = np.arange(n) / RATE
    rumble = np.sin(2 * np.pi * 16 * t) + 0.5 * np.sin(2 * np.pi * 27 * t + 1)
    common = rng.standard_normal(n)
    for wall in walls:
        wall += rms * 10 ** (rumble_db / 20) * rumble / np.std(rumble)
        wall += rms * 10 ** (common_db / 20) * common
    return walls[0], walls[1], np.array(sorted(clicks))

# ---------------------------------------------------------------- scoring


def band_limit(x):
    spectrum = np.fft.rfft(x)
    f = np.fft.rfftfreq(len(x), 1.0 / RATE)
    spectrum[(f < 50) | (f > 16000)] = 0
    return np.fft.irfft(spectrum, len(x))


def align(out, ref):
    """Delay and polarity by the phase-transform cross-correlation (within
    +-2000 samples): whitened, so that sustained tones cannot outweigh the
    true lag, and on the scored band only."""
    size = 1 << int(np.ceil(np.log2(2 * len(ref))))
    f = np.fft.rfftfreq(size, 1.0 / RATE)
    cross = np.fft.rfft(ref, size) * np.conj(np.fft.rfft(out, size))
    cross[(f < 50) | (f > 16000)] = 0
    xc = np.fft.irfft(cross / np.maximum(np.abs(cross), 1e-30), size)
    lags = np.concatenate([np.arange(0, 2001), np.arange(-2000, 0)])
    values = np.concatenate([xc[:2001], xc[-2000:]])
    best = np.argmax(np.abs(values))
    lag = lags[best]
    sign = np.sign(values[best]) or 1.0
    return sign * np.roll(out, lag)


def equalise(out, ref, size=4096):
    """The best static linear filter from out to ref (least squares per bin,
    Welch estimate, cut to `size` taps), applied to out."""
    hop = size // 2
    window = np.hanning(size)
    syr = np.zeros(size // 2 + 1, complex)
    syy = np.zeros(size // 2 + 1)
    for start in range(0, len(ref) - size, hop):
        y = np.fft.rfft(out[start : start + size] * window)
        r = np.fft.rfft(ref[start : start + size] * window)
        syr += np.conj(y) * r
        syy += np.abs(y) ** 2
    h = syr / np.maximum(syy, 1e-30)
    impulse = np.fft.irfft(h, size)
    impulse = np.roll(impulse, size // 2) * np.hanning(size)
    full = np.fft.irfft(np.fft.rfft(out, len(out) + size) * np.fft.rfft(impulse, len(out) + size),
                        len(out) + size)
    return full[size // 2 : size // 2 + len(out)]


def snr_db(ref, err):
    return 10 * np.log10(np.sum(ref ** 2) / max(np.sum(err ** 2), 1e-30))


def score(out, ref, clicks):
    out = band_limit(align(out, ref))
    ref = band_limit(ref)
    out = equalise(out, ref)
    err = ref - out
    edge = 8192  # the equaliser's and the methods' start-up
    ref, out, err = ref[edge:-edge], out[edge:-edge], err[edge:-edge]
    clicks = clicks[(clicks > edge) & (clicks < len(ref) + edge)] - edge
    frame = RATE // 10
    frames = len(ref) // frame
    power = np.mean(ref[: frames * frame].reshape(frames, frame) ** 2, axis=1)
    loud = np.percentile(power, 95)
    quiet = power < loud * 0.01
    r = ref[: frames * frame].reshape(frames, frame)[quiet]
    e = err[: frames * frame].reshape(frames, frame)[quiet]
    quiet_snr = snr_db(r, e) if quiet.any() else float("nan")
    mask = np.zeros(len(ref), bool)
    reach = int(0.003 * RATE)
    for c in clicks:
        mask[max(0, c - reach) : c + reach] = True
    click_db = 10 * np.log10(np.mean(err[mask] ** 2) / np.mean(ref ** 2)) if mask.any() else 0.0
    size, hop = 2048, 1024
    f = np.fft.rfftfreq(size, 1.0 / RATE)
    band = (f >= 50) & (f <= 16000)
    distances = []
    window = np.hanning(size)
    floor = 1e-10 * loud * size
    for start in range(0, len(ref) - size, hop):
        pr = np.abs(np.fft.rfft(ref[start : start + size] * window))[band] ** 2
        po = np.abs(np.fft.rfft(out[start : start + size] * window))[band] ** 2
        distances.append(np.sqrt(np.mean((10 * np.log10((pr + floor) / (po + floor))) ** 2)))
    return {"snr": snr_db(ref, err), "quiet": quiet_snr, "click": click_db,
            "lsd": float(np.mean(distances))}

# ---------------------------------------------------------------- methods


def write_wav(path, channels):
    data = np.clip(np.stack(channels, axis=1), -1.0, 32767 / 32768)
    with wave.open(path, "wb") as w:
        w.setnchannels(len(channels))
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes((data * 32768).astype("<i2").tobytes())


def read_wav(path):
    with wave.open(path, "rb") as w:
        raw = np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(float) / 32768
        return raw.reshape(-1, w.getnchannels())[:, 0]


def run_cli(cli, method, stereo_path, workdir):
    folder = os.path.join(workdir, method)
    os.makedirs(folder, exist_ok=True)
    args = [cli, "--align", "--hiss", "24", "-o", folder, stereo_path]
    if method != "classic":
        args[1:1] = ["--method", method]
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return read_wav(os.path.join(folder, os.path.basename(stereo_path)))


def run_driver(driver, left, right, workdir):
    source = os.path.join(workdir, "in.f32")
    target = os.path.join(workdir, "out.f32")
    np.stack([left, right], axis=1).astype("<f4").tofile(source)
    subprocess.run([driver, source, target, str(RATE)], check=True, stderr=subprocess.DEVNULL)
    return np.fromfile(target, "<f4").astype(float)


def run_ffmpeg(left, right, workdir):
    source = os.path.join(workdir, "sum.wav")
    target = os.path.join(workdir, "ffmpeg.wav")
    write_wav(source, [0.5 * (left + right)])
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", source, "-af", "adeclick,afftdn",
                    target], check=True)
    return read_wav(target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build", help="the build folder with sonorel-cli")
    parser.add_argument("--seconds", type=float, default=12.0, help="length of each case")
    parser.add_argument("--cases", action="store_true", help="print every case's figures")
    parser.add_argument("--driver", action="store_true",
                        help="run the enhanced method through bench/enhanced_run")
    parser.add_argument("--materials", default=",".join(MATERIALS))
    parser.add_argument("--severities", default=",".join(SEVERITY))
    parser.add_argument("--methods", default="one wall,classic,enhanced,ffmpeg",
                        help="the methods scored besides (L+R)/2, for shorter tuning runs")
    parser.add_argument("--pickup", default="bench", choices=sorted(PICKUPS),
                        help="the mismatch between the walls")
    parser.add_argument("--seed", type=int, default=0, help="other draws of material and noise")
    args = parser.parse_args()
    cli = os.path.join(args.build, "src", "cli", "sonorel-cli")
    methods = [m for m in args.methods.split(",") if m != "ffmpeg"]
    have_ffmpeg = shutil.which("ffmpeg") is not None
    if have_ffmpeg and "ffmpeg" in args.methods.split(","):
        methods.append("ffmpeg")
    results = {m: [] for m in ["(L+R)/2"] + methods}
    n = int(args.seconds * RATE)
    with tempfile.TemporaryDirectory() as workdir:
        for m_index, material in enumerate(args.materials.split(",")):
            for s_index, severity in enumerate(args.severities.split(",")):
                rng = np.random.default_rng(100000 * args.seed + 1000 * m_index + s_index + 1)
                clean = MATERIALS[material](n, rng)
                clean *= 0.25 / np.max(np.abs(clean))
                left, right, clicks = degrade(clean, severity, rng, args.pickup)
                peak = max(np.max(np.abs(left)), np.max(np.abs(right)))
                if peak > 0.99:  # keep the 16-bit transfer unclipped
                    left, right, clean = (x * 0.99 / peak for x in (left, right, clean))
                name = f"{material}-{severity}.wav"
                stereo = os.path.join(workdir, name)
                write_wav(stereo, [left, right])
                outputs = {"(L+R)/2": 0.5 * (left + right)}
                if "one wall" in methods:
                    outputs["one wall"] = left
                if "classic" in methods:
                    outputs["classic"] = run_cli(cli, "classic", stereo, workdir)
                if "enhanced" in methods:
                    outputs["enhanced"] = (
                        run_cli(cli, "enhanced", stereo, workdir) if not args.driver else
                        run_driver(os.path.join(args.build, "bench", "enhanced_run"),
                                   left, right, workdir))
                if "ffmpeg" in methods:
                    outputs["ffmpeg"] = run_ffmpeg(left, right, workdir)
                for method, out in outputs.items():
                    results[method].append(score(out, clean, clicks))
                if args.cases:
                    base = results["(L+R)/2"][-1]
                    line = " ".join(f"{m}: {results[m][-1]['snr'] - base['snr']:+.1f}"
                                    for m in methods)
                    print(f"{material:9s} {severity:6s} SNR vs (L+R)/2  {line}", flush=True)
    print_table(results, methods)


def print_table(results, methods):
    base = results["(L+R)/2"]
    columns = ["(L+R)/2"] + methods
    print()
    print("| mean over %d cases, against (L+R)/2 | " % len(base) + " | ".join(columns) + " |")
    print("|---" * (len(columns) + 1) + "|")
    for key, label in [("snr", "SNR after the best static equaliser (dB)"),
                       ("quiet", "SNR in quiet passages (dB)"),
                       ("click", "residual error around clicks (dB)")]:
        cells = []
        for m in columns:
            deltas = [r[key] - b[key] for r, b in zip(results[m], base)]
            cells.append(f"{np.nanmean(deltas):+.1f}")
        print(f"| {label} | " + " | ".join(cells) + " |")
    worst = []
    for m in columns:
        worst.append(f"{min(r['snr'] - b['snr'] for r, b in zip(results[m], base)):+.1f}")
    print("| worst case SNR (dB) | " + " | ".join(worst) + " |")
    print("| log-spectral distance (dB, absolute) | " +
          " | ".join(f"{np.mean([r['lsd'] for r in results[m]]):.1f}" for m in columns) + " |")
    print("| absolute for (L+R)/2: SNR %.1f, quiet %.1f, click %.1f dB |" % (
        np.mean([b["snr"] for b in base]), np.nanmean([b["quiet"] for b in base]),
        np.mean([b["click"] for b in base])))


if __name__ == "__main__":
    sys.exit(main())
