"""Times this viewer beside the open viewers a Linux user would pick, as an outside observer.

Run by bench/peers/run.sh on Xvfb under openbox: every program is started the same way with a
fresh home folder, and the probe watches the screen for the marker block of the photo asked
for (from exec or from the key press to the picture visible). Programs take turns run by run.
"""
import argparse
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from photo_like import write_photo  # noqa: E402
RESULTS = os.path.join(HERE, "results.md")  # also kept in bench/README.md by report.py

# Marker colours: channels of 0, 128 or 255, no greys, so no two pass for one another.
COLOURS = [(r << 16) | (g << 8) | b for r in (255, 0, 128) for g in (0, 255, 128)
           for b in (0, 255, 128) if not r == g == b]

# 4:3 photos, so that each viewer fits them to the same place in its window.
SIZES = {"1": (1152, 864), "12": (4000, 3000), "24": (5664, 4248)}
FILES = {"1": 1, "12": 13, "24": 2}  # the 12 MP folder takes the ten-press burst from file 2

SCENARIOS = [  # (key, session, text)
    ("start1", "1", "start-up, 1 MP photo on the command line, to the picture visible"),
    ("start12", "12", "start-up, 12 MP"),
    ("start24", "24", "start-up, 24 MP"),
    ("next12", "12", "next 12 MP photo at reading pace (1.5 s between presses)"),
    ("next24", "24", "next 24 MP photo at reading pace"),
    ("back24", "24", "back one photo after moving forward (1.5 s later), 24 MP"),
    ("burst12", "12", "ten presses 30 ms apart, first press to the last photo visible, 12 MP"),
]
PACE = 1.5  # seconds between presses at reading pace
START_MS, STEP_MS, BURST_MS = 15000, 5000, 4000  # longer: the photo did not show


class Program:
    def __init__(self, name, label, command, next_key=None, back_key=None, whole_folder=False,
                 answer=None, how="", floor=False):
        self.name, self.label = name, label
        self.command, self.next_key, self.back_key = command, next_key, back_key
        self.whole_folder = whole_folder  # given every file of the folder, as `feh *.jpg`
        self.answer = answer  # title of a box to answer with Return at start-up
        self.how = how
        self.floor = floor  # not a viewer: timed at the 1 MP start only, never the fastest peer


def programs(velkview, floor="qt_floor"):
    return [
        Program("velkview", "ours", [velkview], "Down", "Up", answer="Velk's JPEG Viewer",
                how="the file list has the keyboard"),
        Program("feh", "feh", ["feh", "--scale-down"], "Right", "Left", whole_folder=True,
                how="`--scale-down` fits large photos to the window as the others do"),
        Program("nsxiv", "nsxiv", ["nsxiv"], "n", "p", whole_folder=True),
        Program("qimgv", "qimgv", ["qimgv"], "Right", "Left"),
        Program("eog", "eog", ["eog"], "Right", "Left"),
        Program("lximage-qt", "lximage-qt", ["lximage-qt"], "Right", "Left"),
        Program("gthumb", "gThumb", ["gthumb"], "Page_Down", "Page_Up",
                how="Right / Left did not step in its viewer"),
        Program("geeqie", "geeqie", ["geeqie"], "Page_Down", "Page_Up"),
        Program("qt-floor", "Qt floor", [floor], floor=True,
                how="`bench/peers/qt_floor.cpp`: the application object and a window with "
                "the photo, nothing else"),
        Program("qt-floor-box", "Qt floor + box", [floor, "--box"], answer="Velk's JPEG Viewer",
                floor=True, how="the same with our start-up box before the window"),
    ]


def photo_folders(work):
    folders = {}
    for session, count in FILES.items():
        width, height = SIZES[session]
        folder = os.path.join(work, f"photos{width}x{height}")
        os.makedirs(folder, exist_ok=True)
        files = []
        for name in os.listdir(folder):  # left by a run with more photos
            if name.endswith(".jpg") and name >= f"photo{count:02d}":
                os.remove(os.path.join(folder, name))
        for i in range(count):
            path = os.path.join(folder, f"photo{i:02d}.jpg")
            if not os.path.exists(path):
                write_photo(path, width, height, seed=i, marker=COLOURS[i])
            files.append(path)
        folders[session] = files
    return folders


