#!/usr/bin/env bash
# Side-by-side CPU time of vazezav-render, sox noisered and ffmpeg afftdn on
# the same 60-second stereo 48 kHz file, each learning from the same
# noise-only stretch (the first 1.5 s). Installs sox and ffmpeg if missing.
# Usage: bench/compare_cli.sh [path/to/vazezav-render]
set -euo pipefail
cd "$(dirname "$0")/.."

tool="${1:-build/release/tools/render/vazezav-render}"
[[ -x "$tool" ]] || { echo "build vazezav-render first (bash scripts/run.sh), or pass its path" >&2; exit 1; }

missing=()
for pkg in sox ffmpeg time; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
done
if ((${#missing[@]})); then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 60 s of stereo pink noise at about -30 dBFS, with a tone and its harmonics from 1.5 s on.
sox -n -r 48000 -c 2 -b 24 "$work/noise.wav" synth 60 pinknoise vol 0.05
sox -n -r 48000 -c 2 -b 24 "$work/tone.wav" synth 58.5 sine 220 sine 440 vol 0.2 pad 1.5 0
sox -m "$work/noise.wav" "$work/tone.wav" "$work/in.wav"

cpu() { /usr/bin/time -f "%U %S" -o "$work/t" "$@" >/dev/null 2>&1; awk '{ print $1 + $2 }' "$work/t"; }

ours=$(cpu "$tool" "$work/in.wav" "$work/ours.wav" --noise 0:1.5 --quiet)
sox_cpu=$(cpu sh -c "sox '$work/in.wav' -n trim 0 1.5 noiseprof '$work/prof' && sox '$work/in.wav' '$work/sox.wav' noisered '$work/prof' 0.21")
ffmpeg_cpu=$(cpu ffmpeg -nostdin -y -i "$work/in.wav" \
    -af "asendcmd=c='0.0 afftdn sn start; 1.5 afftdn sn stop',afftdn" "$work/ffmpeg.wav")

printf "%-32s %8s\n" "command (60 s stereo 48 kHz)" "CPU s"
printf "%-32s %8.2f\n" "vazezav-render --noise 0:1.5" "$ours"
printf "%-32s %8.2f\n" "sox noiseprof + noisered" "$sox_cpu"
printf "%-32s %8.2f\n" "ffmpeg -af afftdn (sn 0-1.5 s)" "$ffmpeg_cpu"
awk -v o="$ours" -v s="$sox_cpu" -v f="$ffmpeg_cpu" 'BEGIN {
    printf "sox / vazezav-render:    %.2fx\n", s / o
    printf "ffmpeg / vazezav-render: %.2fx\n", f / o }'
"$tool" "$work/in.wav" "$work/ours.wav" --noise 0:1.5 --quiet
