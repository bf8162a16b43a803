"""Copying text while the program watches the clipboard writes the shortcut."""
import os

from e2e import Clipboard, IxoCase, shortcut_bytes

# (clipboard text as a browser puts it, expected title, expected address)
CASES = [
    ("Example Domain\nhttp://example.com/", "Example Domain", "http://example.com/"),
    ("http://example.com/ Example", "Example", "http://example.com/"),
    ("see http://example.com/ソフト", "see ソフト", "http://example.com/"),
    ("新着情報のお知らせ\nhttp://example.jp/news?id=12&x=1", "新着情報のお知らせ",
     "http://example.jp/news?id=12&x=1"),
    ("http://example.com/page\n\nページの題名 \n", "ページの題名", "http://example.com/page"),
    ("★新着★\nhttp://example.com/", "新着", "http://example.com/"),
    ("　新着　情報　\nhttp://example.com/", "新着情報", "http://example.com/"),
    ("-- ■ --\n表示\nhttp://example.com/", "表示", "http://example.com/"),
    ("http://example.com/a?b=1", "http--example.com-ab=1", "http://example.com/a?b=1"),
    ("http://a.com/\nhttp://b.com/", "httpb.com", "http://a.com/"),
    ("a:b*c\"d<e>f|g\\h/i;j,k\nhttp://x.com/", "abcdefghijk", "http://x.com/"),
]


class WatchTest(IxoCase):
    def test_each_text_gives_its_shortcut(self):
        app = self.ixo("watch")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        for text, title, url in CASES:
            with self.subTest(text=text):
                Clipboard.put_text(text)
                self.assertEqual(app.shortcut(title), shortcut_bytes(url))
        self.assertEqual(len(app.shortcuts()), len(CASES))

    def test_texts_without_a_plain_http_address_write_nothing(self):
        app = self.ixo("ignored")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        for text in ["Title\nhttps://example.com/", "Title\nHTTP://EXAMPLE.COM/",
                     "ftp://example.com/", "no address at all"]:
            Clipboard.put_text(text)
        # A last text that does give a shortcut: once it is there, every
        # earlier notice has been handled.
        Clipboard.put_text("marker\nhttp://marker/")
        app.shortcut("marker")
        self.assertEqual(app.shortcuts(), ["marker.URL"])

    def test_the_same_text_twice_is_taken_once(self):
        app = self.ixo("twice")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        Clipboard.put_text("one\nhttp://one/")
        app.shortcut("one")
        os.remove(os.path.join(app.save, "one.URL"))
        Clipboard.put_text("one\nhttp://one/")
        Clipboard.put_text("two\nhttp://two/")
        app.shortcut("two")
        self.assertEqual(app.shortcuts(), ["two.URL"])

    def test_watch_off_writes_nothing(self):
        app = self.ixo("off")
        app.write("IXO.ini", app.ini_for(kansi=0))
        viewer = self.viewer(app)
        app.start()
        Clipboard.put_text("title\nhttp://example.com/")
        # Once the program has handled the change, it has written what it
        # was going to write.
        viewer.sync()
        self.assertEqual(app.shortcuts(), [])
        self.assertEqual(app.close(), 0)

    def test_a_picture_on_the_clipboard_is_not_text(self):
        app = self.ixo("picture")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        Clipboard.put_text("first\nhttp://first/")
        app.shortcut("first")
        Clipboard.put_image()
        Clipboard.put_text("second\nhttp://second/")
        app.shortcut("second")
        self.assertEqual(app.shortcuts(), ["first.URL", "second.URL"])

    def test_delete_strings_come_from_ixo_tei(self):
        app = self.ixo("tei", tei="【PR】\r\n - Example\r\n")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        Clipboard.put_text("【PR】新製品 - Example\nhttp://example.com/")
        self.assertEqual(app.shortcut("新製品"), shortcut_bytes("http://example.com/"))
