#!/usr/bin/env bash
# Makes the program's 29 sound clips in resources/sounds/: game-event effects synthesized
# with sox, chatter clips spoken by espeak-ng or synthesized where there is nothing to say.
# Output is byte-for-byte repeatable: noise uses sox's repeatable mode and nothing is dithered.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly OUT=resources/sounds
readonly RATE=22050
# The player drops roughly the last 100 ms of a clip, so each one ends in silence.
readonly PAD=0.4
# Loudness match: the loudest 50 ms stretch of every clip is brought to the same level,
# as long as the clip's peak stays below the ceiling.
readonly TARGET_RMS_PK_DB=-14
readonly CEILING_PK_DB=-1
# Whole-file bounds, padding included: effects are short cues, chatter may run longer.
readonly EFFECT_MIN=0.2 EFFECT_MAX=1.25
readonly CHATTER_MIN=0.2 CHATTER_MAX=5.0

for tool in sox soxi espeak-ng awk; do
    command -v "$tool" >/dev/null || { echo "make_clips: $tool is required" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Intermediate files are 32-bit float so mixing and gain never clip before the final level.
F32=(-r "$RATE" -b 32 -e floating-point)

# gen <out> <channels> <synth arguments and effects...>: synthesizes one tone per channel,
# then mixes them down to mono.
gen() {
    local out=$1 channels=$2
    shift 2
    sox -R -V1 -c "$channels" -r "$RATE" -n "${F32[@]}" -c 1 "$work/$out.wav" "$@" remix -
}

# cat_clips <out> <inputs...>: plays the inputs one after another.
cat_clips() {
    local out=$1
    shift
    sox -V1 "${@/#/$work/}" "$work/$out.wav"
}

# mix <out> <inputs...>: plays the inputs together.
mix() {
    local out=$1
    shift
    sox -V1 -m "${@/#/$work/}" "$work/$out.wav"
}

# rest <out> <seconds>: silence.
rest() {
    sox -V1 -n "${F32[@]}" -c 1 "$work/$1.wav" trim 0 "$2"
}

# delay <out> <in> <seconds>: starts <in> later by the given time.
delay() {
    sox -V1 "$work/$2.wav" "$work/$1.wav" pad "$3" 0
}

# speak <out> <voice> <speed wpm> <pitch 0-99> <text> [effects...]: speech with the
# synthesizer's own leading and trailing silence cut off.
speak() {
    local out=$1 voice=$2 speed=$3 pitch=$4 text=$5
    shift 5
    espeak-ng -v "$voice" -s "$speed" -p "$pitch" -w "$work/$out.raw.wav" "$text"
    sox -V1 "$work/$out.raw.wav" "${F32[@]}" -c 1 "$work/$out.wav" \
        silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse "$@"
}

# note <out> <seconds> <waveform> <frequency> [effects...]: one decaying note.
note() {
    local out=$1 len=$2 wave=$3 freq=$4
    shift 4
    gen "$out" 1 synth "$len" "$wave" "$freq" fade q 0.004 "$len" "$(awk -v l="$len" 'BEGIN{print l*0.8}')" "$@"
}

# loudest_db <file>: the RMS level in dB of the file's loudest 50 ms window. (sox's own
# windowed figure skips the start, where short clicks have all their energy.)
loudest_db() {
    sox "$1" -t dat - | awk -v w="$(awk -v r="$RATE" 'BEGIN { print int(r * 0.05) }')" '
        /^;/ { next }
        { x = $2 * $2; sum += x; buf[n % w] = x; n++
          if (n > w) sum -= buf[n % w]
          if (sum > best) best = sum }
        END { k = (n < w) ? n : w; if (best <= 0 || k == 0) print -200; else printf "%.2f\n", 10 * log(best / k) / log(10) }'
}

stat_of() { # stat_of <file> <label as sox stats prints it>
    sox "$1" -n stats 2>&1 | awk -v k="$2" 'index($0, k) == 1 { print $NF }'
}

within() { # within <value> <min> <max>
    awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'
}

declare -a report=()
failed=0

# finish <name> <effect|chatter>: levels the clip in $work/<name>.wav, writes the padded
# 16-bit mono file and checks its length.
finish() {
    local name=$1 kind=$2 lo hi
    if [[ $kind == effect ]]; then lo=$EFFECT_MIN hi=$EFFECT_MAX; else lo=$CHATTER_MIN hi=$CHATTER_MAX; fi
    local src="$work/$name.wav" dst="$work/out/$name.wav"
    # A short fade keeps the cut at the end of the sound from clicking.
    sox -V1 "$src" "$work/$name.faded.wav" fade 0 -0 0.01
    local rms_pk pk gain
    rms_pk=$(loudest_db "$work/$name.faded.wav")
    pk=$(stat_of "$work/$name.faded.wav" "Pk lev dB")
    gain=$(awk -v r="$rms_pk" -v p="$pk" -v t="$TARGET_RMS_PK_DB" -v c="$CEILING_PK_DB" \
        'BEGIN { g = t - r; if (p + g > c) g = c - p; printf "%.2f", g }')
    sox -D -V1 "$work/$name.faded.wav" -r "$RATE" -c 1 -b 16 -e signed-integer "$dst" gain "$gain" pad 0 "$PAD"
    local sound total
    sound=$(soxi -D "$work/$name.faded.wav")
    total=$(soxi -D "$dst")
    local verdict=ok
    if ! within "$total" "$lo" "$hi" || ! within "$sound" "$lo" "$hi"; then
        verdict="OUT OF BOUNDS ($lo..$hi s)"
        failed=1
    fi
    report+=("$(printf '%-10s %-7s sound %6.3f s  file %6.3f s  peak %6s dB  loudest 50 ms %6s dB  %s' \
        "$name" "$kind" "$sound" "$total" "$(stat_of "$dst" "Pk lev dB")" "$(loudest_db "$dst")" "$verdict")")
}

mkdir -p "$work/out"

# ---- Effects ---------------------------------------------------------------------------

# start: a bright chime, a struck high C with its octave and fifth ringing over it.
gen start 4 synth 0.8 sine 1046.5 sine 2093 sine 3136 sine 4186 \
    fade q 0.002 0.8 0.75 treble 3 3000
finish start effect

# turnnew: two rising mallet notes, G5 then D6.
gen tn1 2 synth 0.18 sine 784 sine 3136 fade q 0.003 0.18 0.12
gen tn2 2 synth 0.42 sine 1175 sine 4700 fade q 0.003 0.42 0.38
cat_clips turnnew tn1.wav tn2.wav
finish turnnew effect

# place: a soft wooden click, a damped knock with a breath of noise at the strike and a
# little room around it.
gen pk1 2 synth 0.07 sine 620 sine 1340 fade l 0.001 0.07 0.068
gen pk2 1 synth 0.025 pinknoise fade l 0.001 0.025 0.024 bandpass 2500 1.5q vol 0.5
mix pk pk1.wav pk2.wav
sox -V1 "$work/pk.wav" "$work/place.wav" lowpass 3000 pad 0 0.13 reverb 20 50 20 trim 0 0.2
finish place effect

# clear: a short swoosh, band-limited noise that swells and falls away.
gen clear 1 synth 0.38 pinknoise fade h 0.16 0.38 0.2 bandpass 1800 0.7q phaser 0.8 0.74 3 0.4 2 -t
finish clear effect

# goodword: a happy rising major triad, C5 E5 G5, landing on C6.
note gw1 0.1 triangle 523.25
note gw2 0.1 triangle 659.25
note gw3 0.1 triangle 783.99
note gw4 0.38 triangle 1046.5
cat_clips goodword gw1.wav gw2.wav gw3.wav gw4.wav
finish goodword effect

# badword: a low buzz that steps down, A3 then E3.
gen bw1 2 synth 0.22 square 220 sawtooth 221.5 fade q 0.005 0.22 0.03 lowpass 1200
gen bw2 2 synth 0.36 square 164.8 sawtooth 166 fade q 0.005 0.36 0.2 lowpass 1000
cat_clips badword bw1.wav bw2.wav
finish badword effect

# roundover: a bell, A5 with the inharmonic partials that make metal ring.
gen roundover 5 synth 0.84 sine 880 sine 1760 sine 2428.8 sine 3520 sine 4752 \
    fade q 0.002 0.84 0.8
finish roundover effect

# gameover: a short brass fanfare, three pick-ups and a held top note.
brass() { gen "$1" 2 synth "$2" sawtooth "$3" square "$3" fade q 0.01 "$2" "$4" lowpass 2200; }
brass gf1 0.11 392 0.03
brass gf2 0.11 523.25 0.03
brass gf3 0.11 659.25 0.03
brass gf4 0.46 783.99 0.25
cat_clips gameover gf1.wav gf2.wav gf3.wav gf4.wav
finish gameover effect

# entered: a soft two-tone doorbell, "ding-dong" on E5 and C5.
gen db1 2 synth 0.4 sine 659.25 sine 1318.5 fade q 0.003 0.4 0.36
gen db2 2 synth 0.44 sine 523.25 sine 1046.5 fade q 0.003 0.44 0.42
cat_clips entered db1.wav db2.wav
finish entered effect

# ---- Chatter ---------------------------------------------------------------------------

speak wave1 en-us+m3 140 30 "Doh!"
finish wave1 chatter

# wave2: a throaty cough, a rough voice doubled by a whisper of the same words for the breath.
espeak-ng -v en-us+m2 -s 200 -p 25 -w "$work/cv.wav" "Kuh! kuh, kuh!"
espeak-ng -v en-us+whisper -s 200 -p 25 -w "$work/cw.wav" "Kuh! kuh, kuh!"
sox -V1 -m "$work/cv.wav" "$work/cw.wav" "${F32[@]}" -c 1 "$work/wave2.wav" \
    silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse overdrive 6 highpass 120
finish wave2 chatter

speak wave3 en-us+f2 150 60 "Hello!"
finish wave3 chatter

speak wave4 en-us+m1 150 50 "Thank you!"
finish wave4 chatter

speak wave5 en-us+f3 150 55 "Where have you been?"
finish wave5 chatter

# wave6: two snores, low rumbling swells with a rattle in them.
gen sn1 1 synth 1.3 brownnoise lowpass 450 tremolo 28 70 fade h 0.5 1.3 0.6
gen sn2 1 synth 1.3 brownnoise lowpass 350 tremolo 24 80 fade h 0.5 1.3 0.6
rest snq 0.3
cat_clips wave6 sn1.wav snq.wav sn2.wav
finish wave6 chatter

speak wave7 en-us+f2 160 70 "Ah... ah... ah-CHOO!"
finish wave7 chatter

speak wave8 en-us+m3 130 45 "Sorry."
finish wave8 chatter

speak wave9 en-us+f4 145 55 "Welcome!"
finish wave9 chatter

speak wave10 en-us+m4 160 70 "Yee haaaw!"
finish wave10 chatter

speak wave11 en-us+f4 170 85 "Yippee!"
finish wave11 chatter

speak wave12 en-us+m2 120 40 "Oh no!"
finish wave12 chatter

# wave13: applause, several layers of noise chopped into claps at different rates.
gen ap1 1 synth 2.4 whitenoise tremolo 13 100 bandpass 1500 1.2q
gen ap2 1 synth 2.4 whitenoise tremolo 17.3 100 bandpass 2200 1.2q
gen ap3 1 synth 2.4 pinknoise tremolo 9.7 100 bandpass 1100 1.0q
gen ap4 1 synth 2.4 whitenoise tremolo 21.1 100 bandpass 2800 1.4q
mix applause ap1.wav ap2.wav ap3.wav ap4.wav
sox -V1 "$work/applause.wav" "$work/wave13.wav" fade h 0.15 2.4 0.8
finish wave13 chatter

# wave14: a car horn, two square tones a minor third apart, sounded twice.
gen hk1 2 synth 0.26 square 370 square 440 lowpass 2500 fade q 0.01 0.26 0.03
rest hkq 0.1
gen hk2 2 synth 0.46 square 370 square 440 lowpass 2500 fade q 0.01 0.46 0.05
cat_clips wave14 hk1.wav hkq.wav hk2.wav
finish wave14 chatter

speak wave15 en-us+f3 90 45 "Ooooh."
finish wave15 chatter

# wave16: a raspberry, a low buzz fluttering like lips.
gen wave16 2 synth 1.0 sawtooth 95 square 97 tremolo 30 85 lowpass 1400 overdrive 8 \
    fade q 0.03 1.0 0.25
finish wave16 chatter

# wave17: a cheer, a crowd's roar under a few voices calling out.
gen crowd 1 synth 2.4 pinknoise bandpass 900 0.6q tremolo 3 30 fade h 0.3 2.4 1.0
speak ch1 en-us+m3 170 60 "Hooray!"
speak ch2 en-us+f2 170 80 "Yay!"
speak ch3 en-us+m1 160 70 "Woo hoo!"
delay ch2d ch2 0.35
delay ch3d ch3 0.7
mix wave17 crowd.wav ch1.wav ch2d.wav ch3d.wav
finish wave17 chatter

speak wave18 en-us+f4 210 85 "Ha ha ha ha ha ha!"
finish wave18 chatter

speak wave19 en-us+m3 190 25 "Ho ho ho, ha ha ha!"
finish wave19 chatter

# wave20: sobbing, a wail that wavers.
speak wave20 en-us+f3 110 65 "Waaaah! Boo hoo hoo!" tremolo 6 45
finish wave20 chatter

printf '%s\n' "${report[@]}"
made=$(find "$work/out" -name '*.wav' | wc -l)
if ((made != 29)); then
    echo "make_clips: made $made clips instead of 29; nothing was replaced" >&2
    exit 1
fi
if ((failed)); then
    echo "make_clips: some clips are out of bounds; nothing was replaced" >&2
    exit 1
fi
mkdir -p "$OUT"
cp "$work"/out/*.wav "$OUT"/
echo "make_clips: wrote $made clips to $OUT"
