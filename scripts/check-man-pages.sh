#!/usr/bin/env bash
# Checks the generated man pages: groff formats them without a warning (as lintian checks them),
# and krelix-scan(1) documents every option that krelix-scan --help lists.
set -euo pipefail
man_dir=${1:?usage: check-man-pages.sh MAN_DIR KRELIX_SCAN}
scanner=${2:?usage: check-man-pages.sh MAN_DIR KRELIX_SCAN}

fail() { echo "check-man-pages: $*" >&2; exit 1; }

for page in "$man_dir"/krelix.1 "$man_dir"/krelix-scan.1; do
    [ -f "$page" ] || fail "$page missing"
    [ -f "$page.gz" ] || fail "$page.gz missing"
    cmp -s "$page" <(gzip -dc "$page.gz") || fail "$page.gz is not $page"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || fail "man failed on $page"
    [ -z "$warnings" ] || fail "$page: $warnings"
done

# Options as the page spells them for troff: "--min-size" is written "\-\-min\-size".
missing=()
while IFS= read -r option; do
    grep -qF -- "${option//-/\\-}" "$man_dir/krelix-scan.1" || missing+=("$option")
done < <("$scanner" --help | grep -oE -- '(^|[ ,])--?[a-z0-9][a-z0-9-]*' | sed 's/^[ ,]*//' | sort -u)
[ ${#missing[@]} -eq 0 ] || fail "krelix-scan(1) does not document: ${missing[*]}"
echo "check-man-pages: ok"
