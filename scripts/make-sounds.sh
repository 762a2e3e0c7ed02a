#!/usr/bin/env bash
# Makes the tutor's voice lines and the sound effects of the library template
# (resources/Baza/Sound/<cue>.wav): 22050 Hz mono 16-bit PCM, the only WAV
# form the cue player takes. The voice is espeak-ng's Russian voice, warmed
# up with sox; the effects are synthesized with sox. The files are committed,
# so building the program needs neither tool.
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

# ---------------------------------------------------------------- voice ---
# An older man's voice: a little lower and slower than espeak's default,
# softer treble, a touch of room. Silence around the words is trimmed.
say() {
    local cue=$1 text=$2 speed=${3:-138} pitch=${4:-34}
    espeak-ng -v ru+m3 -s "$speed" -p "$pitch" -a 160 -g 2 -w "$tmp/$cue.raw.wav" "$text"
    sox "$tmp/$cue.raw.wav" "$tmp/$cue.trim.wav" \
        silence 1 0.01 0.3% reverse silence 1 0.01 0.3% reverse
    sox "$tmp/$cue.trim.wav" "$tmp/$cue.warm.wav" pad 0.02 0.05 bass +3 treble -2 reverb 12 40 40
    sox "$tmp/$cue.warm.wav" "${FMT[@]}" "$out/$cue.wav" gain -n -1.5 fade q 0.01 -0 0.04
}

say Yes         "Правильно!"
say Yes1        "Верно!"
say AnalginYes1 "Пять правильных ответов подряд! Молодец!" 150 40
say No          "Неверно."
say No1         "Нет, не так."
say AnalginNo1  "Не торопись, подумай хорошенько."
say AnalginNo2  "Прочитай вопрос ещё раз внимательно."
say Final1      "Отлично! Ты прекрасно знаешь эту тему. Молодец!" 145 40
say Final2      "Хорошо! Ещё немного старания, и будет отлично." 145
say Final3      "Удовлетворительно. Повтори эту тему, и всё получится." 145
say Final4      "Не огорчайся! Повтори материал и попробуй ещё раз." 145 30
# "Хм" spelled in phonemes: as a word espeak reads it letter by letter.
say Gmm         "[[x'm::]]" 110 30
say Sora        "Не мешай, пожалуйста!"
say Book        "Выбери тему."
say Name        "Представься, пожалуйста."
say We          "Подожди... Ты уверен?"
say Next        "Продолжим."
say Time1       "Осталось десять секунд!" 150
say Time        "Время вышло!"

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

# pluck OUT FREQ LENGTH [GAIN]: a short wooden pluck.
pluck() {
    sox -n "${FMT[@]}" "$1" synth "$3" pluck "$2" fade l 0 "$3" "$(echo "$3 * 0.8" | bc -l)" gain -n "${4:--4}"
}

# sweep OUT TYPE FROM TO LENGTH [GAIN]: a gliding blip.
sweep() {
    sox -n "${FMT[@]}" "$1" synth "$5" "$2" "$3:$4" fade h 0.005 "$5" "$(echo "$5 * 0.7" | bc -l)" \
        lowpass 4000 gain -n "${6:--5}"
}

fx=$out
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

# Clock tick: a click of filtered noise over a short high ping.
sox -n "${FMT[@]}" "$tmp/tick.wav" synth 0.03 whitenoise highpass 2500 fade l 0 0.03 0.028
sox -n "${FMT[@]}" "$tmp/ping.wav" synth 0.06 sine 3000 fade l 0 0.06 0.055
sox -m "$tmp/tick.wav" "$tmp/ping.wav" "${FMT[@]}" "$fx/Clock.wav" pad 0 0.05 gain -n -3

# Pops, blips and plucks for the small clicks.
sweep "$fx/Down.wav" sine 900 350 0.14
sweep "$fx/ContecstMenu.wav" sine 500 1100 0.09
sweep "$fx/OptTestMenu.wav" sine 600 1300 0.12
sweep "$fx/Del.wav" triangle 700 180 0.25 -4
pluck "$fx/SelectPredmet.wav" 392 0.18
pluck "$fx/SelectTema.wav" 587 0.18
pluck "$fx/SelectOpt.wav" 784 0.12 -6

# Sorting: four quick plucks going up.
parts=()
for i in 0 1 2 3; do
    f=$(echo "440 * 2 ^ ($i * 4 / 12)" | bc -l)
    sox -n "${FMT[@]}" "$tmp/s$i.wav" synth 0.14 pluck "$f" fade l 0 0.14 0.12 pad "$(echo "$i * 0.07" | bc -l)" 0
    parts+=("$tmp/s$i.wav")
done
mix "$fx/Sort.wav" -4 "${parts[@]}"

# The gong that starts a test: inharmonic partials with a long, slightly
# beating decay.
gong=()
i=0
for p in "110 1.0 2.6" "171 0.6 2.2" "233 0.45 1.8" "298 0.35 1.5" "419 0.25 1.1" "522 0.18 0.8" "111.5 0.7 2.6"; do
    read -r f v l <<<"$p"
    sox -n "${FMT[@]}" "$tmp/g$i.wav" synth "$l" sine "$f" fade l 0.01 "$l" "$(echo "$l * 0.97" | bc -l)" vol "$v"
    gong+=("$tmp/g$i.wav")
    i=$((i + 1))
done
sox -n "${FMT[@]}" "$tmp/hit.wav" synth 0.08 brownnoise lowpass 900 fade l 0 0.08 0.075
gong+=("$tmp/hit.wav")
sox -m "${gong[@]}" "${FMT[@]}" "$tmp/gong.wav" reverb 30 50 70
sox "$tmp/gong.wav" "${FMT[@]}" "$fx/Gong.wav" trim 0 2.8 fade q 0 2.8 0.6 gain -n -2

echo "Made $(ls "$out"/*.wav | wc -l) cue files, $(du -ch "$out"/*.wav | tail -1 | cut -f1) in all."
