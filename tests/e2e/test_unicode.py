"""Titles keep every character and are cut to fit a file name; copies marked
private never reach the disk."""
import os

from e2e import Clipboard, IxoCase, shortcut_bytes, windows_path

# (clipboard text as a browser puts it, title, address)
CASES = [
    ("Café 🍰 – Menu «best»\nhttp://example.com/", "Café 🍰 – Menu «best»", "http://example.com/"),
    ("中国新闻网 한국어\nhttp://example.com/cn", "中国新闻网 한국어", "http://example.com/cn"),
    ("Ünïcödé ✓ 第2版\nhttp://example.com/u", "Ünïcödé ✓ 第2版", "http://example.com/u"),
    # The cake ends the address, as a double-byte character does.
    ("see http://example.com/x🍰y", "see 🍰y", "http://example.com/x"),
]

EXCLUDED = ("ExcludeClipboardContentFromMonitorProcessing", b"")
NO_HISTORY = ("CanIncludeInClipboardHistory", b"\0\0\0\0")


class UnicodeTest(IxoCase):
    def watching(self, name):
        app = self.ixo(name)
        app.write("IXO.ini", app.ini_for(kansi=1))
        return app

    def test_every_character_of_a_title_is_kept(self):
        app = self.watching("unicode").start()
        for text, title, url in CASES:
            with self.subTest(title=title):
                Clipboard.put_text(text)
                self.assertEqual(app.shortcut(title), shortcut_bytes(url))
                self.assertEqual(app.edit_text(0), title)
        self.assertEqual(len(app.shortcuts()), len(CASES))
        self.assertEqual(app.boxes(), 0)

    def test_a_title_too_long_for_a_file_name_is_cut_to_fit(self):
        app = self.watching("long").start()
        # The whole path within 259 characters, the name within 255 UTF-16
        # units and 255 bytes of UTF-8; no space left at the end of the cut.
        room = 259 - len(windows_path(app.save)) - 1 - len(".URL")
        paragraph = ("A paragraph before a link is as long as paragraphs are. " * 6)[:299]
        Clipboard.put_text(paragraph + "\nhttp://example.com/para")
        self.assertEqual(app.shortcut(paragraph[:min(room, 251)].rstrip(" ")),
                         shortcut_bytes("http://example.com/para"))
        # Three bytes of UTF-8 each: 83 of them and ".URL" are 253 bytes.
        Clipboard.put_text("あ" * 200 + "\nhttp://example.com/kana")
        self.assertEqual(app.shortcut("あ" * 83), shortcut_bytes("http://example.com/kana"))
        self.assertEqual(len(app.shortcuts()), 2)
        self.assertEqual(app.boxes(), 0)

    def test_a_private_copy_is_left_alone_and_the_next_ordinary_one_is_taken(self):
        app = self.watching("private")
        viewer = self.viewer(app)
        app.start()
        for marker in (EXCLUDED, NO_HISTORY):
            with self.subTest(marker=marker[0]):
                text = "secret %s\nhttp://vault.example/%s" % (marker[0], marker[0])
                Clipboard.put_copy(text, [marker])
                # Once the program has handled the change, it has written
                # what it was going to write.
                viewer.sync()
                self.assertEqual(app.shortcuts(), [])
                # The same text copied as usual: it was never taken, so it is new.
                Clipboard.put_copy(text)
                self.assertEqual(app.shortcut("secret " + marker[0]),
                                 shortcut_bytes("http://vault.example/" + marker[0]))
                os.remove(os.path.join(app.save, "secret %s.URL" % marker[0]))
        self.assertEqual(app.close(), 0)
