"""The "/logs" switch: a dated log file in the Logs folder of the configuration folder,
beginning with the header and the "Starting..." line; without it no Logs folder."""
import datetime
import re

from harness import timeouts
from harness.case import EndToEndTest
from harness.waiting import wait_until

LOG_NAME = re.compile(r"^(\d{4}-\d{2}-\d{2})_(\d{6})-Browser\.log$")
PREFIX = r"Browser: [^\t\r\n]+: \t{level}:\t{object}\t"
HEADER_BLOCK = ["", "CompanyName : Quendris", "ExeName : Pelmarin", "FileVersion : 1.1.1",
                "ProductVersion : 1.1.1", "AuxInfo : ", ""]


class LoggingTest(EndToEndTest):
    def log_files(self):
        """The main log files; the folder also holds the dumps of loaded documents."""
        if not self.sandbox.logs_dir.is_dir():
            return []
        return sorted(p for p in self.sandbox.logs_dir.iterdir()
                      if p.is_file() and p.name.endswith("-Browser.log"))

    def test_logs_switch_writes_dated_file_with_header(self):
        program, window = self.open_page("second.html", "/logs")
        self.server.wait_for_beacon("second-loaded")
        files = wait_until(self.log_files, timeouts.WIDGET_CHANGE, "a file in the Logs folder")
        self.assertEqual(len(files), 1, f"log files: {[f.name for f in files]}")
        name = LOG_NAME.match(files[0].name)
        self.assertIsNotNone(name, f"log file name {files[0].name!r}")
        stamp = datetime.datetime.strptime(name.group(1) + name.group(2), "%Y-%m-%d%H%M%S")
        self.assertLess(abs((datetime.datetime.now() - stamp).total_seconds()), 600,
                        "the name does not carry the local date and time of the start")

        self.close_and_expect_clean_exit(program, window)
        raw = files[0].read_bytes()
        text = raw.decode("latin-1")
        # One kind of line end throughout; a bare CR or LF would mean a broken line.
        crlf = text.count("\r\n")
        self.assertIn(crlf, (0, text.count("\n")), "mixed line ends")
        self.assertEqual(text.count("\r"), crlf, "a carriage return without its line feed")
        lines = text.replace("\r\n", "\n").split("\n")
        self.assertRegex(lines[0], "^" + PREFIX.format(level="Info", object="[0-9A-F]{8}(?:[0-9A-F]{8})?") + "$")
        self.assertEqual(lines[1:8], HEADER_BLOCK)
        self.assertRegex(lines[8], "^" + PREFIX.format(level="Info", object="0{8}(?:0{8})?") + r"Starting\.\.\.$")
        self.assertTrue(text.endswith("\n"), "the last message lacks its line end")

    def test_no_logs_folder_without_switch(self):
        program, window = self.open_page("second.html")
        self.server.wait_for_beacon("second-loaded")
        self.assertTrue(self.sandbox.app_config_dir.is_dir(),
                        f"no settings folder {self.sandbox.app_config_dir}")
        self.close_and_expect_clean_exit(program, window)
        self.assertFalse(self.sandbox.logs_dir.exists(), "a Logs folder was made without /logs")
