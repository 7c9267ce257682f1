#!/usr/bin/env bash
# Measures Lexmire's figures on this machine, each beside a reference measured
# in the same run, and ends with one table: figure, now, reference, ratio, goal.
# docs/performance.md explains the figures and how they were reached.
#
#   scripts/measure.sh [BUILD_FOLDER]     (default: build; it must be built)
#
# Everything runs on loopback. Run as root with unshare(1) available, the whole
# script runs in a network namespace of its own (its own loopback), so the solo
# game's TCP port 7772 never meets another program's; otherwise it refuses to
# run while 7772 is taken. Every process it starts is stopped before it ends.
#   MEASURE_STARTS  start-up runs per program (default 9)
#   MEASURE_IDLE    seconds of each idle sample (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$(realpath -m "${1:-build}")
STARTS=${MEASURE_STARTS:-9}
IDLE_SECONDS=${MEASURE_IDLE:-10}

# A private loopback: no port here is anybody else's.
if [[ -z ${MEASURE_IN_NETNS:-} && $(id -u) -eq 0 ]] && command -v unshare >/dev/null && command -v ip >/dev/null; then
    export MEASURE_IN_NETNS=1
    exec unshare -n bash -c 'ip link set lo up && exec "$0" "$@"' "$0" "$@"
fi

LEXMIRE=$BUILD/src/app/lexmire
SERVER=$BUILD/src/app/lexmire-server
B=$BUILD/bench
for program in "$LEXMIRE" "$SERVER" "$B/checkword_bench" "$B/tally_codec_bench" "$B/loopback_echo" \
    "$B/word_latency" "$B/minimal_window" "$B/server_load" "$B/reconnect_flood" "$B/board_to_window" \
    "$B/companion_open"; do
    if [[ ! -x $program ]]; then
        echo "measure: $program is missing; build first, e.g." >&2
        echo "  cmake -S $ROOT -B $BUILD -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build $BUILD" >&2
        exit 1
    fi
done
for tool in ss awk; do
    command -v "$tool" >/dev/null || { echo "measure: please install $tool (iproute2, gawk)" >&2; exit 1; }
done

port_busy() { [[ -n $(ss -Htln 'sport = :7772') ]]; }
if port_busy; then
    echo "measure: TCP port 7772 is in use by another program; the solo game needs it." >&2
    echo "  Stop that program, or run this script as root so that it gets a loopback of its own." >&2
    exit 1
fi

WORK=$(mktemp -d /tmp/lexmire-measure.XXXXXX)
PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT

# A private settings folder and runtime folder for one run of a program.
fresh_env() {
    local dir
    dir=$(mktemp -d "$WORK/run.XXXXXX")
    mkdir -p "$dir/home" "$dir/runtime"
    chmod 700 "$dir/runtime"
    echo "$dir"
}

stop() {
    local pid=$1
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 100))
    while ((tries-- > 0)); do
        if "$@"; then return 0; fi
        sleep 0.01
    done
    return 1
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "n/a" }'; }
status_kib() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
section() { printf '\n== %s\n' "$1"; }
# Runs and shows a command, keeping its output in $WORK/<name>.out.
run_shown() {
    local name=$1
    shift
    echo "\$ $*" >&2
    "$@" 2>"$WORK/$name.err" | tee "$WORK/$name.out"
}

# The summary: one line per figure, printed at the end.
SUMMARY=$WORK/summary
# figure | now | reference | unit | goal text | goal test (awk on ratio r and now n), "" for none
add_row() { printf '%s|%s|%s|%s|%s|%s\n' "$@" >>"$SUMMARY"; }
# The n-th number on the first line of a file that contains a pattern.
number_on() { grep -m1 -F -- "$2" "$1" | grep -oE -- '-?[0-9]+(\.[0-9]+)?' | sed -n "${3}p"; }
# The number after a word ("median", "max") on the first line that contains a pattern.
value_after() { grep -m1 -F -- "$2" "$1" | awk -v w="$3" '{ for (i = 1; i < NF; ++i) if ($i == w) { print $(i + 1); exit } }'; }

section "machine"
CORES=$(nproc)
echo "cores online: $CORES; load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "system: Debian $(cat /etc/debian_version), kernel $(uname -r); $(g++ --version | head -1)"
echo "Qt: $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
echo "build: $BUILD ($(awk -F= '/^CMAKE_BUILD_TYPE:/ { print $2 }' "$BUILD/CMakeCache.txt" 2>/dev/null))"
echo "network: $([[ -n ${MEASURE_IN_NETNS:-} ]] && echo 'a namespace of its own (private loopback)' || echo 'the machine'\''s loopback')"
echo "a wake-up across CPUs costs tens of microseconds here, on one CPU under one: each latency says where its peer ran"

