#!/usr/bin/env python3
"""Deterministic test corpora for duplicate finders, written outside the repository.

    make_corpus.py small DEST [--files N] [--bytes B] [--scale S] [--seed N]
    make_corpus.py large DEST [--files N] [--bytes B] [--scale S] [--seed N]
    make_corpus.py mixed DEST [--scale S] [--seed N]
    make_corpus.py verify DEST

DEST/tree/ receives the files, DEST/manifest.json the planted duplicate groups: every set of two
or more files with equal content, as paths relative to the tree (non-UTF-8 bytes survive as
surrogate escapes). The same arguments always give the same bytes. No file is empty, linked or
special, so that every tool, whatever its defaults for those, must find exactly these groups.

small  many small files (log-uniform sizes) with planted copies and same-size decoys
large  files of one size that differ only in their first or their last byte
mixed  a home-folder-like tree: documents, photos, music, videos, source trees and dot folders,
       with imported-twice photos, a copied project, identical licence files and odd names
verify hashes every file of DEST/tree and checks the manifest against what it finds
"""

import argparse
import hashlib
import json
import math
import os
import random
import sys

CHUNK = 1 << 20


class Corpus:
    """Writes files under a root and remembers which ones were written with equal content."""

    def __init__(self, dest, seed):
        self.root = os.path.join(dest, "tree")
        if os.path.exists(self.root):
            sys.exit(f"{self.root} exists; remove it first")
        self.dest = dest
        self.rng = random.Random(seed)
        self.pool = self.rng.randbytes(8 * CHUNK)
        self.next_id = 0
        self.by_content = {}  # content id -> relative paths
        self.files = 0
        self.bytes = 0

    def unique(self, size):
        """New content of the given size, distinct from every other: an 8-byte id leads it."""
        self.next_id += 1
        return ("u", self.next_id, size)

    def body(self, content):
        kind, ident, size = content[:3]
        if kind == "u":
            head = ident.to_bytes(8, "little")
            start = (ident * 7919) % (len(self.pool) - CHUNK)
            parts = [head]
            left = size - len(head)
            while left > 0:
                n = min(left, CHUNK)
                parts.append(self.pool[start:start + n])
                left -= n
            data = b"".join(parts)[:size]
            if len(content) > 3:  # a decoy: same size, last byte changed
                data = data[:-1] + bytes([(data[-1] + content[3]) % 256])
            return data
        raise ValueError(kind)

    def write(self, rel, content, data=None):
        path = os.path.join(os.fsencode(self.root), os.fsencode(rel))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if data is None:
            data = self.body(content)
        with open(path, "wb") as out:
            out.write(data)
        rel_text = os.fsdecode(os.path.relpath(path, os.fsencode(self.root)))
        self.by_content.setdefault(content, []).append(rel_text)
        self.files += 1
        self.bytes += len(data)
        return data

    def finish(self, kind, args):
        groups = sorted(sorted(paths) for paths in self.by_content.values() if len(paths) > 1)
        manifest = {
            "kind": kind,
            "arguments": args,
            "files": self.files,
            "bytes": self.bytes,
            "duplicate_files": sum(len(g) for g in groups),
            "groups": groups,
        }
        with open(os.path.join(self.dest, "manifest.json"), "w") as out:
            json.dump(manifest, out, indent=0)
        print(f"{kind}: {self.files} files, {self.bytes / 1e9:.2f} GB, {len(groups)} groups "
              f"of {manifest['duplicate_files']} files in {self.root}")


def log_uniform_max(mean, low):
    """Upper bound of a log-uniform size range starting at low whose mean is the given one."""
    lo, hi = low * 2.0, mean * 1000.0
    for _ in range(100):
        mid = (lo + hi) / 2
        if (mid - low) / math.log(mid / low) < mean:
            lo = mid
        else:
            hi = mid
    return int(lo)


