#!/usr/bin/env python3
"""krelix-scan --json on a tree of hostile names: the document is strict UTF-8 JSON, and its
groups, read back to raw bytes, are exactly the groups -0 prints, in the same order."""
import base64
import json
import os
import subprocess
import sys
import tempfile

scanner = os.path.abspath(sys.argv[1])

NAMES = [
    b"new\nline", b"\nleading newline", b'q"uote', b"back\\slash", b"tab\tand\rcr",
    b"ctl\x01\x1b[31m\x7f", b"-n", b"--json", b"-", b"bad\xff", b"lone\x80cont",
    b"surrogate\xed\xa0\x80", b"overlong\xc0\xaf", b"truncated\xe2\x82", b"\xc3\xa9t\xc3\xa9",
    b"emoji\xf0\x9f\x98\x80", b"sep\xe2\x80\xa8", b" spaced ", b"\\u0041",
]


def nul_groups(out):
    assert out.endswith(b"\0\0") or out == b"", "-0 output does not end a group"
    groups, group = [], []
    for part in out.split(b"\0")[:-1]:
        if part:
            group.append(part)
        else:
            groups.append(group)
            group = []
    return groups


def raw_path(entry):
    if "path_bytes" in entry:
        raw = base64.b64decode(entry["path_bytes"], validate=True)
        try:
            raw.decode("utf-8")
            sys.exit("path_bytes given for a valid UTF-8 path: %r" % raw)
        except UnicodeDecodeError:
            pass
        shown = entry["path"]
        assert "\ufffd" in shown, "display path without U+FFFD: %r" % shown
        return raw
    return entry["path"].encode("utf-8")


def run(*args):
    done = subprocess.run([scanner, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if done.returncode != 0:
        sys.exit("krelix-scan %s: status %d\n%s" % (args, done.returncode, done.stderr.decode()))
    return done.stdout


with tempfile.TemporaryDirectory() as scratch:
    root = os.path.join(os.fsencode(scratch), b"-start")
    for tag in (b"", b"sub\nfolder\xfe"):
        folder = os.path.join(root, tag)
        os.makedirs(folder, exist_ok=True)
        for i, name in enumerate(NAMES):
            # Two groups across both folders, and two more of each folder's last names.
            content = b"even" if i % 2 == 0 else b"odd content"
            if i >= len(NAMES) - 4:
                content += b"/" + tag
            with open(os.path.join(folder, name), "wb") as f:
                f.write(content)
        with open(os.path.join(folder, b"single"), "wb") as f:
            f.write(b"only one" + tag)
    os.chdir(scratch)
    common = ["--flags", "0x20", "--", "-start"]
    expected = nul_groups(run("-0", *common))
    text = run("--json", *common).decode("utf-8")  # strict: any invalid byte fails here
    document = json.loads(text)
    got = [[raw_path(f) for f in g["files"]] for g in document]
    if got != expected:
        sys.exit("--json groups differ from -0 groups:\n%r\n%r" % (got, expected))
    assert len(expected) == 6, "expected six groups, got %d" % len(expected)
    keys = [g["group_key"] for g in document]
    assert len(set(keys)) == len(keys), "group keys repeat: %r" % keys
    for g in document:
        for f in g["files"]:
            assert set(f) <= {"path", "path_bytes", "modified"}, sorted(f)
            info = os.lstat(raw_path(f))
            assert g["size"] == info.st_size, (g["size"], info.st_size)
            assert f["modified"] == int(info.st_mtime), (f["modified"], info.st_mtime)

    os.mkdir("lonely")
    with open("lonely/one", "wb") as f:
        f.write(b"alone")
    assert json.loads(run("--json", "--flags", "0x20", "lonely")) == [], "groups without duplicates"
print("scan_json_check: ok")
