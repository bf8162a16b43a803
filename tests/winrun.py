#!/usr/bin/env python3
"""Runs every test of the Windows side under Wine, in lanes side by side.

    python3 tests/winrun.py BUILD_DIR [--lanes N] [NAME...]

A lane is a Wine of its own: its own prefix (build/wineprefix, then
build/wineprefix-2, ...), Xvfb display and Wine server, made by
tools/winenv.sh, with a program on its desktop for the whole run (see
`ixoctl desktop`). The Japanese lanes (LANG=ja_JP.UTF-8, ANSI code page 932)
take the next piece of work whenever they are free, the longest first (by
the times of the last run, in BUILD_DIR/winrun/times.json, or before a first
run by those of tests/winrun-times.json, a run on a 2-core machine): each
test class of tests/e2e/test_*.py, the end-to-end suite, and then the
shards of ixo_win_tests.exe (GoogleTest's own sharding: every Nth case of
the whole list, in its order; three shards a lane), each in a Wine process
of its own. One more lane, "en", runs the modules that prove the program
does not depend on the system's locale under LANG=en_US.UTF-8 (ANSI code
page 1252) in a prefix of its own (build/wineprefix-en). tests/fonts_test.py
runs beside the lanes.

NAMEs (shell patterns of suite, module or module.Class names, e.g.
Clipboard* or test_watch) run only those, in the Japanese lanes.

With --building COMMAND the lanes start on the end-to-end suite, which
needs only Ixo.exe and ixoctl.exe, while COMMAND (the rest of the build)
makes ixo_win_tests.exe; its suites are listed and run when COMMAND has
ended. A COMMAND that fails is a failed piece, with its output.

A Wine start can end before any of the program ran: with the address space
laid out at random, about one start in six hundred finds the place of
Windows' shared user data taken and ends within milliseconds, status 1, no
output. tools/winenv.sh fixes the layout where the system lets it; for a
system that does not, a GoogleTest process that ended without GoogleTest's
banner never ran a test: it is started again, at most twice, and the output
says so. A test that ran and failed is never run again.

The last line is "N passed, N failed" (pieces of work); the exit status is
1 when any failed.
"""
import argparse
import fnmatch
import json
import os
import queue
import shlex
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINENV = os.path.join(ROOT, "tools", "winenv.sh")
E2E_DIR = os.path.join(ROOT, "tests", "e2e")
# The modules that show the program does not depend on the system's locale.
LOCALE_MODULES = ["test_unicode", "test_locale", "test_watch"]
BANNER = b"[==========] Running"
# A start is tried this many times in all when it never ran.
STARTS = 3


def e2e_modules():
    return sorted(n[:-3] for n in os.listdir(E2E_DIR)
                  if n.startswith("test_") and n.endswith(".py"))


def e2e_pieces():
    """Each test class of every module tests/e2e/test_*.py ("module.Class")
    with its number of cases: a lane runs a class at a time, so that one long
    module does not keep a lane to itself while the others wait."""
    import unittest
    sys.path.insert(0, E2E_DIR)
    counts = {}

    def walk(suite):
        for t in suite:
            if isinstance(t, unittest.TestSuite):
                walk(t)
            else:
                piece = t.id().rsplit(".", 1)[0]
                counts[piece] = counts.get(piece, 0) + 1

    for module in e2e_modules():
        walk(unittest.defaultTestLoader.loadTestsFromName(module))
    return counts


def suites_of(listing):
    """The suite names of `--gtest_list_tests` output ("Suite." lines)."""
    names = []
    for line in listing.splitlines():
        if line and not line.startswith(" ") and line.rstrip().endswith("."):
            names.append(line.rstrip()[:-1])
    return names


# --- In a lane (under tools/winenv.sh) --------------------------------------

def never_ran(start, status, lived, output):
    """The word on start `start` of STARTS that never ran, with what it wrote
    (which only Wine can have written)."""
    text = output.decode("utf-8", "replace").strip()
    return "start %d of %d never ran (status %s after %.2f s, %s); %s" % (
        start, STARTS, status, lived,
        "said only: " + " | ".join(text.splitlines())[:300] if text else "no output",
        "started again" if start < STARTS else "given up")


