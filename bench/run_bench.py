#!/usr/bin/env python3
"""Times morvane-batch against GraphicsMagick, ImageMagick and libvips on the same files.

Builds a 6000 x 4000 colour test photo (a bundled sample scaled up once) and a 16-bit copy,
runs every operation with every program in turn (alternating, several repetitions), and
writes the medians, the ratio Morvane / fastest peer and the peak memory to RESULTS.md,
followed by the display-build timing of morvane-display-bench and the preview and blur-radius
timings of morvane-transform-bench.
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
SLOW = 30         # seconds; a program this slow on an operation is not run again for it


def run_measured(cmd):
    """Runs a command; returns (seconds, peak resident kilobytes, processor seconds) or None
    when it failed."""
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
    return elapsed, usage.ru_maxrss, usage.ru_utime + usage.ru_stime


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
        "Curves (3 points, RGB)": {
            "morvane": apply("brightness-curve", "curve=" + os.path.join(work, "curve.crv"), "color-space=rgb"),
            "convert": [im, big_tif, os.path.join(work, "curve.pgm"), "-clut", tif_out],
            "vips": ["vips", "maplut", big_tif, tif_out, os.path.join(work, "curve.pgm")],
        },
    })
    # The libvips speed-and-memory pipeline: crop 100 pixels off every edge, shrink by 10%,
    # 3x3 sharpen. vips runs it as three commands with its own fast intermediate format.
    t1, t2 = os.path.join(work, "t1.v"), os.path.join(work, "t2.v")
    kernel = "-1,-1,-1,-1,16,-1,-1,-1,-1"
    ops["Pipeline: crop, shrink 10%, sharpen"] = {
        "morvane": [batch, "chain", big_tif, tif_out, "crop", "left=100", "top=100", "right=5899",
                    "bottom=3899", "+", "resize", "width=5220", "height=3420", "+", "sharpen"],
        "gm": ["gm", "convert", big_tif, "-crop", "5800x3800+100+100", "-resize", "90%",
               "-convolve", kernel, tif_out],
        "convert": [im, big_tif, "-crop", "5800x3800+100+100", "+repage", "-resize", "90%",
                    "-convolve", kernel, tif_out],
        "vips": ["sh", "-c", f"vips crop {big_tif} {t1} 100 100 5800 3800 && vips resize {t1} {t2} 0.9 "
                 f"&& vips conv {t2} {tif_out} {os.path.join(work, 'sharpen.mat')}"],
    }
    # The same work on the 16-bit picture.
    big16 = os.path.join(work, "big16.tif")
    apply16 = lambda *args: [batch, "apply", big16, tif_out, *args]
    ops.update({
        "16-bit: TIFF read+write": {
            "morvane": [batch, "convert", big16, tif_out],
            "gm": ["gm", "convert", big16, "-compress", "none", tif_out],
            "convert": [im, big16, "-compress", "none", tif_out],
            "vips": ["vips", "copy", big16, tif_out],
        },
        "16-bit: Gaussian blur, radius 3": {
            "morvane": apply16("blur", "method=gaussian", "radius=3"),
            "gm": ["gm", "convert", big16, "-gaussian", "0x3", tif_out],
            "convert": [im, big16, "-gaussian-blur", "0x3", tif_out],
            "vips": ["vips", "gaussblur", big16, tif_out, "3"],
        },
        "16-bit: Unsharp mask": {
            "morvane": apply16("sharpen", "method=unsharp-mask", "radius=3"),
            "gm": ["gm", "convert", big16, "-unsharp", "0x3", tif_out],
            "convert": [im, big16, "-unsharp", "0x3", tif_out],
            "vips": ["vips", "sharpen", big16, tif_out],
        },
        "16-bit: Resize to 50% (smooth)": {
            "morvane": apply16("resize", "width=3000", "height=2000"),
            "gm": ["gm", "convert", big16, "-resize", "50%", tif_out],
            "convert": [im, big16, "-resize", "50%", tif_out],
            "vips": ["vips", "resize", big16, tif_out, "0.5"],
        },
        "16-bit: Levels (auto range)": {
            "morvane": apply16("levels-and-color", "dynamic-range=full-range"),
            "gm": ["gm", "convert", big16, "-normalize", tif_out],
            "convert": [im, big16, "-auto-level", tif_out],
        },
        "16-bit: Equalize": {
            "morvane": apply16("equalize"),
            "gm": ["gm", "convert", big16, "-equalize", tif_out],
            "convert": [im, big16, "-equalize", tif_out],
            "vips": ["vips", "hist_equal", big16, tif_out],
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
    # 16 bits: every 8-bit value v becomes v * 257, so the picture spans the whole range.
    scaled = os.path.join(work, "scaled.v")
    subprocess.run(["vips", "linear", big_tif, scaled, "257", "0"], check=True)
    subprocess.run(["vips", "cast", scaled, os.path.join(work, "big16.tif"), "ushort"], check=True)
    os.remove(scaled)
    # The 3-point curve (0,0) (128,150) (255,255): Morvane's spline from its curve file; the
    # peers get a 256-entry table through the same points (a parabola) as a gray PGM.
    with open(os.path.join(work, "curve.crv"), "w") as f:
        f.write("Curve 1.0\nnpts 3\nstyle spline\npoint 0 0 0\npoint 1 128 150\npoint 2 255 255\nend\n")
    xs, ys = (0, 128, 255), (0, 150, 255)
    def parabola(x):
        return sum(ys[i] * ((x - xs[(i + 1) % 3]) * (x - xs[(i + 2) % 3])) /
                   ((xs[i] - xs[(i + 1) % 3]) * (xs[i] - xs[(i + 2) % 3])) for i in range(3))
    table = bytes(max(0, min(255, round(parabola(x)))) for x in range(256))
    with open(os.path.join(work, "curve.pgm"), "wb") as f:
        f.write(b"P5\n256 1\n255\n" + table)
    # The pipeline's 3x3 sharpening kernel (scale 8) for vips conv.
    with open(os.path.join(work, "sharpen.mat"), "w") as f:
        f.write("3 3 8 0\n-1 -1 -1\n-1 16 -1\n-1 -1 -1\n")


def write_results(args, rows, display, transform=None):
    """Writes RESULTS.md from the rows measured so far (called after every operation, so an
    interrupted run still leaves its table)."""
    with open(args.output, "w") as f:
        f.write("# Speed of Morvane against other imaging programs\n\n")
        f.write(f"Date: {datetime.date.today()}  \nMachine: {platform.machine()}, {os.cpu_count()} cores, "
                f"{platform.platform()}  \n")
        f.write(f"Versions: gm `{version(['gm', 'version'])}`, convert `{version([imagemagick(), '-version'])}`, "
                f"vips `{version(['vips', '--version'])}`  \n")
        f.write(f"Median of {args.repeat} runs (a run over {SLOW} s is not repeated; one over {TIME_LIMIT} s is cut "
                f"off and shown as failed) on a 6000 x 4000 colour "
                "picture and its 16-bit copy; ratio = Morvane / fastest peer; memory = peak resident size.\n\n")
        f.write("| Operation | Morvane | gm | convert | vips | Ratio | Processor time (Morvane / fastest peer) "
                "| Peak memory (Morvane / best peer) |\n")
        f.write("|---|---|---|---|---|---|---|---|\n")
        for name, medians, memory, ratio, tried, cpu_medians in rows:
            fastest = min((p for p in medians if p != "morvane"), key=lambda p: medians[p], default=None)
            cpu_cell = (f"{cpu_medians['morvane']:.2f} s / {cpu_medians[fastest]:.2f} s"
                        if fastest and "morvane" in cpu_medians and fastest in cpu_medians else "n/a")
            cell = lambda p: (f"{medians[p]:.3f} s" if p in medians
                              else f"over {TIME_LIMIT} s or failed" if p in tried else "no equivalent")
            peer_mem = min((memory[p] for p in memory if p != "morvane" and memory[p]), default=0)
            f.write(f"| {name} | {cell('morvane')} | {cell('gm')} | {cell('convert')} | {cell('vips')} | "
                    f"{f'{ratio:.2f}×' if ratio else 'n/a'} | {cpu_cell} | {memory.get('morvane', 0) // 1024} MB / "
                    f"{peer_mem // 1024} MB |\n")
        if display:
            f.write("\nDisplay build at 1:1 (`morvane-display-bench`, milliseconds for one rebuild):\n\n```\n"
                    f"{display}\n```\n")
        if transform:
            f.write("\nTransformation windows (`morvane-transform-bench`, milliseconds): a whole preview "
                    "recomputed at the zoom a new preview opens at, and Gaussian blur on Apply at radius 2 "
                    "and 128:\n\n```\n"
                    f"{transform}\n```\n")


def main():
    global TIME_LIMIT
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--batch", default=os.path.join(ROOT, "build", "cli", "morvane-batch"))
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--output", default=os.path.join(HERE, "RESULTS.md"))
    parser.add_argument("--time-limit", type=int, default=TIME_LIMIT,
                        help="seconds after which a run is cut off and counts as failed")
    parser.add_argument("--only", default="", help="run only operations whose name contains this")
    parser.add_argument("--display-bench", default=os.path.join(ROOT, "build", "bench", "morvane-display-bench"))
    parser.add_argument("--transform-bench",
                        default=os.path.join(ROOT, "build", "bench", "morvane-transform-bench"))
    args = parser.parse_args()
    TIME_LIMIT = args.time_limit

    programs = ["morvane", "gm", "convert", "vips"]
    # Work files in memory when there is a memory file system: the timings then measure the
    # programs, not a disk shared with other work.
    base = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(prefix="morvane-bench-", dir=base) as work:
        make_inputs(work, "coffee.png")
        ops = operations(args.batch, work)
        rows = []
        display = None
        if os.path.exists(args.display_bench):
            out = subprocess.run([args.display_bench, os.path.join(work, "big.tif")],
                                 capture_output=True, text=True)
            display = out.stdout.strip() if out.returncode == 0 else None
            print(display)
        transform = None
        if os.path.exists(args.transform_bench):
            out = subprocess.run([args.transform_bench, os.path.join(work, "big.tif")],
                                 capture_output=True, text=True)
            transform = out.stdout.strip() if out.returncode == 0 else None
            print(transform)
        for name, commands in ops.items():
            if args.only and args.only.lower() not in name.lower():
                continue
            times = {p: [] for p in commands}
            cpu = {p: [] for p in commands}
            memory = {p: 0 for p in commands}
            done = {p: False for p in commands}  # failed, or too slow to repeat
            for _ in range(args.repeat):
                for p in programs:  # alternate the programs within each repetition
                    if p not in commands or done[p]:
                        continue
                    measured = run_measured(commands[p])
                    if measured:
                        times[p].append(measured[0])
                        memory[p] = max(memory[p], measured[1])
                        cpu[p].append(measured[2])
                    done[p] = not measured or measured[0] > SLOW
            medians = {p: statistics.median(t) for p, t in times.items() if t}
            peers = [medians[p] for p in medians if p != "morvane"]
            ratio = medians["morvane"] / min(peers) if "morvane" in medians and peers else None
            cpu_medians = {p: statistics.median(t) for p, t in cpu.items() if t}
            rows.append((name, medians, memory, ratio, set(commands), cpu_medians))
            print(name, {p: round(m, 3) for p, m in medians.items()}, ratio and f"{ratio:.2f}x")
            write_results(args, rows, display, transform)

    write_results(args, rows, display, transform)
    print("wrote", args.output)


if __name__ == "__main__":
    main()
