#!/usr/bin/env bash
# Generates the program's sound effects (resources/sounds/*.wav) with sox.
# 44.1 kHz, 16-bit, mono; each clip under a second so the files stay small.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources/sounds"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
format=(-r 44100 -b 16 -c 1)

# A pour: band-limited noise with a bubbling tremolo, swelling in and trailing off.
sox -n "${format[@]}" "$work/stream.wav" synth 0.6 pinknoise \
    highpass 350 lowpass 2600 tremolo 17 55 fade q 0.18 0.6 0.3 norm -6
sox -n "${format[@]}" "$work/glug.wav" synth 0.6 sine 320-560 \
    tremolo 9 80 fade q 0.2 0.6 0.3 vol 0.12
sox -m "$work/stream.wav" "$work/glug.wav" "${format[@]}" "$out/pour-in.wav" norm -4

# Pouring out: the same stream, shorter, with a falling undertone.
sox -n "${format[@]}" "$work/stream-out.wav" synth 0.5 pinknoise \
    highpass 300 lowpass 2200 tremolo 13 60 fade q 0.06 0.5 0.34 norm -6
sox -n "${format[@]}" "$work/glug-out.wav" synth 0.5 sine 520-260 \
    tremolo 7 80 fade q 0.05 0.5 0.35 vol 0.12
sox -m "$work/stream-out.wav" "$work/glug-out.wav" "${format[@]}" "$out/pour-out.wav" norm -4

# Ice in a glass: two short bright pings, the second softer and a little higher.
sox -n "${format[@]}" "$work/ping1.wav" synth 0.12 sine 2637 sine 3951 fade q 0.002 0.12 0.11
sox -n "${format[@]}" "$work/ping2.wav" synth 0.16 sine 3136 sine 4699 fade q 0.002 0.16 0.15 \
    vol 0.6 pad 0.11
sox -m "$work/ping1.wav" "$work/ping2.wav" "${format[@]}" "$work/pings.wav"
sox "$work/pings.wav" "${format[@]}" "$out/ice-coffee.wav" pad 0 0.03 norm -5

ls -l "$out"