class Lane:
    def __init__(self, build, name, logs):
        self.build, self.name, self.logs = build, name, logs
        self.exe = os.path.join(build, "ixo_win_tests.exe")
        self.ctl = os.path.join(build, "ixoctl.exe")
        self.env = dict(os.environ, IXO_E2E_WORK=os.path.join(build, "e2e-" + name))

    def start_desktop(self):
        """A program on the desktop until the lane ends: Wine's desktop
        process and its clipboard bridge then run for the whole lane. Gives
        the keeper (None when it never started), what it said, and a word
        on each start that never ran, with what Wine wrote on stderr."""
        again = []
        for start in range(1, STARTS + 1):
            began = time.monotonic()
            errors = tempfile.TemporaryFile()
            keeper = subprocess.Popen(["wine", self.ctl, "desktop"], stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, stderr=errors)
            said = keeper.stdout.readline()
            if said.startswith(b"ready"):
                return keeper, said.decode("ascii", "replace").strip(), again
            keeper.wait()
            errors.seek(0)
            again.append("ixoctl desktop: " + never_ran(start, keeper.returncode,
                                                        time.monotonic() - began, errors.read()))
            errors.close()
        return None, "ixoctl desktop did not start", again

    def wine_test(self, args, log, timeout, env=None):
        """Runs ixo_win_tests.exe ARGS into `log`, started again when it
        never ran; (status, starts, what was said of the starts)."""
        said = []
        for start in range(1, STARTS + 1):
            began = time.monotonic()
            with open(log, "wb") as out:
                try:
                    status = subprocess.run(["wine", self.exe] + args, stdin=subprocess.DEVNULL,
                                            stdout=out, stderr=subprocess.STDOUT, env=env,
                                            timeout=timeout).returncode
                except subprocess.TimeoutExpired:
                    status = "timeout"
            with open(log, "rb") as f:
                output = f.read()
            if status == 0 or BANNER in output or status == "timeout":
                return status, start, said
            said.append(never_ran(start, status, time.monotonic() - began, output))
        return status, STARTS, said

    def run(self, kind, name):
        log = os.path.join(self.logs, "%s-%s.log" % (kind, name.split(" ")[0].replace("/", "-")))
        began = time.monotonic()
        said = []
        if kind == "list":
            status, starts, said = self.wine_test(["--gtest_list_tests"], log, 300)
            # A listing has no banner: it ran when it listed anything.
            if status == 0 and not suites_of(open(log, encoding="utf-8", errors="replace").read()):
                status = "empty"
        elif kind == "gtest":
            # "K/N FILTER": shard K of N of the cases FILTER names.
            shard, _, pattern = name.partition(" ")
            index, _, total = shard.partition("/")
            env = dict(os.environ, GTEST_SHARD_INDEX=str(int(index) - 1), GTEST_TOTAL_SHARDS=total)
            status, starts, said = self.wine_test(["--gtest_filter=" + pattern], log, 900, env)
        else:
            with open(log, "wb") as out:
                try:
                    status = subprocess.run(
                        [sys.executable, os.path.join(E2E_DIR, "e2e.py"), self.build, name],
                        stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                        env=self.env, timeout=900).returncode
                except subprocess.TimeoutExpired:
                    status = "timeout"
        return {"status": status, "said": said, "log": log,
                "seconds": round(time.monotonic() - began, 2)}


def lane_main(build, name, logs):
    """Serves one lane: a line "KIND NAME" in, one JSON line out."""
    lane = Lane(build, name, logs)
    keeper, said, again = lane.start_desktop()
    print(json.dumps({"ready": keeper is not None, "said": said, "again": again}), flush=True)
    if keeper is None:
        return 1
    for line in sys.stdin:
        kind, _, item = line.strip().partition(" ")
        print(json.dumps(lane.run(kind, item)), flush=True)
    keeper.stdin.close()
    keeper.wait()
    return 0


# --- The coordinator ---------------------------------------------------------