class Probe:
    def __init__(self, binary):
        self.process = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)

    def ask(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def ms(self, line):
        answer = self.ask(line)
        return None if answer == "timeout" else float(answer)

    def wait(self, colour, since_ns, timeout_ms):
        return self.ms(f"wait {colour:06x} {since_ns} {timeout_ms}")

    def keys(self, key, count, gap_ms, colour, timeout_ms):
        return self.ms(f"keys {key} {count} {gap_ms} {colour:06x} {timeout_ms}")

    def find(self, colour):
        answer = self.ask(f"find {colour:06x}")
        return None if answer == "none" else tuple(int(v) for v in answer.split())

    def strip_at(self, y, rows=8):
        """A strip across the screen through the marker: windows placed a little differently
        from one start to the next still show it there."""
        self.ask(f"area 0 {y - rows // 2} 0 {rows}")


class Run:
    """One start of a program with a fresh home folder, ended with its process group."""

    def __init__(self, program, files, probe):
        self.home = tempfile.mkdtemp(prefix=f"peer-{program.name}-")
        env = {"HOME": self.home, "PATH": os.environ["PATH"], "LANG": "C.UTF-8",
               "DISPLAY": os.environ["DISPLAY"]}
        for name in ("XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS"):
            if name in os.environ:
                env[name] = os.environ[name]
        for name, sub in (("XDG_CONFIG_HOME", ".config"), ("XDG_CACHE_HOME", ".cache"),
                          ("XDG_DATA_HOME", ".local/share"), ("XDG_STATE_HOME", ".local/state"),
                          ("XDG_RUNTIME_DIR", "run")):
            env[name] = os.path.join(self.home, sub)
            os.makedirs(env[name], mode=0o700, exist_ok=True)
        argv = program.command + (files if program.whole_folder else files[:1])
        probe.ask(f"answer {program.answer}" if program.answer else "answer")
        self.started_ns = time.monotonic_ns()
        self.process = subprocess.Popen(argv, env=env, cwd=self.home, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)

    def end(self):
        for sig, wait in ((signal.SIGTERM, 3), (signal.SIGKILL, 3)):
            try:
                os.killpg(self.process.pid, sig)
                self.process.wait(wait)
                break
            except ProcessLookupError:
                break
            except subprocess.TimeoutExpired:
                continue
        try:  # helpers left in the group (a thumbnailer) go with it
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        shutil.rmtree(self.home, ignore_errors=True)


def calibrate(program, files, probe):
    """Where the program shows the marker of the session's first photo: one untimed start,
    which also leaves the files in the page cache."""
    run = Run(program, files, probe)
    place = None
    deadline = time.monotonic() + 20
    while place is None and time.monotonic() < deadline and run.process.poll() is None:
        time.sleep(0.1)
        probe.wait(COLOURS[0], time.monotonic_ns(), 0)  # answers the start-up box, if any
        place = probe.find(COLOURS[0])
    time.sleep(0.5)
    run.end()
    time.sleep(0.3)
    return place


def session(program, size, files, probe, place, wanted, results):
    """One start of the program in a photo folder and the steps its scenarios ask for."""
    probe.strip_at(place[1])
    if probe.wait(COLOURS[0], time.monotonic_ns(), 0) is not None:
        time.sleep(1)  # the last window is still going away
    run = Run(program, files, probe)
    shown = probe.wait(COLOURS[0], run.started_ns, START_MS)
    results.setdefault((program.name, "start" + size), []).append(shown)
    steps = []  # (scenario, key, presses, photos moved)
    if size == "12":
        steps = [("next12", program.next_key, 1, 1), ("next12", program.next_key, 1, 1),
                 ("burst12", program.next_key, 10, 10)]
    elif size == "24":
        steps = [("next24", program.next_key, 1, 1), ("back24", program.back_key, 1, -1)]
    needed = wanted | ({"next24"} if "back24" in wanted else set())  # back after a step on
    current = 0
    for name, key_name, count, move in steps:
        if name not in needed:
            continue
        if shown is None:  # lost its place: the later steps would time the wrong photo
            if name in wanted:
                results.setdefault((program.name, name), []).append(None)
            continue
        time.sleep(PACE)
        current += move
        shown = probe.keys(key_name, count, 30, COLOURS[current],
                           BURST_MS if count > 1 else STEP_MS)
        if name in wanted:
            results.setdefault((program.name, name), []).append(shown)
        if shown is None and name in wanted:  # which photo it stopped at, when any
            now = time.monotonic_ns()
            stopped = [i - (current - move) for i, colour in enumerate(COLOURS[:len(files)])
                       if probe.wait(colour, now, 0) is not None]  # photos moved on
            results.setdefault((program.name, name + " stopped"), []).extend(stopped)
    run.end()


def sessions_of(program, sessions):
    """A floor program only starts: it is timed with the 1 MP photo, where start-up is all."""
    return [s for s in sessions if s == "1" or not program.floor]


def fmt(ms):
    return "-" if ms is None else f"{ms:.0f}"


def decode_ms(path, runs=5):
    """libjpeg's own decode of a photo (djpeg, whole command), the yardstick of the notes."""
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(["djpeg", "-outfile", os.devnull, path], check=True)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def medians(results):
    median = {}
    for (name, scenario), times in results.items():
        done = [t for t in times if t is not None]
        # More than half the tries never showing the picture: no figure.
        if not scenario.endswith(" stopped"):
            median[name, scenario] = statistics.median(done) if len(done) * 2 > len(times) \
                else None
    return median


def table(programs_run, results, wanted, skipped, runs, decode, date):
    peers = [p for p in programs_run if p.name != "velkview" and not p.floor]
    floors = [p for p in programs_run if p.floor]
    ours = next((p for p in programs_run if p.name == "velkview"), None)
    median = medians(results)
    lines = ["## Peer viewers on the X screen", "",
             f"Written by `bench/peers/run.sh` ({date}, "
             f"{os.cpu_count()} cores, {runs} runs a program and scenario, programs in turn, "
             "Xvfb 1920 x 1080 under openbox). Milliseconds from exec or from the key press to "
             "the photo's marker on the screen (medians); the ratio is ours to the fastest "
             "peer's. \"-\": the photo did not show in most runs (within "
             f"{START_MS // 1000} s of a start, {STEP_MS // 1000} s of a step, "
             f"{BURST_MS // 1000} s of the ten presses). For scale, libjpeg's `djpeg` decodes "
             "the photos in "
             + ", ".join(f"{decode[s]:.0f} ms ({s} MP)" for s in sorted(decode, key=int))
             + ".", ""]
    head = "| work | ours | fastest peer | ratio | " + \
        " | ".join(p.label for p in peers + floors) + " |"
    lines += [head, "|---|" + "---:|" * (3 + len(peers + floors))]
    for scenario, _, text in SCENARIOS:
        if scenario not in wanted:
            continue
        times = {p.name: median.get((p.name, scenario)) for p in peers}
        ranked = sorted((t, n) for n, t in times.items() if t is not None)
        best = f"{ranked[0][0]:.0f} ({next(p.label for p in peers if p.name == ranked[0][1])})" \
            if ranked else "-"
        our = median.get(("velkview", scenario)) if ours else None
        ratio = f"{our / ranked[0][0]:.2f}" if ranked and our is not None else ""
        lines.append(f"| {text} | {fmt(our)} | {best} | {ratio} | " +
                     " | ".join(fmt(median.get((p.name, scenario)))
                                if (p.name, scenario) in results else "" for p in peers + floors)
                     + " |")
    lines += ["", "| program | started as | next / previous | |", "|---|---|---|---|"]
    for p in programs_run:
        if p.floor:
            lines.append(f"| {p.label} | `{' '.join(os.path.basename(a) for a in p.command)}"
                         f" FILE` | | {p.how} |")
            continue
        start = " ".join(os.path.basename(a) for a in p.command) + \
            (" FILE..." if p.whole_folder else " FILE")
        lines.append(f"| {p.label} | `{start}` | {p.next_key} / {p.back_key} | {p.how} |")
    for name, why in skipped:
        lines.append(f"| {name} | skipped: {why} | | |")
    lines += [""] + evident(programs_run, median, results, decode) + [""]
    notes = os.path.join(HERE, "notes.md")
    if os.path.exists(notes):
        lines.append(open(notes).read().rstrip())
    return "\n".join(lines) + "\n"


def evident(programs_run, median, results, decode):
    """What each program evidently does, read from its timings against libjpeg's decode: a
    step in well under the decode was decoded (or kept) before the press."""
    lines = ["What the timings show of each program (\"before the press\": a step in under "
             "half of `djpeg`'s decode of that photo):", ""]
    for p in programs_run:
        get = lambda s: median.get((p.name, s))  # noqa: E731
        said = []
        for scenario, size, what in (("next12", "12", "the next 12 MP photo"),
                                     ("next24", "24", "the next 24 MP photo"),
                                     ("back24", "24", "the previous 24 MP photo")):
            if get(scenario) is not None and size in decode:
                before = get(scenario) < decode[size] / 2
                said.append(what + (" is ready before the press" if before else
                                    " is decoded after the press"))
        if get("burst12") is not None and "12" in decode:
            said.append(f"ten quick presses take {get('burst12') / decode['12']:.1f} decodes "
                        "to the last photo")
        elif (p.name, "burst12") in results:
            stopped = results.get((p.name, "burst12 stopped"), [])
            said.append("ten quick presses never reach the last photo" +
                        (f" (it moves {statistics.median(stopped):.0f} photos on: presses "
                         "that come while it decodes are dropped)" if stopped else ""))
        if said:
            lines.append(f"- {p.label}: " + "; ".join(said) + ".")
    return lines


def splice(readme, section):
    """Puts the section into bench/README.md in place of the last one, before the notes, where
    bench/report.py puts it."""
    text = open(readme).read() if os.path.exists(readme) else ""
    begin, end = "\n<!-- peers -->\n", "<!-- /peers -->\n"
    block = begin + section + end
    if begin in text:
        text = text[:text.index(begin)] + block + text[text.index(end) + len(end):]
    elif "\n## Notes\n" in text:
        at = text.index("\n## Notes\n")
        text = text[:at] + block + text[at:]
    else:
        text += "\n" + block
    with open(readme + ".part", "w") as f:
        f.write(text)
    os.replace(readme + ".part", readme)


def start_window_manager():
    """openbox, as a desktop has one: it places and focuses the windows."""
    manager = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                               capture_output=True, text=True).stdout
        if "window id" in check:
            return manager
        time.sleep(0.05)
    sys.exit("openbox did not start")


