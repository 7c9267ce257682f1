#!/usr/bin/env bash
# Measures Lexmire's figures on this machine and prints each one: word and
# board latency over loopback beside a bare TCP echo, start-up time, memory
# and idle cost of the desktop program beside a bare Qt window, and the
# dictionary and codec benchmarks. docs/performance.md explains the figures.
#
#   scripts/measure.sh [BUILD_FOLDER]     (default: build; it must be built)
#
# Everything runs on 127.0.0.1. The desktop program's solo game listens on
# TCP port 7772, so the script refuses to run while anything else uses it.
# Every process it starts is stopped before it ends.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD=$(realpath -m "${1:-build}")
STARTS=${MEASURE_STARTS:-5}      # start-up runs per program
IDLE_SECONDS=${MEASURE_IDLE:-10} # length of each idle sample

LEXMIRE=$BUILD/src/app/lexmire
SERVER=$BUILD/src/app/lexmire-server
B=$BUILD/bench
for program in "$LEXMIRE" "$SERVER" "$B/checkword_bench" "$B/wordcomplete_bench" "$B/tally_codec_bench" \
    "$B/pictures_bench" "$B/loopback_echo" "$B/word_latency" "$B/minimal_window"; do
    if [[ ! -x $program ]]; then
        echo "measure: $program is missing; build first, e.g." >&2
        echo "  cmake -S $ROOT -B $BUILD -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build $BUILD" >&2
        exit 1
    fi
done

