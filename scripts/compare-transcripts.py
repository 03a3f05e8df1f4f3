#!/usr/bin/env python3
"""Runs every scenario of a collection through two velmora-sim builds and prints each scenario
whose transcripts differ, with the lines that differ. A refactoring that must keep what the
program does shows none, or only the differences it expects.

    VELMORA_SCENARIO_DUMP=/tmp/s.jsonl ctest --preset linux     # collects the scenarios
    scripts/compare-transcripts.py OLD/velmora-sim NEW/velmora-sim /tmp/s.jsonl [--ignore-form F]...

--ignore-form drops the lines of a window (its loads, shows, sets and inspections) from both
sides before comparing: for a window that stopped loading only to carry data.
"""
import argparse
import difflib
import json
import os
import subprocess
import sys
import tempfile


def transcript(sim, scenario_path, ignored):
    out = subprocess.run([sim, scenario_path], capture_output=True, timeout=60)
    lines = []
    for raw in out.stdout.decode("utf-8", "replace").splitlines():
        try:
            line = json.loads(raw)
        except ValueError:
            lines.append(raw)
            continue
        form = line.get("form") or line.get("control", "").split(".")[0]
        if form in ignored:
            continue
        lines.append(json.dumps(line, ensure_ascii=False, sort_keys=True))
    return out.returncode, lines


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("scenarios")
    parser.add_argument("--ignore-form", action="append", default=[])
    args = parser.parse_args()
    seen = set()
    differing = 0
    total = 0
    with open(args.scenarios, encoding="utf-8") as f, tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "scenario.json")
        for raw in f:
            if raw in seen:
                continue
            seen.add(raw)
            total += 1
            with open(path, "w", encoding="utf-8") as s:
                s.write(raw)
            old = transcript(args.old, path, set(args.ignore_form))
            new = transcript(args.new, path, set(args.ignore_form))
            if old != new:
                differing += 1
                print(f"== scenario {total}: {raw[:300].strip()}")
                print(f"   exit {old[0]} -> {new[0]}")
                for d in difflib.unified_diff(old[1], new[1], lineterm="", n=1):
                    print("   " + d[:400])
    print(f"{total} scenarios, {differing} with differing transcripts")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
