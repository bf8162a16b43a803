#!/usr/bin/env python3
"""End-to-end tests: the real Ixo.exe under Wine, driven only from outside.

Each case copies the program into a folder of its own with prepared settings
files, starts it, talks to it through the X clipboard (xclip) and window
messages (ixoctl.exe), and judges the files it leaves byte for byte.

Run under tools/winenv.sh (it provides DISPLAY, WINEPREFIX and the Japanese
locale):  tools/winenv.sh python3 tests/e2e/e2e.py BUILD_DIR [unittest args]
"""
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zlib

if __name__ == "__main__" and len(sys.argv) > 1:
    os.environ["IXO_BUILD"] = os.path.abspath(sys.argv.pop(1))
BUILD = os.environ.get("IXO_BUILD", os.path.abspath("build/win"))
EXE = os.path.join(BUILD, "Ixo.exe")
CTL = os.path.join(BUILD, "ixoctl.exe")
# Lanes that run side by side each have a work folder of their own.
WORK = os.environ.get("IXO_E2E_WORK", os.path.join(BUILD, "e2e"))

CRLF = b"\r\n"


def sjis(text):
    return text.encode("cp932")


def wait_for(what, predicate, timeout=60.0, step=0.05):
    """Polls `predicate` until it gives a true value; fails after `timeout`."""
    until = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > until:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


def windows_path(unix_path):
    """The path Wine shows for a Unix path: drive Z: is the Unix root."""
    return "Z:" + unix_path.replace("/", "\\")


def let_go(proc, timeout=30):
    """Ends a helper that stays while its input is open: closes the input and
    waits for the helper to go, killing it if it stays."""
    proc.stdin.close()
    try:
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def ixoctl(*args, timeout=120):
    """Runs ixoctl.exe; its exit status, stdout and stderr.

    Every failure of ixoctl says why on stderr. A failure with no word is a
    Wine start that never got to run (see tests/winrun.py): it is started
    again, at most twice, and the output says so."""
    for start in range(1, 4):
        began = time.monotonic()
        out = subprocess.run(["wine", CTL] + list(args), stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, stdin=subprocess.DEVNULL, timeout=timeout)
        status = out.returncode
        err = out.stderr.decode("utf-8", "replace").strip()
        if status == 0 or err or out.stdout.strip():
            break
        err = "ended with status %d without a word" % status
        never_ran("ixoctl " + (args[0] if args else ""), start, status, time.monotonic() - began)
    return status, out.stdout.decode("utf-8", "replace").strip(), err


