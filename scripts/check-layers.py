#!/usr/bin/env python3
"""Checks that no #include runs upwards through the layers and prints the folder graph.

The layers, from the bottom up: core, engines, data, files, ui, app. A file may include headers
of its own folder and of the folders below it, never of a folder beside or above it. Prints
every folder with the folders it includes and how many include lines go there; exits non-zero
and names each offending line when an include runs upwards.
Usage: scripts/check-layers.py [source folder]
"""
import pathlib
import re
import sys
from collections import Counter

LAYERS = ["core", "engines", "data", "files", "ui", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^/"]+)/[^"]+"')


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[1])
    rank = {layer: index for index, layer in enumerate(LAYERS)}
    graph = {layer: Counter() for layer in LAYERS}
    upward = []
    for layer in LAYERS:
        for path in sorted((root / layer).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            lines = path.read_text(encoding="utf-8").splitlines()
            for number, line in enumerate(lines, start=1):
                match = INCLUDE.match(line)
                if not match or match.group(1) not in rank:
                    continue
                target = match.group(1)
                if target != layer:
                    graph[layer][target] += 1
                if rank[target] > rank[layer]:
                    upward.append(f"{path.relative_to(root)}:{number}: {line.strip()}")
    for layer in LAYERS:
        targets = ", ".join(f"{t} ({n})" for t, n in sorted(graph[layer].items(),
                                                             key=lambda item: rank[item[0]]))
        print(f"{layer:8} -> {targets or '(nothing of ours)'}")
    if upward:
        print(f"\n{len(upward)} include line(s) run upwards:", file=sys.stderr)
        print("\n".join(upward), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
