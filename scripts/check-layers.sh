#!/usr/bin/env bash
# Fails when an include breaks the layers: Qt only in ui/ folders and app/, and dependencies
# pointing one way (common <- platform <- engine <- cache, catalogue, settings, preview <- app;
# platform <- storage <- cache, operations; operations <- app; a ui/ folder may also use
# common/ui and its own folder), and within app/ and operations/ between their rooms. Prints each
# offending line.
set -euo pipefail
cd "$(dirname "$0")/.."

# What each folder under src/ may include, besides itself.
declare -A allowed=(
    [common]=""
    [platform]="common"
    [engine]="common platform"
    [storage]="common platform"
    [cache]="common platform engine storage"
    [catalogue]="common"
    [settings]="common platform engine catalogue"
    [operations]="common platform engine storage"
    [preview]="common"
)

# The rooms of src/app and the rooms each may include, besides itself; main.cpp, the composition
# root, may include any.
declare -A appAllowed=(
    [base]=""
    [results]="base"
    [state]="base results"
    [search]="base results state"
    [commands]="base results state"
    [window]="base results state search commands"
)

# The rooms of src/operations (ui/ is a library of its own above them all), and of its ui/.
declare -A operationsAllowed=(
    [files]=""
    [text]=""
    [selection]=""
    [journal]="files"
    [links]="files journal selection"
    [rename]="files journal"
)
declare -A operationsUiAllowed=(
    [desktop]=""
    [rename]=""
    [commands]="desktop rename"
)

problems=0
report() {
    echo "$1: $2"
    problems=1
}

# An include between two rooms of one folder: $1 the folder (app, operations, operations/ui),
# $2 its table's name, $3 the file's place, $4 the file relative to src/, $5 the include line.
check_room() {
    local -n rooms="$2"
    local room=${4#"$1"/}
    room=${room%%/*}
    [[ $5 =~ ^#include\ \"$1/([a-z_]+)/ ]] || return 0
    local target=${BASH_REMATCH[1]}
    if [[ -z ${rooms[$room]+set} ]]; then
        report "$3" "$1/$room is no room (see $2)"
    elif [[ $target != "$room" && " ${rooms[$room]} " != *" $target "* ]]; then
        report "$3" "$1/$room may not include $1/$target: $5"
    fi
}

while IFS= read -r file; do
    relative=${file#src/}
    folder=${relative%%/*}
    ui=""
    [[ $relative == */ui/* ]] && ui=yes
    while IFS= read -r line; do
        number=${line%%:*}
        text=${line#*:}
        if [[ $text =~ ^#include\ \<Q[A-Za-z]*(/[A-Za-z]+)?\> ]]; then
            [[ -n $ui || $folder == app ]] || report "$file:$number" "Qt outside ui/ and app/: $text"
            continue
        fi
        [[ $text =~ ^#include\ \"([a-z_]+)/(ui/)? ]] || continue
        target=${BASH_REMATCH[1]}
        targetUi=${BASH_REMATCH[2]}
        if [[ $folder == app ]]; then
            [[ $relative == app/*/* ]] && check_room app appAllowed "$file:$number" "$relative" "$text"
            continue
        fi
        if [[ -n $targetUi && -z $ui ]]; then
            report "$file:$number" "a folder without Qt includes a ui/ header: $text"
            continue
        fi
        if [[ -n $targetUi && $target != "$folder" && $target != common ]]; then
            report "$file:$number" "a ui/ folder includes another's ui/: $text"
            continue
        fi
        if [[ $target == "$folder" && $folder == operations ]]; then
            if [[ -z $ui ]]; then
                check_room operations operationsAllowed "$file:$number" "$relative" "$text"
                continue
            fi
            [[ -n $targetUi ]] &&
                check_room operations/ui operationsUiAllowed "$file:$number" "$relative" "$text"
            continue
        fi
        [[ $target == "$folder" ]] && continue
        if [[ " ${allowed[$folder]:-} " != *" $target "* ]]; then
            report "$file:$number" "$folder may not include $target: $text"
        fi
    done < <(grep -n '^#include' "$file" || true)
done < <(git ls-files 'src/*.h' 'src/*.cpp')

if [[ $problems -ne 0 ]]; then
    echo "Include layering broken (see scripts/check-layers.sh)." >&2
    exit 1
fi
echo "Include layering: fine."
