"""With logging on, pages that try to swamp the log: a flood of console messages and a body
of tens of megabytes. The log must roll over without losing or splitting a line, the dump
must end or be cut with its line, memory must stay bounded and the main window must answer.
Each case prints its figures and keeps them as JSON in the output folder (bench/hostile.sh
runs them with other counts)."""
import re
import time
from pathlib import Path

from harness import timeouts
from harness.waiting import stays_true, wait_until
from test_hostile_pages import (MIB, ANSWER_LIMIT, BODY_MEGABYTES, CONSOLE_MESSAGES, HostilePageHelpers, ResidentPeak,
                                mib, settled_resident_bytes, status_kib)

ROLLOVER_LIMIT = 1_048_576     # bytes after which the log writer starts a new file
DUMPED_TEXT_LIMIT = 8 * MIB    # characters of one text that a document dump writes
CONSOLE_LINE = re.compile(r"^Browser: [^\t]+: \tInfo:\t[0-9A-F]{8,16}\tJSConsole \| (.*)$")


class HostileLoggingTest(HostilePageHelpers):
    def test_console_flood_rolls_the_log_over_without_losing_or_splitting_a_line(self):
        page = self.server.url(f"hostile-console.html?{CONSOLE_MESSAGES}")
        program, window = self.open_page(f"hostile-console.html?{CONSOLE_MESSAGES}", "/logs")
        wait_until(lambda: any(f"Console log for URL: <{page}>" in p.read_bytes().decode("latin-1")
                               for p in self.log_files()), timeouts.PAGE_LOAD, "the console receiver registered")
        last = f"hostile {CONSOLE_MESSAGES - 1} "
        before = settled_resident_bytes(program.pid)
        started = time.monotonic()
        with ResidentPeak(program.pid) as flood:
            window.type_address(page + "#go")
            # Asked while the page's loop still sends (it takes seconds).
            answer = self.main_window_answer_seconds(program, window)
            sent = self.beacon_starting("console-sent-", 120)
            wait_until(lambda: last.encode() in self.log_files()[-1].read_bytes(), 120 + CONSOLE_MESSAGES / 500,
                       "the last console message in the log", interval=1.0)
        seconds = time.monotonic() - started
        self.close_and_expect_clean_exit(program, window)

        files = self.log_files()
        numbers = []
        padding = " " + "p" * 60
        for index, path in enumerate(files):
            data = path.read_bytes()
            self.assertTrue(data.endswith(b"\r\n"), f"{path.name} ends inside a line")
            # The writer counts a line end as one character: a full file passes the limit with
            # its last message, and only with it.
            characters = len(data) - data.count(b"\r\n")
            last_line = len(data[:-2].rsplit(b"\r\n", 1)[-1]) + 1
            if index < len(files) - 1:
                self.assertGreater(characters, ROLLOVER_LIMIT, f"{path.name} was rolled over too early")
                self.assertLessEqual(characters - last_line, ROLLOVER_LIMIT, f"{path.name} was rolled over late")
            else:
                self.assertLessEqual(characters, ROLLOVER_LIMIT)
            if index > 0:
                self.assertTrue(data.startswith(b"Browser: "), f"{path.name} does not begin with a line")
                self.assertIn(b"\r\n\r\nCompanyName : ", data[:200], f"{path.name} does not begin with the header")
            for line in data.decode("latin-1").split("\r\n"):
                if "JSConsole" not in line:
                    continue
                match = CONSOLE_LINE.match(line)
                self.assertIsNotNone(match, f"a split console line in {path.name}: {line[:120]!r}")
                text = match.group(1)
                self.assertRegex(text, r"^ INFO: [^ ]+ \(\d+ : \d+\): hostile \d+ p{60}$")
                numbers.append(int(text.rsplit(padding, 1)[0].rsplit(" ", 1)[1]))
        self.keep_figures("console", {
            "messages": CONSOLE_MESSAGES, "lines_found": len(numbers), "log_files": len(files),
            "page_loop": sent, "seconds_to_last_line": round(seconds, 1),
            "main_window_answer_seconds": answer, "resident_mib_before": mib(before),
            "resident_mib_peak": mib(flood.peak), "log_bytes": sum(p.stat().st_size for p in files)})
        self.assertEqual(numbers, list(range(CONSOLE_MESSAGES)), "console lines lost, doubled or out of order")
        self.assertGreater(len(files), 1, "the log never rolled over")
        self.assertLess(answer, ANSWER_LIMIT)

    def test_body_of_tens_of_megabytes_is_dumped_with_bounded_memory(self):
        program, window = self.open_page("second.html", "/logs")
        self.server.wait_for_beacon("second-loaded")
        before = settled_resident_bytes(program.pid)
        program_before = status_kib(Path("/proc", str(program.pid)), "VmRSS") * 1024
        started = time.monotonic()
        with ResidentPeak(program.pid) as dump:
            window.type_address(self.server.url(f"hostile-body.html?{BODY_MEGABYTES}"))
            built = self.beacon_starting("body-built-", 120)
            body_characters = int(built.rsplit("-", 1)[1])

            def dump_file():
                for path in self.sandbox.logs_dir.glob("HTML_Document_*.log"):
                    with open(path, "rb") as file:
                        if b"hostile-body.html" in file.read(4096):
                            return path
                return None
            path = wait_until(dump_file, 120, "the body's dump file")
            # The dump is complete when its body line has come and the file stops growing.
            def finished():
                size = path.stat().st_size
                return (b"\r\nBody text:\r\n" in path.read_bytes() and path.read_bytes().endswith(b"\r\n") and
                        stays_true(lambda: path.stat().st_size == size, timeouts.QUIET_PERIOD * 2))
            wait_until(finished, 180, "the dump finished", interval=1.0)
            seconds = time.monotonic() - started
            answer = self.main_window_answer_seconds(program, window)
        ui_peak = status_kib(Path("/proc", str(program.pid)), "VmHWM") * 1024
        self.close_and_expect_clean_exit(program, window)

        data = path.read_bytes()
        self.keep_figures("body", {
            "body_megabytes": BODY_MEGABYTES, "body_characters": body_characters, "dump_bytes": len(data),
            "seconds_to_dump_finished": round(seconds, 1), "main_window_answer_seconds": answer,
            "resident_mib_before": mib(before), "resident_mib_peak_all_processes": mib(dump.peak),
            "resident_mib_program_before": mib(program_before), "resident_mib_peak_program": mib(ui_peak)})
        text = data.decode("latin-1")
        body = text.split("\r\nBody text:\r\n", 1)[1]
        if body_characters > DUMPED_TEXT_LIMIT:
            # Cut at the limit, with the line that says so; the page's body also holds its script.
            cut = re.search(r"\r\nBody text cut after (\d+) of (\d+) characters\r\n$", body)
            self.assertIsNotNone(cut, f"no cut line at the end: {body[-200:]!r}")
            self.assertEqual(int(cut.group(1)), DUMPED_TEXT_LIMIT)
            self.assertGreater(int(cut.group(2)), body_characters)
            self.assertEqual(len(body) - len(cut.group(0)), DUMPED_TEXT_LIMIT + body.count("\r\n", 0, cut.start()))
        else:
            self.assertTrue(body.endswith("</div>\r\n"), body[-200:])
        self.assertLess(answer, ANSWER_LIMIT)
        # The program reads the body from the engine whole (about six copies' worth at the
        # peak, measured); ten is the bound that catches a copy too many.
        self.assertLess(ui_peak - program_before, 10 * BODY_MEGABYTES * MIB, "the program's memory ran away")
