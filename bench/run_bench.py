#!/usr/bin/env python3
"""Times morvane-batch against GraphicsMagick, ImageMagick and libvips on the same files.

Builds a 6000 x 4000 colour test photo (a bundled sample scaled up once) and a 16-bit copy,
runs every operation with every program in turn (alternating, several repetitions), and
writes the medians, the ratio Morvane / fastest peer and the peak memory to RESULTS.md.
"""
import argparse
import datetime
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


TIME_LIMIT = 180  # seconds; a run beyond this counts as failed


def run_measured(cmd):
    """Runs a command; returns (seconds, peak resident kilobytes) or None when it failed."""
    start = datetime.datetime.now()
    proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    timer = __import__("threading").Timer(TIME_LIMIT, proc.kill)
    timer.start()
    _, status, usage = os.wait4(proc.pid, 0)
    timer.cancel()
    elapsed = (datetime.datetime.now() - start).total_seconds()
    proc.returncode = os.waitstatus_to_exitcode(status)
    err = proc.stderr.read().decode(errors="replace") if proc.stderr else ""
    if proc.returncode != 0:
        sys.stderr.write(f"failed: {' '.join(cmd)}\n{err}\n")
        return None
    return elapsed, usage.ru_maxrss


def version(cmd):
    try:
        out = subprocess.run(cmd, capture_output=True, text=True, timeout=30)
        return (out.stdout or out.stderr).splitlines()[0].strip()
    except (OSError, IndexError, subprocess.TimeoutExpired):
        return "not installed"


def imagemagick():
    """ImageMagick's convert: the packaged one, ahead of any other program of that name."""
    return "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


def operations(batch, work):
    """Each operation: name -> {program: command}. A missing program means no equivalent."""
    big_tif, big_jpg, big_png = (os.path.join(work, f) for f in ("big.tif", "big.jpg", "big.png"))
    out = lambda ext: os.path.join(work, "out." + ext)
    ops = {
        "TIFF read+write": {
            "morvane": [batch, "convert", big_tif, out("tif")],
            "gm": ["gm", "convert", big_tif, "-compress", "none", out("tif")],
            "convert": [imagemagick(), big_tif, "-compress", "none", out("tif")],
            "vips": ["vips", "copy", big_tif, out("tif")],
        },
        "JPEG read+write (q 90)": {
            "morvane": [batch, "convert", big_jpg, out("jpg"), "--quality", "90"],
            "gm": ["gm", "convert", big_jpg, "-quality", "90", out("jpg")],
            "convert": [imagemagick(), big_jpg, "-quality", "90", out("jpg")],
            "vips": ["vips", "copy", big_jpg, out("jpg") + "[Q=90]"],
        },
        "PNG read+write": {
            "morvane": [batch, "convert", big_png, out("png")],
            "gm": ["gm", "convert", big_png, out("png")],
            "convert": [imagemagick(), big_png, out("png")],
            "vips": ["vips", "copy", big_png, out("png")],
        },
        "Colour reduction to 256 (GIF)": {
            "morvane": [batch, "convert", big_tif, out("gif")],
            "gm": ["gm", "convert", big_tif, "-colors", "256", out("gif")],
            "convert": [imagemagick(), big_tif, "-colors", "256", out("gif")],
        },
    }
    im = imagemagick()
    tif_out = out("tif")
    apply = lambda *args: [batch, "apply", big_tif, tif_out, *args]
    ops.update({
        "Gaussian blur, radius 3": {
            "morvane": apply("blur", "method=gaussian", "radius=3"),
            "gm": ["gm", "convert", big_tif, "-gaussian", "0x3", tif_out],
            "convert": [im, big_tif, "-gaussian-blur", "0x3", tif_out],
            "vips": ["vips", "gaussblur", big_tif, tif_out, "3"],
        },
        "Gaussian blur, radius 30": {
            "morvane": apply("blur", "method=gaussian", "radius=30"),
            "gm": ["gm", "convert", big_tif, "-gaussian", "0x30", tif_out],
            "convert": [im, big_tif, "-gaussian-blur", "0x30", tif_out],
            "vips": ["vips", "gaussblur", big_tif, tif_out, "30"],
        },
        "Unsharp mask": {
            "morvane": apply("sharpen", "method=unsharp-mask", "radius=3"),
            "gm": ["gm", "convert", big_tif, "-unsharp", "0x3", tif_out],
            "convert": [im, big_tif, "-unsharp", "0x3", tif_out],
            "vips": ["vips", "sharpen", big_tif, tif_out],
        },
        "Median 3x3": {
            "morvane": apply("blur", "method=median-3x3"),
            "gm": ["gm", "convert", big_tif, "-median", "1", tif_out],
            "convert": [im, big_tif, "-statistic", "median", "3x3", tif_out],
            "vips": ["vips", "rank", big_tif, tif_out, "3", "3", "4"],
        },
        "Resize to 50% (smooth)": {
            "morvane": apply("resize", "width=3000", "height=2000"),
            "gm": ["gm", "convert", big_tif, "-resize", "50%", tif_out],
            "convert": [im, big_tif, "-resize", "50%", tif_out],
            "vips": ["vips", "resize", big_tif, tif_out, "0.5"],
        },
        "Resize to 150% (smooth)": {
            "morvane": apply("resize", "width=9000", "height=6000"),
            "gm": ["gm", "convert", big_tif, "-resize", "150%", tif_out],
            "convert": [im, big_tif, "-resize", "150%", tif_out],
            "vips": ["vips", "resize", big_tif, tif_out, "1.5"],
        },
        "Rotate 90°": {
            "morvane": apply("mirror-rotate", "orientation=rotate-90-cw"),
            "gm": ["gm", "convert", big_tif, "-rotate", "90", tif_out],
            "convert": [im, big_tif, "-rotate", "90", tif_out],
            "vips": ["vips", "rot", big_tif, tif_out, "d90"],
        },
        "Levels (auto range)": {
            "morvane": apply("levels-and-color", "dynamic-range=full-range"),
            "gm": ["gm", "convert", big_tif, "-normalize", tif_out],
            "convert": [im, big_tif, "-auto-level", tif_out],
        },
        "Equalize": {
            "morvane": apply("equalize"),
            "gm": ["gm", "convert", big_tif, "-equalize", tif_out],
            "convert": [im, big_tif, "-equalize", tif_out],
            "vips": ["vips", "hist_equal", big_tif, tif_out],
        },
        "Floyd-Steinberg halftone": {
            "morvane": apply("halftone", "method=error-diffusion"),
            "gm": ["gm", "convert", big_tif, "-monochrome", tif_out],
            "convert": [im, big_tif, "-dither", "FloydSteinberg", "-monochrome", tif_out],
        },
    })
    return ops


