"""Reading and operating the program's widgets as an assistive client does (AT-SPI).

The program is found by its process id, so a test never mistakes another
application on the same bus for it."""
import pyatspi
from gi.repository import GLib

WINDOW_ROLES = {"frame", "dialog", "alert", "window", "file chooser"}


def refresh():
    """Lets libatspi apply pending change notifications, so cached names and
    children are current before a read."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def application_of(pid):
    refresh()
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        try:
            app = desktop.getChildAtIndex(index)
            if app is not None and app.get_process_id() == pid:
                return app
        except GLib.GError:
            continue
    return None


def windows_of(pid):
    """The program's top-level windows: frames, dialogs and message boxes."""
    app = application_of(pid)
    if app is None:
        return []
    app.clearCache()
    found = []
    for index in range(app.childCount):
        child = app.getChildAtIndex(index)
        if child is not None and child.getRoleName() in WINDOW_ROLES:
            found.append(child)
    return found


def descendants(root, predicate, limit=5000):
    """All accessibles below root (breadth first) for which predicate holds."""
    matches, queue, visited = [], [root], 0
    while queue and visited < limit:
        node = queue.pop(0)
        visited += 1
        try:
            count = node.childCount
        except GLib.GError:
            continue
        for index in range(count):
            try:
                child = node.getChildAtIndex(index)
            except GLib.GError:
                continue
            if child is None:
                continue
            try:
                matched = predicate(child)
            except GLib.GError:  # gone while the tree was walked
                continue
            if matched:
                matches.append(child)
            queue.append(child)
    return matches


def by_role(root, role, name=None):
    return descendants(root, lambda a: a.getRoleName() == role and (name is None or a.name == name))


def first_by_role(root, role, name=None):
    found = by_role(root, role, name)
    if not found:
        raise LookupError(f"no {role!r}" + (f" named {name!r}" if name is not None else ""))
    return found[0]


def is_showing(accessible):
    states = accessible.getState()
    return states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_VISIBLE)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def set_text(accessible, value):
    accessible.queryEditableText().setTextContents(value)


def grab_focus(accessible):
    return accessible.queryComponent().grabFocus()


def is_focused(accessible):
    return accessible.getState().contains(pyatspi.STATE_FOCUSED)


def extents(accessible):
    """(x, y, width, height) in screen coordinates."""
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (box.x, box.y, box.width, box.height)


def activate(accessible):
    """Runs the accessible's first action (press, click, jump)."""
    action = accessible.queryAction()
    if action.nActions < 1:
        raise LookupError(f"{accessible.getRoleName()} {accessible.name!r} has no action")
    action.doAction(0)


def describe(root, depth=0, limit=400):
    """The widget tree as indented text, for failure reports."""
    lines = []

    def walk(node, level):
        if len(lines) >= limit:
            return
        try:
            showing = "showing" if is_showing(node) else "hidden"
            lines.append(f"{'  ' * level}[{node.getRoleName()}] {node.name!r} {showing}")
            for index in range(node.childCount):
                walk(node.getChildAtIndex(index), level + 1)
        except Exception as error:  # noqa: BLE001 - a vanished widget must not hide the rest
            lines.append(f"{'  ' * level}<unreadable: {error}>")
    walk(root, depth)
    return "\n".join(lines)
