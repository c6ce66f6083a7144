#!/bin/sh
# Sends krelix-scan Ctrl-C's SIGINT or SIGTERM while it writes its results into a pipe nobody
# reads yet: it must still print every group it confirmed and exit with 128 + the signal.
#   scan_signal.sh PATH-TO-krelix-scan
set -eu
scan=$1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/krelix-signal-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# 800 pairs with long names: far more output than a pipe holds, so the scan blocks writing.
mkdir "$tmp/tree"
long=$(printf '%0200d' 0)
i=0
while [ $i -lt 800 ]; do
    echo "content $i" >"$tmp/tree/a$i-$long"
    echo "content $i" >"$tmp/tree/b$i-$long"
    i=$((i + 1))
done

for case in INT:130 TERM:143; do
    signal=${case%%:*}
    want=${case#*:}
    rm -f "$tmp/out" "$tmp/pipe"
    mkfifo "$tmp/pipe"
    exec 3<>"$tmp/pipe"  # held open, unread: the pipe fills
    "$scan" --flags 0x20 "$tmp/tree" >"$tmp/pipe" 2>/dev/null 3>&- &
    pid=$!
    # The first byte of output means the run is over and the handlers are in place.
    dd bs=1 count=1 <&3 >"$tmp/out" 2>/dev/null
    kill -s "$signal" "$pid"
    cat "$tmp/pipe" >>"$tmp/out" 3>&- &  # ends once the scan and fd 3 close
    reader=$!
    status=0
    wait "$pid" || status=$?
    exec 3>&-
    wait "$reader"
    if [ "$status" != "$want" ]; then
        echo "SIG$signal: exit status $status, want $want" >&2
        exit 1
    fi
    groups=$(grep -c '^$' "$tmp/out" || true)
    if [ "$groups" != 800 ]; then
        echo "SIG$signal: $groups groups printed, want 800" >&2
        exit 1
    fi
done
