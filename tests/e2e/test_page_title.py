"""With "PageTitle=1" a shortcut saved under its address's name is renamed to
the title of the page, read from a server the test runs on 127.0.0.1; without
it the page is never asked."""
import http.server
import os
import select
import threading

from e2e import Clipboard, IxoCase, shortcut_bytes, wait_for


def page(title_html, charset="utf-8", meta=""):
    return ("<!DOCTYPE html><html><head>%s<title>%s</title></head><body>x</body></html>"
            % (meta, title_html)).encode(charset)


TITLED = "Café 🍰 & 新聞 ☺"
# path: (status, headers, body)
PAGES = {
    "/utf8": (200, {"Content-Type": "text/html; charset=UTF-8"},
              page("\n  Caf&eacute; &#x1F370;\t&amp; 新聞 &#9786;  \n")),
    "/sjis": (200, {"Content-Type": "text/html"},
              page("日本語のページ", "cp932", '<meta charset="Shift_JIS">')),
    "/eucjp": (200, {"Content-Type": "text/html"},
               page("東京の天気", "euc_jp",
                    '<meta http-equiv="Content-Type" content="text/html; charset=EUC-JP">')),
    "/jis": (200, {"Content-Type": "text/html; charset=ISO-2022-JP"},
             page("ニュース一覧", "iso2022_jp")),
    "/moved": (302, {"Location": "/target"}, b""),
    "/target": (200, {"Content-Type": "text/html; charset=utf-8"}, page("Where it moved")),
    "/loop": (301, {"Location": "/loop"}, b""),
    "/untitled": (200, {"Content-Type": "text/html"}, b"<html><body>no title</body></html>"),
    "/missing": (404, {"Content-Type": "text/html"}, page("Not Found")),
}


class Server:
    """A small web server on a free port; it keeps what it was asked. The
    path /never is answered never: the request stays open until the
    program gives it up."""

    def __init__(self):
        self.requests = []
        self.gave_up = threading.Event()
        self.stop = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.requests.append((self.path, dict(self.headers)))
                if self.path == "/never":
                    # Held until the client closes its end.
                    while not server.stop.is_set():
                        if select.select([self.connection], [], [], 0.1)[0]:
                            if not self.connection.recv(1, 0x2):  # MSG_PEEK
                                server.gave_up.set()
                                return
                    return
                status, headers, body = PAGES.get(self.path, (404, {}, b""))
                self.send_response(status)
                for name, value in headers.items():
                    self.send_header(name, value)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.base = "http://127.0.0.1:%d" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def asked(self, path):
        return [headers for p, headers in self.requests if p == path]

    def close(self):
        self.stop.set()
        self.httpd.shutdown()
        self.httpd.server_close()


def address_name(url):
    """The title the program makes of an address alone."""
    return url.replace(":", "").replace("/", "-")


class PageTitleTest(IxoCase):
    def setUp(self):
        super().setUp()
        self.server = Server()
        self.addCleanup(self.server.close)

    def asking(self, name):
        app = self.ixo(name)
        app.write("IXO.ini", app.ini_for(kansi=1, extra="[URL]\r\nPageTitle=1"))
        return app.start()

    def test_the_shortcut_is_renamed_to_the_pages_title(self):
        app = self.asking("page")
        for path, title in [("/utf8", TITLED), ("/sjis", "日本語のページ"),
                            ("/eucjp", "東京の天気"), ("/jis", "ニュース一覧"),
                            ("/moved", "Where it moved")]:
            with self.subTest(path=path):
                url = self.server.base + path
                Clipboard.put_text(url)
                self.assertEqual(app.shortcut(title), shortcut_bytes(url))
                self.assertFalse(os.path.exists(os.path.join(app.save,
                                                             address_name(url) + ".URL")))
                # The title box shows the record it still shows.
                self.assertEqual(app.edit_text(0), title)
        headers = self.server.asked("/utf8")[0]
        self.assertTrue(headers["User-Agent"].startswith("Ixo/"))
        self.assertNotIn("Cookie", headers)
        self.assertNotIn("Authorization", headers)
        self.assertEqual(len(app.shortcuts()), 5)

    def test_no_title_keeps_the_address_name(self):
        app = self.asking("untitled")
        for path in ["/untitled", "/missing", "/nowhere", "/loop"]:
            with self.subTest(path=path):
                url = self.server.base + path
                Clipboard.put_text(url)
                name = address_name(url)
                app.shortcut(name)
                wait_for("the request of " + path, lambda: self.server.asked(path))
                # Once the program has answered after the page did, it has
                # handled the answer: the name stands.
                self.assertEqual(app.edit_text(0), name)
        self.assertEqual(len(app.shortcuts()), 4)
        self.assertEqual(app.boxes(), 0)
        # The first request and five redirects at most.
        self.assertLessEqual(len(self.server.asked("/loop")), 6)

    def test_a_page_that_never_answers_holds_nothing_up(self):
        app = self.asking("never")
        url = self.server.base + "/never"
        Clipboard.put_text(url)
        app.shortcut(address_name(url))
        wait_for("the request", lambda: self.server.asked("/never"))
        # The window answers and the watch goes on while the page is asked.
        self.assertEqual(app.edit_text(1), url)
        Clipboard.put_text("next\nhttp://example.com/next")
        app.shortcut("next")
        # The program gives the request up within its time, and the name stands.
        self.assertTrue(self.server.gave_up.wait(60))
        self.assertEqual(app.edit_text(0), "next")
        self.assertEqual(sorted(app.shortcuts()),
                         sorted([address_name(url) + ".URL", "next.URL"]))

    def test_a_close_while_a_page_is_asked_is_not_held_up(self):
        app = self.asking("closing")
        url = self.server.base + "/never"
        Clipboard.put_text(url)
        wait_for("the request", lambda: self.server.asked("/never"))
        self.assertEqual(app.close(), 0)

    def test_without_the_switch_the_page_is_never_asked(self):
        app = self.ixo("quiet")
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        url = self.server.base + "/utf8"
        Clipboard.put_text(url)
        self.assertEqual(app.shortcut(address_name(url)), shortcut_bytes(url))
        self.assertEqual(app.close(), 0)
        self.assertEqual(self.server.requests, [])