def make_small(c, files, total):
    low = 64
    high = log_uniform_max(total / files, low)
    rng = c.rng
    written = 0
    folder = 0
    while written < files:
        size = int(math.exp(rng.uniform(math.log(low), math.log(high))))
        content = c.unique(size)
        name = f"d{folder // 100:03d}/s{folder % 100:02d}/f{written:06d}.bin"
        data = c.write(name, content)
        written += 1
        roll = rng.random()
        if roll < 0.08 and written < files:  # planted copies, 1 to 3 of them, elsewhere
            for k in range(rng.randint(1, 3)):
                if written >= files:
                    break
                other = rng.randrange(0, max(1, files // 100))
                c.write(f"d{other // 100:03d}/copies/c{written:06d}_{k}.bin", content, data)
                written += 1
        elif roll < 0.12 and written < files:  # same size, other content: must be hashed
            c.write(f"d{folder // 100:03d}/decoys/x{written:06d}.bin",
                    content + (1 + rng.randrange(255),))
            written += 1
        if written % 100 == 0:
            folder += 1


def make_large(c, files, total):
    size = max(2, total // files)
    base = bytearray(c.pool[:min(size, len(c.pool))])
    while len(base) < size:
        base += c.pool[:min(size - len(base), len(c.pool))]
    base[0] = 0
    base[-1] = 0
    # Variants by first byte and by last byte; a few of each are written twice.
    half = files // 2
    specs = []
    for side in ("first", "last"):
        count = half if side == "first" else files - half
        pairs = count // 5
        singles = count - 2 * pairs
        for v in range(1, pairs + singles + 1):
            specs.append((side, v, 2 if v <= pairs else 1))
    n = 0
    for side, v, copies in specs:
        a, b = (v, 0) if side == "first" else (0, v)
        base[0], base[-1] = a, b
        for k in range(copies):
            c.write(f"{side}/v{v:03d}_{k}.dat", ("l", side, v), bytes(base))
            n += 1


def make_mixed(c, scale):
    rng = c.rng

    def count(n):
        return max(2, int(n * scale))

    def pick(low, high):
        return rng.randint(low, high)

    # Below a tenth of the full size the media files shrink too, so that quick runs stay quick.
    media = min(1.0, scale * 10)

    def pick_media(low, high):
        return max(1000, int(rng.randint(low, high) * media))

    odd = ["résumé 2021.odt", "notes, draft.txt", 'say "hi".txt', "-dash.txt", "tab\there.txt",
           "日本語.txt", "semi;colon.txt", "  spaced  .txt"]
    # Documents, some saved twice as "name (1)".
    for i in range(count(6000)):
        content = c.unique(pick(2_000, 120_000))
        data = c.write(f"home/Documents/{'work' if i % 3 else 'private'}/doc{i:05d}.pdf", content)
        if rng.random() < 0.05:
            c.write(f"home/Documents/Downloads/doc{i:05d} (1).pdf", content, data)
    for i, name in enumerate(odd):
        content = c.unique(pick(100, 5000))
        data = c.write(f"home/Documents/odd/{name}", content)
        if i % 2 == 0:
            c.write(f"home/Documents/odd/copy of {name}", content, data)
    c.write(b"home/Documents/odd/latin1-\xe9t\xe9.txt", c.unique(777))
    # Photos, about a sixth imported twice.
    for i in range(count(1300)):
        content = c.unique(pick_media(800_000, 2_600_000))
        data = c.write(f"home/Pictures/Camera/2023/IMG_{i:05d}.JPG", content)
        if rng.random() < 0.16:
            c.write(f"home/Pictures/Backup/import-{i % 7}/IMG_{i:05d}.jpg", content, data)
    # Music, a few ripped twice; videos above the pool's large-file limit, one copied.
    for i in range(count(150)):
        content = c.unique(pick_media(3_000_000, 7_000_000))
        data = c.write(f"home/Music/Album {i // 12:02d}/Track {i % 12:02d}.mp3", content)
        if i % 25 == 0:
            c.write(f"home/Music/Unsorted/track{i}.mp3", content, data)
    for i in range(count(8)):
        content = c.unique(pick_media(40_000_000, 90_000_000))
        data = c.write(f"home/Videos/clip{i:02d}.mkv", content)
        if i == 0:
            c.write("home/Videos/old/clip00 copy.mkv", content, data)
    # Source trees: one project copied whole, identical licence files everywhere.
    licence = c.unique(1071)
    licence_data = c.body(licence)
    project = [(f"src/mod{j // 40:02d}/file{j:04d}.c", c.unique(pick(300, 20_000)))
               for j in range(count(1200))]
    for p in range(count(10)):
        c.write(f"home/code/project{p:02d}/LICENSE", licence, licence_data)
        for j in range(count(1300)):
            c.write(f"home/code/project{p:02d}/src/f{j:04d}.py", c.unique(pick(200, 15_000)))
    for rel, content in project:
        data = c.write(f"home/code/app/{rel}", content)
        c.write(f"home/code/app-backup/{rel}", content, data)
    # Dot folders: settings and caches, small and unique.
    for i in range(count(6000)):
        folder = ".config/app" if i % 2 else ".cache/thumbs"
        c.write(f"home/{folder}{i % 20}/item{i:05d}", c.unique(pick(50, 30_000)))


def verify(dest):
    root = os.fsencode(os.path.join(dest, "tree"))
    with open(os.path.join(dest, "manifest.json")) as f:
        manifest = json.load(f)
    by_hash = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            digest = hashlib.sha256()
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(CHUNK), b""):
                    digest.update(block)
            key = (os.path.getsize(path), digest.digest())
            by_hash.setdefault(key, []).append(os.fsdecode(os.path.relpath(path, root)))
    found = sorted(sorted(g) for g in by_hash.values() if len(g) > 1)
    if found != manifest["groups"]:
        sys.exit(f"manifest disagrees with the tree: {len(found)} groups found, "
                 f"{len(manifest['groups'])} planted")
    print(f"manifest holds: {len(found)} groups")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("kind", choices=["small", "large", "mixed", "verify"])
    parser.add_argument("dest")
    parser.add_argument("--files", type=int)
    parser.add_argument("--bytes", type=float, help="total size in bytes (1e9 style allowed)")
    parser.add_argument("--scale", type=float, default=1.0, help="multiplies the default sizes")
    parser.add_argument("--seed", type=int, default=20240611)
    args = parser.parse_args()
    if args.kind == "verify":
        verify(args.dest)
        return
    os.makedirs(args.dest, exist_ok=True)
    c = Corpus(args.dest, args.seed)
    if args.kind == "small":
        files = args.files or max(10, int(200_000 * args.scale))
        total = args.bytes or 2.6e9 * args.scale
        make_small(c, files, total)
    elif args.kind == "large":
        files = args.files or 60
        total = args.bytes or 3.6e9 * args.scale
        make_large(c, files, int(total))
    else:
        make_mixed(c, args.scale)
    c.finish(args.kind, vars(args))


if __name__ == "__main__":
    main()
