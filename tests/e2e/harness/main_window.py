"""The main window as a user sees it: caption, menu bar, address bar, page and geometry."""
from . import accessibility, timeouts
from .waiting import wait_until


class MainWindow:
    def __init__(self, process, frame):
        self.process = process
        self.frame = frame
        self._x11 = process.x11

    # -- the window ----------------------------------------------------------------

    @property
    def caption(self):
        return self.frame.name

    @property
    def window_id(self):
        """The X window of the frame: the program's largest visible window with its caption."""
        ids = self._x11.visible_windows(self.process.pid, f"^{self.caption}$")
        if not ids:
            raise LookupError(f"no visible X window named {self.caption!r}")
        return max(ids, key=lambda wid: (lambda r: r.width * r.height)(self._x11.geometry(wid)))

    def geometry(self):
        return self._x11.geometry(self.window_id)

    def wait_for_geometry(self, expected, timeout=timeouts.WIDGET_CHANGE):
        return wait_until(lambda: self._running() and self.geometry() == expected, timeout,
                          f"window geometry {expected} (now {self._safe(self.geometry)})")

    def press(self, *keys):
        self._x11.key(self.window_id, *keys)

    def close(self):
        self._x11.close_window(self.window_id)

    # -- menu bar ------------------------------------------------------------------

    def menu_bar(self):
        return accessibility.first_by_role(self.frame, "menu bar")

    def menu_titles(self):
        bar = self.menu_bar()
        return [bar.getChildAtIndex(i).name for i in range(bar.childCount)]

    def menu_bar_showing(self):
        bars = accessibility.by_role(self.frame, "menu bar")
        return any(accessibility.is_showing(bar) for bar in bars)

    # -- address bar ---------------------------------------------------------------

    def address_label(self):
        return accessibility.first_by_role(self.frame, "label", "Address:")

    def address_box(self):
        return accessibility.first_by_role(self.frame, "combo box")

    def address_entry(self):
        return accessibility.first_by_role(self.address_box(), "text")

    def address_bar_showing(self):
        boxes = accessibility.by_role(self.frame, "combo box")
        labels = accessibility.by_role(self.frame, "label", "Address:")
        return any(accessibility.is_showing(w) for w in boxes + labels)

    def address_text(self):
        return accessibility.text_of(self.address_entry())

    def wait_for_address(self, expected, timeout=timeouts.PAGE_LOAD):
        return wait_until(lambda: self._running() and self.address_text() == expected, timeout,
                          f"address box showing {expected!r} (now {self._safe(self.address_text)!r})")

    def typed_addresses(self):
        """The items of the address box's list, top first."""
        box = self.address_box()
        box.clearCache()
        items = accessibility.descendants(box, lambda a: a.getRoleName() in ("menu item", "table cell",
                                                                              "list item"))
        return [item.name for item in items]

    def type_address(self, address):
        """Puts address into the address box's edit field and presses Enter there."""
        entry = self.address_entry()
        accessibility.grab_focus(entry)
        wait_until(lambda: accessibility.is_focused(self.address_entry()), timeouts.WIDGET_CHANGE,
                   "keyboard focus in the address box")
        accessibility.set_text(entry, address)
        wait_until(lambda: self.address_text() == address, timeouts.WIDGET_CHANGE,
                   f"address box holding the typed {address!r}")
        self.press("Return")

    # -- the page ------------------------------------------------------------------

    def document(self):
        """The top-level page (the outermost web document)."""
        return accessibility.first_by_role(self.frame, "document web")

    def page_title(self):
        document = self.document()
        document.clearCache()
        return document.name

    def wait_for_page_title(self, expected, timeout=timeouts.PAGE_LOAD):
        return wait_until(lambda: self._running() and self.page_title() == expected, timeout,
                          f"page titled {expected!r} (now {self._safe(self.page_title)!r})")

    def page_link(self, name):
        return wait_until(lambda: self._running() and accessibility.by_role(self.document(), "link", name),
                          timeouts.PAGE_LOAD, f"link {name!r} in the page")[0]

    def click(self, accessible):
        """A real mouse click in the middle of the widget."""
        x, y, width, height = accessibility.extents(accessible)
        self._x11.focus(self.window_id)
        self._x11.click(x + width // 2, y + height // 2)

    def click_in_page(self):
        """A click in the middle of the page area, where the test pages put their targets."""
        self.click(self.document())

    def _running(self):
        self.process.check_running()
        return True

    @staticmethod
    def _safe(read):
        try:
            return read()
        except Exception as error:  # noqa: BLE001 - only used to describe a timeout
            return f"<{error}>"
