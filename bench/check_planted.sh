#!/bin/sh
# Checks that krelix-scan reports exactly the planted groups of three small generated corpora.
#   check_planted.sh PATH-TO-krelix-scan
set -eu
here=$(dirname "$0")
scan=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/krelix-planted-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
python3 "$here/make_corpus.py" small "$tmp/small" --files 3000 --bytes 3e7 >/dev/null
# Twelve files above the inline limit, so that the workers hash them.
python3 "$here/make_corpus.py" large "$tmp/large" --files 12 --bytes 2.6e7 >/dev/null
python3 "$here/make_corpus.py" mixed "$tmp/mixed" --scale 0.005 >/dev/null
python3 "$here/compare_peers.py" --scan "$scan" --tools krelix --runs 0 \
    "$tmp/small" "$tmp/large" "$tmp/mixed"
