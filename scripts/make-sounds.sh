#!/usr/bin/env bash
# Makes the tutor's voice lines and the sound effects of the library template
# (resources/Baza/Sound/<cue>.wav) as mono 16-bit integer PCM, the only WAV
# form the cue player takes: the voice at 16000 Hz (the rate of its
# recordings), the effects at 22050 Hz.
#
# The tutor speaks with festival's Russian voice msu_ru_nsh (package
# festvox-ru): a man's voice joined from recorded speech, so pitch and timbre
# move as in real speech, with a stress dictionary. espeak-ng reads Russian
# with the right stress too, but its voice is a formant model and sounds
# mechanical. The effects are synthesized with sox.
#
# Every cue, voice and effect alike, is then brought to one loudness:
# -18 LUFS integrated (EBU R128, measured by ffmpeg), with peaks held under
# -1 dBTP by a look-ahead limiter, so that no cue startles and none is lost.
# The files are committed, so building the program needs none of these tools.
#
# Usage: scripts/make-sounds.sh
set -euo pipefail
cd "$(dirname "$0")/.."
out=resources/Baza/Sound
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# -R: the same random numbers (noise, dither) on every run, so remaking the
# sounds without changing this script changes no file.
sox() { command sox -R "$@"; }

RATE=22050
FMT=(-r $RATE -c 1 -b 16 -e signed-integer)
VOICE_RATE=16000
VFMT=(-r $VOICE_RATE -c 1 -b 16 -e signed-integer)

# ---------------------------------------------------------------- voice ---
# cue|text. The voice reads UTF-8 text; "+" after a vowel is not understood,
# so a word the dictionary stresses wrongly gets its own entry below.
lines='Yes|Правильно!
Yes1|Верно!
AnalginYes1|Пять правильных ответов подряд! Молодец!
No|Неверно.
No1|Нет, не так.
AnalginNo1|Не торопись, подумай хорошенько.
AnalginNo2|Прочитай вопрос ещё раз внимательно.
Final1|Отлично! Ты прекрасно знаешь эту тему. Молодец!
Final2|Хорошо! Ещё немного старания, и будет отлично.
Final3|Удовлетворительно. Повтори эту тему, и всё получится.
Final4|Не огорчайся! Повтори материал и попробуй ещё раз.
Gmm|Хм.
Sora|Не мешай, пожалуйста!
Book|Выбери тему.
Name|Представься, пожалуйста.
Gong|Начинаем!
We|Подожди... Ты уверен?
Next|Продолжим.
Time1|Осталось десять секунд!
Time|Время вышло!'

# One festival run speaks every line (loading the voice takes most of the
# time). The dictionary stresses "молодец" on the first syllable, as the
# folk-tale word; the tutor praises with the stress on the last.
{
    echo '(voice_msu_ru_nsh_clunits)'
    echo '(lex.add.entry (quote ("молодец" n (3))))'
    while IFS='|' read -r cue text; do
        printf '(utt.save.wave (utt.synth (Utterance Text "%s")) "%s/%s.raw.wav" (quote riff))\n' \
            "$text" "$tmp" "$cue"
    done <<<"$lines"
} >"$tmp/say.scm"
festival -b "$tmp/say.scm" 2>"$tmp/festival.log" || { cat "$tmp/festival.log" >&2; exit 1; }

# The recordings need no colouring: trim the silence around the words, take
# out rumble below the voice, and leave a short breath of silence at the ends.
declare -A level_in
while IFS='|' read -r cue _; do
    sox "$tmp/$cue.raw.wav" "$tmp/$cue.trim.wav" \
        silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse
    sox "$tmp/$cue.trim.wav" "${VFMT[@]}" "$tmp/$cue.voice.wav" \
        gain -3 highpass 70 pad 0.03 0.06 fade q 0.005 -0 0.03
    level_in[$cue]=$tmp/$cue.voice.wav
done <<<"$lines"

# -------------------------------------------------------------- effects ---
# note FILE TYPE FREQ LENGTH [DELAY]: one tone that decays like a struck bell.
note() {
    local file=$1 type=$2 freq=$3 len=$4 delay=${5:-0}
    sox -n "${FMT[@]}" "$file" synth "$len" "$type" "$freq" \
        fade l 0.004 "$len" "$(echo "$len * 0.92" | bc -l)" pad "$delay" 0
}

# bell FILE FREQ LENGTH [DELAY]: a tone with a soft octave overtone.
bell() {
    local file=$1 freq=$2 len=$3 delay=${4:-0}
    note "$tmp/b1.wav" sine "$freq" "$len"
    note "$tmp/b2.wav" sine "$(echo "$freq * 2.0" | bc -l)" "$(echo "$len * 0.5" | bc -l)"
    sox -m -v 1 "$tmp/b1.wav" -v 0.35 "$tmp/b2.wav" "${FMT[@]}" "$file" pad "$delay" 0
}

