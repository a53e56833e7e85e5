#!/bin/bash
# Synthesises the game's thirteen sound effects into data/ (or the directory given) with sox
# and espeak-ng; nothing is sampled. Usage: tools/make_sounds.sh [OUTPUT_DIR]
# shellcheck disable=SC2046 # the decay envelope is a list of sox words, split on purpose
set -euo pipefail
unset SOX_OPTS
export LC_ALL=C

for tool in sox espeak-ng awk od; do
    command -v "$tool" >/dev/null || { echo "make_sounds: needs $tool (apt-get install sox espeak-ng)" >&2; exit 1; }
done

out_dir=${1:-$(cd "$(dirname "$0")/.." && pwd)/data}
mkdir -p "$out_dir"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The game opens its device in the format of the first clip it loads and converts nothing,
# so every file leaves here as 22050 Hz, signed 16-bit, mono. Work is done in float.
RATE=22050
WORK=(-r "$RATE" -c 1 -e floating-point -b 32)
FINAL=(-r "$RATE" -c 1 -e signed-integer -b 16)

# The loudness plan. A sound's loudness is the RMS of its samples above GATE_DB, so a long
# quiet tail does not make it seem soft. The seven events share one level; the footsteps,
# heard on every move, sit well under it and still clearly there. Nothing may peak above
# PEAK_LIMIT_DB, and every file fades in and out so that it starts and ends on silence.
EVENT_DB=-20
STEP_DB=-27
GATE_DB=-40
PEAK_LIMIT_DB=-1
EVENT_SPREAD_DB=4
STEP_GAP_DB=6
STEP_GAP_MOST_DB=10
FADE_IN_S=0.005
FADE_OUT_S=0.01
# A click is a sound leaping out of silence (at least 2 ms under GATE_DB): the 0.5 ms that
# follow it must stay under ONSET_LIMIT_DB. Ends into silence are held to the same rule.
ONSET_LIMIT_DB=-20

# -R: sox seeds its noise generator the same way on every run, so reruns give the same bytes.
synth() { sox -R -D -r "$RATE" -n "${WORK[@]}" "$@"; }
fx() { sox -R -D "$@"; }
calc() { awk "BEGIN { printf \"%.4f\", $* }"; }

# A decay envelope (1 - t/len)^power built from stacked linear fades.
decay() {
    local len=$1 power=$2 i
    for ((i = 0; i < power; i++)); do printf 'fade t 0 %s %s ' "$len" "$len"; done
}

# Mixes "file@start[@volume]" parts into one file; each part is delayed by its start time.
# sox scales an n-way mix by 1/n so that nothing clips on the way; the sum is then brought
# back up to just under full scale, so a part's volume is its level within the mix.
mix() {
    local dest=$1 part file start vol n=0
    shift
    local args=()
    for part in "$@"; do
        IFS=@ read -r file start vol <<<"$part"
        fx "$file" "${WORK[@]}" "$tmp/mixpart$n.wav" pad "$start" 0 vol "${vol:-1}"
        args+=("$tmp/mixpart$n.wav")
        n=$((n + 1))
    done
    if ((n == 1)); then
        fx "$tmp/mixpart0.wav" "${WORK[@]}" "$dest" gain -n -1
    else
        fx -m "${args[@]}" "${WORK[@]}" "$dest" gain -n -1
    fi
}

# Six seconds of each noise colour; every burst trims its own stretch, so no two are alike.
synth "$tmp/white.wav" synth 6 whitenoise vol 0.3
synth "$tmp/pink.wav" synth 6 pinknoise vol 0.3
synth "$tmp/brown.wav" synth 6 brownnoise vol 0.3

noise() { # colour offset length dest effects...
    local colour=$1 offset=$2 len=$3 dest=$4
    shift 4
    fx "$tmp/$colour.wav" "${WORK[@]}" "$dest" trim "$offset" "$len" "$@"
}

