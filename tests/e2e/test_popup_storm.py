"""A page that opens 200 popups in one loop: every popup opens, memory stays bounded and the
main window keeps answering. The figures (time, resident memory of the program with its
engine processes, the main window's answer time) are printed with the result."""
import json
import os
import time
from pathlib import Path

from harness import timeouts
from harness.case import EndToEndTest, Settings
from harness.waiting import wait_until
from popup_windows import choose, windows_named

POPUPS = 200
STORM_TIMEOUT = 240          # seconds for all popups to be shown, on a loaded 2-core machine
ANSWER_LIMIT = 10.0          # seconds for the main window to show its About box
MEMORY_LIMIT = 6 * 1024 ** 3  # resident bytes of the program and its engine processes


def resident_bytes(process_group):
    """The summed resident memory of every process in the group (the program started it)."""
    total = 0
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            fields = (entry / "stat").read_text().rsplit(")", 1)[1].split()
            if int(fields[2]) != process_group:  # the fifth field of stat: the process group
                continue
            for line in (entry / "status").read_text().splitlines():
                if line.startswith("VmRSS:"):
                    total += int(line.split()[1]) * 1024
        except (OSError, IndexError, ValueError):
            continue
    return total


class PopupStormTest(EndToEndTest):
    def test_two_hundred_window_open_calls(self):
        program, window = self.open_page("second.html")
        self.server.wait_for_beacon("second-loaded")
        before = resident_bytes(program.pid)

        started = time.monotonic()
        window.type_address(self.server.url(f"popup-storm.html?{POPUPS}"))
        opened = wait_until(lambda: [b for b in self.server.beacons() if b.startswith("storm-opened-")],
                            STORM_TIMEOUT, "the page's loop done")[0]
        wait_until(lambda: len(self.server.requests_for("storm-child.html")) >= POPUPS, STORM_TIMEOUT,
                   f"{POPUPS} popup pages requested", interval=0.5)
        loaded = time.monotonic()
        shown = wait_until(lambda: (lambda n: n >= POPUPS and n)(len(windows_named(program, "Storm child"))),
                           STORM_TIMEOUT, f"{POPUPS} popups shown", interval=1.0)
        all_shown = time.monotonic()
        peak = resident_bytes(program.pid)

        asked = time.monotonic()
        choose(window, "About")
        box = program.wait_for_message_box("Application Info", timeout=60)
        answered = time.monotonic() - asked
        box.press("OK")

        figures = {
            "popups": POPUPS,
            "popups_shown": shown,
            "page_loop": opened,
            "seconds_to_all_pages_requested": round(loaded - started, 2),
            "seconds_to_all_popups_shown": round(all_shown - started, 2),
            "resident_mib_before": round(before / 2 ** 20),
            "resident_mib_after": round(peak / 2 ** 20),
            "main_window_answer_seconds": round(answered, 2),
        }
        print("\npopup storm:", json.dumps(figures))
        if Settings.output:
            os.makedirs(Settings.output, exist_ok=True)
            Path(Settings.output, "popup-storm.json").write_text(json.dumps(figures, indent=1) + "\n")
        self.assertEqual(shown, POPUPS)
        self.assertLess(answered, ANSWER_LIMIT, "the main window answered too late")
        self.assertLess(peak, MEMORY_LIMIT, "the program's memory grew without bound")
        self.assertTrue(program.main_window_shown())
