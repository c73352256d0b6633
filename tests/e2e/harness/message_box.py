"""A message box or other dialog of the program, read through accessibility."""
from . import accessibility


def _plain(label):
    # Button labels carry mnemonic underscores ("_OK"); the accessible name usually
    # drops them already, this covers toolkits that do not.
    return label.replace("_", "").strip().lower()


class MessageBox:
    def __init__(self, accessible, pid, x11):
        self.accessible = accessible
        self._pid = pid
        self._x11 = x11

    @property
    def caption(self):
        """The title of the box's window. The toolkit names a message box's accessible
        after its kind ("Question", "Warning"), so the title is read from the X window."""
        x, y, width, height = accessibility.extents(self.accessible)
        window_id = self._x11.window_at(self._pid, x + width // 2, y + height // 2)
        return self._x11.window_name(window_id) if window_id else None

    @property
    def role(self):
        return self.accessible.getRoleName()

    def texts(self):
        """The texts of its labels, in widget order (the message first)."""
        return [label.name for label in accessibility.by_role(self.accessible, "label")
                if label.name]

    @property
    def text(self):
        return "\n".join(self.texts())

    def buttons(self):
        return [button.name for button in accessibility.by_role(self.accessible, "push button")]

    def press(self, button_label):
        for button in accessibility.by_role(self.accessible, "push button"):
            if _plain(button.name) == _plain(button_label):
                accessibility.activate(button)
                return
        raise LookupError(f"no button {button_label!r} in {self.caption!r}; buttons: {self.buttons()}")

    def is_open(self):
        try:
            return accessibility.is_showing(self.accessible)
        except Exception:  # noqa: BLE001 - a destroyed dialog can no longer be asked
            return False
