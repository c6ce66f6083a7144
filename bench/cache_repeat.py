#!/usr/bin/env python3
"""Times repeat searches with the hash cache against a search without it, and jdupes.

    cache_repeat.py [--scan PATH] [--runs N] [--cold] TREE...

For each tree (a corpus from make_corpus.py, its tree/ folder, or any folder such as /usr), in
one interleaved series of runs:
  no-cache  krelix-scan --no-cache
  first     krelix-scan with a new, empty cache file every run
  repeat    krelix-scan with a cache filled by one untimed run before
  jdupes    jdupes -r -q
Prints the median wall time and peak memory of each, and the ratios the cache is judged by.
With --cold the page cache is dropped (root only) before one more repeat run, whose bytes read
from the disk (/usr/bin/time's file system inputs) are set against the bytes of the files whose
size another file shares.
"""

import argparse
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare_peers import drop_page_cache, measure  # noqa: E402


def shared_size_bytes(tree):
    sizes = {}
    for folder, _, names in os.walk(tree):
        for name in names:
            path = os.path.join(folder, name)
            try:
                st = os.lstat(path)
            except OSError:
                continue
            if os.path.isfile(path) and not os.path.islink(path):
                sizes.setdefault(st.st_size, []).append(st.st_ino)
    return sum(size * len(set(inodes)) for size, inodes in sizes.items() if len(set(inodes)) > 1)


def inputs_bytes(cmd):
    """Runs cmd under /usr/bin/time -v; bytes it read from the disk."""
    with tempfile.NamedTemporaryFile("r") as report:
        import subprocess
        subprocess.run(["/usr/bin/time", "-v", "-o", report.name] + cmd,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        for line in report.read().splitlines():
            if line.strip().startswith("File system inputs"):
                return int(line.rsplit(": ", 1)[1]) * 512
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("trees", nargs="+")
    parser.add_argument("--scan", default="build/tools/krelix-scan/krelix-scan")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--cold", action="store_true")
    parser.add_argument("--timeout", type=float, default=900)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as scratch:
        for number, tree in enumerate(args.trees):
            if os.path.isdir(os.path.join(tree, "tree")):
                tree = os.path.join(tree, "tree")
            base = [args.scan, "--flags", "0x20", tree]
            # A cache of the tree's own, as a user who searches just this tree has.
            repeat_cache = os.path.join(scratch, f"repeat-{number}.sqlite")
            measure(base[:1] + ["--cache", repeat_cache] + base[1:], args.timeout)  # fills it
            samples = {"no-cache": [], "first": [], "repeat": [], "jdupes": []}
            outputs = {}
            for run in range(args.runs):
                first_cache = os.path.join(scratch, f"first-{run}.sqlite")
                commands = {
                    "no-cache": base[:1] + ["--no-cache"] + base[1:],
                    "first": base[:1] + ["--cache", first_cache] + base[1:],
                    "repeat": base[:1] + ["--cache", repeat_cache] + base[1:],
                    "jdupes": ["jdupes", "-r", "-q", tree],
                }
                for name, cmd in commands.items():
                    start = time.perf_counter()  # finer than /usr/bin/time's hundredths
                    out, _, _, rss = measure(cmd, args.timeout)
                    samples[name].append((time.perf_counter() - start, rss))
                    if name != "jdupes":
                        outputs.setdefault(name, out)
                for suffix in ("", "-wal", "-shm"):
                    if os.path.exists(first_cache + suffix):
                        os.remove(first_cache + suffix)
            same = len({outputs[name] for name in outputs}) == 1
            medians = {name: (statistics.median(w for w, _ in s), statistics.median(r for _, r in s))
                       for name, s in samples.items()}
            print(f"\n{tree} (median of {args.runs}, warm; krelix outputs equal: {same})")
            print("| run | wall s | peak MB |")
            print("|---|---|---|")
            for name, (wall, rss) in medians.items():
                print(f"| {name} | {wall:.3f} | {rss:.0f} |")
            print(f"repeat vs first: {medians['first'][0] / medians['repeat'][0]:.1f}x faster; "
                  f"repeat vs jdupes: {medians['jdupes'][0] / medians['repeat'][0]:.1f}x; "
                  f"first vs no-cache: {100 * (medians['first'][0] / medians['no-cache'][0] - 1):+.1f}%")
            if args.cold:
                # The walk reads the folders and inodes whatever the cache holds: measured on its
                # own (a size range no file is in), and taken off.
                drop_page_cache()
                walk = inputs_bytes(base[:1] + ["--no-cache", "--min-size", str(2**62)] + base[1:])
                drop_page_cache()
                read = inputs_bytes(base[:1] + ["--cache", repeat_cache] + base[1:])
                drop_page_cache()
                uncached = inputs_bytes(base[:1] + ["--no-cache"] + base[1:])
                candidates = shared_size_bytes(tree)
                print(f"cold: walk alone read {walk / 1e6:.1f} MB; a repeat search "
                      f"{read / 1e6:.1f} MB, {(read - walk) / 1e6:.1f} MB beyond the walk "
                      f"({100 * (read - walk) / max(candidates, 1):.2f}% of the "
                      f"{candidates / 1e6:.1f} MB in files of shared sizes); without the cache "
                      f"{uncached / 1e6:.1f} MB")


if __name__ == "__main__":
    main()
