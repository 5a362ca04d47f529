#!/usr/bin/env python3
"""Writes the part and script of the long-outline pocket whose memory docs/performance.md records:
the example pocket's part with its contours replaced by one closed outline of N lines (600 unless
given) on a circle of radius 45, and a script that picks the lines one by one and executes.

    python3 bench/long_outline_pocket.py OUT_DIR [N]
    /usr/bin/time -v ./build/hostrun --part OUT_DIR/part.json --script OUT_DIR/script.json \
        --out OUT_DIR/run --data data --fixed-time 2026-01-01T12:00:00
"""
import json
import math
import os
import sys

RADIUS = 45.0
CENTRE = (50.0, 50.0)
FIRST_ID = 101  # above the example's tool and record entities


def outline(count):
    corners = [(CENTRE[0] + RADIUS * math.cos(2 * math.pi * k / count),
                CENTRE[1] + RADIUS * math.sin(2 * math.pi * k / count)) for k in range(count)]
    return [{"class": 1, "id": FIRST_ID + k, "kind": "line", "type": 1,
             "start": [corners[k][0], corners[k][1], 0.0],
             "end": [corners[(k + 1) % count][0], corners[(k + 1) % count][1], 0.0]} for k in range(count)]


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    out, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 600
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with open(os.path.join(root, "examples", "pocket_part.json")) as f:
        part = json.load(f)
    part["comment"] = f"The example pocket's part with one closed outline of {count} lines on a circle of radius 45."
    part["entities"] = outline(count) + [e for e in part["entities"] if e["class"] != 1]
    steps = [{"menu": "CONTOUR", "expect": "PLANAR FACE"}]
    steps += [{"pick": FIRST_ID + k} for k in range(count)]
    steps += [{"pick": "exit"}, {"page": 0}, {"menu": "YES", "expect": "OK TO EXECUTE?"}, {"page": -1}]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "part.json"), "w") as f:
        json.dump(part, f, indent=1)
    with open(os.path.join(out, "script.json"), "w") as f:
        json.dump({"comment": "Picks the outline line by line and executes the pocket.", "steps": steps}, f)


if __name__ == "__main__":
    main()
