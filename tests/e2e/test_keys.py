"""The keyboard alone reaches every page and button: real key presses, sent
through the X server by xdotool as a keyboard sends them."""
import collections
import os
import subprocess

from e2e import IxoCase, read_bytes, wait_for

# Where the keyboard is in the program, as ixoctl keyfocus reports it.
Focus = collections.namedtuple("Focus", "window xid page control text")


class Keyboard:
    def __init__(self, app):
        self.app = app

    def focus(self):
        out = self.app.ctl("keyfocus", self.app.win_exe(), check=False)
        parts = out.split(" ", 4)
        if len(parts) < 4:
            return None
        window, xid, page, control = parts[:4]
        return Focus(window, int(xid), int(page), control, parts[4] if len(parts) > 4 else "")

    def wait(self, **want):
        """Waits until the focus shows every field of `want`; gives the focus."""
        def shown():
            now = self.focus()
            return now if now and all(getattr(now, k) == v for k, v in want.items()) else None
        return wait_for("the keyboard at %r" % (want,), shown)

    def press(self, key, **want):
        """Presses `key` in the program's active window, then waits for `want`
        (keys that change nothing are checked by the ones after them: the
        program handles its keys in the order they come)."""
        now = wait_for("an active window", self.focus)
        if now.xid:
            # X hands key presses to the window with its focus.
            subprocess.run(["xdotool", "windowfocus", "--sync", str(now.xid)], check=True,
                           timeout=60)
        subprocess.run(["xdotool", "key", key], check=True, timeout=60)
        return self.wait(**want) if want else None


class KeyboardTest(IxoCase):
    def test_pages_and_buttons_are_reached_from_the_keyboard(self):
        app = self.ixo("keys")
        app.start()
        keys = Keyboard(app)
        keys.wait(window="TForm1", control="ComboBox")
        # The underlined letter opens the options, on the About page.
        keys.press("alt+o", window="TForm2", page=4, text="OK")
        keys.press("Tab", text="ｷｬﾝｾﾙ")
        # The tabs are the next stop; the arrow keys go from page to page.
        keys.press("Tab", page=4, control="SysTabControl32")
        keys.press("Left", page=3, control="SysTabControl32")
        keys.press("Right", page=4, control="SysTabControl32")
        # From anywhere: Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn, Ctrl+PgUp, round.
        for key, page in [("ctrl+Tab", 0), ("ctrl+shift+Tab", 4), ("ctrl+Next", 0),
                          ("ctrl+Prior", 4), ("ctrl+Prior", 3)]:
            keys.press(key, window="TForm2", page=page)
        # Into the page: tick "最小化で起動" with the space bar; Enter and
        # Escape on it do nothing.
        keys.press("Tab", text="アイコンはタスクトレイへ")
        keys.press("Tab", text="最小化で起動")
        for key in ["space", "Return", "Escape"]:
            keys.press(key)
        # From a page's control to the page before it, and into its box:
        # Enter and Escape do nothing there either.
        keys.press("ctrl+Prior", window="TForm2", page=2, control="SysTabControl32")
        keys.press("Tab", page=2, control="Edit")
        keys.press("Return")
        keys.press("Escape")
        keys.press("shift+Tab", window="TForm2", page=2, control="SysTabControl32")
        keys.press("shift+Tab", text="ｷｬﾝｾﾙ")
        keys.press("shift+Tab", text="OK")
        # Enter on the focused OK button presses it.
        keys.press("Return", window="TForm1", text="オプション(&O)")
        # And on the main window's close button, which ends the program.
        keys.press("shift+Tab", window="TForm1", text="閉じる(&C)")
        keys.press("Return")
        self.assertEqual(app.wait_exit(), 0)
        self.assertIn(b"Min=1\r\n", read_bytes(os.path.join(app.dir, "IXO.ini")))
