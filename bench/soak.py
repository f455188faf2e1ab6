"""A long session of the whole program under X (see soak.sh): steps through a folder of mixed and
broken pictures by key presses, runs a slide show, then the loupe, and records what the process
holds (resident memory, open files, threads, X resources) at the start, after each phase and
every minute. Writes bench/soak.md and the same section at the end of bench/README.md."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import soak_files

TITLE = "Velk's JPEG Viewer"  # the main window's and the message boxes' title
# The resource kinds xrestop counts for a client; their sum is the "X resources" figure.
X_KINDS = ("windows", "GCs", "fonts", "pixmaps", "pictures", "glyphsets", "colormaps",
           "passive grabs", "cursors", "unknowns")
FIGURES = (("rss_mib", "resident memory (VmRSS)", "MiB"),
           ("anon_mib", "of it anonymous (RssAnon)", "MiB"),
           ("file_mib", "of it mapped from files (RssFile)", "MiB"),
           ("fds", "open file descriptors", ""),
           ("threads", "threads", ""), ("xres", "X resources (xrestop)", ""),
           ("pixmap_kib", "X pixmap memory (xrestop)", "KiB"))
LIMIT = 0.05
READINGS = ("start", "after the walk", "show start", "show end", "loupe start", "loupe end",
            "end")
# Each phase is judged between two readings in the same state; the whole run as well.
PHASES = (("walk", "start", "after the walk"), ("slide show", "show start", "show end"),
          ("loupe", "loupe start", "loupe end"), ("whole run", "start", "end"))
# Before the readings with the main window idle on the first file: Qt's pooled threads end
# after 30 idle seconds, and the picture loader hands free heap pages back after 2.
SETTLE_S = 35


# ---- readings ------------------------------------------------------------------------------

def status_kib(status_text, field="VmRSS"):
    found = re.search(rf"^{field}:\s+(\d+) kB", status_text, re.M)
    return int(found.group(1)) if found else None


def xrestop_client(text, pid):
    """(resources, pixmap bytes) of the client with that PID in `xrestop -b -m 1` output."""
    for block in re.split(r"^\d+ - ", text, flags=re.M)[1:]:
        header = re.match(r".*\( PID:\s*(\S+)\s*\):", block)
        if not header or header.group(1) != str(pid):
            continue
        fields = dict(re.findall(r"^\s*([A-Za-z][A-Za-z ]*?)\s*:\s*~?(\S+)", block, re.M))
        return sum(int(fields[kind]) for kind in X_KINDS), int(fields["pixmap bytes"])
    return None


def reading(pid):
    """What the process holds now; None once it has ended."""
    try:
        status = open(f"/proc/{pid}/status").read()
        fds = len(os.listdir(f"/proc/{pid}/fd"))
        threads = len(os.listdir(f"/proc/{pid}/task"))
    except OSError:
        return None
    x = xrestop_client(subprocess.run(["xrestop", "-b", "-m", "1"], capture_output=True,
                                      text=True).stdout, pid)
    mib = {field: status_kib(status, field) / 1024 for field in ("VmRSS", "RssAnon", "RssFile")}
    return {"rss_mib": mib["VmRSS"], "anon_mib": mib["RssAnon"], "file_mib": mib["RssFile"],
            "fds": fds, "threads": threads,
            "xres": x[0] if x else None, "pixmap_kib": x[1] / 1024 if x else None}


class Sampler(threading.Thread):
    """Takes a reading every minute into series, with the phase it fell in."""

    def __init__(self, pid):
        super().__init__(daemon=True)
        self.pid, self.phase, self.series = pid, "warm-up", []
        self.started = time.monotonic()
        self.stop = threading.Event()

    def run(self):
        while not self.stop.wait(60):
            now = reading(self.pid)
            if now is None:
                return
            self.series.append(((time.monotonic() - self.started) / 60, self.phase, now))


# ---- driving the program through the X server ----------------------------------------------

def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


class Viewer:
    """The running program, its windows found by title, its message boxes answered."""

    def __init__(self, command, cwd, env, log):
        self.process = subprocess.Popen(command, cwd=cwd, env=env, stdout=log,
                                        stderr=subprocess.STDOUT)
        self.pid = self.process.pid
        self.main = None
        self.boxes = 0

    def alive(self):
        return self.process.poll() is None

    def window(self, name):
        """A shown window of ours by its exact title, or None."""
        found = xdotool("search", "--all", "--onlyvisible", "--pid", str(self.pid), "--name",
                        "^" + re.escape(name) + "$").split()
        return [int(w) for w in found]

    def active(self):
        out = xdotool("getactivewindow")
        return int(out) if out.isdigit() else None

    def box_up(self, active=None):
        """A message box has the keyboard: it bears the program's title and is not the main
        window."""
        active = self.active() if active is None else active
        return active is not None and active != self.main and active in self.window(TITLE)

    def answer_box(self):
        xdotool("key", "Return")
        self.boxes += 1
        time.sleep(0.05)  # the keyboard back on the main window before the next press

    def wait_for(self, test, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if test():
                return True
            if not self.alive():
                return False
            time.sleep(0.03)
        return False

    def start(self):
        """Waits for the main window, answering start-up boxes (no sound card: no mixer)."""
        def shown():
            for window in self.window(TITLE):
                geometry = xdotool("getwindowgeometry", str(window))
                size = re.search(r"Geometry: (\d+)x(\d+)", geometry)
                if size and int(size.group(1)) >= 600:
                    self.main = window
                    return True
            if self.active() in self.window(TITLE):
                self.answer_box()
            return False
        if not self.wait_for(shown, 60):
            raise RuntimeError("the main window did not show")
        self.activate(self.main)

    def activate(self, window):
        xdotool("windowactivate", "--sync", str(window))
        time.sleep(0.2)

    def open_window(self, key, title):
        """Presses key in the main window; returns the window titled so that it shows, which
        then has the keyboard."""
        self.activate(self.main)
        xdotool("key", key)
        if not self.wait_for(lambda: self.window(title), 10):
            raise RuntimeError(f"{key} did not show the window \"{title}\"")
        window = self.window(title)[0]
        self.activate(window)
        return window

    def step(self, key, gap, box_expected):
        """One key press into the file list; a box it brings is answered. True when one came."""
        out = xdotool("key", key, "sleep", f"{gap:.3f}", "getactivewindow")
        active = int(out) if out.isdigit() else None
        if active == self.main and box_expected:
            self.wait_for(lambda: self.box_up(), 1.0)
            active = None
        if active != self.main and self.box_up(active):
            self.answer_box()
            return True
        return False


# ---- the phases ----------------------------------------------------------------------------

def is_broken(name):
    return name.split("_", 1)[1].split(".")[0] in ("cut", "garbage", "empty")


def walk(viewer, files, steps, gap, boxes_at, learn=False):
    """Down to the last file and back up, over and over; the last press of each run is End or
    Home, so a press a box swallowed does not shift the walk. Returns boxes per file."""
    seen = {}
    if learn:  # slow enough that each box comes before the next press
        gap = max(gap, 0.25)
    position, down = 0, True
    last = len(files) - 1
    for _ in range(steps):
        if not viewer.alive():
            break
        position += 1 if down else -1
        key = ("End" if position == last else "Down") if down else ("Home" if position == 0 else "Up")
        expected = files[position] in boxes_at or (learn and is_broken(files[position]))
        if viewer.step(key, gap, expected):
            seen[files[position]] = seen.get(files[position], 0) + 1
        if position in (0, last):
            down = not down
    # On up to the first file, as the warm-up pass ends: what the heap keeps depends on the
    # pictures shown last, so both readings come after the same ones.
    while position > 0 and viewer.alive():
        position -= 1
        viewer.step("Home" if position == 0 else "Up", gap, files[position] in boxes_at)
    return seen


def slide_show(viewer, seconds, files, work, measure, fill=True):
    """Fills the slide list through the real file dialog (the whole folder of files) unless
    it was filled before, starts the show with its Start button and stops it with a click
    after about seconds."""
    options = viewer.open_window("ctrl+shift+s", "Options")
    # The page's Tab chain: page tree, slide list, Add.
    xdotool("key", "--delay", "100", "Tab", "Tab")
    if fill:
        xdotool("key", "space")
        if not viewer.wait_for(lambda: viewer.window("Open"), 10):
            raise RuntimeError("the file dialog did not open")
        time.sleep(1)  # the dialog lists the folder it starts in (the program's own, ours)
        # From the file name box back to the file view, all of it selected, opened.
        xdotool("key", "--delay", "200", "shift+Tab", "ctrl+a", "Return")
        if not viewer.wait_for(lambda: not viewer.window("Open"), 10):
            raise RuntimeError("the file dialog did not close")
        viewer.activate(options)
    # Add has the focus; then Remove, Clear, Preview, Start.
    xdotool("key", "--delay", "100", "Tab", "Tab", "Tab", "Tab", "space")
    if not viewer.wait_for(lambda: viewer.window("Fullscreenform"), 10):
        raise RuntimeError("the slide show did not start")
    began = time.monotonic()
    time.sleep(0.4)
    first = screen_sum(work)  # the first file with its caption
    time.sleep(2)
    if screen_sum(work) == first:
        raise RuntimeError("the slide show does not advance")
    # The memory held depends on the slide shown, so both readings are taken while the first
    # file is on screen again: after one round through the list (or at once when the show is
    # too short for two rounds), and after the last whole round that fits in seconds.
    round_s = files * 1.0  # the default delay of 1 s
    rounds = int(seconds // round_s)
    marks = [round_s if rounds >= 2 else 0, rounds * round_s if rounds >= 1 else seconds]
    for name, at in zip(("show start", "show end"), marks):
        while time.monotonic() - began < at - 2 and viewer.alive():
            if viewer.box_up():  # none are expected: bad slides are passed over quietly
                viewer.answer_box()
            time.sleep(1)
        # The timer slips a little when a slide takes long to load.
        matched = at == 0 or viewer.wait_for(lambda: screen_sum(work) == first, 40)
        measure(name, "" if matched else "another slide shown")
    xdotool("mousemove", "640", "512", "click", "1")
    viewer.wait_for(lambda: not viewer.window("Fullscreenform"), 10)
    viewer.activate(options)
    xdotool("key", "Escape")
    viewer.wait_for(lambda: not viewer.window("Options"), 10)
    viewer.activate(viewer.main)


def screen_sum(work):
    path = os.path.join(work, "screen.png")
    subprocess.run(["import", "-window", "root", path], check=True)
    return subprocess.run(["md5sum", path], capture_output=True, text=True).stdout.split()[0]


def loupe(viewer, seconds, work, measure):
    """Shows the loupe (Ctrl+L) at its fastest speed (the first run's is "Freeze") and moves
    the pointer about the screen, part of the time near its edges, for seconds; measured after
    a minute (a third of a shorter run) and at the end, the loupe still running."""
    window = viewer.open_window("ctrl+l", "Loupe")
    xdotool("key", "--delay", "300", "alt+o", "Right", "Return")  # Options, Speed, Fastest
    viewer.activate(viewer.main)
    points = [(x, y) for y in (5, 300, 520, 700, 1019) for x in (3, 400, 700, 900, 1276)]
    pictures = set()
    began = time.monotonic()
    warm = min(60, seconds / 3)
    turn = 0
    while time.monotonic() - began < seconds and viewer.alive():
        if warm is not None and time.monotonic() - began >= warm:
            measure("loupe start")
            warm = None
        x, y = points[turn % len(points)]
        xdotool("mousemove", str(x), str(y))
        time.sleep(0.5)
        if turn < len(points):  # the loupe follows the pointer
            path = os.path.join(work, "loupe.png")
            subprocess.run(["import", "-window", str(window), path], check=True)
            pictures.add(subprocess.run(["md5sum", path], capture_output=True,
                                        text=True).stdout.split()[0])
        turn += 1
    if len(pictures) < 3:
        raise RuntimeError("the loupe does not follow the pointer")
    measure("loupe end")
    viewer.activate(viewer.main)
    xdotool("key", "ctrl+l")  # hides it again
    if not viewer.wait_for(lambda: not viewer.window("Loupe"), 10):
        raise RuntimeError("Ctrl+L did not hide the loupe")


# ---- the report ----------------------------------------------------------------------------

def change(start, value):
    return None if start in (None, 0) or value is None else value / start - 1


def fmt(value, unit=""):
    if value is None:
        return "-"
    text = f"{value:.1f}" if isinstance(value, float) else str(value)
    return f"{text} {unit}".strip()


def report(run):
    lines = ["## Soak run", "",
             f"Written by `bench/soak.sh` ({time.strftime('%Y-%m-%d %H:%M')}, "
             f"{os.cpu_count()} cores): the Release program on Xvfb (1280 x 1024) under openbox, "
             "driven by key presses and clicks through XTest (xdotool), with a fresh home "
             "folder. Readings from /proc/PID (VmRSS, RssAnon, RssFile, fd/, task/) and xrestop "
             "(the sum of the client's windows, GCs, fonts, pixmaps, pictures, glyph sets, "
             "colour maps, grabs, cursors and other resources; and its pixmap bytes).", "",
             f"- Folder: {run['files']} files made by `bench/soak_files.py`: "
             + ", ".join(f"{count} {kind}" for kind, count in run["made"].items())
             + " (photo: 12 MP JPEG; small: JPEG up to 1024 x 768; anim: 400 x 300 GIF of 8 "
             "frames; tiff and bmp: 1600 x 1200, true colour and 256 colours; cut, garbage and "
             "empty: a JPEG, GIF, TIFF or BMP cut short, random bytes, or nothing).",
             f"- Walk: {run['steps']} presses of Down/Up in the file list, {run['gap_ms']} ms "
             f"apart (plus the time to answer boxes), down to the last file and back up, then "
             f"on up to the first file; "
             f"{run['walk_s'] / 60:.1f} minutes.",
             "- Warm-up before the start: one pass down and up (caches, the painters' first "
             "frames, the boxes learnt), one round of the slide show stopped on its first slide, "
             "and the loupe for 10 s, hidden again by Ctrl+L: every window the run uses has "
             "been made and used once.",
             f"- Message boxes answered (Return) in the walk: {run['walk_boxes']}; "
             f"{run['box_files']} of the folder's files give one: {run['box_kinds']}. "
             f"The others show what decodes or an empty picture with the reason in the status "
             "line.",
             f"- Slide show: the whole folder added through the real file dialog (Add, then "
             f"Shift+Tab to its file view, Ctrl+A, Return), started by the page's Start button, "
             f"1 s delay, {run['slides_s'] / 60:.1f} minutes, stopped by a click.",
             f"- Loupe: Ctrl+L, speed \"Fastest\" (100 ms) chosen from its menu, the pointer moved "
             f"every 0.5 s over 25 places (the corners partly off the screen), "
             f"{run['loupe_s'] / 60:.1f} minutes, then hidden by Ctrl+L.",
             f"- End: {run['ending']}.", "",
             "What a process holds depends on the picture it shows, so each phase is read "
             "twice in the same state: the walk with the main window idle on the first file "
             f"({SETTLE_S} s after the warm-up and after the walk, each ending with a walk up to "
             "the first file), the slide show while its first slide is on screen again (after "
             "one round through the list and after the last round), the loupe after a minute "
             f"and at its end. The whole run is read at the start and at the end, {SETTLE_S} s "
             "after the loupe was hidden, in the start's state.", "",
             "| phase | figure | at its start | at its end | change | within 5 % |",
             "|---|---|---:|---:|---:|---|"]
    points = run["points"]
    for phase, first, last in PHASES:
        (start, note_start), (end, note_end) = points[first], points[last]
        for key, label, unit in FIGURES:
            moved = change(start.get(key), end.get(key))
            flat = moved is not None and abs(moved) <= LIMIT
            lines.append(f"| {phase} | {label} | {fmt(start.get(key), unit)} | "
                         f"{fmt(end.get(key), unit)} | "
                         f"{'-' if moved is None else f'{moved * 100:+.1f} %'} | "
                         + ("yes" if flat else "**no**") + " |")
        for note in (note_start, note_end):
            if note:
                lines.append(f"| {phase} | ({note} at a reading) | | | | |")
    lines += ["", "Every minute (minutes since the program started):", "",
              "| minute | phase | MiB | anonymous | from files | fds | threads | X resources "
              "| X pixmap KiB |",
              "|---:|---|---:|---:|---:|---:|---:|---:|---:|"]
    for minute, phase, now in run["series"]:
        lines.append(f"| {minute:.0f} | {phase} | {now['rss_mib']:.1f} | "
                     f"{now['anon_mib']:.1f} | {now['file_mib']:.1f} | {now['fds']} | "
                     f"{now['threads']} | {fmt(now['xres'])} | {fmt(now['pixmap_kib'])} |")
    return "\n".join(lines) + "\n"


def write_report(section, bench):
    # What a person found out about the figures (causes, reruns) follows them.
    notes = os.path.join(bench, "soak_notes.md")
    if os.path.exists(notes):
        section += "\n" + open(notes).read()
    with open(os.path.join(bench, "soak.md"), "w") as out:
        out.write(section)
    readme = os.path.join(bench, "README.md")
    text = open(readme).read()
    # report.py puts this section last (after the notes); a rerun here replaces it.
    at = text.find("\n## Soak run\n")
    text = (text if at < 0 else text[:at]).rstrip("\n") + "\n\n" + section
    tmp = readme + ".tmp"
    with open(tmp, "w") as out:
        out.write(text)
    os.replace(tmp, readme)


# ---- the run -------------------------------------------------------------------------------

def run_soak(args):
    work = tempfile.mkdtemp(prefix="velk-soak-")
    home = os.path.join(work, "home")
    runtime = os.path.join(work, "runtime")
    os.makedirs(home)
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"),
               XDG_STATE_HOME=os.path.join(home, ".local", "state"), XDG_RUNTIME_DIR=runtime,
               QT_QPA_PLATFORM="xcb")
    folder = os.path.join(work, "pictures")
    print("making the folder ...", flush=True)
    made = soak_files.make_folder(folder)
    files = sorted(os.listdir(folder))
    openbox = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    log = open(os.path.join(work, "velkview.log"), "w")
    viewer = Viewer([os.path.abspath(args.program), os.path.join(folder, files[0])], folder, env, log)
    sampler = Sampler(viewer.pid)
    run = {"files": len(files), "made": made, "steps": args.steps, "gap_ms": args.gap_ms,
           "points": {}, "ending": ""}
    gap = args.gap_ms / 1000
    points = run["points"]

    def measure(name, note=""):
        points[name] = (reading(viewer.pid), note)
        print(name + ":", points[name][0], note, flush=True)
        # Each mapping's resident size, for the log's reader: where memory moved, which mapping.
        shutil.copy(f"/proc/{viewer.pid}/smaps", os.path.join(work, f"smaps-{name}.txt"))
        # What the threads and descriptors are, for the log: where a count moves, the cause.
        task = f"/proc/{viewer.pid}/task"
        print("  threads:", sorted(open(f"{task}/{t}/comm").read().strip()
                                   for t in os.listdir(task)))
        fds = f"/proc/{viewer.pid}/fd"
        print("  fds:", sorted(os.readlink(f"{fds}/{fd}") for fd in os.listdir(fds)), flush=True)

    try:
        viewer.start()
        sampler.start()
        print("warm-up pass ...", flush=True)
        learned = walk(viewer, files, 2 * (len(files) - 1), gap, set(), learn=True)
        kinds = {}
        for name in sorted(learned):
            kind = name.split("_", 1)[1]
            kinds[kind] = kinds.get(kind, 0) + 1
        run["box_files"] = len(learned)
        run["box_kinds"] = ", ".join(f"{k} ({n})" for k, n in sorted(kinds.items())) or "none"
        # Every window the run uses is made before the start, so what one keeps after its
        # first use (a backing store, the last slide) is in the start's reading and the end's.
        print("warm-up slide show and loupe ...", flush=True)
        slide_show(viewer, len(files) * 1.0, len(files), work, lambda *_: None)
        loupe(viewer, 10, work, lambda *_: None)
        time.sleep(SETTLE_S)
        measure("start")

        sampler.phase = "walk"
        boxes_before, began = viewer.boxes, time.monotonic()
        walk(viewer, files, args.steps, gap, set(learned))
        run["walk_s"], run["walk_boxes"] = time.monotonic() - began, viewer.boxes - boxes_before
        time.sleep(SETTLE_S)
        measure("after the walk")

        sampler.phase = "slide show"
        began = time.monotonic()
        slide_show(viewer, args.slideshow_s, len(files), work, measure, fill=False)
        run["slides_s"] = time.monotonic() - began

        sampler.phase = "loupe"
        began = time.monotonic()
        loupe(viewer, args.loupe_s, work, measure)
        run["loupe_s"] = time.monotonic() - began
        sampler.phase = "end"
        time.sleep(SETTLE_S)
        measure("end")
    except Exception:
        subprocess.run(["import", "-window", "root", os.path.join(work, "failed.png")])
        print(f"failed; the screen then is {work}/failed.png", file=sys.stderr)
        raise
    finally:
        sampler.stop.set()
        if viewer.alive():
            viewer.activate(viewer.main)
            xdotool("key", "ctrl+q")
            try:
                code = viewer.process.wait(30)
                run["ending"] = f"closed by Ctrl+Q, exit status {code}"
            except subprocess.TimeoutExpired:
                viewer.process.kill()
                run["ending"] = "did not close within 30 s of Ctrl+Q; killed"
        else:
            run["ending"] = f"**the program ended by itself**, status {viewer.process.returncode}"
        openbox.terminate()
        openbox.wait()
        log.close()
        print(open(os.path.join(work, "velkview.log")).read()[-2000:])
    run["series"] = sampler.series
    print(run["ending"])
    if len(run["points"]) < len(READINGS) or not viewer.process.returncode == 0:
        print(f"the run did not complete; its files are kept in {work}", file=sys.stderr)
        return 1
    section = report(run)
    write_report(section, args.bench)
    print(section)
    if args.keep:
        print(f"its files (the log, each reading's smaps) are kept in {work}")
    else:
        shutil.rmtree(work)
    return 0


SAMPLE_XRESTOP = """\
0 - Velk's JPEG Viewer ( PID: 5644 ):
\tres_base      : 0x400000
\twindows       : 4
\tGCs           : 3
\tfonts         : 1
\tpixmaps       : 2
\tpictures      : 0
\tglyphsets     : 0
\tcolormaps     : 0
\tpassive grabs : 0
\tcursors       : 1
\tunknowns      : 17
\tpixmap bytes  : 1736896
\tother bytes   : ~1624
\ttotal bytes   : ~1738520
1 - Openbox ( PID:  ?   ):
\twindows       : 173
\tpixmap bytes  : 46842
"""


def self_check():
    """The parsing of /proc and of xrestop's output, without a display."""
    assert xrestop_client(SAMPLE_XRESTOP, 5644) == (28, 1736896)
    assert xrestop_client(SAMPLE_XRESTOP, 99) is None
    assert status_kib("Name:\tx\nVmRSS:\t   51200 kB\n") == 51200
    assert status_kib(open("/proc/self/status").read(), "RssFile") > 0
    mine = reading(os.getpid()) if shutil.which("xrestop") else None
    assert mine is None or (mine["fds"] >= 3 and mine["threads"] >= 1)
    print("soak self-check passed")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--program", help="the velkview to run")
    parser.add_argument("--steps", type=int, default=10000)
    parser.add_argument("--slideshow-s", type=float, default=600)
    parser.add_argument("--loupe-s", type=float, default=600)
    parser.add_argument("--gap-ms", type=int, default=30)
    parser.add_argument("--bench", default=os.path.dirname(os.path.abspath(__file__)),
                        help="where soak.md and README.md are written")
    parser.add_argument("--keep", action="store_true",
                        help="keep the folder, the log and each reading's smaps")
    parser.add_argument("--self-check", action="store_true")
    args = parser.parse_args()
    if args.self_check:
        return self_check()
    return run_soak(args)


if __name__ == "__main__":
    sys.exit(main())
