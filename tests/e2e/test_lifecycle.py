"""Start-up options, the settings written on close, the automatic exit."""
import os
import subprocess
import time

from e2e import CTL, Clipboard, IxoCase, read_bytes, shortcut_bytes, sjis, wait_for, windows_path


def ini_text(app):
    return read_bytes(os.path.join(app.dir, "IXO.ini")).decode("cp932")


DEFAULT_TEI = "★\r\n●\r\n■\r\n◆\r\n▽\r\n○\r\n□\r\n◇\r\n--\r\n　\r\n‥\r\n…\r\n━\r\n☆\r\n==\r\n"


class SettingsOnCloseTest(IxoCase):
    def test_fresh_start_writes_every_key_in_order(self):
        app = self.ixo("fresh")
        app.start()
        self.assertEqual(app.close(), 0)
        self.assertEqual(ini_text(app),
                         "[Option]\r\nKansi=0\r\nAtc=0\r\nAcTime=60\r\nAcType=2\r\nMin=0\r\n"
                         "Tray=0\r\n[URL]\r\nNinsiki=-=?;%&,#\\\r\n[List]\r\nCount=0\r\n")
        self.assertEqual(app.read("IXO.tei"), sjis(DEFAULT_TEI))

    def test_folder_history_collapses_letter_case(self):
        ini = ("[List]\r\nCount=3\r\nDir0=C:\\a\r\nDir1=c:\\A\r\nDir2=D:\\b\r\n")
        app = self.ixo("history", ini=ini)
        app.start()
        self.assertEqual(app.close(), 0)
        text = ini_text(app)
        self.assertIn("Count=2\r\nDir0=c:\\A\r\nDir1=D:\\b\r\nDir2=D:\\b\r\n", text)

    def test_garbage_settings_start_with_defaults_and_are_written_back_sane(self):
        app = self.ixo("garbage", ini=bytes(range(256)) * 4096, tei=b"\x00" + b"x" * 100)
        app.start()
        self.assertEqual(app.close(), 0)
        self.assertIn("AcTime=60\r\n", ini_text(app))
        self.assertEqual(app.read("IXO.tei"), b"")


class StartupTest(IxoCase):
    def test_min_starts_minimised_with_a_taskbar_button(self):
        app = self.ixo("min", ini="[Option]\r\nMin=1\r\n")
        app.start()
        wait_for("minimised", lambda: app.state()[1] == 1)
        self.assertEqual(app.ctl("taskbar", app.win_exe()), "1")
        self.assertEqual(app.close(), 0)

    def test_tray_hides_the_taskbar_button(self):
        app = self.ixo("tray", ini="[Option]\r\nTray=1\r\n")
        app.start()
        wait_for("no taskbar button", lambda: app.ctl("taskbar", app.win_exe()) == "0")
        self.assertEqual(app.close(), 0)

    def test_tray_and_min_start_in_the_notification_area_alone(self):
        app = self.ixo("traymin", ini="[Option]\r\nTray=1\r\nMin=1\r\n")
        app.start()
        # No window, no taskbar button: the icon is the way back.
        wait_for("the window gone to the tray", lambda: app.state()[0] == 0)
        self.assertEqual(app.ctl("taskbar", app.win_exe()), "0")
        self.assertEqual(app.ctl("trayicon", app.win_exe()), "1")
        app.ctl("trayicon", app.win_exe(), "click")
        wait_for("the window back", lambda: app.state()[:2] == (1, 0))
        self.assertEqual(app.ctl("taskbar", app.win_exe()), "0")
        self.assertEqual(app.ctl("trayicon", app.win_exe()), "1")
        self.assertEqual(app.close(), 0)

    def test_a_title_list_that_cannot_be_read_is_said_once_and_nothing_is_written(self):
        app = self.ixo("lockedtei", tei="a\r\n")
        tei = os.path.join(app.dir, "IXO.tei")
        holder = subprocess.Popen(["wine", CTL, "lock", windows_path(tei), "600"],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                  stdin=subprocess.DEVNULL)
        self.addCleanup(holder.wait)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), b"locked")
        app.start(wait_window=False)
        self.assertEqual(app.error_box(),
                         ("Ixo", "ファイル %s は開けません." % windows_path(tei)))
        self.assertEqual(app.wait_exit(), 1)
        self.assertFalse(app.exists("IXO.ini"))
        self.assertEqual(app.read("IXO.tei"), b"a\r\n")

    def test_a_link_already_on_the_clipboard_is_saved_at_start(self):
        app = self.ixo("atstart")
        app.write("IXO.ini", app.ini_for(kansi=1))
        Clipboard.put_text("before start\nhttp://before/")
        app.start()
        self.assertEqual(app.shortcut("before start"), shortcut_bytes("http://before/"))


class AutoExitTest(IxoCase):
    def test_counts_down_in_the_caption_and_ends(self):
        # Kind 1 counts from start-up: 2, 1, 0, then the close on the 4th tick.
        app = self.ixo("autoexit", ini="[Option]\r\nAtc=1\r\nAcTime=2\r\nAcType=1\r\n")
        started = time.monotonic()
        app.start()
        captions = set()

        def ended():
            if app.proc.poll() is not None:
                return True
            try:
                captions.add(app.state()[2])
            except AssertionError:
                pass
            return False

        wait_for("automatic exit", ended, timeout=30, step=0.2)
        self.assertEqual(app.proc.returncode, 0)
        self.assertGreaterEqual(time.monotonic() - started, 3.0)
        self.assertTrue(any(c.startswith("Ixo - 終了まであと ") for c in captions), captions)
        self.assertIn("AcTime=2", ini_text(app))

    def test_negative_one_closes_on_the_first_tick(self):
        app = self.ixo("minus1", ini="[Option]\r\nAtc=1\r\nAcTime=-1\r\nAcType=1\r\n")
        app.start()
        self.assertEqual(app.wait_exit(timeout=20), 0)
        self.assertTrue(app.exists("IXO.ini"))