def make_inputs(work, repeat_source):
    src = os.path.join(ROOT, "samples", repeat_source)
    big_tif = os.path.join(work, "big.tif")
    subprocess.run(["vips", "resize", src, big_tif, "10", "--vscale", "13.333333"], check=True)
    subprocess.run(["vips", "crop", big_tif, os.path.join(work, "crop.tif"), "0", "0", "6000", "4000"], check=True)
    os.replace(os.path.join(work, "crop.tif"), big_tif)
    subprocess.run(["vips", "copy", big_tif, os.path.join(work, "big.jpg") + "[Q=95]"], check=True)
    subprocess.run(["vips", "copy", big_tif, os.path.join(work, "big.png")], check=True)
    subprocess.run(["vips", "cast", big_tif, os.path.join(work, "big16.tif"), "ushort"], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--batch", default=os.path.join(ROOT, "build", "cli", "morvane-batch"))
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--output", default=os.path.join(HERE, "RESULTS.md"))
    args = parser.parse_args()

    programs = ["morvane", "gm", "convert", "vips"]
    with tempfile.TemporaryDirectory(prefix="morvane-bench-") as work:
        make_inputs(work, "coffee.png")
        ops = operations(args.batch, work)
        rows = []
        for name, commands in ops.items():
            times = {p: [] for p in commands}
            memory = {p: 0 for p in commands}
            for _ in range(args.repeat):
                for p in programs:  # alternate the programs within each repetition
                    if p not in commands:
                        continue
                    measured = run_measured(commands[p])
                    if measured:
                        times[p].append(measured[0])
                        memory[p] = max(memory[p], measured[1])
            medians = {p: statistics.median(t) for p, t in times.items() if t}
            peers = [medians[p] for p in medians if p != "morvane"]
            ratio = medians["morvane"] / min(peers) if "morvane" in medians and peers else None
            rows.append((name, medians, memory, ratio))
            print(name, {p: round(m, 3) for p, m in medians.items()}, ratio and f"{ratio:.2f}x")

    with open(args.output, "w") as f:
        f.write("# Speed of Morvane against other imaging programs\n\n")
        f.write(f"Date: {datetime.date.today()}  \nMachine: {platform.machine()}, {os.cpu_count()} cores, "
                f"{platform.platform()}  \n")
        f.write(f"Versions: gm `{version(['gm', 'version'])}`, convert `{version([imagemagick(), '-version'])}`, "
                f"vips `{version(['vips', '--version'])}`  \n")
        f.write(f"Median of {args.repeat} runs on a 6000 x 4000 colour picture; ratio = Morvane / fastest peer; "
                "memory = peak resident size.\n\n")
        f.write("| Operation | Morvane | gm | convert | vips | Ratio | Peak memory (Morvane / best peer) |\n")
        f.write("|---|---|---|---|---|---|---|\n")
        for name, medians, memory, ratio in rows:
            cell = lambda p: f"{medians[p]:.3f} s" if p in medians else "no equivalent"
            peer_mem = min((memory[p] for p in memory if p != "morvane" and memory[p]), default=0)
            f.write(f"| {name} | {cell('morvane')} | {cell('gm')} | {cell('convert')} | {cell('vips')} | "
                    f"{f'{ratio:.2f}×' if ratio else 'n/a'} | {memory.get('morvane', 0) // 1024} MB / "
                    f"{peer_mem // 1024} MB |\n")
    print("wrote", args.output)


if __name__ == "__main__":
    main()
