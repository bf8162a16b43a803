"""The options dialog, the folder browser over it and a message box over it,
asked to close or left for another program, as the desktop drives them."""
import os
import subprocess
import time

from e2e import CTL, IxoCase, read_bytes, wait_for

OPTIONS = "オプション(&O)"


def started(args, said):
    """Starts ixoctl with `args`; returns it once it has printed `said`. A
    start that could not (the clipboard was busy a moment) is made again."""
    for _ in range(20):
        proc = subprocess.Popen(["wine", CTL] + args, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        line = proc.stdout.readline().strip()
        proc.stdout.close()
        if line == said:
            return proc
        proc.wait()
        time.sleep(0.1)
    raise AssertionError("ixoctl %s did not say %s" % (args[0], said))


class ModalCase(IxoCase):
    def setUp(self):
        super().setUp()
        self.helpers = []

    def tearDown(self):
        for proc in self.helpers:
            if proc.poll() is None:
                proc.kill()
            proc.wait()
        super().tearDown()

    def helper(self, args, said):
        proc = started(args, said)
        self.helpers.append(proc)
        return proc

    @staticmethod
    def windows(app, foreground=False):
        """The program's top-level windows: {class: (enabled, visible)}, the
        uppermost of each class; with `foreground`, the class of the
        foreground window instead (None when it is another program's)."""
        found = {}
        for line in app.ctl("windows", app.win_exe()).splitlines():
            cls, enabled, visible, front = line.rsplit(" ", 3)
            if foreground and front == "1":
                return cls
            found.setdefault(cls, (enabled == "1", visible == "1"))
        return None if foreground else found

    def wait_window(self, app, cls):
        """Waits until a shown window of class `cls` takes input."""
        wait_for(cls, lambda: self.windows(app).get(cls) == (True, True))

    def open_options(self, app):
        app.ctl("press", app.win_exe(), "TForm1", OPTIONS)
        self.wait_window(app, "TForm2")

    @staticmethod
    def ini(app):
        return read_bytes(os.path.join(app.dir, "IXO.ini")).decode("cp932")


class CloseRequestTest(ModalCase):
    """A close request (End task, taskkill without /F) is taken once: the
    windows over the main one end as Cancel would, then it closes as always."""

    def test_over_the_folder_browser(self):
        app = self.ixo("overbrowser")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        self.open_options(app)
        app.ctl("press", app.win_exe(), "TForm2", "追加")
        self.wait_window(app, "#32770")
        # Only the browser takes input meanwhile.
        shown = self.windows(app)
        self.assertEqual(shown["TForm2"], (False, True))
        self.assertEqual(shown["TForm1"], (False, True))
        app.ctl("close", app.win_exe())
        self.assertEqual(app.wait_exit(timeout=60), 0)
        self.assertIn("Kansi=1\r\nAtc=0\r\nAcTime=60\r\n", self.ini(app))

    def test_over_an_error_box_on_the_dialog(self):
        app = self.ixo("overbox")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        self.open_options(app)
        # Test while another program holds the clipboard: the dialog's box.
        self.helper(["hold", "600"], b"held")
        app.ctl("press", app.win_exe(), "TForm2", "テスト")
        wait_for("the error box", lambda: app.boxes() == 1)
        self.assertEqual(self.windows(app)["TForm2"], (False, True))
        app.ctl("close", app.win_exe())
        self.assertEqual(app.wait_exit(timeout=60), 0)
        self.assertIn("Kansi=1\r\nAtc=0\r\nAcTime=60\r\n", self.ini(app))


class CountdownTest(ModalCase):
    def test_waits_while_the_options_dialog_is_open(self):
        # Kind 2 counts while another program is active: 3, 2, 1, 0, close.
        app = self.ixo("countdown", ini="[Option]\r\nAtc=1\r\nAcTime=3\r\nAcType=2\r\n")
        app.start()
        self.open_options(app)
        self.helper(["focus", "600"], b"focused")
        # Four seconds would show the count and end the program: nothing
        # comes to wait for, so the window is watched for that long.
        until = time.monotonic() + 4
        while time.monotonic() < until:
            self.assertEqual(app.state()[2], "Ixo")
            self.assertEqual(self.windows(app).get("TForm2"), (True, True))
            time.sleep(0.2)
        self.assertIsNone(app.proc.poll())

        # After the dialog the count starts at the next switch to another
        # program, and ends the program as always.
        app.ctl("press", app.win_exe(), "TForm2", "ｷｬﾝｾﾙ")
        # Applying the options again brings the main window to the front.
        wait_for("the main window in front",
                 lambda: self.windows(app, foreground=True) == "TForm1")
        self.assertNotIn("TForm2", self.windows(app))
        self.helper(["focus", "600"], b"focused")
        self.assertEqual(app.wait_exit(timeout=60), 0)
