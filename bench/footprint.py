#!/usr/bin/env python3
"""Measures the footprint of the Windows program and writes build/footprint.json.

  tools/winenv.sh python3 bench/footprint.py [BUILD_DIR] [--out FILE] [--changes N]

BUILD_DIR (default build/win) holds Ixo.exe, ixoctl.exe and clipview.exe. Run under
tools/winenv.sh: it provides the virtual display, the Wine prefix and the
Japanese locale. What is measured:

  * the size of Ixo.exe and the DLLs its import tables name (only Windows'
    own may appear: no libstdc++, libgcc or libwinpthread);
  * the program's memory after start-up, after a warm-up of 100 clipboard
    changes and after N more (1,000 by default), each change waited for
    until its shortcut file is complete;
  * the CPU time it uses while idle for 60 seconds (watching on, automatic
    exit off);
  * the time from a clipboard change to the complete shortcut on disk, over
    the 100 warm-up changes, beside the run time of xclip itself.

Memory and CPU come from two sources. `ixoctl stats` asks Windows (here,
Wine) for the process's private bytes and CPU time; Wine 8 answers the
private bytes of another process with 0 and its CPU time is coarse and not
even monotonic. So the Wine process is also read from Linux's /proc: RssAnon
is the process's resident private memory (what Wine itself reports as its
page-file usage), VmData its private address space, utime + stime its CPU
time. Wine itself gains memory with every clipboard change; the same changes
are given to bench/clipview.cpp, a bare clipboard viewer, and the program's
own growth is the difference.

Prints a summary. Exits 1 when the file misses its goals (size, DLLs) or a
step fails; the other goals are reported, not enforced, since the numbers
depend on Wine and on the machine.
"""
import argparse
import json
import os
import shutil
import statistics
import struct
import subprocess
import sys
import time

# The end-to-end harness's helpers: Wine paths and bounded waits.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from e2e import wait_for, windows_path  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MB = 1 << 20

# DLLs that come with every 64-bit Windows the program runs on.
WINDOWS_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll",
    "ucrtbase.dll",
}
# The MinGW run-time DLLs a static link must have left out.
RUNTIME_PREFIXES = ("libstdc++", "libgcc", "libwinpthread")


# ---------------------------------------------------------------- the file

def pe_imports(path):
    """The DLL names in the import and delay-import tables of a PE file."""
    with open(path, "rb") as f:
        data = f.read()
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(path + " is not a PE file")
    nsections, = struct.unpack_from("<H", data, pe + 6)
    opt_size, = struct.unpack_from("<H", data, pe + 20)
    opt = pe + 24
    magic, = struct.unpack_from("<H", data, opt)
    dirs = opt + (112 if magic == 0x20B else 96)
    sections = []
    for i in range(nsections):
        s = opt + opt_size + 40 * i
        vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, s + 8)
        sections.append((va, max(vsize, rawsize), raw))

    def offset(rva):
        for va, size, raw in sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("address 0x%x is in no section" % rva)

    def cstring(rva):
        o = offset(rva)
        return data[o:data.index(b"\0", o)].decode("ascii")

    names = []
    # Directory 1: imports (20-byte entries, name at +12); directory 13:
    # delay imports (32-byte entries, name at +4).
    for index, entry, name_at in ((1, 20, 12), (13, 32, 4)):
        rva, size = struct.unpack_from("<II", data, dirs + 8 * index)
        if not rva:
            continue
        o = offset(rva)
        while True:
            raw = data[o:o + entry]
            if len(raw) < entry or raw == b"\0" * entry:
                break
            name_rva, = struct.unpack_from("<I", raw, name_at)
            names.append(cstring(name_rva))
            o += entry
    return names


def file_report(exe):
    dlls = pe_imports(exe)
    lower = [d.lower() for d in dlls]
    runtime = [d for d in dlls if d.lower().startswith(RUNTIME_PREFIXES)]
    foreign = [d for d, l in zip(dlls, lower) if l not in WINDOWS_DLLS]
    size = os.path.getsize(exe)
    return {
        "path": os.path.relpath(exe, ROOT),
        "size_bytes": size,
        "size_goal_bytes": MB,
        "size_ok": size < MB,
        "imported_dlls": sorted(dlls, key=str.lower),
        "mingw_runtime_dlls": runtime,
        "dlls_not_known_as_windows": foreign,
        "only_windows_dlls": not runtime and not foreign,
    }


# ------------------------------------------------------------ the process

