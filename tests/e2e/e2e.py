#!/usr/bin/env python3
"""End-to-end tests: the real Ixo.exe under Wine, driven only from outside.

Each case copies the program into a folder of its own with prepared settings
files, starts it, talks to it through the X clipboard (xclip) and window
messages (ixoctl.exe), and judges the files it leaves byte for byte.

Run under tools/winenv.sh (it provides DISPLAY, WINEPREFIX and the Japanese
locale):  tools/winenv.sh python3 tests/e2e/e2e.py BUILD_DIR [unittest args]
"""
import os
import shutil
import subprocess
import sys
import time
import unittest

if __name__ == "__main__" and len(sys.argv) > 1:
    os.environ["IXO_BUILD"] = os.path.abspath(sys.argv.pop(1))
BUILD = os.environ.get("IXO_BUILD", os.path.abspath("build/win"))
EXE = os.path.join(BUILD, "Ixo.exe")
CTL = os.path.join(BUILD, "ixoctl.exe")
WORK = os.path.join(BUILD, "e2e")

CRLF = b"\r\n"


def sjis(text):
    return text.encode("cp932")


def wait_for(what, predicate, timeout=20.0, step=0.05):
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


class Clipboard:
    """The X clipboard, set by a real X client as a browser would set it."""

    @staticmethod
    def put_text(text):
        # xclip forks and serves the selection until someone else owns it.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"),
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def put_image():
        png = os.path.join(WORK, "pixel.png")
        if not os.path.exists(png):
            subprocess.run(["convert", "-size", "1x1", "xc:red", png], check=True)
        subprocess.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", png],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


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
        (to give it the limits of a full disk, say)."""
        self.log = open(os.path.join(self.dir, "wine.log"), "wb")
        self.proc = subprocess.Popen(["wine", self.exe], cwd=self.dir, stdin=subprocess.DEVNULL,
                                     stdout=self.log, stderr=subprocess.STDOUT,
                                     preexec_fn=preexec_fn)
        if wait_window:
            self.ctl("wait", self.win_exe(), "60")
        return self

    def win_exe(self):
        return windows_path(self.exe)

    def ctl(self, *args, check=True):
        out = subprocess.run(["wine", CTL] + list(args), stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=120)
        if check and out.returncode != 0:
            raise AssertionError("ixoctl %s failed" % " ".join(args))
        return out.stdout.decode("cp932", "replace").strip()

    def state(self):
        visible, iconic, caption = (self.ctl("state", self.win_exe()).split(" ", 2) + [""])[:3]
        return int(visible), int(iconic), caption

    def boxes(self):
        """How many message boxes the program shows."""
        return int(self.ctl("boxes", self.win_exe()))

    def error_box(self, timeout=20):
        """Waits for a message box of the program, presses its OK button and
        gives its caption and text (cut to 4 KB); None when none came."""
        out = subprocess.run(["wine", CTL, "errbox", self.win_exe(), str(timeout)],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             stdin=subprocess.DEVNULL, timeout=timeout + 60)
        if out.returncode != 0:
            return None
        caption, _, text = out.stdout.decode("cp932", "replace").partition("\n")
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

    def shortcut(self, title):
        path = os.path.join(self.save, sjis_name(title))
        wait_for("shortcut " + title, lambda: os.path.exists(path))
        # The file appears before its bytes; wait for the whole content.
        wait_for("content of " + title, lambda: read_bytes(path).endswith(CRLF))
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


if __name__ == "__main__":
    sys.path.insert(0, os.path.dirname(__file__))
    names = [n[:-3] for n in sorted(os.listdir(os.path.dirname(os.path.abspath(__file__))))
             if n.startswith("test_") and n.endswith(".py")]
    suite = unittest.defaultTestLoader.loadTestsFromNames(names) if len(sys.argv) == 1 else None
    if suite is not None:
        result = unittest.TextTestRunner(verbosity=2).run(suite)
        sys.exit(0 if result.wasSuccessful() else 1)
    unittest.main(module=None, verbosity=2)
