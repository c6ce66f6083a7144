#!/usr/bin/env bash
# shoot.sh BUILD_DIR OUTPUT_FOLDER: runs krelix-shots on a 1600x1000 Xvfb screen, with twm for
# the title bars when it is installed (the window shots need no window manager).
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
rc=$(dirname "$(realpath "$0")")/twmrc
exec xvfb-run -a -s "-screen 0 1600x1000x24" sh -c '
    if command -v twm >/dev/null; then
        LC_ALL=C twm -f "$3" 2>/dev/null &
        sleep 2
    fi
    QT_QPA_PLATFORM=xcb "$1/tools/krelix-shots/krelix-shots" "$2"' sh "$build" "$out" "$rc"