def write(readme, section):
    with open(RESULTS + ".part", "w") as f:
        f.write(section)
    os.replace(RESULTS + ".part", RESULTS)
    splice(readme, section)


def save_run(path, record):
    with open(path + ".part", "w") as f:
        json.dump(record, f, indent=1)
    os.replace(path + ".part", path)


def section_of(record, velkview, floor="qt_floor"):
    """The report's section from a run's record (so that the notes can be rewritten after
    a run without taking its quarter hour again)."""
    by_name = {p.name: p for p in programs(velkview, floor)}
    results = {(name, scenario): times for name, scenario, times in record["results"]}
    return table([by_name[n] for n in record["programs"]], results, set(record["wanted"]),
                 record["skipped"], record["runs"], record["decode"], record["date"])


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--velkview", default="velkview")
    parser.add_argument("--probe")
    parser.add_argument("--floor", default="qt_floor", help="bench/peers/qt_floor.cpp, built")
    parser.add_argument("--work", required=True, help="folder for the photos and the last "
                        "run's record (kept)")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--only", help="programs, comma separated (velkview, feh, ...)")
    parser.add_argument("--scenario", help="scenarios, comma separated: " +
                        ",".join(s[0] for s in SCENARIOS))
    parser.add_argument("--readme", help="bench/README.md to write the section into")
    parser.add_argument("--rewrite", action="store_true", help="only write the section again "
                        "from the last run's record, with the notes as they are now")
    args = parser.parse_args()
    record_path = os.path.join(args.work, "last_run.json")
    if args.rewrite:
        section = section_of(json.load(open(record_path)), args.velkview)
        print(section)
        if args.readme:
            write(args.readme, section)
        return
    if not args.probe:
        sys.exit("--probe is needed for a run")

    wanted = set(args.scenario.split(",")) if args.scenario else {s[0] for s in SCENARIOS}
    unknown = wanted - {s[0] for s in SCENARIOS}
    if unknown:
        sys.exit(f"unknown scenario: {', '.join(sorted(unknown))}")
    chosen = programs(os.path.abspath(args.velkview), os.path.abspath(args.floor))
    if args.only:
        names = set(args.only.split(","))
        chosen = [p for p in chosen if p.name in names]
    folders = photo_folders(args.work)
    window_manager = start_window_manager()
    probe = Probe(args.probe)
    sessions = [s for s in ("1", "12", "24") if any(w[1] == s for w in SCENARIOS
                                                     if w[0] in wanted)]
    skipped, ready, places = [], [], {}
    for p in chosen:
        if not shutil.which(p.command[0]):
            skipped.append((p.label, "not installed"))
            continue
        for s in sessions_of(p, sessions):
            places[p.name, s] = calibrate(p, folders[s], probe)
            print(f"{p.label}, {s} MP: marker at {places[p.name, s]}", flush=True)
        if any(places[p.name, s] is None for s in sessions_of(p, sessions)):
            skipped.append((p.label, "did not show the photo within 20 s"))
            continue
        ready.append(p)

    results = {}
    began = time.monotonic()
    for r in range(args.runs):
        for s in sessions:
            order = ready[r % len(ready):] + ready[:r % len(ready)]
            for p in order:
                if s in sessions_of(p, sessions):
                    session(p, s, folders[s], probe, places[p.name, s], wanted, results)
        print(f"run {r + 1} of {args.runs} done after {time.monotonic() - began:.0f} s",
              flush=True)
    record = {"date": time.strftime("%Y-%m-%d"), "runs": args.runs, "wanted": sorted(wanted),
              "skipped": skipped, "programs": [p.name for p in ready],
              "decode": {s: decode_ms(folders[s][0]) for s in sessions},
              "results": [[n, s, t] for (n, s), t in sorted(results.items())]}
    section = section_of(record, args.velkview)
    print(section)
    for (name, scenario), times in sorted(results.items()):
        print(name, scenario, " ".join(fmt(t) for t in times), file=sys.stderr)
    if args.only or args.scenario or args.runs < 7:
        print("A cut-down run: bench/README.md and the last run's record are left as they are.")
    elif args.readme:
        save_run(record_path, record)
        write(args.readme, section)
    window_manager.terminate()
    window_manager.wait()


if __name__ == "__main__":
    main()