# Footstep on stone: the contact click, a band of scuffing noise, the short "tok" the stone
# rings with and the low thump of the heel. A non-zero grit rate roughens the scuff.
make_step() { # dest offset length band_hz band_q ring_hz thump_from thump_to grit_hz
    local dest=$1 off=$2 len=$3 band=$4 q=$5 ring=$6 th_from=$7 th_to=$8 grit=${9:-0}
    local roughen=()
    if ((grit > 0)); then roughen=(tremolo "$grit" 70); fi
    noise white "$off" 0.004 "$tmp/click.wav" highpass 2500 $(decay 0.004 2)
    noise white "$(calc "$off + 0.1")" "$len" "$tmp/body.wav" \
        bandpass "$band" "${q}q" lowpass 6000 "${roughen[@]}" $(decay "$len" 2)
    synth "$tmp/ring.wav" synth 0.06 sine "$ring" sine "$(calc "$ring * 1.71")" \
        remix 1v0.7,2v0.3 $(decay 0.06 4)
    synth "$tmp/thump.wav" synth 0.05 sine "$th_from/$th_to" $(decay 0.05 2)
    mix "$dest" "$tmp/click.wav@0@0.5" "$tmp/body.wav@0.001@1" "$tmp/ring.wav@0.001@0.45" \
        "$tmp/thump.wav@0@0.6"
}

make_step "$tmp/step0.wav" 0.00 0.14 1100 1.2 620 170 70
make_step "$tmp/step1.wav" 0.31 0.13 700 1.0 450 140 60
make_step "$tmp/step2.wav" 0.62 0.12 1800 1.6 900 190 90
make_step "$tmp/step3.wav" 0.93 0.15 1400 0.7 540 150 65 70
make_step "$tmp/step4.wav" 1.24 0.11 2500 2.0 1150 200 100
# The last step of a cycle comes down heel first, then toe.
make_step "$tmp/heel.wav" 1.55 0.08 800 1.0 500 130 55
make_step "$tmp/toe.wav" 1.86 0.08 1500 1.5 780 170 90
mix "$tmp/step5.wav" "$tmp/heel.wav@0" "$tmp/toe.wav@0.04@0.8"

# A stone knocks on stone: a few inharmonic ringing partials over a sharp click. The second
# knock comes out of silence, so both rise over a few milliseconds instead of leaping.
make_clack() { # dest base_hz length offset
    local dest=$1 f=$2 len=$3 off=$4
    synth "$tmp/ring.wav" synth "$len" sine "$f" sine "$(calc "$f * 1.58")" \
        sine "$(calc "$f * 2.37")" remix - fade t 0.004 $(decay "$len" 4)
    noise white "$off" 0.01 "$tmp/tick.wav" highpass 2000 fade t 0.003 $(decay 0.01 2)
    mix "$dest" "$tmp/ring.wav@0@0.5" "$tmp/tick.wav@0@0.8"
}

make_clack "$tmp/clack1.wav" 1900 0.06 2.1
make_clack "$tmp/clack2.wav" 2300 0.05 2.2
noise white 2.3 0.13 "$tmp/scrape.wav" bandpass 2600 0.8q tremolo 55 70 \
    fade t 0.02 0.13 0.06
mix "$tmp/getrock.wav" "$tmp/clack1.wav@0" "$tmp/scrape.wav@0.03@0.4" "$tmp/clack2.wav@0.17@0.7"

# Crushing: a crackle of short bursts over a wet, gurgling squelch that sinks in pitch.
crunch_parts=()
n=0
for burst in 0:0.9:2800 0.018:0.6:1900 0.031:1.0:3400 0.055:0.7:2400 0.072:0.8:1600 \
    0.098:0.5:3000 0.121:0.6:2100 0.150:0.4:2600 0.183:0.3:1800; do
    IFS=: read -r at vol band <<<"$burst"
    noise white "$(calc "2.6 + $n * 0.05")" 0.02 "$tmp/burst$n.wav" \
        bandpass "$band" 0.8q $(decay 0.02 2)
    crunch_parts+=("$tmp/burst$n.wav@$at@$vol")
    n=$((n + 1))
done
mix "$tmp/crunch.wav" "${crunch_parts[@]}"
synth "$tmp/squelch.wav" synth 0.4 sine 320/85 overdrive 6 vol 0.5 lowpass 1200 tremolo 22 60 \
    fade t 0.005 0.4 0.4 $(decay 0.4 1)
