#!/usr/bin/env bash
# Kills a process that saves the settings in a loop with -9, again and again. After every kill
# the next start must find a file that parses and still holds a member the program does not know,
# and must leave no temporary file behind. Prints the counts; exits 1 on any fault.
# Usage: bench/settings/soak.sh path/to/vigilo_settings_saver [rounds]
#        (or the bench_settings_soak target)
set -euo pipefail

saver=$(realpath "$1")
rounds=${2:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder=$work/settings
snapshots=$work/snapshots
mkdir "$folder" "$snapshots"

planted='{"keep": ["me", 1, {"deep": null}]}'
printf '{"plantedBySoak": %s}\n' "$planted" >"$folder/defaults.json"

temporaries() {
    find "$folder" -maxdepth 1 -name '.defaults.json.??????' | wc -l
}

mid_save=0 left_behind=0
started=$(date +%s)
for ((round = 1; round <= rounds; ++round)); do
    "$saver" "$folder" &
    pid=$!
    # 5 to 45 ms: past the start-up, into the saving.
    sleep "0.0$((RANDOM % 40 + 5))"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true

    if (($(temporaries) > 0)); then
        ((++mid_save))
    fi
    "$saver" "$folder" --start
    left_behind=$((left_behind + $(temporaries)))
    # Parsed all at once at the end: one interpreter start costs more than a round.
    cp "$folder/defaults.json" "$snapshots/$round.json" 2>/dev/null || true
done
corrupt=$(find "$folder" -maxdepth 1 -name 'defaults.json.corrupt-*' | wc -l)

echo "kill -9 rounds:                   $rounds ($(($(date +%s) - started)) s)"
echo "kills with a save mid-write:      $mid_save"
echo "temporary files after a start:    $left_behind"
echo "files moved aside as corrupt:     $corrupt"
python3 - "$snapshots" "$rounds" "$planted" <<'PY'
import json, pathlib, sys
snapshots, rounds, planted = pathlib.Path(sys.argv[1]), int(sys.argv[2]), json.loads(sys.argv[3])
saves = unreadable = member_lost = 0
for round in range(1, rounds + 1):
    try:
        document = json.loads((snapshots / f"{round}.json").read_text(encoding="utf-8"))
    except (OSError, ValueError):
        unreadable += 1
        continue
    if document.get("plantedBySoak") != planted:
        member_lost += 1
    # Each round of the saver is a pair of saves; batteryThreshold holds the last round's number.
    saves += 2 * (document.get("batteryThreshold", -1) + 1)
print(f"saves completed, at least:        {saves}")
print(f"files that did not parse:         {unreadable}")
print(f"files without the planted member: {member_lost}")
sys.exit(1 if unreadable or member_lost else 0)
PY
((left_behind + corrupt == 0))
