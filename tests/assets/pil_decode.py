#!/usr/bin/env python3
# pil_decode.py IN OUT -- decodes a .bmp file with Pillow and writes "W H\n"
# followed by its pixels as red-green-blue bytes, bottom row first.
import sys

from PIL import Image

image = Image.open(sys.argv[1])
image.load()
rgb = image.convert("RGB")
width, height = rgb.size
data = rgb.tobytes()
rows = [data[y * width * 3:(y + 1) * width * 3] for y in range(height)]
with open(sys.argv[2], "wb") as out:
    out.write(b"%d %d\n" % (width, height))
    out.write(b"".join(reversed(rows)))