# ---------------------------------------------------------------------------
section "dictionary and codecs (Google Benchmark, CPU time, 3 repetitions, medians and their ratios)"
run=$(fresh_env)
XDG_RUNTIME_DIR=$run/runtime run_shown checkword "$B/checkword_bench" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true >/dev/null
grep -E '_median|ratios|=' "$WORK/checkword.out" || true
XDG_RUNTIME_DIR=$run/runtime run_shown codec "$B/tally_codec_bench" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true >/dev/null
grep -E '_median|ratios|=' "$WORK/codec.out" || true
bench_ns() { awk -v n="$2_median" '$1 == n { v = $4; u = $5; if (u == "us") v *= 1000; if (u == "ms") v *= 1e6; print v; exit }' "$1"; }
add_row "CheckWord vs unordered_set (ns per lookup)" "$(bench_ns "$WORK/checkword.out" BM_CheckWord)" \
    "$(bench_ns "$WORK/checkword.out" BM_CheckWord_HashSet)" ns "within 3x the hash set" "r <= 3"
add_row "LZRW1/KH decompress vs LZ4 (per 1 MiB of text)" "$(bench_ns "$WORK/codec.out" BM_Lzrw1Decompress)" \
    "$(bench_ns "$WORK/codec.out" BM_Lz4Decompress)" ns "none" ""
# The tally text is 1 MiB, so MiB/s is 10^9 over the nanoseconds per pass.
mib_per_s() { awk -v ns="$(bench_ns "$WORK/codec.out" "$1")" 'BEGIN { if (ns > 0) printf "%.0f", 1e9 / ns }'; }
add_row "LZRW1/KH decompress vs LZ4 (MiB/s)" "$(mib_per_s BM_Lzrw1Decompress)" "$(mib_per_s BM_Lz4Decompress)" \
    "MiB/s" "at least 1,000 MiB/s" "n >= 1000"
add_row "LZRW1/KH decompress vs zlib level 1 (per ~1 MB)" "$(bench_ns "$WORK/codec.out" BM_Lzrw1Decompress)" \
    "$(bench_ns "$WORK/codec.out" BM_ZlibLevel1Decompress)" ns "none" ""

# ---------------------------------------------------------------------------
section "the server under load (servers on CPU 0, peers on CPU 1 unless said)"
run_shown server_load "$B/server_load" --server "$SERVER"
L=$WORK/server_load.out
add_row "server throughput, 4 seats (words/s)" "$(number_on "$L" 'throughput, 4 seats' 2)" \
    "$(number_on "$L" 'throughput, 4 seats' 3)" "w/s" "no ceiling below 10,000 words/s" "n >= 10000"
add_row "server CPU per word at that rate" "$(number_on "$L" 'server CPU per word at that rate' 1)" \
    "$(number_on "$L" 'server CPU per word at that rate' 2)" us "under 30 us" "n < 30"
add_row "burst of 8 words, 8th answer, median" "$(number_on "$L" 'burst of 8 words, to the 8th answer: median' 3)" \
    "$(number_on "$L" 'burst of 8 words, to the 8th answer: median' 4)" ms "within 2 ms" "n <= 2"
add_row "burst of 8 words, 8th answer, p99" "$(number_on "$L" 'burst of 8 words, to the 8th answer: p99' 4)" \
    "$(number_on "$L" 'burst of 8 words, to the 8th answer: p99' 5)" ms "within 2 ms" "n <= 2"
add_row "round start to every peer's last row, median" "$(number_on "$L" 'round start to every peer' 1)" \
    "$(number_on "$L" 'round start to every peer' 2)" ms "within 1.5x the one-write reference" "r <= 1.5"
add_row "round start, 8 peers x 10 words/s, worst" "$(number_on "$L" 'round start, 8 peers x 10 words/s: worst' 3)" \
    "$(number_on "$L" 'round start, 8 peers x 10 words/s: worst' 4)" ms "under 5 ms" "n < 5"
add_row "server CPU per word, one at a time, peers on another CPU" \
    "$(number_on "$L" 'server CPU per word, one word at a time' 1)" \
    "$(number_on "$L" 'server CPU per word, one word at a time' 2)" us \
    "the reference's cost within 1.5x (each word wakes both sides across CPUs)" "r <= 1.5"
