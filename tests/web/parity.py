#!/usr/bin/env python3
"""parity.py WORK LINUX FRAME... -- compares the browser's frames
(WORK/web_NNNNNN.rgba: RGBA, bottom row first) with the capture tool's
(LINUX/show_NNNNNN.png). Prints JSON: per frame the mean absolute difference
of the red, green and blue values (0..255) and their 99th percentile."""
import json
import sys

from PIL import Image, ImageChops

def compare(web_path, png_path):
    linux = Image.open(png_path).convert("RGB")
    web = Image.frombytes("RGBA", linux.size, open(web_path, "rb").read()).convert("RGB")
    web = web.transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    histogram = ImageChops.difference(web, linux).histogram()  # 3 x 256 counts
    counts = [sum(histogram[c * 256 + v] for c in range(3)) for v in range(256)]
    total = sum(counts)
    mean = sum(v * n for v, n in enumerate(counts)) / total
    seen, p99 = 0, 0
    for v, n in enumerate(counts):
        seen += n
        if seen >= 0.99 * total:
            p99 = v
            break
    return mean, p99


def main():
    work, linux, frames = sys.argv[1], sys.argv[2], [int(f) for f in sys.argv[3:]]
    results = []
    for frame in frames:
        mean, p99 = compare(f"{work}/web_{frame:06d}.rgba", f"{linux}/show_{frame:06d}.png")
        results.append({"frame": frame, "mean": mean, "p99": p99})
    print(json.dumps(results))


if __name__ == "__main__":
    main()