noise brown 3.2 0.45 "$tmp/slosh.wav" lowpass 900 tremolo 31 90 fade t 0.01 0.45 0.45 \
    $(decay 0.45 1)
mix "$tmp/squash.wav" "$tmp/crunch.wav@0@1" "$tmp/squelch.wav@0.01@0.5" "$tmp/slosh.wav@0.005@0.9"

# A bell-like set of inharmonic partials (ratio:decay power:level), bright and glassy rather
# than a pure tone. Partials near the 11025 Hz limit are left out; they would fold back.
BELL_PARTIALS=(1:3:1 2.76:5:0.5 5.40:8:0.25)
make_bell() { # dest base_hz length
    local dest=$1 f=$2 len=$3 partial ratio power level hz parts=() n=0
    for partial in "${BELL_PARTIALS[@]}"; do
        IFS=: read -r ratio power level <<<"$partial"
        hz=$(calc "$f * $ratio")
        awk -v hz="$hz" 'BEGIN { exit !(hz < 10000) }' || continue
        synth "$tmp/partial$n.wav" synth "$len" sine "$hz" fade t 0.0015 $(decay "$len" "$power")
        parts+=("$tmp/partial$n.wav@0@$level")
        n=$((n + 1))
    done
    mix "$dest" "${parts[@]}"
}

make_bell "$tmp/ding1.wav" 1318.5 0.35
make_bell "$tmp/ding2.wav" 1975.5 0.40
mix "$tmp/getpotion.wav" "$tmp/ding1.wav@0" "$tmp/ding2.wav@0.09@0.9"

# Healing: a tone gliding up two octaves under a rising arpeggio of little bells.
synth "$tmp/glide.wav" synth 0.95 sine 330/1320 sine 495/1980 remix 1v0.7,2v0.3 \
    tremolo 13 45 chorus 0.7 0.8 40 0.4 0.3 2 -s fade t 0.02 0.95 0.3
heal_parts=("$tmp/glide.wav@0@0.7")
n=0
for note in 523.3 659.3 784.0 1046.5 1318.5 1568.0 2093.0; do
    make_bell "$tmp/sparkle$n.wav" "$note" 0.25
    heal_parts+=("$tmp/sparkle$n.wav@$(calc "$n * 0.1")@0.35")
    n=$((n + 1))
done
mix "$tmp/heal.wav" "${heal_parts[@]}"

# A short hurt cry: a spoken "ouch" in a raised voice, its tail bent down a few semitones.
espeak-ng -v en+m3 -p 75 -s 180 -w "$tmp/ouch_voice.wav" "Ouch!"
fx "$tmp/ouch_voice.wav" "${WORK[@]}" "$tmp/ouch.wav" vol 0.5 silence 1 0 -45d \
    reverse silence 1 0 -45d reverse highpass 180 lowpass 5500 bend 0.1,-300,0.15

# Game over: a falling minor arpeggio, the last note held, sagging and wavering. Notes are
# built from their first five harmonics so that nothing aliases.
make_note() { # dest from_hz to_hz length
    local dest=$1 f=$2 g=$3 len=$4 parts=() h sweep
    for h in 1 2 3 4 5; do
        sweep=$(calc "$f * $h")
        if [[ $f != "$g" ]]; then sweep+="/$(calc "$g * $h")"; fi
        parts+=(sine "$sweep")
    done
    synth "$dest" synth "$len" "${parts[@]}" remix 1v0.45,2v0.22,3v0.14,4v0.09,5v0.05 \
        fade t 0.008 "$len" "$(calc "$len * 0.6")"
}

make_note "$tmp/go1.wav" 523.3 523.3 0.3
make_note "$tmp/go2.wav" 392.0 392.0 0.3
make_note "$tmp/go3.wav" 311.1 311.1 0.3
make_note "$tmp/go4.wav" 261.6 207.7 1.0
fx "$tmp/go4.wav" "${WORK[@]}" "$tmp/go4w.wav" tremolo 5 35
mix "$tmp/gameover.wav" "$tmp/go1.wav@0" "$tmp/go2.wav@0.28" "$tmp/go3.wav@0.56" "$tmp/go4w.wav@0.84"

