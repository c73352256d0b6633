"""Bookmarks in the real window: "Add to bookmarks" proposes the page, the built-in page
at its res: address lists the bookmarks, its Edit and Delete buttons work through their
dialogs, and AppSettings.ini holds the list in its text form, byte for byte."""
from harness import accessibility, timeouts
from harness.case import EndToEndTest, Settings
from harness.waiting import stays_true, wait_until
from popup_windows import choose
from program_dialogs import field_texts, fill, press, wait_for_dialog, wait_for_dialog_gone

MARKUP_TITLE = "<img src=x onerror=\"document.title='injected'\"> Fish & \"Chips\""


def bookmarks_address():
    """The page's res: address: the program's path as the program sees it (drive Z:)."""
    return "res://Z:" + Settings.program.replace("/", "\\") + "/142"


def entry(name, url):
    return f"{name} \\-\\ {url} \\-\\"


class BookmarksTest(EndToEndTest):
    def settings_bytes(self):
        path = self.sandbox.settings_file
        return path.read_bytes() if path.exists() else None

    def wait_for_settings(self, expected):
        wait_until(lambda: self.settings_bytes() == expected, timeouts.WIDGET_CHANGE,
                   f"AppSettings.ini holding {expected!r} (now {self.settings_bytes()!r})")

    def add_current_page(self, program, window, expected_name, expected_url, name=None):
        choose(window, "Add to bookmarks")
        dialog = wait_for_dialog(program, "Add bookmark?")
        self.assertEqual(field_texts(dialog), [expected_name, expected_url], "the page's title and address")
        if name is not None:
            fill(dialog, 0, name)
        press(dialog, "OK")
        wait_for_dialog_gone(program, "Add bookmark?")

    def open_bookmarks(self, window):
        choose(window, "Bookmarks...")
        window.wait_for_address(bookmarks_address())
        window.wait_for_page_title("Bookmarks")

    def rows(self, window):
        """The link texts of the bookmarks page, in order."""
        document = window.document()
        document.clearCache()
        return [link.name for link in accessibility.by_role(document, "link")]

    def wait_for_rows(self, window, expected):
        return wait_until(lambda: self.rows(window) == expected, timeouts.PAGE_LOAD,
                          f"the bookmarks page listing {expected} (now {self.rows(window)})")

    def buttons(self, window, label):
        document = window.document()
        document.clearCache()
        return accessibility.by_role(document, "push button", label)

    def test_bookmarks_added_listed_edited_and_deleted_through_the_page(self):
        program, window = self.open_page("second.html")
        window.wait_for_page_title("Second page")
        second = self.server.url("second.html")
        self.add_current_page(program, window, "Second page", second)
        self.wait_for_settings(b"[Features]\r\nBookmarks= " + entry("Second page", second).encode() + b" \r\n")

        links = self.server.url("links.html")
        window.type_address(links)
        window.wait_for_page_title("Links")
        self.add_current_page(program, window, "Links", links)
        self.wait_for_settings(b"[Features]\r\nBookmarks=" +
                               (entry("Second page", second) + " " + entry("Links", links)).encode() + b" \r\n")

        self.open_bookmarks(window)
        self.wait_for_rows(window, ["Second page", "Links"])
        self.assertEqual(len(self.buttons(window, "Edit")), 2)
        self.assert_no_dialog(program)

        # Edit the first row: the dialog proposes its entry; the edited entry moves last.
        window.click(self.buttons(window, "Edit")[0])
        dialog = wait_for_dialog(program, "Edit bookmark")
        self.assertEqual(field_texts(dialog), ["Second page", second])
        fill(dialog, 0, "Second, edited")
        press(dialog, "OK")
        wait_for_dialog_gone(program, "Edit bookmark")
        self.wait_for_rows(window, ["Links", "Second, edited"])
        self.wait_for_settings(b"[Features]\r\nBookmarks=" +
                               (entry("Links", links) + " " + entry("Second, edited", second)).encode() + b"\r\n")

        # Delete the first row: Cancel keeps it, OK removes it.
        for answer in ("Cancel", "OK"):
            with self.subTest(answer=answer):
                window.click(self.buttons(window, "Delete")[0])
                box = program.wait_for_message_box("Pelmarin", timeouts.WIDGET_CHANGE)
                self.assertEqual(box.text, "Delete bookmark?")
                box.press(answer)
                wait_until(lambda: not box.is_open(), timeouts.WIDGET_CHANGE, "the question closing")
        self.wait_for_rows(window, ["Second, edited"])
        self.wait_for_settings(b"[Features]\r\nBookmarks=" + entry("Second, edited", second).encode() + b"\r\n")

        # A bookmark's link is an ordinary navigation.
        window.click(accessibility.by_role(window.document(), "link", "Second, edited")[0])
        window.wait_for_address(second)
        self.assert_no_dialog(program)

    def test_a_title_with_markup_stays_text_and_its_buttons_find_it(self):
        program, window = self.open_page("bookmark-markup.html")
        window.wait_for_page_title(MARKUP_TITLE)
        page = self.server.url("bookmark-markup.html")
        self.add_current_page(program, window, MARKUP_TITLE, page)
        self.wait_for_settings(b"[Features]\r\nBookmarks= " + entry(MARKUP_TITLE, page).encode() + b" \r\n")

        self.open_bookmarks(window)
        self.wait_for_rows(window, [MARKUP_TITLE])
        self.assertTrue(stays_true(lambda: window.page_title() == "Bookmarks", timeouts.QUIET_PERIOD),
                        "a script of the title ran in the bookmarks page")
        self.assertEqual(accessibility.by_role(window.document(), "image"), [], "the title made an element")

        window.click(self.buttons(window, "Delete")[0])
        box = program.wait_for_message_box("Pelmarin", timeouts.WIDGET_CHANGE)
        box.press("OK")
        self.wait_for_rows(window, [])
        self.wait_for_settings(b"[Features]\r\nBookmarks=\r\n")
