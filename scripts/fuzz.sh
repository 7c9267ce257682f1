#!/usr/bin/env bash
# Fuzzes every target (or those named) for SECONDS each with libFuzzer, built
# with clang into build-fuzz/, and prints the executions per target.
#   scripts/fuzz.sh 60                  every target, one minute each
#   scripts/fuzz.sh 300 server_dispatch one target
# New inputs collect in build-fuzz/corpus/<target>/ (the committed seeds in
# fuzz/corpus/ are only read); crashes land in build-fuzz/artifacts/<target>/.
# LEXMIRE_FUZZ_BUILD names another build folder than build-fuzz.
# Every input has LEXMIRE_FUZZ_TIMEOUT seconds (libFuzzer's -timeout, 2 unless
# set): one that takes longer fails the run like a crash and lands in the
# artifacts as timeout-*, since nothing a peer sends may hold the program that
# long. A slower machine may set more.
# FUZZ_MERGE=1 then adds to fuzz/corpus/ the few inputs that reach code the seeds
# do not (edges only, not hit counts, so the committed corpus stays small).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
timeout=${LEXMIRE_FUZZ_TIMEOUT:-2}

cxx=${LEXMIRE_FUZZ_CXX:-clang++-14}
# libFuzzer and the sanitizer runtimes come with Debian's clang-14 packages;
# installed only when missing.
if [ "$cxx" = clang++-14 ] && ! { command -v clang++-14 >/dev/null && dpkg -s libclang-rt-14-dev >/dev/null 2>&1; }; then
  if [ "$(id -u)" -eq 0 ]; then
    apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev >/dev/null
  else
    echo "fuzz: please install clang-14 and libclang-rt-14-dev" >&2
    exit 2
  fi
fi
command -v "$cxx" >/dev/null || { echo "$cxx not found" >&2; exit 2; }
build=${LEXMIRE_FUZZ_BUILD:-build-fuzz}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
    -DLEXMIRE_BUILD_TESTS=OFF -DLEXMIRE_BUILD_BENCH=OFF -DLEXMIRE_BUILD_FUZZ=ON -DLEXMIRE_FUZZ_ENGINE=libfuzzer \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
cmake "$build" >/dev/null  # picks up targets added since the first run

if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(grep -v "^$" "$build/fuzz_targets.txt")
fi
# Only the fuzz targets and what they link: nothing else need build here.
cmake --build "$build" --target "${targets[@]/%/_fuzz}" -- -j"$(nproc)" >/dev/null

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
total=0
printf '%-18s %10s %14s %10s\n' target seconds executions exec/s
for t in "${targets[@]}"; do
  binary=$build/fuzz/${t}_fuzz
  [ -x "$binary" ] || { echo "no fuzz target $t" >&2; exit 2; }
  work=$build/corpus/$t
  artifacts=$build/artifacts/$t
  mkdir -p "$work" "$artifacts"
  log=$build/fuzz-$t.log
  status=0
  "$binary" -max_total_time="$seconds" -timeout="$timeout" -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$work" "fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  runs=${runs:-0}
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  total=$((total + runs))
  printf '%-18s %10s %14s %10s\n' "$t" "$seconds" "$runs" "${rate:-0}"
  if [ "$status" -ne 0 ]; then
    failed+=("$t")
    echo "  $t failed (status $status); see $log and $artifacts/" >&2
    grep -m5 -E 'ERROR|check failed|runtime error|Test unit written|ALARM' "$log" >&2 || true
  fi
  if [ "${FUZZ_MERGE:-0}" = 1 ]; then
    "$binary" -merge=1 -use_counters=0 -use_value_profile=0 "fuzz/corpus/$t" "$work" >>"$log" 2>&1
  fi
done
echo "total executions: $total"
[ ${#failed[@]} -eq 0 ] || { echo "failing targets: ${failed[*]}" >&2; exit 1; }
