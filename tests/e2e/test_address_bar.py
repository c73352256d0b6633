"""The main window's frame, menu bar and address bar, and how the address box follows
navigations: links clicked in the page and addresses typed into the box."""
from harness import accessibility
from harness.case import EndToEndTest


class AddressBarTest(EndToEndTest):
    def test_window_shows_menu_bar_label_and_start_address(self):
        program, window = self.open_page("links.html")
        self.assertEqual(window.caption, "Pelmarin")
        self.assertEqual(window.menu_titles(), ["File", "View", "Refresh", "Compatibility", "Help"])
        self.assertTrue(window.menu_bar_showing(), "menu bar hidden")
        self.assertTrue(accessibility.is_showing(window.address_label()), "the Address: label is hidden")
        self.assertTrue(window.address_bar_showing(), "address bar hidden")
        self.assertEqual(window.address_text(), self.server.url("links.html"))
        self.assert_no_dialog(program)

    def test_clicked_link_updates_address_box(self):
        _, window = self.open_page("links.html")
        window.click(window.page_link("Second page"))
        self.server.wait_for_beacon("second-loaded")
        window.wait_for_address(self.server.url("second.html"))
        window.wait_for_page_title("Second page")

    def test_typed_addresses_navigate_and_keep_last_seven(self):
        _, window = self.open_page("links.html")

        def typed(label):
            return self.server.url(f"typed.html?{label}")

        # Each row: what is typed, then the box's list afterwards (top first).
        first_eight = [f"n={i}" for i in range(1, 9)]
        steps = [(label, None) for label in first_eight[:-1]]
        steps += [
            # The eighth distinct address pushes the oldest out: never more than seven.
            ("n=8", ["n=8", "n=7", "n=6", "n=5", "n=4", "n=3", "n=2"]),
            # An address further down moves to the top, without a second copy.
            ("n=5", ["n=5", "n=8", "n=7", "n=6", "n=4", "n=3", "n=2"]),
            # The address already on top leaves the list as it is.
            ("n=5", ["n=5", "n=8", "n=7", "n=6", "n=4", "n=3", "n=2"]),
            # Addresses that differ only in case are different items.
            ("N=5", ["N=5", "n=5", "n=8", "n=7", "n=6", "n=4", "n=3"]),
        ]
        for count, (label, expected) in enumerate(steps, start=1):
            with self.subTest(step=count, typed=label):
                requests_before = len(self.server.requests_for("typed.html", label))
                loaded = "typed-" + label.replace("=", "-")
                loads_before = self.server.beacons().count(loaded)
                window.type_address(typed(label))
                self.server.wait_for_request("typed.html", label, count=requests_before + 1)
                window.wait_for_address(typed(label))
                # The next address is typed once this page has loaded, as a user would: a
                # load that ends can take the keyboard focus from the address box.
                self.server.wait_for_beacon(loaded, count=loads_before + 1)
                if expected is not None:
                    self.assertEqual(window.typed_addresses(), [typed(item) for item in expected])

    def test_enter_in_empty_address_box_does_nothing(self):
        program, window = self.open_page("links.html")
        requests_before = len(self.server.requests())
        window.type_address("")
        # The keys page is typed next: its request proves the empty Enter was taken
        # before, without a navigation or a question of its own.
        window.type_address(self.server.url("keys.html"))
        self.server.wait_for_beacon("keys-loaded")
        later = [r.path for r in self.server.requests()[requests_before:]]
        self.assertEqual(later[0], "/keys.html", f"requests after the empty Enter: {later}")
        self.assertEqual(window.typed_addresses(), [self.server.url("keys.html")])
        self.assert_no_dialog(program)
