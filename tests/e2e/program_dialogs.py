"""The program's own dialogs (bookmark, proxy settings, login) as a user sees them: windows
found by their caption, their text fields in the order of the dialog, buttons and radio
buttons by their label."""
import pyatspi
from gi.repository import GLib

from harness import accessibility, timeouts
from harness.waiting import wait_until


def dialog_windows(program, caption):
    return [w for w in program.windows() if w.name == caption and accessibility.is_showing(w)]


def wait_for_dialog(program, caption, timeout=timeouts.WIDGET_CHANGE):
    def shown():
        program.check_running()
        return dialog_windows(program, caption)
    return wait_until(shown, timeout, f"a dialog captioned {caption!r}")[0]


def wait_for_dialog_gone(program, caption, timeout=timeouts.WIDGET_CHANGE, dialog=None):
    """Until no dialog of that caption shows; given one dialog, until that one no longer shows,
    whatever dialog of the same caption the program opens next."""
    def this_one_gone():
        try:
            return not accessibility.is_showing(dialog)
        except GLib.GError:  # its window is destroyed
            return True

    def gone():
        program.check_running()
        return this_one_gone() if dialog is not None else not dialog_windows(program, caption)
    wait_until(gone, timeout, f"the dialog {caption!r} closed")


def fields(dialog):
    """The dialog's text fields, plain and masked, in widget order."""
    dialog.clearCache()
    return accessibility.descendants(dialog, lambda a: a.getRoleName() in ("text", "password text"))


def field_texts(dialog):
    return [accessibility.text_of(f) for f in fields(dialog)]


def fill(dialog, index, text):
    field = fields(dialog)[index]
    masked = field.getRoleName() == "password text"
    accessibility.set_text(field, text)

    def holds():
        shown = accessibility.text_of(fields(dialog)[index])
        # A masked field shows one mask character per character typed.
        return len(shown) == len(text) if masked else shown == text
    wait_until(holds, timeouts.WIDGET_CHANGE, f"field {index} holding {text!r}")


def control(dialog, role, label):
    found = accessibility.by_role(dialog, role, label)
    if not found:
        raise LookupError(f"no {role} {label!r}; the dialog:\n{accessibility.describe(dialog)}")
    return found[0]


def press(dialog, label):
    """Presses a push button or a radio button by its label (radio labels keep their blank)."""
    for role in ("push button", "radio button"):
        found = accessibility.by_role(dialog, role, label)
        if found:
            accessibility.activate(found[0])
            return
    raise LookupError(f"no button {label!r}; the dialog:\n{accessibility.describe(dialog)}")


def radio_state(dialog, label):
    """(checked, enabled) of a radio button."""
    radio = control(dialog, "radio button", label)
    radio.clearCache()
    states = radio.getState()
    return states.contains(pyatspi.STATE_CHECKED), states.contains(pyatspi.STATE_SENSITIVE)


def field_enabled(dialog, index):
    field = fields(dialog)[index]
    field.clearCache()
    return field.getState().contains(pyatspi.STATE_SENSITIVE)
