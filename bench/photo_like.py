"""Photo-like JPEGs for the benchmarks: gradients with noise, which decode as photos do."""
import os
import random
import subprocess


def write_photo(path, width, height, seed=1, marker=None):
    """A JPEG made with libjpeg's cjpeg (quality 90, 4:2:0). With a marker colour (0xRRGGBB),
    a solid block of it covers the middle half of the width and height, for a screen probe."""
    rnd = random.Random(seed)
    base = bytearray(rnd.randrange(0, 40) for _ in range(width * 3 + 997))
    for x in range(0, width * 3, 3):
        base[x] = (base[x] + (x // 3) * 200 // width) & 255
    shift = [bytes((v + k) & 255 for v in range(256)) for k in range(256)]
    if marker is not None:
        block = bytes([marker >> 16, (marker >> 8) & 255, marker & 255]) * (width // 2)
        left, top, bottom = width // 4 * 3, height // 4, height // 4 + height // 2
    ppm = path + ".ppm"
    with open(ppm, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height))
        for y in range(height):
            o = (y * 31) % 997
            row = bytes(base[o:o + width * 3]).translate(shift[y * 150 // height])
            if marker is not None and top <= y < bottom:
                row = row[:left] + block + row[left + len(block):]
            f.write(row)
    with open(path + ".part", "wb") as f:
        subprocess.run(["cjpeg", "-quality", "90", ppm], stdout=f, check=True)
    os.remove(ppm)
    os.replace(path + ".part", path)
