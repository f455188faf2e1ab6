"""Runs every benchmark beside its peer and writes the report (see report.sh)."""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from photo_like import write_photo  # noqa: E402

build, out_path = sys.argv[1], sys.argv[2]
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
velkview = os.path.join(build, "stage", "velkview")
rows = []  # (area, figure, ours, peer, ratio, goal text, met)


def add(area, figure, ours, peer, ratio, goal, met):
    rows.append((area, figure, ours, peer, ratio, goal, met))


def google_benchmark(binary, extra=(), key="cpu_time", env=None):
    """Median CPU time (or another time) per benchmark name, in milliseconds."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([os.path.join(build, "bench", binary), "--benchmark_repetitions=5",
                        "--benchmark_enable_random_interleaving=true",
                        "--benchmark_report_aggregates_only=true",
                        "--benchmark_out=" + out.name, "--benchmark_out_format=json", *extra],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        data = json.load(open(out.name))
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    return {b["run_name"]: b[key] * scale[b["time_unit"]]
            for b in data["benchmarks"] if b.get("aggregate_name") == "median"}


def pair(area, figure, times, ours, peer, limit, at_most=True):
    o, p = times[ours], times[peer]
    ratio = o / p
    met = ratio <= limit if at_most else ratio >= limit
    add(area, figure, f"{o:.2f} ms", f"{p:.2f} ms", f"{ratio:.2f}",
        ("at most " if at_most else "at least ") + f"{limit}", met)


# Wall-clock time: large true-colour pictures are decoded in bands on every core.
jpeg = google_benchmark("jpeg_decode_bench", key="real_time")
for name in sorted(n[len("Velk/"):] for n in jpeg if n.startswith("Velk/")):
    pair("JPEG decode vs libjpeg direct", name.removesuffix("/real_time"), jpeg, "Velk/" + name,
         "Peer/" + name, 1.10)

# Wall-clock time: turning and profile conversion use every core.
photo = google_benchmark("photo_bench", key="real_time")
pair("Photo corrections on a 12 MP JPEG decode", "orientation and profiles on, file without "
     "either, vs off", photo, "Decode/corrections_on_no_tags/real_time", "Decode/plain/real_time",
     1.02)
pair("Photo corrections on a 12 MP JPEG decode", "EXIF orientation 6 (turned) vs plain decode",
     photo, "Decode/orientation_6/real_time", "Decode/plain/real_time", 1.5)
pair("Photo corrections on a 12 MP JPEG decode", "embedded profile, Little CMS vs Qt's colour "
     "spaces", photo, "Decode/profile_lcms/real_time", "Decode/profile_qt/real_time", 1.0)

gif = google_benchmark("gif_bench", ["--benchmark_filter=Decode|Encode"])
for what in ("Decode2000x2000", "Decode100Frames"):
    pair("GIF vs giflib", what, gif, f"BM_{what}_Velk", f"BM_{what}_Giflib", 1.0)
pair("GIF vs giflib", "Encode2000x2000", gif, "BM_Encode2000x2000_Velk",
     "BM_Encode2000x2000_Giflib", 1.5)

tiff = google_benchmark("tiff_bench")
for op in ("Read", "Write"):
    for kind in ("rgb24", "palette8"):
        pair("TIFF vs libtiff", f"{op.lower()} {kind}", tiff, f"Velk{op}/{kind}",
             f"Libtiff{op}/{kind}", 1.5)

bmp = google_benchmark("bmp_bench")
pair("BMP vs Qt image I/O", "read 12 MP 24-bit", bmp, "BM_VelkReadBmp", "BM_QtLoadBmp", 0.5)
pair("BMP vs Qt image I/O", "write 12 MP 24-bit", bmp, "BM_VelkWriteBmp", "BM_QtSaveBmp", 0.5)

shape = google_benchmark("shape_bench")
for size in ("770/542", "4000/4000"):
    pair("Shape region vs QRegion(mask)", size.replace("/", " x "), shape, f"Ours/{size}",
         f"QtMask/{size}", 1.0)

# Browsing in the real main window on the X server (Xvfb): wall-clock time from selecting a
# file in the file list to its picture painted, beside libjpeg decoding the same file once in
# true colour (the default) or beside our own reader.
xcb = dict(os.environ, QT_QPA_PLATFORM="xcb")
browse = google_benchmark("browse_bench", ["--benchmark_min_time=0.5"], key="real_time", env=xcb)
for size in ("1MP", "12MP", "24MP"):
    for zoom, label in (("fit", "To fit"), ("100", "100%")):
        pair("Selection to picture painted (main window, Xvfb)", f"{size} JPEG at \"{label}\" "
             "vs libjpeg decoding it", browse, f"Select/{size}/{zoom}/manual_time",
             f"Libjpeg/{size}/manual_time", 1.3)
for size in ("1MP", "12MP", "24MP"):
    ready = browse[f"SelectReady/{size}/fit/manual_time"]
    add("Selection to picture painted (main window, Xvfb)", f"{size} JPEG at \"To fit\", made "
        "ready while the one before was shown, vs one 60 Hz frame", f"{ready:.2f} ms", "16.67 ms",
        f"{ready / 16.67:.2f}", "at most 1.0", ready <= 16.67)
for kind in ("bmp", "tif"):
    pair("Selection to picture painted (main window, Xvfb)",
         f"24 MP 24-bit {kind.upper()} at \"To fit\" vs our reader alone", browse,
         f"Select/24MP_{kind}/fit/manual_time", f"Reader/24MP_{kind}/manual_time", 1.3)


def browse_json(mode):
    result = subprocess.run([os.path.join(build, "bench", "browse_bench"), mode], env=xcb,
                            check=True, capture_output=True, text=True).stdout
    return json.loads(result)


walk = browse_json("--walk")
area = "Walking a folder by Down presses (main window, Xvfb)"
for size in ("1MP", "12MP", "24MP"):
    ours, peer = walk[f"walk {size}"]
    add(area, f"{size}: press to picture painted, median vs libjpeg", f"{ours:.1f} ms",
        f"{peer:.1f} ms", f"{ours / peer:.2f}", "reported", None)
burst, own, right, how = walk["burst"]
add(area, f"ten presses 30 ms apart over 12-24 MP ({how}): last press to its picture vs its "
    "decode", f"{burst:.1f} ms", f"{own:.1f} ms", f"{burst / own:.2f}", "at most 1.2",
    right and burst / own <= 1.2)
most, painted = walk["paints per selection"]
add(area, f"selecting a 1 MP photo to decode: paints of the widget painted most ({painted} "
    "widgets painted)", f"{most}", "1", f"{most:.2f}", "at most 1", most <= 1)
add(area, "longest wait of an input event during the walk", f"{walk['longest stall']:.1f} ms",
    "50 ms", f"{walk['longest stall'] / 50:.2f}", "at most 1.0", walk["longest stall"] <= 50)
largest = walk["file MiB"] + walk["bitmap MiB"]
allowed = walk["idle MiB"] + 3 * largest  # the shown photo and two kept ready
add(area, f"peak memory vs idle ({walk['idle MiB']:.0f} MiB) + 3 x (file + bitmap) of the "
    "24 MP photo", f"{walk['peak MiB']:.0f} MiB", f"{allowed:.0f} MiB",
    f"{walk['peak MiB'] / allowed:.2f}", "at most 1.0", walk["peak MiB"] <= allowed)
add(area, "resident memory after 1,000 more steps vs after the first 10",
    f"{walk['after 1000 steps MiB']:.0f} MiB", f"{walk['after 10 steps MiB']:.0f} MiB",
    f"{walk['after 1000 steps MiB'] / walk['after 10 steps MiB']:.2f}", "no growth",
    walk["after 1000 steps MiB"] <= walk["after 10 steps MiB"] * 1.05)
gif = browse_json("--gif")["gif cpu percent"]
add(area, "800 x 600 GIF at 20 fps, \"To fit\": processor share", f"{gif:.1f} %", "5 %",
    f"{gif / 5:.2f}", "at most 1.0", gif <= 5)

# The command-line converter beside ImageMagick on 50 photos of 1 MP.
convert = subprocess.run(["bash", os.path.join(root, "bench", "convert_vs_imagemagick.sh"),
                          velkview, "50"], check=True, capture_output=True, text=True).stdout
for line in convert.splitlines()[1:]:
    fmt, ours, theirs, ratio = line.split()
    limit = 5.0 if fmt == "gif" else 1.5
    speed = float(ratio.rstrip("x"))
    add("Conversion of 50 photos vs ImageMagick (times as fast)", fmt, ours, theirs,
        f"{speed:.2f}", f"at least {limit}", speed >= limit)

# Start-up to the first paint with a photo on the command line, beside decoding it alone.
work = tempfile.mkdtemp()


env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
           VELKVIEW_QUIT_WHEN_PAINTED="1")


def wall(command, runs=7, **kwargs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, **kwargs)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def peak_kib(command):
    """Peak resident memory of one run of command, from the kernel's accounting."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    return usage.ru_maxrss


