#!/usr/bin/env python3
"""Times krelix-scan against fdupes, jdupes and rdfind on corpora from make_corpus.py.

    compare_peers.py [--scan PATH] [--runs N] [--tools krelix,fdupes,jdupes,rdfind]
                     [--timeout SECONDS] [--cold] CORPUS...

Each CORPUS is a folder written by make_corpus.py (tree/ and manifest.json). For every corpus and
tool: one untimed run warms the page cache and its groups are checked against the manifest; then
N timed runs under /usr/bin/time -v (none with --runs 0: a check only), each after emptying the
page cache with --cold. The table gives the medians of wall time, CPU time (user +
system) and peak resident memory, and whether the tool's groups equal the planted ones.
The other tools run as black boxes, with their default hashing and no options beyond recursion.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile

TOOLS = ("krelix", "fdupes", "jdupes", "rdfind")


def command(tool, tree, scan, scratch):
    if tool == "krelix":
        # Only SEARCH_SUBDIRS: the corpus may lie below /tmp and holds dot folders, which the
        # default settings would skip; the peers look everywhere.
        # Without the hash cache: every run reads what it compares (see cache_repeat.py).
        return [scan, "--no-cache", "--flags", "0x20", tree], None
    if tool == "fdupes":
        return ["fdupes", "-r", "-q", tree], None
    if tool == "jdupes":
        return ["jdupes", "-r", "-q", tree], None
    out = os.path.join(scratch, "results.txt")
    return ["rdfind", "-outputname", out, tree], out


def blank_line_groups(data):
    groups, current = [], []
    for line in data.split(b"\n"):
        if line:
            current.append(line)
        elif current:
            groups.append(current)
            current = []
    if current:
        groups.append(current)
    return groups


def rdfind_groups(path):
    by_id = {}
    with open(path, "rb") as f:
        for line in f:
            if line.startswith(b"#"):
                continue
            fields = line.rstrip(b"\n").split(b" ", 7)
            by_id.setdefault(abs(int(fields[1])), []).append(fields[7])
    return [g for g in by_id.values() if len(g) > 1]


def relative(groups, tree):
    root = os.fsencode(tree)
    return sorted(sorted(os.fsdecode(os.path.relpath(p, root)) for p in g) for g in groups)


def drop_page_cache():
    """Empties the page cache (root only), so that the next run reads from the disk."""
    subprocess.run(["sync"], check=True)
    with open("/proc/sys/vm/drop_caches", "w") as f:
        f.write("3\n")


def measure(cmd, timeout, cold=False):
    if cold:
        drop_page_cache()
    with tempfile.NamedTemporaryFile("r") as report:
        proc = subprocess.run(["/usr/bin/time", "-v", "-o", report.name] + cmd,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout)
        text = report.read()
    if proc.returncode != 0:
        raise RuntimeError(f"{cmd[0]} exited with {proc.returncode}")

    def field(name):
        line = next(l for l in text.splitlines() if l.strip().startswith(name))
        return line.rsplit(": ", 1)[1].strip()

    wall = 0.0
    for part in field("Elapsed (wall clock) time").split(":"):
        wall = wall * 60 + float(part)
    cpu = float(field("User time")) + float(field("System time"))
    rss_mb = int(field("Maximum resident set size")) / 1024
    return proc.stdout, wall, cpu, rss_mb


def run_tool(tool, corpus, args):
    tree = os.path.join(corpus, "tree")
    with open(os.path.join(corpus, "manifest.json")) as f:
        planted = json.load(f)["groups"]
    with tempfile.TemporaryDirectory() as scratch:
        cmd, result_file = command(tool, tree, args.scan, scratch)

        def groups_of(stdout):
            raw = rdfind_groups(result_file) if result_file else blank_line_groups(stdout)
            return relative(raw, tree)

        stdout, *_ = measure(cmd, args.timeout)  # warm-up
        found = groups_of(stdout)
        samples = [measure(cmd, args.timeout, args.cold)[1:]
                   for _ in range(args.runs)] or [(0, 0, 0)]
    same = found == planted
    if not same:
        missing = sum(1 for g in planted if g not in found)
        extra = sum(1 for g in found if g not in planted)
        print(f"  {tool}: {missing} planted groups missing, {extra} others reported",
              file=sys.stderr)
    med = [statistics.median(s[i] for s in samples) for i in range(3)]
    return med, same, len(found)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("corpora", nargs="+")
    parser.add_argument("--scan", default="build/tools/krelix-scan/krelix-scan")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--tools", default=",".join(TOOLS))
    parser.add_argument("--timeout", type=float, default=550, help="per single run, seconds")
    parser.add_argument("--cold", action="store_true",
                        help="drop the page cache before every timed run (needs root)")
    args = parser.parse_args()
    args.scan = os.path.abspath(args.scan)
    tools = [t for t in args.tools.split(",") if t]
    for t in tools:
        if t not in TOOLS:
            parser.error(f"unknown tool {t}")

    all_same = True
    print("| corpus | files | GB | tool | wall s | CPU s | peak MB | groups | as planted |")
    print("|---|---:|---:|---|---:|---:|---:|---:|---|")
    for corpus in args.corpora:
        with open(os.path.join(corpus, "manifest.json")) as f:
            m = json.load(f)
        for tool in tools:
            print(f"{os.path.basename(os.path.normpath(corpus))}: {tool} ...", file=sys.stderr)
            (wall, cpu, rss), same, count = run_tool(tool, corpus, args)
            all_same = all_same and same
            print(f"| {m['kind']} | {m['files']} | {m['bytes'] / 1e9:.2f} | {tool} | "
                  f"{wall:.2f} | {cpu:.2f} | {rss:.0f} | {count} | {'yes' if same else 'NO'} |",
                  flush=True)
    return 0 if all_same else 1


if __name__ == "__main__":
    sys.exit(main())
