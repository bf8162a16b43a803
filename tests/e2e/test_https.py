"""The https switch: "Https=1" in [URL] of IXO.ini lets the watch take
addresses that begin with "https://"; without the key they are left alone."""
from e2e import Clipboard, IxoCase, shortcut_bytes


class HttpsTest(IxoCase):
    def test_with_the_switch_an_https_copy_writes_its_shortcut(self):
        app = self.ixo("https_on")
        app.write("IXO.ini", app.ini_for(kansi=1) + "[URL]\r\nHttps=1\r\n")
        app.start()
        Clipboard.put_text("Title\r\nhttps://example.com/a")
        self.assertEqual(app.shortcut("Title"), shortcut_bytes("https://example.com/a"))
        self.assertEqual(app.close(), 0)
        # Closing writes the settings with the switch still on.
        self.assertIn(b"\r\nHttps=1\r\n", app.read("IXO.ini"))

    def test_without_the_key_an_https_copy_writes_nothing(self):
        app = self.ixo("https_off")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        Clipboard.put_text("Title\r\nhttps://example.com/a")
        # The http copy that follows is written; once it is there, the https
        # one before it has been handled.
        Clipboard.put_text("Next\r\nhttp://example.com/b")
        self.assertEqual(app.shortcut("Next"), shortcut_bytes("http://example.com/b"))
        self.assertEqual(app.shortcuts(), ["Next.URL"])
        # Closing writes the settings without the key.
        self.assertEqual(app.close(), 0)
        self.assertNotIn(b"Https", app.read("IXO.ini"))