photo12 = os.path.join(work, "photo12.jpg")
write_photo(photo12, 4000, 3000)
subprocess.run([velkview, photo12], env=env, check=True, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)  # the first run writes the settings and skins
ours = wall([velkview, photo12], env=env)
peer = wall(["djpeg", "-bmp", "-outfile", os.devnull, photo12])
add("Start-up", "12 MP JPEG on the command line to first paint vs djpeg decoding it",
    f"{ours * 1000:.0f} ms", f"{peer * 1000:.0f} ms", f"{ours / peer:.2f}", "at most 1.3",
    ours / peer <= 1.3)
tiny_start = wall([velkview, os.path.join(build, "stage", "sample.jpg")], env=env)
add("Start-up", "the bundled sample picture on the command line to first paint",
    f"{tiny_start * 1000:.0f} ms", "", "", "reported", None)

photo48 = os.path.join(work, "photo48.jpg")
write_photo(photo48, 8000, 6000)
file_mib = os.path.getsize(photo48) / 2**20
bitmap_mib = 8000 * 6000 * 3 / 2**20
peak = peak_kib([velkview, photo48]) / 1024
tiny = peak_kib([velkview, os.path.join(build, "stage", "sample.jpg")]) / 1024
add("Peak memory, 48 MP JPEG shown", "whole program vs file plus bitmap",
    f"{peak:.0f} MiB", f"{file_mib + bitmap_mib:.0f} MiB",
    f"{peak / (file_mib + bitmap_mib):.2f}", "at most 1.2", peak / (file_mib + bitmap_mib) <= 1.2)
