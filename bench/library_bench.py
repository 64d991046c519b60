#!/usr/bin/env python3
"""Times `morvane-batch batch` over a library of photos against the peers' ways of doing the
same work on many files, and the per-file cost on small pictures.

Library: COUNT photos of 2 MP (1732 x 1155, JPEG q 90, cut from a bundled sample enlarged, each
from another place) resized to 50% and sharpened with a 3 x 3 kernel, written as JPEG q 85:
  - morvane-batch batch (all cores, one process),
  - morvane-batch one process per file, run by GNU parallel on every core,
  - vips, two commands per file (resize, then the sharpening convolution) run by GNU parallel,
  - gm mogrify and ImageMagick mogrify, one process each with their default thread settings.
Small pictures: COUNT pictures of 100 x 67, one file at a time: morvane-batch batch --jobs 1
(resize and sharpen) against one vips command per file (resize alone), as milliseconds per
file: what a batch run costs per file once its libraries are loaded.

The table replaces the section between the library markers in RESULTS.md (or is added at its
end). Peak memory is the largest resident size of any one process of the run.
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
BEGIN, END = "<!-- library batch: begin -->", "<!-- library batch: end -->"
KERNEL = "-1,-1,-1,-1,16,-1,-1,-1,-1"


def run_measured(cmd, cwd=None):
    """(seconds, peak resident kilobytes of the largest process) or None when it failed."""
    start = datetime.datetime.now()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    elapsed = (datetime.datetime.now() - start).total_seconds()
    err = proc.stderr.read().decode(errors="replace")
    if os.waitstatus_to_exitcode(status) != 0:
        sys.stderr.write(f"failed: {' '.join(cmd[:8])} ...\n{err[-2000:]}\n")
        return None
    return elapsed, usage.ru_maxrss


def make_library(work, count, width, height, name):
    """COUNT JPEGs of width x height cut from an enlarged sample, each from another place."""
    src = os.path.join(work, name)
    os.makedirs(src)
    master = os.path.join(work, f"master-{width}.v")
    subprocess.run(["vips", "resize", os.path.join(ROOT, "samples", "coffee.png"), master,
                    str(2.2 * width / 400)], check=True)
    out = subprocess.run(["vipsheader", "-f", "width", master], capture_output=True, text=True, check=True)
    mw = int(out.stdout)
    out = subprocess.run(["vipsheader", "-f", "height", master], capture_output=True, text=True, check=True)
    mh = int(out.stdout)
    for i in range(count):
        left = (i * 37) % max(1, mw - width)
        top = (i * 53) % max(1, mh - height)
        subprocess.run(["vips", "extract_area", master, os.path.join(src, f"p{i:04d}.jpg") + "[Q=90]",
                        str(left), str(top), str(width), str(height)], check=True)
    os.remove(master)
    return src


def library_commands(batch, src, out, width, height, jobs):
    files = sorted(os.listdir(src))
    chain = ["resize", f"width={width // 2}", f"height={height // 2}", "+", "sharpen"]
    mat = os.path.join(os.path.dirname(src), "sharpen.mat")
    with open(mat, "w") as f:
        f.write("3 3 8 0\n-1 -1 -1\n-1 16 -1\n-1 -1 -1\n")
    im = "/usr/bin/mogrify" if os.path.exists("/usr/bin/mogrify") else "mogrify"
    return {
        "morvane batch": ([batch, "batch", "--quiet", "--format", "jpeg", "--quality", "85", "--out", out, src,
                           "--", *chain], None),
        "morvane, a process per file": (["parallel", "--quote", "-j", str(jobs), batch, "batch", "--quiet",
                                         "--jobs", "1", "--format", "jpeg", "--quality", "85", "--out", out,
                                         "{}", "--", *chain, ":::", *files], src),
        "vips per file (parallel)": (["parallel", "-j", str(jobs),
                                      f"vips resize {{}} {out}/{{.}}.v 0.5 && vips conv {out}/{{.}}.v "
                                      f"{out}/{{.}}.jpg[Q=85] {mat} && rm {out}/{{.}}.v", ":::", *files], src),
        "gm mogrify": (["gm", "mogrify", "-output-directory", out, "-resize", "50%", "-convolve", KERNEL,
                        "-quality", "85", *files], src),
        "ImageMagick mogrify": ([im, "-path", out, "-resize", "50%", "-convolve", KERNEL, "-quality", "85",
                                 *files], src),
    }


def measure(commands, out, repeat):
    """name -> (median seconds, peak kilobytes); programs alternate within each repetition."""
    times = {name: [] for name in commands}
    memory = {name: 0 for name in commands}
    for _ in range(repeat):
        for name, (cmd, cwd) in commands.items():
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            measured = run_measured(cmd, cwd)
            if measured:
                times[name].append(measured[0])
                memory[name] = max(memory[name], measured[1])
    return {name: (statistics.median(t), memory[name]) for name, t in times.items() if t}


def write_section(path, text):
    old = open(path).read() if os.path.exists(path) else ""
    block = f"{BEGIN}\n{text}{END}\n"
    if BEGIN in old and END in old:
        new = old[:old.index(BEGIN)] + block + old[old.index(END) + len(END) + 1:]
    else:
        new = old + ("\n" if old and not old.endswith("\n\n") else "") + block
    with open(path, "w") as f:
        f.write(new)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--batch", default=os.path.join(ROOT, "build", "cli", "morvane-batch"))
    parser.add_argument("--count", type=int, default=500)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--output", default=os.path.join(HERE, "RESULTS.md"))
    args = parser.parse_args()
    jobs = os.cpu_count() or 1
    base = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(prefix="morvane-library-", dir=base) as work:
        out = os.path.join(work, "out")
        big = make_library(work, args.count, 1732, 1155, "photos")
        rows = measure(library_commands(args.batch, big, out, 1732, 1155, jobs), out, args.repeat)
        small = make_library(work, args.count, 100, 67, "small")
        small_cmds = {
            "morvane batch --jobs 1": ([args.batch, "batch", "--quiet", "--jobs", "1", "--format", "jpeg",
                                        "--quality", "85", "--out", out, small, "--", "resize", "width=50",
                                        "height=33", "+", "sharpen"], None),
            "vips, a command per file": (["sh", "-c", f'for f in *.jpg; do vips resize "$f" "{out}/$f[Q=85]" 0.5; done'],
                                         small),
        }
        per_file = measure(small_cmds, out, args.repeat)

    fastest_peer = min((t for name, (t, _) in rows.items() if not name.startswith("morvane batch")), default=None)
    text = (f"\n## A library of photos (`morvane-batch batch`)\n\nDate: {datetime.date.today()}  \n"
            f"Machine: {platform.machine()}, {jobs} cores. {args.count} photos of 2 MP (JPEG q 90) resized "
            f"to 50% and sharpened (3 x 3), written as JPEG q 85; median of {args.repeat} runs; peak memory "
            "is that of the largest single process.\n\n| Program | Seconds | Photos per second | Peak memory |\n"
            "|---|---|---|---|\n")
    for name, (t, kb) in rows.items():
        text += f"| {name} | {t:.2f} s | {args.count / t:.1f} | {kb // 1024} MB |\n"
    if fastest_peer and "morvane batch" in rows:
        text += f"\nRatio morvane batch / fastest other: {rows['morvane batch'][0] / fastest_peer:.2f}×\n"
    text += f"\nPer-file cost on {args.count} pictures of 100 x 67, one file at a time:\n\n"
    for name, (t, kb) in per_file.items():
        text += f"- {name}: {1000 * t / args.count:.1f} ms per file\n"
    text += "\n"
    write_section(args.output, text)
    print(text)


if __name__ == "__main__":
    main()