# Tools: strace and ss come from Debian packages; installed only when missing.
missing=()
command -v strace >/dev/null || missing+=(strace)
command -v ss >/dev/null || missing+=(iproute2)
if ((${#missing[@]})); then
    if [[ $(id -u) -eq 0 ]]; then
        apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "measure: please install ${missing[*]}" >&2
        exit 1
    fi
fi

port_busy() { [[ -n $(ss -Htln 'sport = :7772') ]]; }
if port_busy; then
    echo "measure: TCP port 7772 is in use by another program; the solo game needs it. Stop that program and run again." >&2
    exit 1
fi

WORK=$(mktemp -d /tmp/lexmire-measure.XXXXXX)
PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
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

# Stops one process we started and waits for it.
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

# Waits (bounded) until `cond` succeeds; cond is a command line.
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

# CPU time (ms), context switches (voluntary+involuntary, all threads) of a process.
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status | awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print s }'; }
status_kib() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }

section() { printf '\n== %s\n' "$1"; }

section "machine"
echo "cores: $(nproc); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "system: Debian $(cat /etc/debian_version), kernel $(uname -r)"
echo "compiler: $(g++ --version | head -1)"
echo "Qt: $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
echo "build: $BUILD ($(awk -F= '/^CMAKE_BUILD_TYPE:/ { print $2 }' "$BUILD/CMakeCache.txt" 2>/dev/null))"

# ---------------------------------------------------------------------------
section "dictionary, codecs and start-up pictures (Google Benchmark, 3 repetitions, median shown)"
for bench in checkword_bench wordcomplete_bench tally_codec_bench pictures_bench; do
    echo "\$ $B/$bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true"
    run=$(fresh_env)
    XDG_RUNTIME_DIR=$run/runtime QT_QPA_PLATFORM=offscreen \
        "$B/$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
        grep -E '_(median|cv)' | grep -v '_cv' || true
done

# ---------------------------------------------------------------------------
section "loopback floor: bare TCP echo, 2000 round trips of 32 bytes"
echo "\$ $B/loopback_echo --count 2000"
"$B/loopback_echo" --count 2000
echo "\$ $B/loopback_echo --count 2000 --nodelay"
"$B/loopback_echo" --count 2000 --nodelay

section "word and board latency against lexmire-server (two raw clients)"
echo "\$ $B/word_latency --server $SERVER --words 2000"
run=$(fresh_env)
XDG_RUNTIME_DIR=$run/runtime "$B/word_latency" --server "$SERVER" --words 2000
echo "\$ $B/word_latency --server $SERVER --words 300 --per-board 10 --quickack   (many boards; clients never delay an ACK)"
run=$(fresh_env)
XDG_RUNTIME_DIR=$run/runtime "$B/word_latency" --server "$SERVER" --words 300 --per-board 10 --quickack

# ---------------------------------------------------------------------------
section "start-up: launch -> first paint (bare window) / -> solo game logged in (lexmire), $STARTS runs each"
# Both programs run under the same strace (only execve and sendto stop, via
# seccomp), so the start is the kernel's execve time of the program itself.
STRACE=(strace -f --seccomp-bpf -qq -ttt -e trace=execve,sendto -e signal=none -s 96)
epoch_of_exec() { awk '/execve\(/ { print $2; exit }' "$1"; }
epoch_of_send() { grep -F "$2" "$1" | head -1 | awk '{ print $2 }'; }
strace_child() { cat /proc/"$1"/task/*/children 2>/dev/null | awk '{ print $1; exit }'; }

for ((i = 1; i <= STARTS; i++)); do
    run=$(fresh_env)
    out=$run/minimal.out
    QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime \
        "${STRACE[@]}" -o "$run/minimal.trace" "$B/minimal_window" --stay-ms 300 >"$out"
    painted=$(awk '/^first-paint/ { print $2 }' "$out")
    echo "$(epoch_of_exec "$run/minimal.trace") $painted" | awk '{ printf "%.1f\n", ($2 - $1) * 1000 }' >>"$WORK/start.minimal"

    QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime \
        "${STRACE[@]}" -o "$run/lexmire.trace" "$LEXMIRE" >/dev/null 2>&1 &
    tracer=$!
    PIDS+=("$tracer")
    if ! wait_for 30 grep -qsF 'CMD_newplayerinfo+1+You' "$run/lexmire.trace"; then
        echo "measure: the solo game did not log in within 30 s" >&2
        exit 1
    fi
    t0=$(epoch_of_exec "$run/lexmire.trace")
    t_conn=$(epoch_of_send "$run/lexmire.trace" 'CMD_sendlogininfo+1')
    t_login=$(epoch_of_send "$run/lexmire.trace" 'CMD_logininfo+1+')
    t_done=$(epoch_of_send "$run/lexmire.trace" 'CMD_newplayerinfo+1+You')
    echo "$t0 $t_conn $t_login $t_done" | awk '{ printf "%.1f %.1f %.1f\n", ($2-$1)*1000, ($3-$1)*1000, ($4-$1)*1000 }' \
        >>"$WORK/start.lexmire"
    child=$(strace_child "$tracer")
    [[ -n $child ]] && kill -TERM "$child" 2>/dev/null || true
    stop "$tracer"
    wait_for 5 bash -c '! [[ -n $(ss -Htln "sport = :7772") ]]' || true
done
echo "\$ QT_QPA_PLATFORM=offscreen ${STRACE[*]} -o T $B/minimal_window --stay-ms 300   (first-paint time - execve time)"
echo "bare window, execve -> first paint (ms), runs: $(tr '\n' ' ' <"$WORK/start.minimal")  median $(median <"$WORK/start.minimal")"
echo "\$ QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=... XDG_RUNTIME_DIR=... ${STRACE[*]} -o T $LEXMIRE"
echo "lexmire, execve -> server asks for login (ms): $(awk '{ print $1 }' "$WORK/start.lexmire" | tr '\n' ' ') median $(awk '{ print $1 }' "$WORK/start.lexmire" | median)"
echo "lexmire, execve -> window sends CMD_logininfo (ms): $(awk '{ print $2 }' "$WORK/start.lexmire" | tr '\n' ' ') median $(awk '{ print $2 }' "$WORK/start.lexmire" | median)"
echo "lexmire, execve -> server confirms login, CMD_newplayerinfo (ms): $(awk '{ print $3 }' "$WORK/start.lexmire" | tr '\n' ' ') median $(awk '{ print $3 }' "$WORK/start.lexmire" | median)"

# ---------------------------------------------------------------------------
# Memory and idle cost of one process: waits `settle` seconds, then reads its
# memory, then its CPU time and context switches over IDLE_SECONDS, then counts
# its poll wake-ups (and their timeouts) over IDLE_SECONDS with strace.
idle_profile() {
    local label=$1 pid=$2
    local m_rss m_hwm c0 s0 c1 s1
    m_rss=$(status_kib "$pid" VmRSS)
    m_hwm=$(status_kib "$pid" VmHWM)
    c0=$(cpu_ms "$pid")
    s0=$(switches "$pid")
    sleep "$IDLE_SECONDS"
    c1=$(cpu_ms "$pid")
    s1=$(switches "$pid")
    echo "$label: VmRSS $m_rss kB (anonymous $(status_kib "$pid" RssAnon) kB, files $(status_kib "$pid" RssFile) kB)," \
        "VmHWM $m_hwm kB, threads $(status_kib "$pid" Threads)"
    echo "$label: over ${IDLE_SECONDS} s: CPU $(awk -v a="$c0" -v b="$c1" 'BEGIN { print b - a }') ms (utime+stime)," \
        "context switches $((s1 - s0)) ($(awk -v d=$((s1 - s0)) -v t="$IDLE_SECONDS" 'BEGIN { printf "%.1f", d / t }')/s)"
    timeout -s INT "$IDLE_SECONDS" strace -f -qq -ttt -p "$pid" -e trace=poll,ppoll,epoll_wait,epoll_pwait \
        -o "$WORK/$label.poll" 2>/dev/null || true
    local calls
    calls=$(grep -cE '(poll|epoll_wait|epoll_pwait)\(' "$WORK/$label.poll" || true)
    echo "$label: poll calls in ${IDLE_SECONDS} s (strace -f -p): $calls" \
        "($(awk -v c="$calls" -v t="$IDLE_SECONDS" 'BEGIN { printf "%.1f", c / t }')/s)"
    # The timeouts the event loop asked for tell which timer woke it.
    grep -oE 'tv_nsec=[0-9]+|, -?[0-9]+\) = 0 \(Timeout\)' "$WORK/$label.poll" | sort | uniq -c | sort -rn | head -3 |
        sed "s/^/$label:   timeout seen: /" || true
}

section "memory and idle cost"
run=$(fresh_env)
echo "\$ QT_QPA_PLATFORM=offscreen $B/minimal_window --stay-ms $((IDLE_SECONDS * 2 * 1000 + 8000))"
QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime \
    "$B/minimal_window" --stay-ms $((IDLE_SECONDS * 2 * 1000 + 8000)) >/dev/null &
pid=$!
PIDS+=("$pid")
sleep 2
idle_profile minimal_window "$pid"
stop "$pid"

run=$(fresh_env)
echo "\$ XDG_RUNTIME_DIR=... $SERVER --port 0 --no-announce"
XDG_RUNTIME_DIR=$run/runtime "$SERVER" --port 0 --no-announce >/dev/null &
pid=$!
PIDS+=("$pid")
sleep 2
idle_profile lexmire-server "$pid"
stop "$pid"

run=$(fresh_env)
echo "\$ QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=... XDG_RUNTIME_DIR=... $LEXMIRE   (solo game, logged in, nobody playing)"
QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime "$LEXMIRE" >/dev/null 2>&1 &
pid=$!
PIDS+=("$pid")
# Logged in when its own connection to 7772 is up and one dispatch later; then settled.
wait_for 30 bash -c '[[ -n $(ss -Htn state established "dport = :7772") ]]' || {
    echo "measure: the solo game did not connect" >&2
    exit 1
}
sleep 3
idle_profile lexmire-solo "$pid"
stop "$pid"
wait_for 5 bash -c '! [[ -n $(ss -Htln "sport = :7772") ]]' || true

# ---------------------------------------------------------------------------
section "lexmire in a round (joined to lexmire-server on 7772; a raw host starts the game and plays a word every 0.5 s)"
if port_busy; then
    echo "measure: port 7772 did not come free; round skipped" >&2
else
    run=$(fresh_env)
    XDG_RUNTIME_DIR=$run/runtime "$SERVER" --port 7772 --no-announce >/dev/null &
    server=$!
    PIDS+=("$server")
    wait_for 10 bash -c '[[ -n $(ss -Htln "sport = :7772") ]]'
    XDG_RUNTIME_DIR=$run/runtime "$B/word_latency" --drive 7772 --seconds $((IDLE_SECONDS * 2 + 8)) >"$WORK/drive.out" &
    driver=$!
    PIDS+=("$driver")
    sleep 0.5
    echo "\$ QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=... XDG_RUNTIME_DIR=... $LEXMIRE Player 127.0.0.1 false"
    QT_QPA_PLATFORM=offscreen LEXMIRE_HOME=$run/home XDG_RUNTIME_DIR=$run/runtime \
        "$LEXMIRE" Player 127.0.0.1 false >/dev/null 2>&1 &
    pid=$!
    PIDS+=("$pid")
    if wait_for 30 grep -q 'round running' "$WORK/drive.out"; then
        head -1 "$WORK/drive.out"
        sleep 3
        idle_profile lexmire-in-round "$pid"
    else
        echo "measure: the round did not start" >&2
    fi
    stop "$pid"
    stop "$driver"
    stop "$server"
fi
echo
echo "measure: done"
