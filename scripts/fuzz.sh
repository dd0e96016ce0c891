#!/bin/sh
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for
# FUZZ_SECONDS seconds (default 30), two at a time, seeded with the corpus that
# the normal build's regression test replays (the texts in
# tests/fuzz/corpus/<target>/, the pictures and sound files the build made in
# <build>/fuzz-corpus) and the files the asset generator wrote into
# <build>/data (default build/). Prints each run's final figures; fails on any
# finding, whose input is left in build-fuzz/findings/ (a new known-bad input
# belongs in the corpus makers or the texts, with its outcome in
# tests/fuzz/corpus/expected.txt).
set -e
cd "$(dirname "$0")/.."
secs=${FUZZ_SECONDS:-30}
data=${1:-build}/data
built=${1:-build}/fuzz-corpus  # the corpus pictures and sounds the build made
out=build-fuzz

cmake -S . -B "$out" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUORVEX_FUZZ=ON -DQUORVEX_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets="string_load state_load wav_load ogg_load image_load"
cmake --build "$out" --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)

seed() {  # seed TARGET FILES...
  dir="$out/corpus/$1"
  shift
  mkdir -p "$dir"
  for f in "$@"; do [ -f "$f" ] && cp "$f" "$dir/"; done
  return 0
}
corpus=tests/fuzz/corpus
seed string_load $corpus/string_load/* $corpus/state_load/*
seed state_load $corpus/state_load/*
seed wav_load "$built"/wav_load/* "$data"/sfx/00*.wav "$data"/inst/d1-*.wav
seed ogg_load "$built"/ogg_load/* "$data"/sfx/*.ogg
seed image_load "$built"/image_load/* "$data"/*.png "$data"/common/*.png
mkdir -p "$out/findings"

# A huge request fails as it would in the game (malloc returns null, which
# the decoders check) instead of stopping the run.
export ASAN_OPTIONS=allocator_may_return_null=1

run() {  # run TARGET: the fuzzer's output goes to its log
  # stb_vorbis (Debian's libstb, not ours) leaks a few kilobytes when it gives
  # up on some malformed streams; that is not counted as a finding.
  # The sanitizer's own check at exit is switched off with libFuzzer's.
  leaks=1
  [ "$1" = ogg_load ] && leaks=0
  ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=$leaks" \
  "$out/tests/fuzz/fuzz_$1" "$out/corpus/$1" -max_total_time="$secs" -max_len=65536 \
    -detect_leaks=$leaks \
    -rss_limit_mb=2048 -malloc_limit_mb=4096 -close_fd_mask=1 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$1-" >"$out/fuzz_$1.log" 2>&1
}

failed=0
set -- $targets
while [ $# -gt 0 ]; do
  a=$1; shift
  b=${1:-}; [ $# -gt 0 ] && shift
  run "$a" & pa=$!
  pb=
  if [ -n "$b" ]; then run "$b" & pb=$!; fi
  for pair in "$a:$pa" "$b:$pb"; do
    t=${pair%%:*}; p=${pair#*:}
    [ -z "$t" ] && continue
    if wait "$p"; then status=ok; else status=FAILED; failed=1; fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/fuzz_$t.log" | grep -o '[0-9]*$')
    cov=$(grep -o 'cov: [0-9]*' "$out/fuzz_$t.log" | tail -n 1)
    echo "fuzz_$t: $status, ${runs:-?} runs in ${secs} s, ${cov:-cov: ?}, corpus $(ls "$out/corpus/$t" | wc -l) files"
    [ "$status" = ok ] || tail -n 40 "$out/fuzz_$t.log"
  done
done
exit $failed