# The same benchmark with every process on CPU 0: no wake-up crosses CPUs, so
# what is left is the server's own work and the kernel's on its behalf.
run_shown server_load_one_cpu "$B/server_load" --server "$SERVER" --same-cpu
L1=$WORK/server_load_one_cpu.out
add_row "server CPU per word, one at a time, peers on the server's CPU" \
    "$(number_on "$L1" 'server CPU per word, one word at a time' 1)" \
    "$(number_on "$L1" 'server CPU per word, one word at a time' 2)" us "under 30 us" "n < 30"
add_row "burst of 8 words, 8th answer, p99, peers on the server's CPU" \
    "$(number_on "$L1" 'burst of 8 words, to the 8th answer: p99' 4)" \
    "$(number_on "$L1" 'burst of 8 words, to the 8th answer: p99' 5)" ms "within 2 ms" "n <= 2"
run_shown reconnect_flood "$B/reconnect_flood" --server "$SERVER"
F=$WORK/reconnect_flood.out
quiet=$(grep -m1 -A1 'reference, before any attack' "$F" | tail -1 | grep -oE 'median +[0-9.]+' | grep -oE '[0-9.]+$')
during=$(grep -m1 'word answered during the backlog' "$F" | grep -oE 'median +[0-9.]+' | grep -oE '[0-9.]+$')
add_row "reconnect backlog: legit word answer, median" "$during" "$quiet" ms "within 50 ms during the attack" "n <= 50"
add_row "reconnect backlog: server memory, most seen" \
    "$(grep -m1 -A0 'server resident memory, most seen' "$F" | grep -oE '[0-9]+ KiB' | grep -oE '[0-9]+')" \
    "$(grep -m1 '  server resident memory  ' "$F" | grep -oE '[0-9]+ KiB' | grep -oE '[0-9]+')" KiB "under 32 MiB" \
    "n < 32768"

# ---------------------------------------------------------------------------
section "word answers: lexmire-server beside a bare TCP echo (peers left to the scheduler)"
run_shown echo "$B/loopback_echo" --count 2000 >/dev/null
cat "$WORK/echo.out"
run=$(fresh_env)
XDG_RUNTIME_DIR=$run/runtime run_shown words "$B/word_latency" --server "$SERVER" --words 2000 >/dev/null
grep -E 'word sent|boards,' "$WORK/words.out" || true
add_row "word sent -> answer at the sender, median (ms)" \
    "$(number_on "$WORK/words.out" 'word sent -> CMD_foundword at sender' 2)" \
    "$(awk '/median/ { for (i = 1; i <= NF; ++i) if ($i == "median") { print $(i + 1) / 1000; exit } }' "$WORK/echo.out")" \
    ms "none" ""

# ---------------------------------------------------------------------------
section "a new board in a real window (offscreen) beside the same rows at a raw peer"
run_shown board "$B/board_to_window" --boards 60 --server "$SERVER" >/dev/null
cat "$WORK/board.out"
W=$WORK/board.out
add_row "board: CMD_startgame -> 9 rows painted (window) / read (raw peer), median" \
    "$(number_on "$W" 'window: CMD_startgame sent -> nine rows painted' 2)" \
    "$(number_on "$W" 'raw peer: CMD_startgame sent -> ninth row read' 2)" ms \
    "first row's bytes -> painted < 16 ms (worst: $(value_after "$W" "window: first row's bytes -> nine rows painted" max) ms)" \
    "$(value_after "$W" "window: first row's bytes -> nine rows painted" max) < 16"
add_row "board: first row's bytes -> painted, first board after the start" \
    "$(number_on "$W" 'window: the same, first board after the start' 1)" \
    "$(number_on "$W" 'raw peer: CMD_startgame sent -> ninth row read' 2)" ms "under 16 ms" "n < 16"