# Down the stairs: four steps sinking and echoing, over a falling whoosh of air.
noise pink 4.0 1.0 "$tmp/whoosh.wav" bandpass 1800 0.7q bend 0.05,-1500,0.85 \
    fade q 0.3 1.0 0.5
make_step "$tmp/stair0.wav" 4.5 0.10 1500 1.2 700 170 75
make_step "$tmp/stair1.wav" 4.7 0.10 1200 1.2 600 150 65
make_step "$tmp/stair2.wav" 4.9 0.10 950 1.2 500 130 55
make_step "$tmp/stair3.wav" 5.1 0.10 750 1.2 400 110 45
fx "$tmp/stair2.wav" "${WORK[@]}" "$tmp/stair2e.wav" pad 0 0.2 echo 0.8 0.7 60 0.3
fx "$tmp/stair3.wav" "${WORK[@]}" "$tmp/stair3e.wav" pad 0 0.3 echo 0.8 0.7 80 0.4
mix "$tmp/escape.wav" "$tmp/stair0.wav@0@0.9" "$tmp/stair1.wav@0.21@0.8" "$tmp/stair2e.wav@0.42@0.7" \
    "$tmp/stair3e.wav@0.63@0.6" "$tmp/whoosh.wav@0@1"

# The gain in dB that brings a file's gated RMS to target_db. Turning a sound down drops
# more of its tail under the gate, which raises the RMS of what is left, so the gain is
# refined a few times.
gain_to() { # file target_db
    fx "$1" -t dat - | awk -v target="$2" -v gate_db="$GATE_DB" '
        function db(v) { return 20 * log(v) / log(10) }
        /^;/ { next }
        { x[n++] = $2 }
        END {
            gate = exp(gate_db / 20 * log(10)); g = 1
            for (round = 0; round < 6; round++) {
                s = 0; k = 0
                for (i = 0; i < n; i++) {
                    v = x[i] * g
                    if (v > gate || v < -gate) { s += v * v; k++ }
                }
                g *= exp((target - db(sqrt(s / k))) / 20 * log(10))
            }
            printf "%.4f\n", db(g)
        }'
}

# Trim dead air from both ends, fade the cut ends so they cannot click, and bring the effect
# to its planned loudness.
finish() { # name target_db
    local name=$1 gain
    fx "$tmp/$name.wav" "${WORK[@]}" "$tmp/$name.trim.wav" gain -n -1 \
        silence 1 0 -50d reverse silence 1 0 -60d reverse
    fx "$tmp/$name.trim.wav" "${WORK[@]}" "$tmp/$name.edged.wav" \
        fade t "$FADE_IN_S" -0 "$FADE_OUT_S"
    gain=$(gain_to "$tmp/$name.edged.wav" "$2")
    fx "$tmp/$name.edged.wav" "${FINAL[@]}" "$out_dir/$name.wav" gain "$gain"
}

# The game pauses on some effects and cuts off whatever is playing with the next sound, so
# these must end in time.
MAX_SECONDS=(squash:0.75 heal:1.0 ouch:0.6 gameover:2.0)

# A file the game could not mix as it stands is a build failure, not a quiet surprise: the
# format tag at byte 20 must be 1, plain PCM, not the extensible header.
check() {
    local name=$1 file="$out_dir/$1.wav" limit
    [[ $(sox --i -r "$file") == "$RATE" && $(sox --i -b "$file") == 16 && $(sox --i -c "$file") == 1 &&
        $(sox --i -e "$file") == "Signed Integer PCM" && $(od -An -tu2 -j20 -N2 "$file") -eq 1 ]] ||
        { echo "make_sounds: $file is not 22050 Hz 16-bit mono PCM" >&2; exit 1; }
    for limit in "${MAX_SECONDS[@]}"; do
        [[ ${limit%%:*} == "$name" ]] || continue
        awk -v d="$(sox --i -D "$file")" -v m="${limit#*:}" 'BEGIN { exit !(d <= m) }' ||
            { echo "make_sounds: $file is longer than ${limit#*:} s" >&2; exit 1; }
    done
}

