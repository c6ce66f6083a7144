#!/usr/bin/env bash
# Builds the Debian package from the build tree's binaries into a scratch folder and checks it:
# control fields, the exact file list and modes, the metainfo's release, then the unpacked
# programs answer --version and krelix-scan finds a group.
set -euo pipefail
build=${1:?usage: check-package.sh BUILD_DIR VERSION}
version=${2:?usage: check-package.sh BUILD_DIR VERSION}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }

if ! cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1
then
    cat "$scratch/cpack.log" >&2
    fail "cpack failed"
fi
arch=$(dpkg --print-architecture)
deb="$scratch/out/krelix_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no krelix_${version}_${arch}.deb; cpack made: $(ls "$scratch/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = krelix ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
# Computed by dpkg-shlibdeps from both programs: the C++ runtime, Qt for the window, the hash
# libraries for the search.
depends=$(field Depends)
depended=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libxxhash0 \
               libdeflate0; do
    grep -qxF "$package" <<<"$depended" || fail "Depends lacks $package: $depends"
done

expected="-rwxr-xr-x root/root ./usr/bin/krelix
-rwxr-xr-x root/root ./usr/bin/krelix-scan
-rw-r--r-- root/root ./usr/share/applications/org.krelix.krelix.desktop
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/krelix.svg
-rw-r--r-- root/root ./usr/share/krelix/help/ProductDescription.html
-rw-r--r-- root/root ./usr/share/krelix/help/help.css
-rw-r--r-- root/root ./usr/share/man/man1/krelix-scan.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/krelix.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/org.krelix.krelix.metainfo.xml"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3)
[ "$files" = "$expected" ] || fail "file list differs:
$(diff <(echo "$expected") <(echo "$files") || true)"

root="$scratch/root"
dpkg -x "$deb" "$root"
for program in krelix krelix-scan; do
    file -b "$root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
done
python3 - "$root/usr/share/metainfo/org.krelix.krelix.metainfo.xml" "$version" <<'PY' ||
import sys, xml.etree.ElementTree as t
release = t.parse(sys.argv[1]).getroot().find("releases/release")
sys.exit(None if release is not None and release.get("version") == sys.argv[2] else
         "the newest release in the metainfo is not %s" % sys.argv[2])
PY
    fail "metainfo out of date"
appstreamcli validate-tree --no-net "$root" >"$scratch/tree.log" 2>&1 ||
    { cat "$scratch/tree.log" >&2; fail "appstreamcli validate-tree fails on the unpacked tree"; }

# Both programs load every library they need and say which version they are; neither needs a
# display for it.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/krelix" --version)" = "krelix $version" ] ||
    fail "unpacked krelix --version"
[ "$("$root/usr/bin/krelix-scan" --version)" = "krelix-scan $version" ] ||
    fail "unpacked krelix-scan --version"

tree="$scratch/tree"
mkdir -p "$tree/sub"
printf same >"$tree/a"
printf same >"$tree/sub/b"
printf other >"$tree/c"
"$root/usr/bin/krelix-scan" --flags 0x20 -0 "$tree" >"$scratch/groups" 2>"$scratch/summary" ||
    fail "unpacked krelix-scan failed: $(cat "$scratch/summary")"
printf '%s\0%s\0\0' "$tree/a" "$tree/sub/b" | cmp -s - "$scratch/groups" ||
    fail "unpacked krelix-scan found: $(tr '\0' '|' <"$scratch/groups")"
[ "$(cat "$scratch/summary")" = "Files scanned: 3 , duplicates: 2 " ] ||
    fail "unpacked krelix-scan summary: $(cat "$scratch/summary")"
echo "check-package: ok ($(basename "$deb"): $depends)"
