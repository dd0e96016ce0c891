#!/bin/sh
# Installs what is missing, checks the formatting, builds Quorvex and runs
# every test: the normal build, then the AddressSanitizer +
# UndefinedBehaviorSanitizer build with the collector in stress mode, after a
# short run of every fuzzer. Tests that need a window run under Xvfb.
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

echo "== format =="
./scripts/format.sh --check

./scripts/build.sh build
./scripts/build.sh build-asan -DQUORVEX_SANITIZE=ON -DQUORVEX_GC_STRESS=ON -DCMAKE_BUILD_TYPE=Debug

# -noreset: the server would otherwise reset whenever its last client leaves,
# and a test connecting during that reset is refused.
run_ctest() {
  (cd "$1" && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --output-on-failure --timeout 300 -j "$jobs" </dev/null)
}

# The fuzzers first (the suites' summaries end the output): each target
# for FUZZ_SECONDS, seeded with the data the build generated.
echo "== fuzzing =="
FUZZ_SECONDS=${FUZZ_SECONDS:-20} ./scripts/fuzz.sh build

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1
echo "== sanitizer + collector stress suite =="
run_ctest build-asan
echo "== normal suite =="
run_ctest build
