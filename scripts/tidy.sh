#!/usr/bin/env bash
# Runs clang-tidy with the committed .clang-tidy over the program's own sources (the src/ *.cpp
# files of a build folder's compile_commands.json: no tests, nothing generated), one process per
# core, and fails on any warning, printing it. Run it after building that folder.
#
# A full run costs a quarter of an hour on two cores, so a source that passed leaves a stamp: a
# hash of clang-tidy's version, the configuration, the source's compile command (without this
# checkout's folder) and the contents of every file the last build saw it read (ninja's dependency
# log: the source, the project's headers and the system's). A run checks only the sources whose
# hash has no stamp: an edited header re-checks exactly the files that include it. The stamps are
# kept per user in ~/.cache/vigilo/tidy, so that a fresh checkout or build folder of sources
# that passed before is not checked again; a stamp unused for 30 days goes.
#
# Usage: scripts/tidy.sh [build folder, default build/ci]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
stamps=${XDG_CACHE_HOME:-$HOME/.cache}/vigilo/tidy

if ! command -v clang-tidy >/dev/null; then
    echo "tidy: clang-tidy is not installed; run scripts/install-deps.sh as root" >&2
    exit 1
fi
if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy: $build/compile_commands.json is missing; configure and build $build first" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes the number of program sources to "total" and "<source> TAB <stamp key>" to "pending"
# for each whose stamp is not current. The key is empty when ninja has no current record of what
# the source includes: the source is checked then, but not stamped.
python3 - "$build" "$stamps" "$(clang-tidy --version)" "$work" <<'EOF'
import hashlib, json, os, re, subprocess, sys

build, stamps, tidy_version, work = sys.argv[1:5]
root = os.getcwd()

sources = {}  # object file (as ninja names it) -> (source from the root, compile command)
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    source = os.path.relpath(os.path.join(entry["directory"], entry["file"]), root)
    if source.startswith("src/") and source.endswith(".cpp"):
        output = re.search(r" -o (\S+)", entry["command"]).group(1)
        sources[output] = (source, entry["command"])
if not sources:
    sys.exit(f"tidy: no program sources in {build}/compile_commands.json")

# ninja prints "<object>: #deps N, deps mtime T (VALID)" and then one indented line per file read,
# relative to the build folder or absolute as the compiler (or ccache) reported it.
log = subprocess.run(["ninja", "-C", build, "-t", "deps", *sources],
                     capture_output=True, text=True, check=True).stdout
included = {}
for line in log.splitlines():
    if line and not line[0].isspace():
        current = [] if line.endswith("(VALID)") else None
        included[line.split(":")[0]] = current
    elif line.strip() and current is not None:
        path = os.path.relpath(os.path.join(build, line.strip()), root)
        current.append(os.path.abspath(path) if path.startswith(".." + os.sep) else path)

digests = {}
def digest(path):
    if path not in digests:
        with open(path, "rb") as file:
            digests[path] = hashlib.sha256(file.read()).hexdigest()
    return digests[path]

configuration = digest(".clang-tidy")
pending = []
for output, (source, command) in sorted(sources.items(), key=lambda item: item[1]):
    key = ""
    if included.get(output) is not None:
        try:
            files = "".join(f"{path} {digest(path)}\n" for path in [source, *included[output]])
            command = command.replace(root + os.sep, "")
            key = hashlib.sha256(
                f"{tidy_version}\n{configuration}\n{command}\n{files}".encode()).hexdigest()
        except FileNotFoundError:  # a header deleted since the build
            pass
    stamp = os.path.join(stamps, key)
    if key and os.path.exists(stamp):
        os.utime(stamp)
        continue
    pending.append(f"{source}\t{key}\n")
with open(os.path.join(work, "total"), "w") as file:
    file.write(f"{len(sources)}\n")
with open(os.path.join(work, "pending"), "w") as file:
    file.writelines(pending)
EOF

# Checks one source; a pass leaves its stamp (when its key is known), a failure its output.
check() {
    local source=$1 key=$2 log
    log=$work/logs/${source//\//_}.log
    if clang-tidy -p "$build" --quiet --warnings-as-errors='*' "$source" >"$log" 2>&1; then
        rm "$log"
        if [ -n "$key" ]; then
            mkdir -p "$stamps"
            : >"$stamps/$key"
        fi
    fi
}

total=$(cat "$work/total")
checked=$(wc -l <"$work/pending")
echo "tidy: checking $checked of $total sources; the others passed unchanged"
mkdir -p "$work/logs"
jobs=$(nproc)
running=0
while IFS=$'\t' read -r source key; do
    check "$source" "$key" </dev/null &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done <"$work/pending"
wait

failed=("$work"/logs/*.log)
if [ -e "${failed[0]}" ]; then
    # clang's "N warnings generated." counts what the configuration hides too: only noise here.
    grep -hvE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "${failed[@]}" >&2 || true
    echo "tidy: clang-tidy found problems in ${#failed[@]} of the $checked sources checked" \
        "(above); mend them, or mark a line a check misjudges with // NOLINT(check-name) and" \
        "the reason" >&2
    exit 1
fi
find "$stamps" -type f -mtime +30 -delete 2>/dev/null || true
echo "tidy: no warnings"