# A written file as the plan counts it, in dBFS: name, length in seconds, gated RMS, sample
# peak, the loudest 0.5 ms leaping out of silence or into it, the first and the last sample.
measure() { # name
    fx "$out_dir/$1.wav" -t dat - | awk -v name="$1" -v rate="$RATE" -v gate_db="$GATE_DB" '
        function db(v) { return v > 0 ? 20 * log(v) / log(10) : -120 }
        # Walks the samples from one end; the edge of the file counts as silence.
        function worst_onset(from, step,   i, j, quiet, worst, top) {
            quiet = need
            for (i = from; i >= 0 && i < n; i += step) {
                if (quiet >= need && a[i] > gate) {
                    top = 0
                    for (j = i; j >= 0 && j < n && j != i + step * hold; j += step)
                        if (a[j] > top) top = a[j]
                    if (top > worst) worst = top
                }
                quiet = a[i] < gate ? quiet + 1 : 0
            }
            return worst
        }
        /^;/ { next }
        { a[n] = $2 < 0 ? -$2 : $2; n++ }
        END {
            gate = exp(gate_db / 20 * log(10)); need = int(rate * 0.002); hold = int(rate * 0.0005)
            for (i = 0; i < n; i++) {
                if (a[i] > gate) { s += a[i] * a[i]; k++ }
                if (a[i] > peak) peak = a[i]
            }
            onset = worst_onset(0, 1); ending = worst_onset(n - 1, -1)
            printf "%s %.3f %.2f %.2f %.2f %.2f %.2f\n", name, n / rate, db(sqrt(s / k)), db(peak),
                db(onset > ending ? onset : ending), db(a[0]), db(a[n - 1])
        }'
}

# Prints the measured table and fails unless it keeps the plan.
check_plan() { # measure lines on stdin
    awk -v spread="$EVENT_SPREAD_DB" -v gap="$STEP_GAP_DB" -v most="$STEP_GAP_MOST_DB" \
        -v peak_limit="$PEAK_LIMIT_DB" -v onset_limit="$ONSET_LIMIT_DB" '
        function fail(why) { print "make_sounds: " why > "/dev/stderr"; bad = 1 }
        BEGIN { printf "%-10s %7s %8s %8s %9s %8s %8s\n", "sound", "seconds", "RMS dB", "peak dB",
                       "click dB", "first dB", "last dB"
                ev_lo = 0; ev_hi = -999; st_lo = 0; st_hi = -999 }
        {
            printf "%-10s %7.3f %8.2f %8.2f %9.2f %8.2f %8.2f\n", $1, $2, $3, $4, $5, $6, $7
            if ($1 ~ /^step/) { if ($3 < st_lo) st_lo = $3; if ($3 > st_hi) st_hi = $3 }
            else { if ($3 < ev_lo) ev_lo = $3; if ($3 > ev_hi) ev_hi = $3 }
            if ($4 > peak_limit) fail($1 " peaks at " $4 " dB, over " peak_limit " dB")
            if ($5 > onset_limit) fail($1 " leaps out of or into silence at " $5 " dB (a click)")
            if ($6 > -60 || $7 > -60) fail($1 " does not start and end on silence")
        }
        END {
            printf "events %.2f to %.2f dB (spread %.2f); footsteps %.2f to %.2f dB, %.2f dB under the quietest event\n",
                ev_lo, ev_hi, ev_hi - ev_lo, st_lo, st_hi, ev_lo - st_hi
            if (ev_hi - ev_lo > spread) fail("the events spread over more than " spread " dB")
            if (st_hi > ev_lo - gap) fail("a footstep is less than " gap " dB under the quietest event")
            if (st_lo < ev_lo - most) fail("a footstep is more than " most " dB under the quietest event")
            exit bad
        }' || { echo "make_sounds: the loudness plan is broken" >&2; exit 1; }
}

EVENTS=(getrock squash getpotion heal ouch gameover escape)
for name in step0 step1 step2 step3 step4 step5 "${EVENTS[@]}"; do
    if [[ $name == step* ]]; then finish "$name" "$STEP_DB"; else finish "$name" "$EVENT_DB"; fi
    check "$name"
    measure "$name" >>"$tmp/measured.txt"
done
check_plan <"$tmp/measured.txt"
