"""Popup windows as a user sees them: the program's frames other than the main window,
found through accessibility by their caption, with their X geometry."""
from harness import accessibility, timeouts
from harness.waiting import wait_until


def popup_frames(program, caption):
    return [frame for frame in program.frames()
            if frame.name == caption and accessibility.is_showing(frame)]


def wait_for_popup(program, caption, timeout=timeouts.PAGE_LOAD):
    def shown():
        program.check_running()
        return popup_frames(program, caption)
    return wait_until(shown, timeout, f"a popup captioned {caption!r}")[0]


def popup_shown(program, caption):
    return bool(windows_named(program, caption))


def wait_for_popup_gone(program, caption, timeout=timeouts.WIDGET_CHANGE):
    def gone():
        program.check_running()
        return not popup_shown(program, caption)
    return wait_until(gone, timeout, f"the popup captioned {caption!r} gone")


def windows_named(program, caption):
    """The program's visible top-level X windows with exactly this name. (xdotool's search
    matches any one of its conditions, so the name is checked here.)"""
    return [wid for wid in program.x11.visible_windows(program.pid)
            if program.x11.window_name(wid) == caption]


def popup_geometry(program, caption):
    ids = windows_named(program, caption)
    if len(ids) != 1:
        raise LookupError(f"{len(ids)} visible X windows named {caption!r}")
    return program.x11.geometry(ids[0])


def popup_window_id(program, caption):
    ids = windows_named(program, caption)
    if not ids:
        raise LookupError(f"no visible X window named {caption!r}")
    return ids[0]


def menu_item(window, name):
    """A menu item of the main window's menu bar, by its text (before any tab)."""
    items = accessibility.descendants(
        window.frame, lambda a: a.getRoleName() in ("menu item", "check menu item") and a.name.split("\t")[0] == name)
    if not items:
        raise LookupError(f"no menu item {name!r}")
    return items[0]


def choose(window, name):
    """Chooses a menu command as a user would (the accessible's action)."""
    accessibility.activate(menu_item(window, name))


def is_checked(window, name):
    import pyatspi
    item = menu_item(window, name)
    item.clearCache()
    return item.getState().contains(pyatspi.STATE_CHECKED)
