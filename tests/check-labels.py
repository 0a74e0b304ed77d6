#!/usr/bin/env python3
"""Fails when a test of a build folder has no kind, or more than one: each test carries exactly
one of the labels below (see tests/CMakeLists.txt), so that `ctest -L <kind>` picks every test of
that kind and no other, and scripts/test.sh --quick misses none of the quick ones.

Usage: tests/check-labels.py <build folder>   (after building it: the GoogleTest cases are
listed by the build)
"""
import json
import subprocess
import sys

KINDS = {"quick", "e2e", "package", "self_update"}

build = sys.argv[1]
listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                         capture_output=True, text=True, check=True).stdout
tests = json.loads(listing)["tests"]
if not tests:
    sys.exit(f"check-labels: ctest lists no tests in {build}; build it first")

wrong = []
for test in tests:
    labels = next((p["value"] for p in test.get("properties", []) if p["name"] == "LABELS"), [])
    kinds = [label for label in labels if label in KINDS]
    if len(kinds) != 1:
        wrong.append(f"  {test['name']}: labels {labels or 'none'}")
if wrong:
    print(f"check-labels: each test needs exactly one of the labels {', '.join(sorted(KINDS))}"
          " (tests/CMakeLists.txt says which); these have not:", file=sys.stderr)
    print("\n".join(wrong), file=sys.stderr)
    sys.exit(1)
print(f"check-labels: all {len(tests)} tests have a kind")