def red_pixel_png():
    """A PNG file of one red pixel."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0)  # 1x1, 8-bit RGB
    pixels = zlib.compress(b"\x00\xff\x00\x00")  # filter 0, then red
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", pixels)
            + chunk(b"IEND", b""))


def never_ran(what, start, status, lived, errors=None):
    """Says that start `start` of 3 of `what` ended at once without a word
    (Wine, before any of the program ran), and what the
    start wrote on stderr (`errors`, a file), where only Wine could have
    written: the one trace of why."""
    said = ""
    if errors is not None:
        errors.seek(0)
        said = errors.read(300).decode("utf-8", "replace").strip()
    sys.stderr.write("e2e: %s: start %d of 3 never ran (status %s after %.2f s, %s); %s\n"
                     % (what, start, status, lived,
                        "on stderr: " + " | ".join(said.splitlines()) if said else "no output",
                        "started again" if start < 3 else "given up"))
    sys.stderr.flush()


class Clipboard:
    """The X clipboard, set by a real X client as a browser would set it.

    Wine's bridge takes what an X client puts on the X clipboard over into
    the Windows clipboard, once, and drops it when the Windows clipboard is
    open at that moment (the program may be reading the text before); and a
    change made on the Windows side is handed to X a moment later, which can
    take the X clipboard back from the X client before the bridge took its
    text over. So a text counts as put only once the Windows clipboard has
    changed (its sequence number, read without opening it); otherwise it is
    put again. The program takes a text it already has only once.
    """

    @staticmethod
    def put_text(text):
        data = text.encode("utf-8")
        Clipboard._put(["xclip", "-selection", "clipboard", "-i"], data, len(data))

    @staticmethod
    def put_copy(text, formats=()):
        """Puts a copy as a Windows program puts one (a browser, a password
        manager): `text` as CF_UNICODETEXT and, with it, each (name, bytes)
        of `formats`. The copy is there when ixoctl ends."""
        os.makedirs(WORK, exist_ok=True)
        files = [os.path.join(WORK, "copy-text")]
        with open(files[0], "wb") as f:
            f.write(text.encode("utf-8"))
        args = ["put", files[0]]
        for i, (name, data) in enumerate(formats):
            files.append(os.path.join(WORK, "copy-format-%d" % i))
            with open(files[-1], "wb") as f:
                f.write(data)
            args += [name, files[-1]]
        status, _, err = ixoctl(*args)
        if status != 0:
            raise AssertionError("ixoctl put failed: " + err)

    @staticmethod
    def put_image():
        png = os.path.join(WORK, "pixel.png")
        if not os.path.exists(png):
            with open(png, "wb") as f:
                f.write(red_pixel_png())
        Clipboard._put(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", png], None, 0)

    @staticmethod
    def _put(command, data, size):
        # A generous wait for the bridge: big texts take their time on a busy machine.
        wait = 10 + 4 * size / (1 << 20)
        for _ in range(5):
            # One ixoctl says the sequence number before the put and waits for
            # it to change.
            for start in range(1, 4):
                began = time.monotonic()
                watch = subprocess.Popen(["wine", CTL, "seq", "next", "%.1f" % wait],
                                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                         stderr=subprocess.PIPE)
                if watch.stdout.readline().strip():
                    break
                status = watch.wait()
                err = watch.stderr.read().decode("utf-8", "replace").strip()
                if err:
                    raise AssertionError("ixoctl seq failed with status %d: %s" % (status, err))
                never_ran("ixoctl seq", start, status, time.monotonic() - began)
                if start == 3:
                    raise AssertionError("ixoctl seq never ran")
            # xclip forks and serves the selection until someone else owns it.
            subprocess.run(command, input=data, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                changed = watch.wait(wait + 60) == 0
            except subprocess.TimeoutExpired:
                watch.kill()
                watch.wait()
                changed = False
            watch.stdout.close()
            watch.stderr.close()
            if changed:
                return
        raise AssertionError("the X client's clipboard never reached Wine's")


class Viewer:
    """ixoctl's clipboard viewer on both sides of the program in the viewer
    chain (see `viewer::Run` in ixoctl.cpp); made before the program starts."""

    def __init__(self, app):
        for start in range(1, 4):
            began = time.monotonic()
            errors = tempfile.TemporaryFile()
            self.proc = subprocess.Popen(["wine", CTL, "viewer", app.win_exe()],
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         stderr=errors)
            self.pending = b""
            try:
                said = self._line(60)
            except AssertionError:
                if self.proc.poll() is None or start == 3:
                    raise
                never_ran("ixoctl viewer", start, self.proc.returncode, time.monotonic() - began,
                          errors)
                errors.close()
                continue
            if said != "ready":
                raise AssertionError("the clipboard viewer did not start")
            return

    def _line(self, timeout):
        until = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while b"\n" not in self.pending:
            left = until - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise AssertionError("the clipboard viewer did not answer")
            chunk = os.read(fd, 4096)
            if not chunk:
                raise AssertionError("the clipboard viewer ended")
            self.pending += chunk
        line, _, self.pending = self.pending.partition(b"\n")
        return line.decode("cp932").strip()

    def _ask(self, line):
        self.proc.stdin.write(line.encode("cp932") + b"\n")
        self.proc.stdin.flush()
        return self._line(120)

    def sync(self):
        """Returns once the program has handled everything sent to it so far,
        every notice of a clipboard change included (or is showing its error
        box for it)."""
        if self._ask("sync") != "synced":
            raise AssertionError("the program did not answer the clipboard viewer")

    def put(self, path, hold_ms=None):
        """Puts the bytes of `path` on the clipboard as text and keeps the
        clipboard open, before the program can have read them. With
        `hold_ms`, lets it go that many milliseconds after the program could
        first try, and gives how long that really was; otherwise it stays
        held until `release`. None when it could not be done."""
        said = self._ask("put %d %s" % (-1 if hold_ms is None else hold_ms, path))
        if said != "held":
            return None
        return self.release_answer() if hold_ms is not None else 0

    def release(self):
        """Lets the clipboard go; how long it was held after the program could
        first try, in milliseconds."""
        self.proc.stdin.write(b"release\n")
        self.proc.stdin.flush()
        return self.release_answer()

    def release_answer(self):
        said = self._line(120)
        if not said.startswith("released "):
            raise AssertionError("the clipboard viewer could not let the clipboard go")
        return int(said.split()[1])

    def close(self):
        if self.proc.poll() is None:
            let_go(self.proc)
        self.proc.stdout.close()


class Ixo:
    """One copy of the program in a folder of its own."""

    def __init__(self, name, ini=None, tei=None):
        self.dir = os.path.join(WORK, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.exe = os.path.join(self.dir, "Ixo.exe")
        shutil.copyfile(EXE, self.exe)
        self.save = os.path.join(self.dir, "links")
        os.makedirs(self.save)
        if ini is not None:
            self.write("IXO.ini", ini)
        if tei is not None:
            self.write("IXO.tei", tei)
        self.proc = None
        self.log = None

    def write(self, name, data):
        if isinstance(data, str):
            data = sjis(data)
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(os.path.join(self.dir, name), "rb") as f:
            return f.read()

    def exists(self, name):
        return os.path.exists(os.path.join(self.dir, name))

    def ini_for(self, kansi=1, extra="", dirs=None):
        """An IXO.ini that watches the clipboard and saves into self.save."""
        dirs = [windows_path(self.save)] if dirs is None else dirs
        lines = ["[Option]", "Kansi=%d" % kansi] + ([extra] if extra else [])
        lines += ["[List]", "Count=%d" % len(dirs)]
        lines += ["Dir%d=%s" % (i, d) for i, d in enumerate(dirs)]
        return "\r\n".join(lines) + "\r\n"

    def start(self, wait_window=True, preexec_fn=None):
        """Starts the program; `preexec_fn` runs in the child before Wine does
        (to give it the limits of a full disk, say). With `wait_window`, waits
        for its main window; a start that ended at once, with no window and
        no word, never ran and is made again (at most twice, said so)."""
        for start in range(1, 4):
            if self.log:
                self.log.close()
            self.log = open(os.path.join(self.dir, "wine.log"), "wb")
            began = time.monotonic()
            self.proc = subprocess.Popen(["wine", self.exe], cwd=self.dir,
                                         stdin=subprocess.DEVNULL, stdout=self.log,
                                         stderr=subprocess.STDOUT, preexec_fn=preexec_fn)
            if not wait_window:
                return self
            ended = []
            threading.Thread(target=lambda p=self.proc: (p.wait(), ended.append(time.monotonic())),
                             daemon=True).start()
            until = began + 60
            while not ended and time.monotonic() < until:
                if ixoctl("wait", self.win_exe(), "2")[0] == 0:
                    return self
            if ended:
                lived = ended[0] - began
                said = read_bytes(self.log.name).strip()
                if self.proc.returncode != 0 and not said and lived < 1.0 and start < 3:
                    never_ran("Ixo.exe", start, self.proc.returncode, lived)
                    continue
                raise AssertionError("Ixo ended with status %s after %.2f s without a main window%s"
                                     % (self.proc.returncode, lived,
                                        ": " + said.decode("utf-8", "replace") if said else ""))
            raise AssertionError("ixoctl wait %s 60: no main window" % self.win_exe())

    def win_exe(self):
        return windows_path(self.exe)

    def ctl(self, *args, check=True):
        status, out, err = ixoctl(*args)
        if check and status != 0:
            raise AssertionError("ixoctl %s failed with status %d: %s"
                                 % (" ".join(args), status, err))
        return out

    def state(self):
        visible, iconic, caption = (self.ctl("state", self.win_exe()).split(" ", 2) + [""])[:3]
        return int(visible), int(iconic), caption

    def captions(self):
        """The text of each control of the main window, in the order they
        were made, as Windows holds it (UTF-16)."""
        return self.ctl("captions", self.win_exe()).splitlines()

    def boxes(self):
        """How many message boxes the program shows."""
        return int(self.ctl("boxes", self.win_exe()))

    def error_box(self, timeout=60):
        """Waits for a message box of the program, presses its OK button and
        gives its caption and text (cut to 4 KB); None when none came."""
        status, out, _ = ixoctl("errbox", self.win_exe(), str(timeout), timeout=timeout + 60)
        if status != 0:
            return None
        caption, _, text = out.partition("\n")
        return caption.rstrip("\r"), text.rstrip("\r\n")

    def edit_text(self, n):
        """The text of edit box `n` of the main window (0 title, 1 URL), asked
        of the program itself: it answers once its current work is done."""
        return self.ctl("text", self.win_exe(), str(n))

    def close(self, timeout=30):
        self.ctl("close", self.win_exe())
        return self.wait_exit(timeout)

    def wait_exit(self, timeout=30):
        try:
            self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("Ixo did not end")
        return self.proc.returncode

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.log:
            self.log.close()

    def shortcuts(self):
        return sorted(n for n in os.listdir(self.save) if n.upper().endswith(".URL"))

    def shortcut(self, title, timeout=60):
        path = os.path.join(self.save, sjis_name(title))
        wait_for("shortcut " + title, lambda: os.path.exists(path), timeout)
        # The file appears before its bytes; wait for the whole content.
        wait_for("content of " + title, lambda: read_bytes(path).endswith(CRLF), timeout)
        return read_bytes(path)


def sjis_name(title):
    """The Unix name Wine gives a file whose Windows name is `title`.URL."""
    return title + ".URL"


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def shortcut_bytes(url):
    return b"[InternetShortcut]\r\nURL=" + sjis(url) + CRLF


class IxoCase(unittest.TestCase):
    def setUp(self):
        os.makedirs(WORK, exist_ok=True)
        self.apps = []
        # A program that watches looks at the clipboard as it starts: leave
        # it nothing of the previous case to save.
        Clipboard.put_text("(e2e: nothing to save)")

    def tearDown(self):
        for app in self.apps:
            app.kill()

    def ixo(self, name, **kw):
        app = Ixo(name, **kw)
        self.apps.append(app)
        return app

    def viewer(self, app):
        """A clipboard viewer around `app`, which must not have started yet."""
        viewer = Viewer(app)
        self.addCleanup(viewer.close)
        return viewer


class Desktop:
    """A window on Wine's desktop for the whole run (see `ixoctl desktop`):
    the bridge to the X clipboard keeps running between the programs."""

    def __enter__(self):
        for start in range(1, 4):
            began = time.monotonic()
            errors = tempfile.TemporaryFile()
            self.proc = subprocess.Popen(["wine", CTL, "desktop"], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, stderr=errors)
            if self.proc.stdout.readline().startswith(b"ready"):
                return self
            self.proc.wait()
            if start < 3:
                never_ran("ixoctl desktop", start, self.proc.returncode, time.monotonic() - began,
                          errors)
            errors.close()
        raise RuntimeError("ixoctl desktop did not start")

    def __exit__(self, *exc):
        let_go(self.proc)
        self.proc.stdout.close()


def main():
    sys.path.insert(0, os.path.dirname(__file__))
    with Desktop():
        if len(sys.argv) > 1:
            return unittest.main(module=None, verbosity=2, exit=False).result.wasSuccessful()
        names = [n[:-3] for n in sorted(os.listdir(os.path.dirname(os.path.abspath(__file__))))
                 if n.startswith("test_") and n.endswith(".py")]
        suite = unittest.defaultTestLoader.loadTestsFromNames(names)
        return unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful()


if __name__ == "__main__":
    sys.exit(0 if main() else 1)
