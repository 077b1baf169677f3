#!/usr/bin/env python3
"""Runs anivor-cli over the hostile corpus and measures every run with /usr/bin/time.

    python3 scripts/hostile-measure.py [--cli build/bin/anivor-cli] [--corpus DIR] [--quick]
                                       [--memory-limit SIZE] [--max-seconds 20] [--max-mb 1536]
                                       [--report FILE]

Without --corpus the corpus is made afresh (scripts/hostile-corpus.py) in a temporary
folder; a folder, /dev/zero and a named pipe are added as inputs. Each input goes through
image-info, convert, gif-info, gif-frames, make, wizard, an actor wizard, frame-op,
painter, avi2gif and gif2avi. A run passes when it ends by
itself with exit code 0 or 1 within the time, stays under the peak memory, and, when it
refuses, says why in a line of our own (no library text, no sanitizer report), and leaves
no temporary file. Prints one
line per run and a summary; exits 1 when any run failed.
"""
import argparse
import os
import runpy
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import types

HERE = os.path.dirname(os.path.abspath(__file__))
# The quick run (part of make test): a few inputs of each kind through the commands that
# matter most for them, with a small budget.
QUICK_PLAN = {
    "gif-screen-16384.gif": ["wizard", "make", "gif2avi"],
    "gif-frame-16384-short.gif": ["gif-frames", "frame-op"],
    "avi-rle8-8192.avi": ["avi2gif"],
    "avi-rle8-8192-claims-a-million.avi": ["avi2gif"],
    "avi-rle8-16000-long.avi": ["avi2gif"],
    "gif-frame-65535.gif": ["gif-info"],
    "gif-no-frames.gif": ["make", "gif-frames"],
    "gif-zero-screen.gif": ["wizard"],
    "gif-extensions-only.gif": ["make"],
    "gif-tiny-subblocks.gif": ["gif-info"],
    "gif-animated.gif": ["gif-frames"],
    "bmp-rle8-16384-eob.bmp": ["convert"],
    "bmp-rle8-16384-lines.bmp": ["convert"],
    "bmp-65535-header.bmp": ["image-info", "wizard"],
    "png-16384-tiny.png": ["convert"],
    "png-65535-header.png": ["image-info"],
    "jpeg-16384-progressive.jpg": ["convert"],
    "ico-16384-doubled.ico": ["convert"],
    "ico-png-65535.ico": ["make"],
    "folder.gif": ["gif-info", "convert"],
    "zero": ["image-info"],
    "pipe.gif": ["gif-frames", "make"],
}
QUICK_CUTS = 4  # cut GIFs, spread over the file, through gif-frames

RAW_TEXTS = ("basic_filebuf", "std::", "bad_alloc", "vector::", "terminate called", "AddressSanitizer",
             "runtime error:", "Segmentation", "what():", "filesystem error")


def load_corpus_module():
    """The corpus script's functions (its file name is not an importable module name)."""
    return types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "hostile-corpus.py")))


def small_bmp(path):
    """A 4 x 4 24-bit picture: the second picture of the wizard runs."""
    info = struct.pack("<IiiHHIIiiII", 40, 4, 4, 1, 24, 0, 48, 2835, 2835, 0, 0)
    pixels = bytes(v for i in range(16) for v in (i * 16, 255 - i * 16, 128))
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 54 + 48, 0, 0, 54) + info + pixels)


def commands(path, work, other):
    out_bmp, out_gif, out_dir = os.path.join(work, "out.bmp"), os.path.join(work, "out.gif"), os.path.join(work, "frames")
    out_avi = os.path.join(work, "out.avi")
    return [
        ("image-info", ["image-info", path]),
        ("convert", ["convert", path, out_bmp]),
        ("gif-info", ["gif-info", path]),
        ("gif-frames", ["gif-frames", path, out_dir]),
        ("make", ["make", "-o", out_gif, path]),
        ("wizard", ["wizard", "0", path, other, "-n", "4", "-o", out_gif]),
        ("actor", ["wizard", "94", other, other, "--actor", path, "-n", "4", "-o", out_gif]),
        ("frame-op", ["frame-op", "Blur", path, "-o", out_bmp]),
        ("painter", ["painter", "Twist", "50", path, "-o", out_bmp]),
        ("avi2gif", ["avi2gif", path, "-o", out_gif]),
        ("gif2avi", ["gif2avi", path, "-o", out_avi]),
    ]


