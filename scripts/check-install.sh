#!/usr/bin/env bash
# Checks the built tree and an installation into a scratch prefix: the user guide beside the
# built program, every installed file in its place, a valid desktop entry and icon.
set -euo pipefail
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() { echo "check-install: $*" >&2; exit 1; }

[ -f "$build/src/app/help/ProductDescription.html" ] || fail "no user guide beside the built program"
[ -f "$build/src/app/help/help.css" ] || fail "no style sheet beside the built program"

cmake --install "$build" --prefix "$prefix" >/dev/null

for program in krelix krelix-scan; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program missing or not executable"
done
for f in share/krelix/help/ProductDescription.html share/krelix/help/help.css \
         share/icons/hicolor/scalable/apps/krelix.svg share/applications/org.krelix.krelix.desktop \
         share/metainfo/org.krelix.krelix.metainfo.xml share/man/man1/krelix.1.gz \
         share/man/man1/krelix-scan.1.gz; do
    [ -f "$prefix/$f" ] || fail "$f missing"
done

desktop-file-validate "$prefix/share/applications/org.krelix.krelix.desktop" ||
    fail "desktop entry invalid"
python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' \
    "$prefix/share/icons/hicolor/scalable/apps/krelix.svg" || fail "icon is not well-formed SVG"
python3 - "$prefix/share/krelix/help/ProductDescription.html" <<'PY' || fail "user guide broken"
import sys
from html.parser import HTMLParser

class Links(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.refs = set(), set()
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if "id" in a:
            self.ids.add(a["id"])
        if tag == "a" and a.get("href", "").startswith("#"):
            self.refs.add(a["href"][1:])

p = Links()
p.feed(open(sys.argv[1], encoding="utf-8").read())
missing = p.refs - p.ids
if missing:
    sys.exit("links to missing sections: %s" % sorted(missing))
PY
echo "check-install: ok"
