"""An address copied alone is named after the link the browser put beside it
(Edge's "titled hyperlink": the address as text, a link to it as HTML Format)."""
from e2e import Clipboard, IxoCase, shortcut_bytes


def html_format(fragment):
    """The clipboard's HTML Format as browsers write it: a header of byte
    offsets into the UTF-8 that follows, the fragment between its markers."""
    header = ("Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\n"
              "StartFragment:%010d\r\nEndFragment:%010d\r\n")
    before = b"<html><body>\r\n<!--StartFragment-->"
    after = b"<!--EndFragment-->\r\n</body></html>"
    body = fragment.encode("utf-8")
    start = len(header % (0, 0, 0, 0))
    offsets = (start, start + len(before) + len(body) + len(after),
               start + len(before), start + len(before) + len(body))
    return (header % offsets).encode("ascii") + before + body + after


def link(href, text):
    return ("HTML Format", html_format('<a href="%s">%s</a>' % (href, text)))


class LinkTitleTest(IxoCase):
    def test_the_link_to_the_copied_address_names_it(self):
        app = self.ixo("link")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        # Tags gone, references decoded, whitespace collapsed; then cleaned
        # as every title is (the colon cannot be in a file name).
        Clipboard.put_copy("http://example.com/news", [link(
            "http://example.com/news",
            "<b>Caf&eacute;</b>\r\n   &#x1F370; &amp; News 12:30 &#26032;&#32862;")])
        self.assertEqual(app.shortcut("Café 🍰 & News 1230 新聞"),
                         shortcut_bytes("http://example.com/news"))
        self.assertEqual(app.edit_text(0), "Café 🍰 & News 1230 新聞")
        # A link to some other address says nothing of this one.
        Clipboard.put_copy("http://example.com/other",
                           [link("http://example.com/news", "Not this page")])
        self.assertEqual(app.shortcut("http--example.com-other"),
                         shortcut_bytes("http://example.com/other"))
        # A title line in the text wins over the link's.
        Clipboard.put_copy("Text title\nhttp://example.com/t",
                           [link("http://example.com/t", "Link title")])
        self.assertEqual(app.shortcut("Text title"), shortcut_bytes("http://example.com/t"))
        self.assertEqual(len(app.shortcuts()), 3)
        self.assertEqual(app.boxes(), 0)

    def test_turned_off_the_address_names_it(self):
        app = self.ixo("nolink")
        app.write("IXO.ini", app.ini_for(kansi=1, extra="[URL]\r\nHtmlTitle=0"))
        app.start()
        Clipboard.put_copy("http://example.com/off", [link("http://example.com/off", "Link")])
        self.assertEqual(app.shortcut("http--example.com-off"),
                         shortcut_bytes("http://example.com/off"))
        self.assertEqual(app.shortcuts(), ["http--example.com-off.URL"])
        self.assertEqual(app.close(), 0)
        # And it stays off in the settings the close writes.
        self.assertIn(b"HtmlTitle=0", app.read("IXO.ini"))