def put_clipboard(text):
    """Sets the X clipboard as a browser would; returns xclip's run time."""
    t = time.perf_counter()
    # xclip forks and serves the selection until another owner takes over.
    subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"),
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - t


def proc_status(pid):
    """The kB fields of /proc/PID/status, in bytes."""
    status = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            key, _, value = line.partition(":")
            if value.strip().endswith("kB"):
                status[key] = int(value.split()[0]) * 1024
    return status


class Watcher:
    """A copy of a clipboard-watching program in a scratch folder of its own,
    saving into the folder's "links"."""

    exe_name = None

    def __init__(self, build, work):
        self.build = build
        self.dir = work
        shutil.rmtree(work, ignore_errors=True)
        self.save = os.path.join(work, "links")
        os.makedirs(self.save)
        self.exe = os.path.join(work, self.exe_name)
        shutil.copyfile(os.path.join(build, self.exe_name), self.exe)
        self.proc = None
        self.pid = None

    def args(self):
        return []

    def start(self):
        log = open(os.path.join(self.dir, "wine.log"), "wb")
        self.proc = subprocess.Popen(["wine", self.exe] + self.args(), cwd=self.dir,
                                     stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        log.close()
        self.pid = wait_for("the Wine process of " + self.exe_name, self.find_unix_pid, timeout=60)

    def find_unix_pid(self):
        """The Linux process running this copy: named after it, in its folder."""
        comm = self.exe_name.lower()[:15]  # the kernel keeps 15 bytes of a name
        for name in os.listdir("/proc"):
            if not name.isdigit():
                continue
            try:
                with open("/proc/%s/comm" % name) as f:
                    if f.read().strip().lower() != comm:
                        continue
                if os.readlink("/proc/%s/cwd" % name) == self.dir:
                    return int(name)
            except OSError:
                continue
        return None

    def rss_anon(self):
        return proc_status(self.pid).get("RssAnon", 0)

    def shortcut_done(self, title, expected):
        path = os.path.join(self.save, title + ".URL")
        try:
            with open(path, "rb") as f:
                return f.read() == expected
        except OSError:
            return False

    def change(self, index):
        """Puts one new text with an address on the clipboard and waits until
        its shortcut is complete. Returns (seconds to the file, xclip's)."""
        title = "記事%05d" % index
        url = "http://example.jp/news/%05d" % index
        expected = b"[InternetShortcut]\r\nURL=" + url.encode("ascii") + b"\r\n"
        start = time.perf_counter()
        xclip = put_clipboard("%s\n%s" % (title, url))
        wait_for("the shortcut " + title, lambda: self.shortcut_done(title, expected), step=0.001)
        took = time.perf_counter() - start
        # Keep the save folder small, so every change finds it alike.
        os.remove(os.path.join(self.save, title + ".URL"))
        return took, xclip

    def close(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class Baseline(Watcher):
    """bench/clipview.cpp: the least a watching program can do."""

    exe_name = "clipview.exe"

    def args(self):
        return [windows_path(self.save)]


class Program(Watcher):
    """Ixo.exe, watching, with its automatic exit off."""

    exe_name = "Ixo.exe"

    def __init__(self, build, work):
        super().__init__(build, work)
        ini = ["[Option]", "Kansi=1", "Atc=0", "Tray=0", "Min=0",
               "[List]", "Count=1", "Dir0=" + windows_path(self.save)]
        with open(os.path.join(work, "IXO.ini"), "wb") as f:
            f.write(("\r\n".join(ini) + "\r\n").encode("cp932"))

    def ctl(self, *args):
        out = subprocess.run(["wine", os.path.join(self.build, "ixoctl.exe")] + list(args),
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             stdin=subprocess.DEVNULL, timeout=120)
        if out.returncode != 0:
            raise RuntimeError("ixoctl %s failed" % " ".join(args))
        return out.stdout.decode("cp932", "replace").strip()

    def start(self):
        super().start()
        self.ctl("wait", windows_path(self.exe), "60")

    def stats(self):
        """One reading of the process from Windows' side and from Linux's."""
        private, cpu, handles = (int(v) for v in self.ctl("stats", windows_path(self.exe)).split())
        status = proc_status(self.pid)
        with open("/proc/%d/stat" % self.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        ticks = int(fields[11]) + int(fields[12])  # utime, stime
        return {
            "ixoctl_private_bytes": private,
            "ixoctl_cpu_100ns": cpu,
            "ixoctl_handles": handles,
            "rss_anon_bytes": status.get("RssAnon", 0),
            "vm_rss_bytes": status.get("VmRSS", 0),
            "vm_data_bytes": status.get("VmData", 0),
            "linux_cpu_100ns": ticks * 10_000_000 // os.sysconf("SC_CLK_TCK"),
        }

    def close(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.ctl("close", windows_path(self.exe))
                self.proc.wait(30)
            except (RuntimeError, subprocess.TimeoutExpired):
                pass
        super().close()


def ms(seconds):
    return round(seconds * 1000, 2)


def latency(app, first, count):
    lat, xclip = [], []
    for i in range(first, first + count):
        took, x = app.change(i)
        lat.append(took)
        xclip.append(x)
    return {
        "changes": count,
        "median_ms": ms(statistics.median(lat)),
        "worst_ms": ms(max(lat)),
        "best_ms": ms(min(lat)),
        "xclip_median_ms": ms(statistics.median(xclip)),
        "xclip_worst_ms": ms(max(xclip)),
    }


def many_changes(app, first, count):
    """`count` changes; RssAnon and VmData after each tenth of them."""
    series = []
    t0 = time.monotonic()
    for i in range(count):
        app.change(first + i)
        if (i + 1) % max(1, count // 10) == 0:
            st = proc_status(app.pid)
            series.append({"changes": i + 1, "rss_anon_bytes": st.get("RssAnon", 0),
                           "vm_data_bytes": st.get("VmData", 0)})
    return time.monotonic() - t0, series


def growth(before, after, changes):
    out = {}
    for key in ("ixoctl_private_bytes", "rss_anon_bytes", "vm_data_bytes"):
        if key in before:
            d = after[key] - before[key]
            out[key] = {"bytes": d, "per_change": round(d / changes, 1)}
    return out


def run_program(build, changes, idle_seconds, warmup):
    app = Program(build, os.path.join(build, "footprint", "ixo"))
    # A watching program looks at the clipboard as it starts: give it nothing.
    put_clipboard("(footprint: nothing to save)")
    report = {}
    try:
        t0 = time.monotonic()
        app.start()
        report["start_seconds"] = round(time.monotonic() - t0, 2)
        time.sleep(2)  # let start-up settle
        startup = app.stats()
        report["memory_after_startup"] = startup

        # Idle: nothing arrives, the automatic exit is off.
        time.sleep(idle_seconds)
        after = app.stats()
        report["idle"] = {
            "seconds": idle_seconds,
            "ixoctl_cpu_100ns": after["ixoctl_cpu_100ns"] - startup["ixoctl_cpu_100ns"],
            "linux_cpu_100ns": after["linux_cpu_100ns"] - startup["linux_cpu_100ns"],
            "goal_100ns": 0,
        }

        # The warm-up changes give the latency.
        report["latency"] = latency(app, 0, warmup)
        warm = app.stats()
        report["memory_after_warmup"] = warm

        # Many changes: memory must not grow with them.
        spent, series = many_changes(app, warmup, changes)
        final = app.stats()
        report["changes"] = {
            "count": changes,
            "seconds": round(spent, 1),
            "ms_per_change": ms(spent / changes),
            "memory_after": final,
            "growth_since_warmup": growth(warm, final, changes),
            "growth_since_startup": growth(startup, final, warmup + changes),
            "series": series,
        }
        app.close()
        report["exit_code"] = app.proc.returncode
    finally:
        app.close()
    return report


def run_baseline(build, changes, warmup):
    app = Baseline(build, os.path.join(build, "footprint", "clipview"))
    put_clipboard("(footprint: nothing to save)")
    try:
        app.start()
        report = {"latency": latency(app, 0, warmup)}
        warm = {"rss_anon_bytes": app.rss_anon()}
        spent, series = many_changes(app, warmup, changes)
        final = {"rss_anon_bytes": app.rss_anon()}
        report["changes"] = {
            "count": changes,
            "seconds": round(spent, 1),
            "growth_since_warmup": growth(warm, final, changes),
            "series": series,
        }
    finally:
        app.close()
    return report


NOTES = [
    "ixoctl_* values are what Windows' process calls (here Wine 8's) report: Wine answers "
    "the private bytes and the handle count of another process with 0, and its CPU time "
    "of another process comes in 10 ms ticks and can even go down between two readings; "
    "the Linux figures are the ones to go by.",
    "rss_anon_bytes (RssAnon), vm_data_bytes (VmData) and linux_cpu_100ns (utime + stime) "
    "are read from /proc for the Linux process that runs the program under Wine; RssAnon "
    "is what Wine itself reports as the process's page-file usage.",
    "baseline is bench/clipview.cpp, a bare clipboard viewer that writes the same files: "
    "what it gains per change is Wine's, so the program's own growth is the difference.",
    "latency runs from just before xclip starts to the moment the shortcut file holds its "
    "whole content, polled every millisecond; xclip_* is xclip's own run time.",
]


def summary(report, warmup):
    fr = report["file"]
    print("Ixo.exe             %d bytes (goal < %d)  %s" % (
        fr["size_bytes"], MB, "ok" if fr["size_ok"] else "TOO BIG"))
    print("imported DLLs       %s  %s" % (", ".join(fr["imported_dlls"]),
                                           "ok" if fr["only_windows_dlls"] else "NOT ONLY WINDOWS'"))
    if "error" in report:
        print("FAILED: " + report["error"])
        return
    p, b = report["program"], report["baseline"]
    m0, mw, c = p["memory_after_startup"], p["memory_after_warmup"], p["changes"]
    print("memory, start-up    RssAnon %d, VmData %d (ixoctl private bytes: %d)" % (
        m0["rss_anon_bytes"], m0["vm_data_bytes"], m0["ixoctl_private_bytes"]))
    print("memory, +%d changes RssAnon %d, VmData %d" % (
        warmup, mw["rss_anon_bytes"], mw["vm_data_bytes"]))
    g = c["growth_since_warmup"]["rss_anon_bytes"]
    bg = b["changes"]["growth_since_warmup"]["rss_anon_bytes"]
    print("memory, +%d more   RssAnon %d: %+d (%+.1f per change); bare viewer %+d (%+.1f)" % (
        c["count"], c["memory_after"]["rss_anon_bytes"], g["bytes"], g["per_change"],
        bg["bytes"], bg["per_change"]))
    print("  the program's own growth: %+d bytes (memory is counted in 4096-byte pages)"
          % report["own_growth_bytes"])
    print("changes             %d in %.1f s, %.1f ms each" % (c["count"], c["seconds"], c["ms_per_change"]))
    i = p["idle"]
    print("idle %d s, CPU       %d x 100 ns (goal 0); Wine's own reading: %d" % (
        i["seconds"], i["linux_cpu_100ns"], i["ixoctl_cpu_100ns"]))
    lt, bl = p["latency"], b["latency"]
    print("change -> file      median %.1f ms, worst %.1f ms over %d; bare viewer %.1f / %.1f; "
          "xclip alone %.1f / %.1f" % (lt["median_ms"], lt["worst_ms"], lt["changes"],
                                       bl["median_ms"], bl["worst_ms"],
                                       lt["xclip_median_ms"], lt["xclip_worst_ms"]))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("build", nargs="?", default="build/win")
    ap.add_argument("--out", default=os.path.join(ROOT, "build", "footprint.json"))
    ap.add_argument("--changes", type=int, default=1000)
    ap.add_argument("--idle", type=int, default=60)
    ap.add_argument("--warmup", type=int, default=100)
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    for tool in ("Ixo.exe", "ixoctl.exe", "clipview.exe"):
        if not os.path.exists(os.path.join(build, tool)):
            sys.exit("%s is missing in %s" % (tool, build))
    if not os.environ.get("DISPLAY") or not os.environ.get("WINEPREFIX"):
        sys.exit("run under tools/winenv.sh")

    t0 = time.monotonic()
    report = {"file": file_report(os.path.join(build, "Ixo.exe"))}
    try:
        report["program"] = run_program(build, args.changes, args.idle, args.warmup)
        report["baseline"] = run_baseline(build, args.changes, args.warmup)
        own = (report["program"]["changes"]["growth_since_warmup"]["rss_anon_bytes"]["bytes"]
               - report["baseline"]["changes"]["growth_since_warmup"]["rss_anon_bytes"]["bytes"])
        report["own_growth_bytes"] = own
        report["own_growth_per_change"] = round(own / args.changes, 1)
    except (RuntimeError, AssertionError, OSError, subprocess.SubprocessError) as e:
        report["error"] = str(e)
    report["notes"] = NOTES
    report["total_seconds"] = round(time.monotonic() - t0, 1)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    with open(args.out, "w") as f:
        json.dump(report, f, indent=2, ensure_ascii=False)
        f.write("\n")

    summary(report, args.warmup)
    print("total               %.1f s; report in %s" % (report["total_seconds"], os.path.relpath(args.out)))
    fr = report["file"]
    return 0 if fr["size_ok"] and fr["only_windows_dlls"] and "error" not in report else 1


if __name__ == "__main__":
    sys.exit(main())
