"""Whatever the system's locale: every text the program shows reaches Windows
as Unicode, copies of Japanese text are taken, and the settings files stay
code page 932 byte for byte."""
import os

from e2e import Clipboard, IxoCase, shortcut_bytes, sjis, windows_path


class LocaleTest(IxoCase):
    def test_the_windows_texts_are_unicode(self):
        app = self.ixo("captions")
        app.write("IXO.ini", app.ini_for(kansi=0))
        app.start()
        self.assertEqual(app.state()[2], "Ixo")
        # The folder list reads as its selection.
        self.assertEqual(app.captions(), [
            "タイトル(&T) :", "新規URL", "URL (&U) :", "http://www.", "保存(&S)", "閉じる(&C)",
            "オプション(&O)", "保存フォルダ:", windows_path(app.save), "URLとタイトルの取得(&G)",
            "新規作成(&N)", "<< 貼り付け", "<< 貼り付け", "クリップボードを監視"])
        self.assertEqual(app.close(), 0)

    def test_a_japanese_copy_into_a_japanese_folder_and_the_settings_after_the_close(self):
        app = self.ixo("japanese")
        app.save = os.path.join(app.dir, "保存先")
        os.makedirs(app.save)
        app.write("IXO.ini", app.ini_for(kansi=1))
        app.start()
        Clipboard.put_text("日本語の記事　タイトル\nhttp://example.com/ixo/e2e?q=1")
        self.assertEqual(app.shortcut("日本語の記事タイトル"),
                         shortcut_bytes("http://example.com/ixo/e2e?q=1"))
        self.assertEqual(app.close(), 0)
        self.assertEqual(app.read("IXO.ini"), sjis(
            "[Option]\r\nKansi=1\r\nAtc=0\r\nAcTime=60\r\nAcType=2\r\nMin=0\r\nTray=0\r\n"
            "[List]\r\nCount=1\r\nDir0=%s\r\n[URL]\r\nNinsiki=-=?;%%&,#\\\r\n"
            % windows_path(app.save)))
        self.assertEqual(app.read("IXO.tei"), sjis(
            "★\r\n●\r\n■\r\n◆\r\n▽\r\n○\r\n□\r\n◇\r\n--\r\n　\r\n‥\r\n…\r\n━\r\n☆\r\n==\r\n"))
