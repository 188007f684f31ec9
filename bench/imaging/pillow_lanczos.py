#!/usr/bin/python3
"""Times Pillow's LANCZOS resize on the sizes imaging_bench uses; run with Debian's python3-pil."""
import os
import sys
import time

from PIL import Image

CASES = [((6000, 4000), (3000, 2000)), ((6000, 4000), (1500, 1000)), ((1500, 1000), (6000, 4000))]


def best_of(runs, action):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    print(f"Pillow {Image.__version__ if hasattr(Image, '__version__') else ''}".strip())
    for source, dest in CASES:
        image = Image.frombytes("RGB", source, os.urandom(source[0] * source[1] * 3))
        seconds = best_of(runs, lambda: image.resize(dest, Image.LANCZOS))
        print(f"PillowLanczos {source[0]}x{source[1]} -> {dest[0]}x{dest[1]}: {seconds * 1000:.1f} ms")


if __name__ == "__main__":
    main()