class LaneProcess:
    """A lane's worker under its own tools/winenv.sh."""

    def __init__(self, build, name, prefix, logs, extra_env=()):
        self.name = name
        env = dict(os.environ, IXO_WINEPREFIX=prefix)
        env.pop("WINEPREFIX", None)
        self.err = open(os.path.join(logs, "lane-%s.log" % name), "wb")
        command = [WINENV, "env"] + list(extra_env) + [
            sys.executable, os.path.abspath(__file__), "--lane", name, build]
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=self.err, env=env)
        self.ready = None

    def wait_ready(self):
        line = self.proc.stdout.readline()
        self.ready = json.loads(line) if line else {"ready": False, "said": "the lane ended"}
        return self.ready["ready"]

    def ask(self, kind, name):
        self.proc.stdin.write(("%s %s\n" % (kind, name)).encode())
        self.proc.stdin.flush()
        line = self.proc.stdout.readline()
        if not line:
            return {"status": "lane ended", "said": [], "log": self.err.name, "seconds": 0}
        return json.loads(line)

    def close(self):
        try:
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        try:
            self.proc.wait(120)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.err.close()


class Report:
    def __init__(self):
        self.lock = threading.Lock()
        self.passed, self.failed, self.restarts = [], [], []

    def piece(self, lane, kind, name, result):
        ok = result["status"] == 0
        # A shard is named by its number; its filter is in its log.
        what = ("GoogleTest shard " + name.split(" ")[0] if kind == "gtest" else
                "%s %s" % (kind, name))
        if kind == "e2e":
            # The end-to-end harness says so of each start of ixoctl that
            # never ran.
            try:
                with open(result["log"], encoding="utf-8", errors="replace") as f:
                    result["said"] += [line.strip()[5:] for line in f
                                       if line.startswith("e2e: ") and "never ran" in line]
            except OSError:
                pass
        with self.lock:
            for s in result["said"]:
                print("[%s] %s: %s" % (lane, what, s))
                self.restarts.append("%s: %s" % (what, s))
            print("[%s] %s %s (%.1f s)" % (lane, what, "passed" if ok else
                                          "FAILED, status %s" % result["status"], result["seconds"]))
            if ok:
                self.passed.append(what)
            else:
                self.failed.append("%s (%s)" % (what, lane))
                try:
                    with open(result["log"], "rb") as f:
                        sys.stdout.write(f.read().decode("utf-8", "replace"))
                except OSError:
                    pass
                print("[%s] end of %s; log %s" % (lane, what, result["log"]))
            sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser(description="The Windows side's tests under Wine.")
    parser.add_argument("build")
    parser.add_argument("names", nargs="*")
    parser.add_argument("--lanes", type=int, default=int(os.environ.get("IXO_LANES", "3")))
    parser.add_argument("--no-fonts", action="store_true",
                        help="leave out tests/fonts_test.py (run apart, as make test does)")
    parser.add_argument("--building", metavar="COMMAND",
                        help="the rest of the build, run beside the end-to-end suite")
    parser.add_argument("--lane")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    logs = os.path.join(build, "winrun")
    if args.lane:
        return lane_main(build, args.lane, logs)

    began = time.monotonic()
    os.makedirs(logs, exist_ok=True)
    for name in os.listdir(logs):
        if name.endswith(".log"):
            os.remove(os.path.join(logs, name))
    times_file = os.path.join(logs, "times.json")
    last = {}
    for known in (os.path.join(ROOT, "tests", "winrun-times.json"), times_file):
        try:
            with open(known) as f:
                last.update(json.load(f))
        except (OSError, ValueError):
            pass
    report = Report()
    prefixes = os.path.join(ROOT, "build")
    everything = not args.names

    def wanted(name):
        return everything or any(fnmatch.fnmatchcase(name, p) for p in args.names)

    lanes = [LaneProcess(build, str(k), os.path.join(prefixes, "wineprefix" +
                                                      ("" if k == 1 else "-%d" % k)), logs)
             for k in range(1, max(1, args.lanes) + 1)]
    en = None
    if everything:
        en = LaneProcess(build, "en", os.path.join(prefixes, "wineprefix-en"), logs,
                         ["LANG=en_US.UTF-8", "LC_ALL=en_US.UTF-8"])
    fonts = None
    if everything and not args.no_fonts:
        fonts_log = open(os.path.join(logs, "fonts.log"), "wb")
        fonts_began = time.monotonic()
        fonts = subprocess.Popen([sys.executable, os.path.join(ROOT, "tests", "fonts_test.py"),
                                  os.path.join(build, "fonts-test")], stdin=subprocess.DEVNULL,
                                 stdout=fonts_log, stderr=subprocess.STDOUT)

    work = queue.Queue()
    # The suites are listed by the first lane to run out of other work, once
    # ixo_win_tests.exe is built.
    listed = threading.Event()
    list_lock = threading.Lock()
    built = threading.Event()
    if args.building:
        def build_rest():
            began = time.monotonic()
            log = os.path.join(logs, "building.log")
            with open(log, "wb") as out:
                status = subprocess.run(shlex.split(args.building), stdin=subprocess.DEVNULL,
                                        stdout=out, stderr=subprocess.STDOUT).returncode
            if status != 0:
                report.piece("build", "build", "(the rest of it)",
                             {"status": status, "said": [], "log": log,
                              "seconds": round(time.monotonic() - began, 2)})
                listed.set()
            built.set()
        builder = threading.Thread(target=build_rest)
        builder.start()
    else:
        built.set()

    e2e_cases = e2e_pieces()

    def estimate(kind, name):
        key = "%s %s" % (kind, name)
        if key in last:
            return last[key]
        if kind == "e2e":  # a first run: some seconds a case
            return 5.0 * e2e_cases[name]
        return 1.0

    def fill(pieces):
        for p in sorted(pieces, key=lambda p: -estimate(*p)):
            work.put(p)

    fill([("e2e", c) for c in e2e_cases if wanted(c) or wanted(c.split(".")[0])])

    def list_suites(lane):
        result = lane.ask("list", "")
        suites = []
        if result["status"] == 0:
            with open(result["log"], encoding="utf-8", errors="replace") as f:
                suites = suites_of(f.read())
        else:
            report.piece(lane.name, "GoogleTest", "listing", result)
        for s in result["said"]:
            print("[%s] GoogleTest listing: %s" % (lane.name, s))
            report.restarts.append("listing: " + s)
        chosen = [s for s in suites if wanted(s)]
        if not chosen:
            return
        # A Wine start costs more than most suites' cases: the cases are run
        # in a few shards, each a process, which GoogleTest fills evenly.
        total = min(3 * len(lanes), len(chosen))
        pattern = "*" if everything else ":".join(s + ".*" for s in chosen)
        fill([("gtest", "%d/%d %s" % (k, total, pattern)) for k in range(1, total + 1)])

    times = {}

    def serve(lane):
        ready = lane.wait_ready()
        with report.lock:
            for s in lane.ready.get("again", []):
                print("[%s] lane start: %s" % (lane.name, s))
                report.restarts.append("lane %s: %s" % (lane.name, s))
        if not ready:
            report.piece(lane.name, "lane", "start", {"status": "no desktop", "said": [],
                                                      "log": lane.err.name, "seconds": 0})
            return
        print("[%s] lane up: %s" % (lane.name, lane.ready["said"]), flush=True)
        if lane is en:
            for module in LOCALE_MODULES:
                result = lane.ask("e2e", module)
                times["en " + module] = result["seconds"]
                report.piece("en", "e2e", module, result)
            return
        while True:
            try:
                kind, name = work.get_nowait()
            except queue.Empty:
                if listed.is_set():
                    return
                built.wait()
                with list_lock:
                    if not listed.is_set():
                        list_suites(lane)
                        listed.set()
                continue
            result = lane.ask(kind, name)
            times["%s %s" % (kind, name)] = result["seconds"]
            report.piece(lane.name, kind, name, result)

    threads = [threading.Thread(target=serve, args=(lane,)) for lane in lanes + ([en] if en else [])]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if args.building:
        builder.join()
    for lane in lanes + ([en] if en else []):
        lane.close()
    if fonts:
        status = fonts.wait()
        fonts_log.close()
        report.piece("fonts", "fonts", "test", {"status": status, "said": [],
                                                "log": fonts_log.name,
                                                "seconds": round(time.monotonic() - fonts_began,
                                                                 2)})
    if everything:
        with open(times_file, "w") as f:
            json.dump(times, f, indent=0, sort_keys=True)

    print()
    print("winrun: %d lanes, %.0f s" % (len(lanes) + (1 if en else 0), time.monotonic() - began))
    if report.restarts:
        print("winrun: %d starts that never ran were started again:" % len(report.restarts))
        for r in report.restarts:
            print("  " + r)
    for f in report.failed:
        print("FAILED: " + f)
    print("%d passed, %d failed" % (len(report.passed), len(report.failed)))
    return 1 if report.failed or not report.passed else 0


if __name__ == "__main__":
    sys.exit(main())
