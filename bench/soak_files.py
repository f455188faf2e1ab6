"""The soak run's folder: 200 mixed pictures, a fifth of them broken, kinds interleaved by name."""
import os
import random
import shutil
import subprocess
import tempfile


def _ppm(path, width, height, seed):
    """A photo-like picture (gradients with noise), written as a binary PPM."""
    rnd = random.Random(seed)
    base = bytearray(rnd.randrange(0, 60) for _ in range(width * 3 + 997))
    for x in range(0, width * 3, 3):
        base[x] = (base[x] + (x // 3) * 200 // width) & 255
        base[x + 2] = (base[x + 2] + seed * 40) & 255
    shift = [bytes((v + k) & 255 for v in range(256)) for k in range(256)]
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height))
        for y in range(height):
            o = (y * 31 + seed) % 997
            f.write(bytes(base[o:o + width * 3]).translate(shift[y * 150 // height]))


def _jpeg(ppm, path, quality=85):
    with open(path, "wb") as f:
        subprocess.run(["cjpeg", "-quality", str(quality), ppm], stdout=f, check=True)


def _convert(*args):
    subprocess.run(["convert", *args], check=True, stdout=subprocess.DEVNULL)


def _sources(work):
    """A few distinct files of each kind; the folder holds copies of them."""
    kinds = {"photo": [], "small": [], "anim": [], "tiff": [], "bmp": []}
    for seed in range(3):
        ppm = os.path.join(work, f"photo{seed}.ppm")
        _ppm(ppm, 4000, 3000, seed)
        kinds["photo"].append(os.path.join(work, f"photo{seed}.jpg"))
        _jpeg(ppm, kinds["photo"][-1])
        os.remove(ppm)
        mid = os.path.join(work, f"mid{seed}.ppm")
        _ppm(mid, 1600, 1200, seed + 10)
        kinds["tiff"].append(os.path.join(work, f"picture{seed}.tif"))
        # True colour and a palette TIFF; uncompressed, as the reader takes them.
        _convert(mid, *(["-colors", "256", "-type", "Palette"] if seed == 2 else []),
                 "-compress", "None", kinds["tiff"][-1])
        kinds["bmp"].append(os.path.join(work, f"picture{seed}.bmp"))
        _convert(mid, *(["-colors", "256", "-type", "Palette"] if seed == 1 else []),
                 "BMP3:" + kinds["bmp"][-1])
        os.remove(mid)
        frames = []
        for frame in range(8):
            path = os.path.join(work, f"frame{seed}_{frame}.ppm")
            _ppm(path, 400, 300, seed * 8 + frame)
            frames.append(path)
        kinds["anim"].append(os.path.join(work, f"anim{seed}.gif"))
        _convert("-delay", "8", "-loop", "0", *frames, kinds["anim"][-1])
        for path in frames:
            os.remove(path)
    for seed, (width, height) in enumerate([(640, 480), (800, 600), (1024, 768), (480, 640),
                                            (320, 240)]):
        ppm = os.path.join(work, f"small{seed}.ppm")
        _ppm(ppm, width, height, seed + 20)
        kinds["small"].append(os.path.join(work, f"small{seed}.jpg"))
        _jpeg(ppm, kinds["small"][-1], 90)
        os.remove(ppm)
    return kinds


# How many of each kind the folder holds; broken ones are made per extension.
COUNTS = {"photo": 24, "small": 56, "anim": 24, "tiff": 24, "bmp": 24}
EXTENSIONS = {"photo": ".jpg", "small": ".jpg", "anim": ".gif", "tiff": ".tif", "bmp": ".bmp"}
BROKEN_EACH = 4  # per extension and way of breaking: 4 x 4 x 3 = 48


def make_folder(folder, seed=1):
    """Fills folder with the 200 files; returns {kind: count} of what it made."""
    os.makedirs(folder, exist_ok=True)
    rnd = random.Random(seed)
    with tempfile.TemporaryDirectory() as work:
        sources = _sources(work)
        plan = []  # (kind label, extension, bytes or source path)
        for kind, count in COUNTS.items():
            for i in range(count):
                plan.append((kind, EXTENSIONS[kind], sources[kind][i % len(sources[kind])]))
        whole = {".jpg": sources["small"][0], ".gif": sources["anim"][0],
                 ".tif": sources["tiff"][0], ".bmp": sources["bmp"][0]}
        for ext, source in whole.items():
            data = open(source, "rb").read()
            for i in range(BROKEN_EACH):
                plan.append(("cut", ext, data[:len(data) * (i + 1) // (BROKEN_EACH + 2)]))
                plan.append(("garbage", ext, bytes(rnd.randrange(256) for _ in range(4096 * (i + 1)))))
                plan.append(("empty", ext, b""))
        rnd.shuffle(plan)  # kinds interleave in the sorted list
        made = {}
        for index, (kind, ext, what) in enumerate(plan):
            path = os.path.join(folder, f"f{index:03d}_{kind}{ext}")
            if isinstance(what, bytes):
                open(path, "wb").write(what)
            else:
                shutil.copyfile(what, path)
            made[kind] = made.get(kind, 0) + 1
    return made