def measure(cli, args, limit, max_seconds, env):
    timing = tempfile.NamedTemporaryFile(delete=False)
    timing.close()
    full = ["/usr/bin/time", "-f", "%e %M", "-o", timing.name, cli]
    if limit:
        full += ["--memory-limit", limit]
    full += args
    start = time.monotonic()
    try:
        proc = subprocess.run(full, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=max_seconds * 3, env=env)
        rc, err = proc.returncode, proc.stderr.decode(errors="replace")
    except subprocess.TimeoutExpired as e:
        rc, err = None, "killed after %d s" % (max_seconds * 3)
    wall = time.monotonic() - start
    seconds, peak_mb = wall, 0.0
    try:
        with open(timing.name) as f:
            fields = f.read().split()
        # /usr/bin/time writes "Command exited with non-zero status N" before its line.
        seconds, peak_mb = float(fields[-2]), int(fields[-1]) / 1024.0
    except (OSError, ValueError, IndexError):
        pass
    os.unlink(timing.name)
    return rc, err, seconds, peak_mb


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", default=os.path.join(HERE, "..", "build", "bin", "anivor-cli"))
    parser.add_argument("--corpus")
    parser.add_argument("--quick", action="store_true")
    parser.add_argument("--memory-limit", default="")
    parser.add_argument("--max-seconds", type=float, default=20.0)
    parser.add_argument("--max-mb", type=float, default=1536.0)
    parser.add_argument("--report")
    a = parser.parse_args()
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("hostile-measure: /usr/bin/time is missing (Debian package: time)")

    tmp = tempfile.mkdtemp(prefix="anivor-hostile-")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", ANIVOR_HOME=os.path.join(tmp, "home"))
    try:
        corpus = a.corpus
        if not corpus:
            corpus = os.path.join(tmp, "corpus")
            os.makedirs(corpus)
            for name, data in load_corpus_module().corpus(a.quick).items():
                with open(os.path.join(corpus, name), "wb") as f:
                    f.write(data)
        inputs = sorted(os.path.join(corpus, n) for n in os.listdir(corpus))
        special = os.path.join(tmp, "special")
        os.makedirs(special)
        pipe = os.path.join(special, "pipe.gif")
        os.mkfifo(pipe)
        inputs += [os.path.join(special, "folder.gif"), "/dev/zero", pipe]
        os.makedirs(inputs[-3])
        other = os.path.join(tmp, "b.bmp")
        small_bmp(other)

        cuts = [p for p in inputs if os.path.basename(p).startswith("gif-cut-")]
        quick_cuts = set(cuts[len(cuts) * (i + 1) // (QUICK_CUTS + 1)] for i in range(QUICK_CUTS)) if cuts else set()
        lines, failures, worst_s, worst_mb, runs = [], [], 0.0, 0.0, 0
        for path in inputs:
            name = os.path.basename(path)
            for command, args in commands(path, os.path.join(tmp, "work"), other):
                if a.quick:
                    wanted = ["gif-frames"] if path in quick_cuts else QUICK_PLAN.get(name, [])
                    if command not in wanted:
                        continue
                work = os.path.join(tmp, "work")
                shutil.rmtree(work, ignore_errors=True)
                os.makedirs(os.path.join(work, "frames"))
                rc, err, seconds, mb = measure(a.cli, args, a.memory_limit, a.max_seconds, env)
                runs += 1
                worst_s, worst_mb = max(worst_s, seconds), max(worst_mb, mb)
                message = next((l for l in err.splitlines() if "warning:" not in l), "")
                problems = []
                if rc is None:
                    problems.append("did not end")
                elif rc not in (0, 1):
                    problems.append("exit code %d" % rc)
                if seconds >= a.max_seconds:
                    problems.append("%.1f s" % seconds)
                if mb >= a.max_mb:
                    problems.append("%.0f MB" % mb)
                if rc == 1 and not message.startswith("anivor-cli " + args[0] + ": "):
                    problems.append("no message of ours")
                if any(t in err for t in RAW_TEXTS):
                    problems.append("raw library text")
                leftovers = [f for f in os.listdir(work) if f not in ("frames", "out.bmp", "out.gif", "out.avi")]
                if leftovers:
                    problems.append("left behind: " + ", ".join(leftovers))
                line = "%-34s %-10s rc=%-4s %6.2f s %8.1f MB  %s" % (name, command, rc, seconds, mb,
                                                                    message[len("anivor-cli " + args[0] + ": "):][:110]
                                                                    if rc == 1 else "")
                if problems:
                    line += "   FAILED: " + "; ".join(problems)
                    failures.append(line)
                lines.append(line)
                print(line, flush=True)
        summary = "%d runs over %d inputs: slowest %.2f s, largest peak %.1f MB, %d failed" % (
            runs, len(inputs), worst_s, worst_mb, len(failures))
        print(summary)
        if a.report:
            with open(a.report, "w") as f:
                f.write("\n".join(lines + [summary]) + "\n")
        for f in failures:
            print(f, file=sys.stderr)
        return 1 if failures else 0
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