# mix OUT GAIN_DB FILE...: sums the parts and brings the peak to GAIN_DB.
mix() {
    local dest=$1 gain=$2
    shift 2
    if (($# == 1)); then
        sox "$1" "${FMT[@]}" "$dest" gain -n "$gain"
    else
        sox -m "$@" "${FMT[@]}" "$dest" gain -n "$gain"
    fi
}

# chord OUT GAIN STEP LENGTH FREQ...: bells one after another, STEP apart.
chord() {
    local dest=$1 gain=$2 step=$3 len=$4
    shift 4
    local parts=() i=0
    for f in "$@"; do
        bell "$tmp/c$i.wav" "$f" "$len" "$(echo "$i * $step" | bc -l)"
        parts+=("$tmp/c$i.wav")
        i=$((i + 1))
    done
    mix "$dest" "$gain" "${parts[@]}"
}

# swish OUT LENGTH LOW HIGH: filtered noise, a page turning.
swish() {
    local dest=$1 len=$2 low=$3 high=$4
    sox -n "${FMT[@]}" "$dest" synth "$len" pinknoise \
        sinc "$low-$high" fade h "$(echo "$len * 0.35" | bc -l)" "$len" "$(echo "$len * 0.6" | bc -l)" gain -n -6
}

# pluck OUT FREQ LENGTH [GAIN]: a short wooden pluck that rings for half its
# length before it fades (a bare pluck is all attack: brought to the loudness
# of the other cues its peak would have to be cut).
pluck() {
    sox -n "${FMT[@]}" "$1" synth "$3" pluck "$2" fade l 0 "$3" "$(echo "$3 * 0.5" | bc -l)" gain -n "${4:--4}"
}

# sweep OUT TYPE FROM TO LENGTH [GAIN]: a gliding blip.
sweep() {
    sox -n "${FMT[@]}" "$1" synth "$5" "$2" "$3:$4" fade h 0.005 "$5" "$(echo "$5 * 0.7" | bc -l)" \
        lowpass 4000 gain -n "${6:--5}"
}

fx=$tmp/fx
mkdir -p "$fx"
chord "$fx/Hello.wav" -3 0.12 0.7 784 1047 1319
chord "$fx/About.wav" -3 0.09 0.6 523 659 784 1047 1319
chord "$fx/OkNewBaza.wav" -3 0.1 0.7 523 659 784 1047
chord "$fx/NewPredmet.wav" -4 0.08 0.45 659 880 1175
chord "$fx/Count.wav" -4 0.1 0.5 784 988 1175
chord "$fx/OptTestSave.wav" -4 0.1 0.4 659 880
chord "$fx/OptTestCancel.wav" -5 0.1 0.4 880 587
chord "$fx/Cancel.wav" -5 0.09 0.35 784 523
chord "$fx/Rename.wav" -4 0.07 0.35 880 1109
bell "$tmp/ding.wav" 1568 0.8
mix "$fx/Ding.wav" -4 "$tmp/ding.wav"

# Soft warning: two low triangle notes going down.
note "$tmp/w1.wav" triangle 659 0.28
note "$tmp/w2.wav" triangle 523 0.4 0.16
sox -m "$tmp/w1.wav" "$tmp/w2.wav" "${FMT[@]}" "$fx/Warn.wav" lowpass 2200 gain -n -4

# Soft error: a gentle low "uh-oh".
note "$tmp/e1.wav" triangle 440 0.3
note "$tmp/e2.wav" triangle 349 0.5 0.2
sox -m "$tmp/e1.wav" "$tmp/e2.wav" "${FMT[@]}" "$fx/ErrorNewBaza.wav" lowpass 1500 gain -n -4

# Pages turning.
swish "$tmp/page.wav" 0.35 700 6000
mix "$fx/BookEnd.wav" -5 "$tmp/page.wav"
bell "$tmp/tb.wav" 1319 0.5 0.25
sox -m "$tmp/page.wav" "$tmp/tb.wav" "${FMT[@]}" "$fx/Table.wav" gain -n -5
bell "$tmp/nb.wav" 1047 0.5 0.3
sox -m "$tmp/page.wav" "$tmp/nb.wav" "${FMT[@]}" "$fx/NewBaza.wav" gain -n -5

# Clock tick: a click of filtered noise over a high ping that rings on
# briefly, so that the tick is as loud as the other cues without a sharp peak.
sox -n "${FMT[@]}" "$tmp/tick.wav" synth 0.03 whitenoise vol 0.5 highpass 2500 fade l 0 0.03 0.028
sox -n "${FMT[@]}" "$tmp/ping.wav" synth 0.13 sine 3000 fade l 0 0.13 0.1
sox -m "$tmp/tick.wav" "$tmp/ping.wav" "${FMT[@]}" "$fx/Clock.wav" pad 0 0.05 gain -n -3

# Pops, blips and plucks for the small clicks.
sweep "$fx/Down.wav" sine 900 350 0.14
sweep "$fx/ContecstMenu.wav" sine 500 1100 0.09
sweep "$fx/OptTestMenu.wav" sine 600 1300 0.12
sweep "$fx/Del.wav" triangle 700 180 0.25 -4
pluck "$fx/SelectPredmet.wav" 392 0.18
pluck "$fx/SelectTema.wav" 587 0.18
pluck "$fx/SelectOpt.wav" 784 0.15 -6

# Sorting: four quick plucks going up.
parts=()
for i in 0 1 2 3; do
    f=$(echo "440 * e(l(2) * $i * 4 / 12)" | bc -l) # a major third apart
    sox -n "${FMT[@]}" "$tmp/s$i.wav" synth 0.14 pluck "$f" fade l 0 0.14 0.12 pad "$(echo "$i * 0.07" | bc -l)" 0
    parts+=("$tmp/s$i.wav")
done
mix "$fx/Sort.wav" -4 "${parts[@]}"

# The gong that starts a test: inharmonic partials with a long, slightly
# beating decay, and over its ringing the tutor says that the test begins
# (so the gong, like his other remarks, follows the voice switch).
gong=()
i=0
for p in "110 1.0 2.6" "171 0.6 2.2" "233 0.45 1.8" "298 0.35 1.5" "419 0.25 1.1" "522 0.18 0.8" "111.5 0.7 2.6"; do
    read -r f v l <<<"$p"
    sox -n "${VFMT[@]}" "$tmp/g$i.wav" synth "$l" sine "$f" fade l 0.01 "$l" "$(echo "$l * 0.97" | bc -l)" vol "$v"
    gong+=("$tmp/g$i.wav")
    i=$((i + 1))
done
sox -n "${VFMT[@]}" "$tmp/hit.wav" synth 0.08 brownnoise lowpass 900 fade l 0 0.08 0.075
gong+=("$tmp/hit.wav")
sox -m "${gong[@]}" "${VFMT[@]}" "$tmp/gong.wav" reverb 30 50 70
# The strike about as loud as the words; the words, coming in as it rings
# on, a little louder than what is left of it.
sox "$tmp/gong.wav" "${VFMT[@]}" "$tmp/gong.short.wav" trim 0 2.4 fade q 0 2.4 0.8 gain -n -1
sox "$tmp/Gong.voice.wav" "${VFMT[@]}" "$tmp/gong.words.wav" gain -n -8 pad 0.8 0
sox -m "$tmp/gong.short.wav" "$tmp/gong.words.wav" "${VFMT[@]}" "$tmp/Gong.wav"
level_in[Gong]=$tmp/Gong.wav
for f in "$fx"/*.wav; do
    c=$(basename "$f" .wav)
    level_in[$c]=$f
done

# ------------------------------------------------------------- loudness ---
TARGET=-18   # LUFS, integrated
CEILING=-1   # dBTP

# loudness FILE: prints the integrated loudness (LUFS) and the true peak
# (dBTP). A second of silence follows the sound so that a cue shorter than
# the meter's 400 ms block is still measured; the gate leaves the silence out.
loudness() {
    ffmpeg -hide_banner -nostats -i "$1" -af "apad=pad_dur=1,ebur128=peak=true" -f null - 2>&1 |
        awk '/Integrated loudness:/ { s = 1 } s && $1 == "I:" { i = $2 }
             /True peak:/ { t = 1 } t && $1 == "Peak:" { p = $2 }
             END { print i, p }'
}

# level IN OUT: brings IN to the target loudness. Peaks that would then pass
# the ceiling go through a look-ahead limiter set a dB below it (the true peak
# lies up to a dB over the samples); as limiting takes a little loudness away,
# the gain is corrected and the limiter run again until the level holds.
level() {
    local src=$1 dest=$2 gain=0 i p pass
    read -r i p < <(loudness "$src")
    for pass in 1 2 3 4; do
        gain=$(echo "$gain + $TARGET - ($i)" | bc -l)
        ffmpeg -hide_banner -loglevel error -y -i "$src" \
            -af "volume=${gain}dB,alimiter=limit=$(echo "e(($CEILING - 1) / 20 * l(10))" | bc -l):attack=1:release=30:level=false:latency=true" \
            -c:a pcm_s16le -bitexact "$dest"
        read -r i p < <(loudness "$dest")
        if (($(echo "d = $i - ($TARGET); d * d < 0.04" | bc -l))); then
            break
        fi
    done
    if (($(echo "d = $i - ($TARGET); d * d > 0.25" | bc -l))); then
        echo "$dest: $i LUFS, the limiter cannot bring it to $TARGET: give it more body" >&2
        exit 1
    fi
}

printf '%-14s %8s %16s %16s\n' cue seconds "made LUFS/dBTP" "level LUFS/dBTP"
for cue in $(printf '%s\n' "${!level_in[@]}" | sort); do
    read -r i0 p0 < <(loudness "${level_in[$cue]}")
    level "${level_in[$cue]}" "$out/$cue.wav"
    read -r i1 p1 < <(loudness "$out/$cue.wav")
    printf '%-14s %8.2f %8s %7s %8s %7s\n' "$cue" "$(soxi -D "$out/$cue.wav")" "$i0" "$p0" "$i1" "$p1"
done

echo "Made $(ls "$out"/*.wav | wc -l) cue files, $(du -ch "$out"/*.wav | tail -1 | cut -f1) in all."
