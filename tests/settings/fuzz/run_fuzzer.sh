#!/usr/bin/env bash
# Builds the settings.dat fuzzer with clang's libFuzzer (plus ASan and UBSan) and runs it for a
# bounded time. Exit 77 (skipped) when clang cannot build fuzzers here.
#   run_fuzzer.sh <source root> <work folder> <seconds>
set -uo pipefail
root=$1 work=$2 seconds=${3:-60}
cxx=${KRELIX_FUZZ_CXX:-clang++}

mkdir -p "$work/corpus" || exit 1
if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "skipped: $cxx not found"
    exit 77
fi
probe="$work/probe"
if ! printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' |
        "$cxx" -fsanitize=fuzzer -x c++ - -o "$probe" >/dev/null 2>&1; then
    echo "skipped: $cxx cannot build libFuzzer targets (libclang-rt missing?)"
    exit 77
fi

sources=(
    "$root/tests/settings/fuzz/settings_fuzzer.cpp"
    "$root/src/settings/settings_codec.cpp"
    "$root/src/catalogue/catalogue_text.cpp"
    "$root/src/catalogue/default_catalogue.cpp"
    "$root/src/catalogue/file_category.cpp"
    "$root/src/catalogue/file_type_catalogue.cpp"
    "$root/src/common/text_case.cpp"
    "$root/src/common/text_conversion.cpp"
)
binary="$work/settings_fuzzer"
stale=1
if [ -x "$binary" ]; then
    stale=0
    for f in "${sources[@]}" "$0" "$root"/src/{common,catalogue,settings}/*.h; do
        [ "$f" -nt "$binary" ] && stale=1
    done
fi
if [ "$stale" = 1 ]; then
    echo "building $binary"
    "$cxx" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -DMSGPACK_DEFAULT_API_VERSION=3 -I"$root/src" "${sources[@]}" -o "$binary" || exit 1
fi

# New inputs go to the work corpus; the checked-in seeds are only read. A single allocation over
# 64 MiB counts as a failure: no input of this size may make the reader allocate that much.
log="$work/last_run.log"
"$binary" -max_total_time="$seconds" -max_len=8192 -timeout=10 -malloc_limit_mb=64 \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus" "$root/tests/settings/fuzz_corpus" >"$log" 2>&1
status=$?
grep -E '^(INFO: seed corpus|Done [0-9]+ runs|stat::|==[0-9]+==ERROR|SUMMARY|Test unit written|artifact_prefix)' "$log"
echo "corpus: $(ls "$work/corpus" | wc -l) inputs in $work/corpus; full log $log"
[ $status -ne 0 ] && tail -40 "$log"
exit $status