# ---------------------------------------------------------------------------
section "start-up: exec -> first whole paint, $STARTS runs each, taken in turn"
# Both programs print the wall-clock time of their first paint; the start is the
# moment just before exec, taken by the same shell the same way for both, and both
# run under the same `timeout`, so that neither pays for a wrapper the other has not.
for ((i = 1; i <= STARTS; ++i)); do
    run=$(fresh_env)
    t0=$(date +%s.%N)
    QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime \
        timeout 30 "$B/minimal_window" --stay-ms 300 >"$run/minimal.out" 2>/dev/null || true
    awk -v s="$t0" '/^first-paint/ { printf "%.1f\n", ($2 - s) * 1000 }' "$run/minimal.out" >>"$WORK/start.minimal"
    awk '/^first-paint/ { print $4 }' "$run/minimal.out" >>"$WORK/cpu.minimal"
    t0=$(date +%s.%N)
    QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime LEXMIRE_REPORT_FIRST_PAINT=quit \
        timeout 30 "$LEXMIRE" >"$run/lexmire.out" 2>/dev/null || true
    awk -v s="$t0" '/^first-paint/ { printf "%.1f\n", ($2 - s) * 1000 }' "$run/lexmire.out" >>"$WORK/start.lexmire"
    awk '/^first-paint/ { print $4 }' "$run/lexmire.out" >>"$WORK/cpu.lexmire"
    if ! grep -q '^first-paint' "$run/lexmire.out"; then
        echo "measure: $LEXMIRE reported no first paint; its start-up cannot be measured" >&2
        exit 1
    fi
    wait_for 5 bash -c '! [[ -n $(ss -Htln "sport = :7772") ]]' || true
done
echo "\$ QT_QPA_PLATFORM=offscreen timeout 30 $B/minimal_window --stay-ms 300   (prints first-paint <time>)"
echo "bare window (ms): $(tr '\n' ' ' <"$WORK/start.minimal") median $(median <"$WORK/start.minimal")"
echo "bare window, CPU time of all threads by then (ms): $(tr '\n' ' ' <"$WORK/cpu.minimal") median $(median <"$WORK/cpu.minimal")"
echo "\$ QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=... XDG_RUNTIME_DIR=... LEXMIRE_REPORT_FIRST_PAINT=quit timeout 30 $LEXMIRE"
echo "lexmire solo (ms): $(tr '\n' ' ' <"$WORK/start.lexmire") median $(median <"$WORK/start.lexmire")"
echo "lexmire solo, CPU time of all threads by then (ms): $(tr '\n' ' ' <"$WORK/cpu.lexmire") median $(median <"$WORK/cpu.lexmire")"
add_row "start-up, solo: exec -> main window painted whole (wall)" "$(median <"$WORK/start.lexmire")" \
    "$(median <"$WORK/start.minimal")" ms "within 2x the bare window" "r <= 2"
add_row "start-up, solo: CPU time used by the first whole paint" "$(median <"$WORK/cpu.lexmire")" \
    "$(median <"$WORK/cpu.minimal")" ms "within 2x the bare window" "r <= 2"

# ---------------------------------------------------------------------------
section "opening a companion window the first time"
run_shown companions "$B/companion_open" --runs 7 >/dev/null
cat "$WORK/companions.out"
add_row "tally window, first opening (built, shown, painted)" \
    "$(number_on "$WORK/companions.out" 'tally list (TallyList1)' 2)" \
    "$(number_on "$WORK/companions.out" 'bare dialog (reference)' 1)" ms "under 50 ms (worst)" \
    "$(awk '/tally list \(TallyList1\)/ { print $(NF - 1) }' "$WORK/companions.out") < 50"

# ---------------------------------------------------------------------------
section "memory (VmRSS, read 3 s after the program is up and settled) and idle cost"
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status | awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print s }'; }
# CPU time and context switches (all threads) of an idle process over IDLE_SECONDS.
idle_of() {
    local label=$1 pid=$2 c0 s0
    c0=$(cpu_ms "$pid")
    s0=$(switches "$pid")
    sleep "$IDLE_SECONDS"
    IDLE_CPU=$(awk -v a="$c0" -v b="$(cpu_ms "$pid")" 'BEGIN { print b - a }')
    IDLE_SWITCHES=$(($(switches "$pid") - s0))
    echo "$label: idle over ${IDLE_SECONDS} s: CPU $IDLE_CPU ms (utime+stime), context switches $IDLE_SWITCHES"
}
memory_of() {
    local label=$1 pid=$2
    echo "$label: VmRSS $(status_kib "$pid" VmRSS) kB (anonymous $(status_kib "$pid" RssAnon) kB," \
        "files $(status_kib "$pid" RssFile) kB), VmHWM $(status_kib "$pid" VmHWM) kB, threads $(status_kib "$pid" Threads)" |
        tee -a "$WORK/memory.out"
}
run=$(fresh_env)
echo "\$ QT_QPA_PLATFORM=offscreen $B/minimal_window --stay-ms 60000"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$run/runtime "$B/minimal_window" --stay-ms 60000 >/dev/null 2>&1 &
pid=$!
PIDS+=("$pid")
sleep 3
memory_of minimal_window "$pid"
bare_kib=$(status_kib "$pid" VmRSS)
idle_of minimal_window "$pid"
bare_switches=$IDLE_SWITCHES
stop "$pid"