add("Peak memory, 48 MP JPEG shown", "above the program with a tiny picture "
    f"({tiny:.0f} MiB)", f"{peak - tiny:.0f} MiB", f"{file_mib + bitmap_mib:.0f} MiB",
    f"{(peak - tiny) / (file_mib + bitmap_mib):.2f}", "at most 1.2",
    (peak - tiny) / (file_mib + bitmap_mib) <= 1.2)

# Hostile sizes: files of a few hundred bytes that claim gigabytes, through the converter.
def hostile_files():
    import struct
    gif = (b"GIF89a" + struct.pack("<HHBBB", 65535, 65535, 0x80, 0, 0) + bytes([0, 0, 0, 255] * 1)
           + bytes([255, 255]) + b"\x2c" + struct.pack("<HHHHB", 0, 0, 1, 1, 0)
           + bytes([2, 2, 0x44, 0x01, 0]) + b"\x3b")
    jpeg = (b"\xff\xd8\xff\xdb\x00\x43\x00" + bytes([1] * 64)
            + b"\xff\xc0" + struct.pack(">HBHHB", 11, 8, 65500, 65500, 1) + bytes([1, 0x11, 0]))
    for table in (0x00, 0x10):
        jpeg += b"\xff\xc4\x00\x14" + bytes([table, 0, 1] + [0] * 14 + [0])
    jpeg += b"\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00" + bytes(100) + b"\xff\xd9"
    tags = [(256, 4, 1000), (257, 4, 1000), (258, 3, 8), (259, 3, 1), (262, 3, 1),
            (273, 4, 200), (277, 3, 1), (278, 4, 1000), (279, 4, 0xFFFFFFFF)]
    tiff = b"II*\x00" + struct.pack("<IH", 8, len(tags))
    for tag, kind, value in tags:
        tiff += struct.pack("<HHII", tag, kind, 1, value)
    tiff = (tiff + struct.pack("<I", 0)).ljust(200, b"\x00") + b"\x80" * 1000
    return [("65535 x 65535 GIF screen", "screen.gif", gif),
            ("65500 x 65500 JPEG header", "huge.jpg", jpeg),
            ("TIFF strip claiming 4 GB", "strip.tif", tiff)]


for label, name, data in hostile_files():
    path = os.path.join(work, name)
    open(path, "wb").write(data)
    command = [velkview, "--convert", "bmp", "--output", work, path]
    start = time.perf_counter()
    result = subprocess.run(command, capture_output=True, text=True)
    seconds = time.perf_counter() - start
    message = result.stdout.splitlines()[0].split(": ", 1)[1]
    peak = peak_kib(command) / 1024
    add("Hostile sizes through the converter", f"{label}: \"{message}\"",
        f"{seconds * 1000:.0f} ms", f"{peak:.0f} MiB peak", "", "within 1 s, bounded memory",
        seconds < 1 and peak < 256)

with open(out_path, "w") as out:
    out.write("# Benchmark report\n\n")
    out.write("Written by `bench/report.sh` (" + time.strftime("%Y-%m-%d") + ", " +
              str(os.cpu_count()) + " cores). Every figure is measured beside its peer in the "
              "same run: Google Benchmark CPU-time medians of 5 repetitions, both sides in one "
              "binary, repetitions interleaved at random (the main window's rows by wall-clock "
              "time, since painting waits for the X server); whole commands by wall-clock "
              "medians. A ratio below 1 means we are faster, except in the conversion rows, "
              "which give how many times as fast.\n")
    area = None
    for a, figure, ours, peer, ratio, goal, met in rows:
        if a != area:
            area = a
            out.write(f"\n## {a}\n\n| figure | ours | peer | ratio | goal | |\n"
                      "|---|---:|---:|---:|---|---|\n")
        mark = "" if met is None else ("met" if met else "**missed**")
        out.write(f"| {figure} | {ours} | {peer} | {ratio} | {goal} | {mark} |\n")
    # The peer viewers' section, written by bench/peers/run.sh, which takes its own quarter hour.
    peers = os.path.join(root, "bench", "peers", "results.md")
    if os.path.exists(peers):
        out.write("\n<!-- peers -->\n" + open(peers).read() + "<!-- /peers -->\n")
    notes = os.path.join(root, "bench", "notes.md")
    if os.path.exists(notes):
        out.write("\n" + open(notes).read())
    # The soak run's section, written by soak.sh (too long to run here), stays last.
    soak = os.path.join(root, "bench", "soak.md")
    if os.path.exists(soak):
        out.write("\n" + open(soak).read())
print(open(out_path).read())
