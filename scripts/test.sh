#!/usr/bin/env bash
# Checks the formatting, builds Vigilo with warnings as errors, runs clang-tidy over the program's
# sources and runs the whole test suite: unit tests, adapter tests against private D-Bus buses,
# drawings rendered offscreen, the end-to-end runs under a virtual X display, the package and the
# self-update. Installs the needed packages first (as root).
#
#   scripts/test.sh [--quick] [ctest arguments...]
#
# --quick skips clang-tidy and runs only the tests labelled quick (see tests/CMakeLists.txt): the
# loop while editing. Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

quick=false
ctest_args=()
for arg in "$@"; do
    if [ "$arg" = --quick ]; then
        quick=true
    else
        ctest_args+=("$arg")
    fi
done

# On a Mac: the build and the tests that need no Linux services (the Linux adapters' tests, the
# end-to-end runs under Xvfb and the Debian package are not built there). Formatting and
# clang-tidy are checked by the Linux run, with Debian's versions of the tools.
if [ "$(uname -s)" = Darwin ]; then
    scripts/install-deps.sh
    cmake --preset ci -DCMAKE_PREFIX_PATH="$(brew --prefix qt)"
    cmake --build --preset ci -j"$(sysctl -n hw.ncpu)"
    ctest --preset ci -j"$(sysctl -n hw.ncpu)" -L '^quick$' ${ctest_args[@]+"${ctest_args[@]}"}
    exit
fi

if [ "$(id -u)" -eq 0 ]; then
    scripts/install-deps.sh
else
    scripts/install-deps.sh || { echo "test: run as root once to install the packages" >&2; exit 1; }
fi

# Formatting first: it needs no build. Every tracked C++ file that still exists (a deletion not
# yet staged is no fault); safe.directory lets root read a checkout another user owns.
tracked=$(git -c safe.directory="$PWD" ls-files -- '*.cpp' '*.h' '*.mm')
cxx_files=()
while IFS= read -r file; do
    if [ -f "$file" ]; then
        cxx_files+=("$file")
    fi
done <<<"$tracked"
if [ ${#cxx_files[@]} -eq 0 ]; then
    echo "test: git lists no C++ files to check the formatting of" >&2
    exit 1
fi
if ! format_report=$(clang-format --dry-run -Werror "${cxx_files[@]}" 2>&1); then
    unformatted=$(sed -nE 's/^(.+):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' \
        <<<"$format_report" | sort -u)
    if [ -z "$unformatted" ]; then
        echo "$format_report" >&2
        echo "test: clang-format could not check the sources (above)" >&2
    else
        echo "test: these files are not formatted as .clang-format asks:" >&2
        sed 's/^/  /' <<<"$unformatted" >&2
        echo "test: format them with: clang-format -i $(paste -sd' ' <<<"$unformatted")" >&2
    fi
    exit 1
fi

# The layers' arrows: also needs no build.
scripts/check-includes.sh

# Through ccache, with paths taken relative to the build folder and no hash of it: the self-update
# test's build of an older release, in a folder beside this one, then gets these objects back.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
cmake --preset ci -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake --build --preset ci -j"$(nproc)"
tests/check-labels.py build/ci
if $quick; then
    ctest --preset ci -j"$(nproc)" -L '^quick$' "${ctest_args[@]}"
else
    scripts/tidy.sh build/ci
    ctest --preset ci -j"$(nproc)" "${ctest_args[@]}"
fi