run=$(fresh_env)
echo "\$ QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=... XDG_RUNTIME_DIR=... $LEXMIRE   (solo game, logged in, nobody playing)"
QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime "$LEXMIRE" >/dev/null 2>&1 &
pid=$!
PIDS+=("$pid")
wait_for 30 bash -c '[[ -n $(ss -Htn state established "dport = :7772") ]]' || {
    echo "measure: the solo game did not connect" >&2
    exit 1
}
sleep 3
memory_of lexmire-solo "$pid"
add_row "memory, solo game logged in (VmRSS)" "$(status_kib "$pid" VmRSS)" "$bare_kib" kB "within 1.4x the bare window" "r <= 1.4"
idle_of lexmire-solo "$pid"
add_row "idle solo game: context switches in ${IDLE_SECONDS} s" "$IDLE_SWITCHES" "$bare_switches" "" \
    "none (0: no timer runs idle)" "n == 0"
stop "$pid"
wait_for 5 bash -c '! [[ -n $(ss -Htln "sport = :7772") ]]' || true

if port_busy; then
    echo "measure: port 7772 did not come free; the round is skipped" >&2
else
    run=$(fresh_env)
    XDG_RUNTIME_DIR=$run/runtime "$SERVER" --port 7772 --no-announce >/dev/null 2>&1 &
    server=$!
    PIDS+=("$server")
    wait_for 10 bash -c '[[ -n $(ss -Htln "sport = :7772") ]]'
    XDG_RUNTIME_DIR=$run/runtime "$B/word_latency" --drive 7772 --seconds 20 >"$WORK/drive.out" 2>&1 &
    driver=$!
    PIDS+=("$driver")
    sleep 0.5
    echo "\$ QT_QPA_PLATFORM=offscreen ... $LEXMIRE Player 127.0.0.1 false   (joined to lexmire-server on 7772;" \
        "a raw host deals and plays a word every 0.5 s)"
    QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime \
        "$LEXMIRE" Player 127.0.0.1 false >/dev/null 2>&1 &
    pid=$!
    PIDS+=("$pid")
    if wait_for 30 grep -q 'round running' "$WORK/drive.out"; then
        sleep 3
        memory_of lexmire-in-round "$pid"
        add_row "memory, window in a round (VmRSS)" "$(status_kib "$pid" VmRSS)" "$bare_kib" kB \
            "within 1.4x the bare window" "r <= 1.4"
    else
        echo "measure: the round did not start" >&2
    fi
    stop "$pid"
    stop "$driver"
    stop "$server"
fi

# ---------------------------------------------------------------------------
section "summary: now / reference / ratio (each pair from this run; placement as printed above)"
printf '%-72s %12s %12s %-4s %8s  %s\n' "figure" "now" "reference" "unit" "ratio" "goal"
while IFS='|' read -r figure now reference unit goal test; do
    ratio=$(awk -v n="$now" -v r="$reference" 'BEGIN { if (n == "" || r == "" || r + 0 == 0) print "n/a"; else printf "%.2f", n / r }')
    verdict=""
    # A goal on the ratio needs both figures; one on the figure alone does not.
    if [[ -n $test && ! ($ratio == n/a && $test == *r*) ]]; then
        verdict=$(awk -v r="$ratio" -v n="$now" "BEGIN { print ($test) ? \"met\" : \"not met\" }")
    fi
    printf '%-72s %12s %12s %-4s %8s  %s%s\n' "$figure" "${now:-n/a}" "${reference:-n/a}" "$unit" "$ratio" "$goal" \
        "${verdict:+: $verdict}"
done <"$SUMMARY"
echo
echo "cores: $CORES; servers pinned to CPU 0 and peers to CPU 1 in server_load and reconnect_flood (a peer never"
echo "shares the server's CPU there), except the rows that say the peers were on the server's CPU; board_to_window and word_latency leave placement to the scheduler and say"
echo "where the peers ran. Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "measure: done"
