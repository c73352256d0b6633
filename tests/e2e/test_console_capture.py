"""With logging on, what a page sends to its console becomes one line of the log for each
message, with its level word, the script's address, line and column, and its text:
every console level, an uncaught error and a rejected promise of an external script."""
import re

from harness import timeouts
from harness.case import PAGES, EndToEndTest
from harness.waiting import wait_until

LINE = re.compile(r"^Browser: [^\t]+: \tInfo:\t[0-9A-F]{8,16}\t(.*)$")
SCRIPT = "console-levels.js"

# (level word, line, column, text) for each call of console-levels.js. Columns are those the
# engine reports: the opening parenthesis of a console call, the construction of an error
# for a rejection, and the end of the thrown expression for an uncaught error.
EXPECTED = [
    (" INFO", 2, 12, "log text 42"),
    (" INFO", 3, 15, "info text"),
    (" WARN", 4, 17, "warn text"),
    ("ERROR", 5, 14, "error text"),
    (" INFO", 6, 14, "debug text"),
    ("ERROR", 9, 28, "Error: uncaught"),
    ("ERROR", 8, 25, "Uncaught (in promise) Error: rejected"),
]


class ConsoleCaptureTest(EndToEndTest):
    def messages(self):
        """The text of every Info line of the log files, in order."""
        if not self.sandbox.logs_dir.is_dir():
            return []
        found = []
        for path in sorted(self.sandbox.logs_dir.glob("*-Browser.log")):
            for line in path.read_bytes().decode("latin-1").split("\r\n"):
                match = LINE.match(line)
                if match:
                    found.append(match.group(1))
        return found

    def console_lines(self):
        return [m for m in self.messages() if m.startswith("JSConsole | ")]

    def test_every_level_and_uncaught_errors_become_log_lines(self):
        # The script's layout is what the expected lines and columns rest on.
        source = (PAGES / SCRIPT).read_text().split("\n")
        for _, line, column, _ in EXPECTED[:5]:
            self.assertEqual(source[line - 1][column - 1], "(", f"{SCRIPT} line {line} was moved")

        program, window = self.open_page("console-levels.html", "/logs")
        self.server.wait_for_beacon("console-done")
        script_url = self.server.url(SCRIPT)
        expected = [f"JSConsole | {word}: {script_url} ({line} : {column}): {text}"
                    for word, line, column, text in EXPECTED]
        wait_until(lambda: len(self.console_lines()) >= len(expected), timeouts.WIDGET_CHANGE,
                   f"{len(expected)} console lines in the log")
        self.close_and_expect_clean_exit(program, window)

        self.assertEqual(self.console_lines(), expected)
        page = self.server.url("console-levels.html")
        registrations = [m for m in self.messages() if m.startswith("Console log for URL: ")]
        self.assertEqual(registrations, [f"Console log for URL: <{page}>"])

    def test_without_logging_nothing_is_written(self):
        program, window = self.open_page("console-levels.html")
        self.server.wait_for_beacon("console-done")
        self.close_and_expect_clean_exit(program, window)
        self.assertFalse(self.sandbox.logs_dir.exists(), "a Logs folder was made without /logs")
