#!/usr/bin/env bash
# Fails when an include breaks the layers: Qt only in ui/ folders and app/, and dependencies
# pointing one way (common <- platform <- engine <- cache, catalogue, settings, preview <- app;
# platform <- storage <- cache, operations; operations <- app; a ui/ folder may also use common/ui and its own folder). Prints each
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

# The rooms of src/operations (ui/ is a library of its own above them all).
declare -A operationsAllowed=(
    [files]=""
    [text]=""
    [selection]=""
    [journal]="files"
    [links]="files journal selection"
    [rename]="files journal"
)

problems=0
report() {
    echo "$1: $2"
    problems=1
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
            room=${relative#app/}
            room=${room%%/*}
            if [[ $text =~ ^#include\ \"app/([a-z_]+)/ && $relative == app/*/* ]]; then
                targetRoom=${BASH_REMATCH[1]}
                if [[ -z ${appAllowed[$room]+set} ]]; then
                    report "$file:$number" "app/$room is no room of the window (see appAllowed)"
                elif [[ $targetRoom != "$room" && " ${appAllowed[$room]} " != *" $targetRoom "* ]]; then
                    report "$file:$number" "app/$room may not include app/$targetRoom: $text"
                fi
            fi
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
        if [[ $target == "$folder" && $folder == operations && -z $ui ]]; then
            room=${relative#operations/}
            room=${room%%/*}
            if [[ $text =~ ^#include\ \"operations/([a-z_]+)/ ]]; then
                targetRoom=${BASH_REMATCH[1]}
                if [[ -z ${operationsAllowed[$room]+set} ]]; then
                    report "$file:$number" "operations/$room is no room (see operationsAllowed)"
                elif [[ $targetRoom != "$room" &&
                    " ${operationsAllowed[$room]} " != *" $targetRoom "* ]]; then
                    report "$file:$number" "operations/$room may not include operations/$targetRoom: $text"
                fi
            fi
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
