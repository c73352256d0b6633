"""What the engine's faults look like from outside: the program's engine processes (found
below the program in the process tree), their namespaces, and the text of the page shown."""
import os
from pathlib import Path

from harness import accessibility

WEB_PROCESS = "WebKitWebProces"      # /proc/<pid>/comm keeps 15 characters
NETWORK_PROCESS = "WebKitNetworkPr"


def _processes():
    """pid -> (parent pid, command name) of every process we can see."""
    table = {}
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            stat = (entry / "stat").read_text()
        except OSError:
            continue
        name = stat[stat.index("(") + 1:stat.rindex(")")]
        parent = int(stat[stat.rindex(")") + 2:].split()[1])
        table[int(entry.name)] = (parent, name)
    return table


def descendants_named(root_pid, name):
    """Pids of the processes below root_pid (at any depth) whose command is name."""
    table = _processes()
    found = []
    for pid, (_, command) in table.items():
        if command != name:
            continue
        ancestor = pid
        while ancestor in table and ancestor not in (0, 1):
            ancestor = table[ancestor][0]
            if ancestor == root_pid:
                found.append(pid)
                break
    return sorted(found)


def namespace(pid, kind):
    return os.readlink(f"/proc/{pid}/ns/{kind}")


def page_text(window):
    """The visible text of the top-level page, its parts joined by newlines."""
    document = window.document()
    document.clearCache()
    parts = []
    for node in accessibility.descendants(document, lambda a: True):
        try:
            text = accessibility.text_of(node).replace("\ufffc", "").strip()
        except Exception:  # noqa: BLE001 - an accessible without text
            continue
        if text:
            parts.append(text)
    return "\n".join(parts)
