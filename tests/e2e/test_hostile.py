"""Hostile input and faults from outside: huge clipboard texts, damaged or
huge settings files, save folders that vanish, titles that cannot be file
names, a clipboard held by another program, settings that cannot be written.

Every case ends by showing that nothing was lost and that the program still
works: a normal copy still gives its shortcut. The times the big cases take
are printed ("time: ...") so that they can be reported; nothing is asserted
of them (a busy machine may take any time; speed is for `make bench`), the
waits only have generous bounds.
"""
import functools
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import time

from e2e import CTL, Clipboard, IxoCase, ixoctl, shortcut_bytes, sjis, wait_for, windows_path

MB = 1 << 20
# How long a big case may take on a machine busy with other work.
BIG_WAIT = 180


def report(what, seconds):
    sys.stderr.write("  time: %-58s %6.2f s\n" % (what, seconds))
    sys.stderr.flush()


def program_bytes(text):
    """The clipboard text as the program reads it: code page 932, and Wine
    makes every LF a CR LF."""
    return sjis(text).replace(b"\n", b"\r\n")


def lines_of(line, size):
    """`line` repeated until the text is `size` bytes long for the program."""
    return line * (size // len(program_bytes(line)) + 1)


class HostileCase(IxoCase):
    def watching(self, name, **kw):
        app = self.ixo(name, **kw)
        app.write("IXO.ini", app.ini_for(kansi=1))
        return app

    def assert_still_works(self, app, title):
        """A normal copy after whatever went before gives its shortcut."""
        url = "http://example.com/works"
        Clipboard.put_text("%s\n%s" % (title, url))
        self.assertEqual(app.shortcut(title), shortcut_bytes(url))

    def assert_box(self, app, text, timeout=60):
        """The program shows one error box with `text`; it is dismissed."""
        box = app.error_box(timeout)
        self.assertIsNotNone(box, "no error box")
        self.assertEqual(box, ("Ixo", text))


# Every piece of this line is in the default title-delete list: 16 MB of it
# leave no title, and all of it has to be cleaned.
DECORATION = "★☆ -- == ‥ 　\n"


def big_texts():
    """(name, clipboard text, title, address) of 16 MB each, and one long URL."""
    half = lines_of(DECORATION, 8 * MB)
    return [
        ("16 MB of lines, address in the middle",
         half + "真ん中の題名\nhttp://example.com/middle\n" + half,
         "真ん中の題名", "http://example.com/middle"),
        ("16 MB of lines, address at the end",
         lines_of(DECORATION, 16 * MB) + "最後の題名\nhttp://example.com/end",
         "最後の題名", "http://example.com/end"),
        ("one 16 MB line: address, then title text",
         "http://example.com/line 一行の題名" + "　" * (8 * MB),
         "一行の題名", "http://example.com/line"),
        ("one 16 MB line: ★ before the address",
         "★" * (8 * MB) + "星の後 http://example.com/stars",
         "星の後", "http://example.com/stars"),
        ("a 1 MB address",
         "長いアドレス\nhttp://example.com/" + "a" * MB,
         "長いアドレス", "http://example.com/" + "a" * MB),
    ]


class BigClipboardTest(HostileCase):
    def test_huge_texts_give_their_shortcut_at_once(self):
        cases = big_texts()
        # Wine's own part: from xclip to a Wine program that holds the whole
        # text, with no Ixo running.
        for name, text, _, _ in cases:
            started = time.monotonic()
            Clipboard.put_text(text)
            status, _, err = ixoctl("cliplen", str(len(program_bytes(text))), "60")
            self.assertEqual(status, 0, "the text did not reach Wine whole: " + err)
            report("Wine alone, xclip to a Wine reader: " + name, time.monotonic() - started)

        Clipboard.put_text("(e2e: nothing to save)")
        app = self.watching("big").start()
        for name, text, title, url in cases:
            with self.subTest(name):
                started = time.monotonic()
                Clipboard.put_text(text)
                content = app.shortcut(title, timeout=BIG_WAIT)
                report("Ixo, xclip to shortcut file: " + name, time.monotonic() - started)
                self.assertEqual(content, shortcut_bytes(url))
        self.assertEqual(app.shortcuts(), sorted(title + ".URL" for _, _, title, _ in cases))
        self.assert_still_works(app, "after")

    def test_a_title_of_16_megabytes_is_cut_to_a_file_name(self):
        # No file name can be that long: the shortcut is named after as much
        # of the title as fits (255 bytes of UTF-8 on Linux, with ".URL").
        app = self.watching("bigtitle").start()
        started = time.monotonic()
        Clipboard.put_text("http://example.com/long " + "長" * (8 * MB))
        content = app.shortcut("長" * 83, timeout=BIG_WAIT)
        report("Ixo, xclip to shortcut file: one 16 MB title", time.monotonic() - started)
        self.assertEqual(content, shortcut_bytes("http://example.com/long"))
        self.assertEqual(app.boxes(), 0)
        self.assert_still_works(app, "after")
        self.assertEqual(sorted(os.listdir(app.save)), ["after.URL", "長" * 83 + ".URL"])


def settings_block(app, kansi=1):
    """Settings that make the program watch and save into its own folder."""
    return sjis("\r\n[Option]\r\nKansi=%d\r\n[List]\r\nCount=1\r\nDir0=%s\r\n"
                % (kansi, windows_path(app.save)))


GARBAGE = random.Random(1).randbytes(2 * MB)


@functools.cache
def tei_50mb():
    """50 MB of delete strings, one a line; made when a test first asks, not
    on every import of this module (each test class runs in a process of its
    own)."""
    head, tail = sjis("【広告"), sjis("】\r\n")
    return b"".join(b"%s%08d%s" % (head, i, tail) for i in range(50 * MB // 16))


def ini_has(*parts):
    def check(test, app):
        ini = app.read("IXO.ini")
        for part in parts:
            test.assertIn(sjis(part(app) if callable(part) else part), ini)
        test.assertLess(len(ini), 64 * 1024 + len(GARBAGE))
    return check


def tei_is(data):
    def check(test, app):
        test.assertEqual(app.read("IXO.tei"), data() if callable(data) else data)
    return check


# (name, IXO.ini, IXO.tei or what makes it, the title that "削除題名" gets,
# or None when the program does not watch; checks of what it writes back on
# close; whether to start it again on what it wrote)
SETTINGS_CASES = [
    ("binary garbage around the settings",
     lambda app: GARBAGE[:MB] + settings_block(app) + GARBAGE[MB:], None, "削除題名",
     [ini_has("Kansi=1\r\nAtc=0\r\nAcTime=60\r\nAcType=2\r\nMin=0\r\nTray=0\r\n")], True),
    ("a value of 5 MB",
     lambda app: sjis("[URL]\r\nNinsiki=" + "-" * (5 * MB) + "\r\n") + settings_block(app),
     None, "削除題名", [ini_has("Ninsiki=" + "-" * 2047 + "\r\n")], True),
    ("Count=2147483647 with a few Dir keys",
     lambda app: settings_block(app).replace(b"Count=1", b"Count=2147483647")
     + b"Dir7=C:\\seven\r\nDir2147483646=C:\\last\r\nDir99999999999=C:\\never\r\n",
     None, "削除題名",
     [ini_has(lambda app: "Count=3\r\nDir0=%s\r\n" % windows_path(app.save),
              "Dir1=C:\\seven\r\n", "Dir2=C:\\last\r\n")], True),
    # Not watching: with no folder at all a shortcut would go to the root of
    # the drive.
    ("Count=-5",
     lambda app: b"[Option]\r\nKansi=0\r\n[List]\r\nCount=-5\r\nDir0=C:\\zero\r\n", None, None,
     [ini_has("Count=0\r\n")], False),
    ("IXO.tei of 50 MB", settings_block, tei_50mb, "削除題名", [tei_is(tei_50mb)], False),
    # Only the list before the zero byte strikes anything from titles.
    ("IXO.tei with zero bytes",
     settings_block, sjis("削除\r\n") + b"\x00" + sjis("題名\r\n") + b"\x00" * 1000, "題名",
     [tei_is(sjis("削除\r\n"))], True),
]


class BadSettingsTest(HostileCase):
    def test_damaged_or_huge_settings_start_work_and_are_written_back_sane(self):
        for name, ini, tei, title, checks, again in SETTINGS_CASES:
            with self.subTest(name):
                Clipboard.put_text("(e2e: nothing to save)")
                app = self.ixo("settings%d" % len(self.apps))
                app.write("IXO.ini", ini(app))
                if tei is not None:
                    app.write("IXO.tei", tei() if callable(tei) else tei)
                started = time.monotonic()
                app.start()
                report("start with " + name, time.monotonic() - started)
                if title is not None:
                    Clipboard.put_text("削除題名\nhttp://example.com/")
                    self.assertEqual(app.shortcut(title), shortcut_bytes("http://example.com/"))
                started = time.monotonic()
                self.assertEqual(app.close(timeout=120), 0)
                report("close with " + name, time.monotonic() - started)
                for check in checks:
                    check(self, app)
                if again:
                    # What it wrote is what it reads: it watches and saves again.
                    app.kill()
                    Clipboard.put_text("(e2e: nothing to save)")
                    app.start()
                    self.assert_still_works(app, "again")
                    self.assertEqual(app.close(), 0)


class SaveFolderTest(HostileCase):
    def test_a_missing_folder_gets_nothing_and_works_again_once_it_is_back(self):
        app = self.watching("nofolder")
        shutil.rmtree(app.save)
        app.start()
        for title in ["無い時", "消えた後"]:
            Clipboard.put_text(title + "\nhttp://example.com/")
            # The title box shows the text once the program has taken it and
            # tried the save.
            wait_for("title " + title, lambda: app.edit_text(0) == title)
            self.assertFalse(os.path.exists(app.save))
            self.assertEqual(app.boxes(), 0)
            os.makedirs(app.save)
            self.assert_still_works(app, "戻った" + title)
            self.assertEqual(app.shortcuts(), ["戻った%s.URL" % title])
            shutil.rmtree(app.save)

    def test_a_folder_in_place_of_the_shortcut_gives_one_error_box(self):
        app = self.watching("dirtitle").start()
        os.makedirs(os.path.join(app.save, "題名.URL"))
        Clipboard.put_text("題名\nhttp://example.com/")
        self.assert_box(app, "ファイル %s\\題名.URL を作成できません." % windows_path(app.save))
        self.assertTrue(os.path.isdir(os.path.join(app.save, "題名.URL")))
        self.assert_still_works(app, "next")
        self.assertEqual(app.boxes(), 0)
        self.assertEqual(sorted(os.listdir(app.save)), ["next.URL", "題名.URL"])


# (clipboard text, the title that cannot be a file name)
BAD_TITLES = [
    ("Example\tTitle\nhttp://example.com/", "Example\tTitle"),
    ("CON\nhttp://example.com/", "CON"),
    # Would vanish into the device with no error.
    ("nul\nhttp://example.com/", "nul"),
    ("AUX.\nhttp://example.com/", "AUX."),
    ("com1 \nhttp://example.com/", "com1"),
]


class BadTitleTest(HostileCase):
    def test_titles_that_cannot_be_file_names_give_the_error_box(self):
        app = self.watching("badtitle").start()
        for text, title in BAD_TITLES:
            with self.subTest(title=title):
                Clipboard.put_text(text)
                self.assert_box(app, "ファイル %s\\%s.URL を作成できません."
                                % (windows_path(app.save), title))
                self.assertEqual(os.listdir(app.save), [])
        self.assert_still_works(app, "after")
        self.assertEqual(app.boxes(), 0)


# The program tries a busy clipboard again for at least this long before it
# gives up with the error box.
PROGRAM_WAITS_MS = 90


def put_held(viewer, app, text, hold_ms=None):
    """Another program puts `text` on the clipboard and keeps it open, before
    the program can read it (see `Viewer.put`)."""
    path = os.path.join(app.dir, "held.txt")
    with open(path, "wb") as f:
        f.write(sjis(text))
    return viewer.put(windows_path(path), hold_ms)


class ClipboardHeldTest(HostileCase):
    def test_a_brief_hold_is_waited_out(self):
        app = self.watching("brief")
        viewer = self.viewer(app)
        app.start()
        taken = []
        # A hold counts as brief when it ended well within the program's
        # wait; on a busy machine it may not have, and then it is made again.
        for i in range(50):
            title = "短い%d" % i
            held_ms = put_held(viewer, app, "%s\r\nhttp://example.com/%d" % (title, i), 20)
            viewer.sync()
            if held_ms is None or held_ms >= PROGRAM_WAITS_MS - 20:
                if app.boxes():
                    app.error_box()
                continue
            self.assertEqual(app.boxes(), 0, "gave up on a hold of %d ms" % held_ms)
            self.assertEqual(app.shortcut(title), shortcut_bytes("http://example.com/%d" % i))
            taken.append(title + ".URL")
            if len(taken) == 2:
                break
        self.assertEqual(len(taken), 2, "no brief hold could be made")
        self.assertTrue(set(taken) <= set(app.shortcuts()))

    def test_a_long_hold_gives_one_error_box_and_the_next_copy_works(self):
        app = self.watching("held")
        viewer = self.viewer(app)
        app.start()
        for _ in range(5):
            if put_held(viewer, app, "長く\r\nhttp://example.com/held") is not None:
                break
        else:
            self.fail("the clipboard could not be held")
        wait_for("the error box", lambda: app.boxes() > 0, timeout=60)
        # Every notice of the change handled: still the one box.
        viewer.sync()
        self.assertEqual(app.boxes(), 1, "more than one error box")
        self.assert_box(app, "クリップボードを開くことができません.")
        viewer.release()
        viewer.sync()
        self.assertEqual(app.boxes(), 0)
        self.assertEqual(app.shortcuts(), [])
        self.assert_still_works(app, "after")
        self.assertEqual(app.boxes(), 0)


# The settings as the program writes them for the prepared IXO.ini.
def full_ini(app):
    return sjis("[Option]\r\nKansi=1\r\nAtc=0\r\nAcTime=60\r\nAcType=2\r\nMin=0\r\nTray=0\r\n"
                "[List]\r\nCount=1\r\nDir0=%s\r\n[URL]\r\nNinsiki=-=?;%%&,#\\\r\n"
                % windows_path(app.save))


# A title-delete list with lone LF breaks (the program writes CR LF) and
# larger than the full disk's room.
TEI_LF = "".join("飾り%05d\n" % i for i in range(12000))
DISK_ROOM = 64 * 1024


class Folder:
    """A folder where the settings file `name` should be."""

    def __init__(self, name):
        self.name = name

    def block(self, test, app):
        path = os.path.join(app.dir, self.name)
        os.rename(path, path + ".away")
        os.mkdir(path)

    def unblock(self, app):
        path = os.path.join(app.dir, self.name)
        os.rmdir(path)
        os.rename(path + ".away", path)


class Held:
    """The settings file `name` held open by another program, sharing nothing."""

    def __init__(self, name):
        self.name = name
        self.holder = None

    def block(self, test, app):
        self.holder = subprocess.Popen(
            ["wine", CTL, "lock", windows_path(os.path.join(app.dir, self.name)), "600"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
        test.addCleanup(self.unblock, app)
        said = self.holder.stdout.readline().strip()
        self.holder.stdout.close()
        test.assertEqual(said, b"locked")

    def unblock(self, app):
        if self.holder.poll() is None:
            self.holder.kill()
        self.holder.wait()


class FullDisk:
    """A disk with room for DISK_ROOM bytes per file: the program's writes
    past that fail as on a full disk."""

    @staticmethod
    def preexec():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (DISK_ROOM, resource.RLIM_INFINITY))

    def block(self, test, app):
        pass

    def unblock(self, app):
        resource.prlimit(app.proc.pid, resource.RLIMIT_FSIZE,
                         (resource.RLIM_INFINITY, resource.RLIM_INFINITY))


# (name, the obstacle, which file the error names)
WRITE_CASES = [
    ("IXO.ini is a folder", Folder("IXO.ini"), "ini"),
    ("IXO.ini is held open", Held("IXO.ini"), "ini"),
    ("IXO.tei is a folder", Folder("IXO.tei"), "tei"),
    ("IXO.tei is held open", Held("IXO.tei"), "tei"),
    ("the disk is full", FullDisk(), "tei"),
]


class SettingsWriteTest(HostileCase):
    def test_a_close_that_cannot_write_is_abandoned_and_the_next_one_writes_all(self):
        for name, obstacle, fails in WRITE_CASES:
            with self.subTest(name):
                app = self.watching("write%d" % len(self.apps), tei=TEI_LF)
                ini, tei = app.read("IXO.ini"), app.read("IXO.tei")
                app.start(preexec_fn=getattr(obstacle, "preexec", None))
                obstacle.block(self, app)
                app.ctl("close", app.win_exe())
                folder = windows_path(app.dir)
                if fails == "ini":
                    self.assert_box(app, "%s\\IXO.ini に書き込めません." % folder)
                else:
                    self.assert_box(app, "ファイル %s\\IXO.tei を作成できません." % folder)
                # Still running, and working.
                self.assert_still_works(app, "after")
                self.assertIsNone(app.proc.poll())
                # Nothing half-written: the file that failed is as it was;
                # IXO.ini, written first, is whole.
                if fails == "tei":
                    self.assertEqual(app.read("IXO.ini"), full_ini(app))
                elif not isinstance(obstacle, Folder):
                    self.assertEqual(app.read("IXO.ini"), ini)
                if not (fails == "tei" and isinstance(obstacle, Folder)):
                    self.assertEqual(app.read("IXO.tei"), tei)
                self.assertFalse(app.exists("IXO.tei.new"))

                obstacle.unblock(app)
                self.assertEqual(app.close(), 0)
                self.assertEqual(app.read("IXO.ini"), full_ini(app))
                self.assertEqual(app.read("IXO.tei"), program_bytes(TEI_LF))
                self.assertFalse(app.exists("IXO.tei.new"))
