#!/usr/bin/env bash
# The sanitizer pass: builds the tests and the fuzz targets (in replay mode)
# into build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer, halting
# on the first report, runs every test there, then replays every fuzz corpus.
# Safe to run again: it reconfigures in place and rebuilds only what changed.
# LEXMIRE_SANITIZE_CXX picks the compiler (default g++; clang++-14 works too).
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=${LEXMIRE_SANITIZE_CXX:-g++}
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
started=$SECONDS
phase() { echo "sanitize: $1 ($((SECONDS - started)) s)"; }

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"

# -O1 keeps stacks readable and builds quicker; the sanitizers need no more.
cmake -S . -B build-asan -G Ninja \
  -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DLEXMIRE_BUILD_TESTS=ON -DLEXMIRE_BUILD_BENCH=OFF \
  -DLEXMIRE_BUILD_FUZZ=ON -DLEXMIRE_FUZZ_ENGINE=replay >/dev/null
phase "configured with $cxx"
cmake --build build-asan -- -j"$(nproc)"
phase "built"

ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -LE fuzz
phase "tests passed"

replayed=0
while read -r target; do
  [ -n "$target" ] || continue
  build-asan/fuzz/"${target}"_fuzz fuzz/corpus/"$target"
  replayed=$((replayed + 1))
done < build-asan/fuzz_targets.txt
phase "replayed the corpora of $replayed fuzz targets"
