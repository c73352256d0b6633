"""With logging on, every completed document of the main window is written into a file of
its own, "HTML_Document_<index>.log" in the Logs folder, and so is the document of each
readable iframe; the files hold what the page holds, line by line."""
import json
import re
import urllib.parse

from harness import timeouts
from harness.case import EndToEndTest
from harness.waiting import stays_true, wait_until

DUMP_NAME = re.compile(r"^HTML_Document_(\d+)\.log$")
DEBUG_LINE = re.compile(r"^Browser: [^\t]+: \tDebug:\t[0-9A-F]{8,16}\t(.*)$")
SCRIPT_INDEX = re.compile(r"^Script index (\d+) \([0-9A-F]{8,16}\)$")


def as_log_text(text):
    """Page text as the log files write it: U+0001..U+00FF as one byte, any other UTF-16
    unit as '?'."""
    out = []
    for char in text:
        units = 1 if ord(char) < 0x10000 else 2
        out.append(char if ord(char) <= 0xFF else "?" * units)
    return "".join(out)


def expected_dump(document):
    """The lines of a dump of what a document holds (as the page reported it)."""
    lines = [f"Document dump: {document['url']}", f"Compatibility mode: {document['compatMode']}"]
    if document["doctype"] is not None:
        lines.append(f"Document type: {document['doctype']}")
    lines.append("Document mode: -1.000000")  # the engine has no document modes
    for index, script in enumerate(document["scripts"]):
        lines += [f"Script index {index} (ADDRESS)", f"Script source: {script['src']}", "Script text:"]
        lines += script["text"].split("\n")
    lines.append("Body text:")
    lines += document["body"].split("\n")
    return [as_log_text(line) for line in lines]


class DocumentDumpTest(EndToEndTest):
    def dumps(self):
        """{index: lines} of every dump file."""
        found = {}
        if not self.sandbox.logs_dir.is_dir():
            return found
        for path in self.sandbox.logs_dir.iterdir():
            match = DUMP_NAME.match(path.name)
            if match:
                text = path.read_bytes().decode("latin-1")
                found[int(match.group(1))] = text
        return found

    def debug_lines(self):
        lines = []
        for path in sorted(self.sandbox.logs_dir.glob("*-Browser.log")):
            for line in path.read_bytes().decode("latin-1").split("\r\n"):
                match = DEBUG_LINE.match(line)
                if match:
                    lines.append(match.group(1))
        return lines

    def page_holds(self):
        beacon = wait_until(lambda: [b for b in self.server.beacons() if b.startswith("holds")],
                            timeouts.PAGE_LOAD, "the page's report of what it holds")[0]
        return json.loads(urllib.parse.unquote(beacon[len("holds"):])[1:])

    def test_page_and_readable_frame_are_dumped_as_the_page_holds_them(self):
        program, window = self.open_page("dump-page.html", "/logs")
        holds = self.page_holds()
        page, frames = holds["page"], holds["frames"]
        self.assertEqual(len(frames), 1, "one readable frame")
        self.assertEqual(len(page["scripts"]), 6)
        # Dumps come with each completed document; wait until they stop coming.
        def settled():
            count = len(self.dumps())
            return count >= 2 and stays_true(lambda: len(self.dumps()) == count, timeouts.QUIET_PERIOD)
        wait_until(settled, timeouts.WIDGET_CHANGE, "the dump files to stop coming")
        self.close_and_expect_clean_exit(program, window)

        dumps = self.dumps()
        indexes = sorted(dumps)
        for text in dumps.values():
            self.assertTrue(text.endswith("\r\n"), "a dump file's last line lacks its line end")
            self.assertNotIn("\n", text.replace("\r\n", ""), "a bare line feed")
        files = {index: [SCRIPT_INDEX.sub(r"Script index \1 (ADDRESS)", line)
                         for line in dumps[index][:-2].split("\r\n")] for index in indexes}
        # Every completed document dumps the page and then its frame, at the next index.
        tops = [i for i in indexes if files[i][0] == f"Document dump: {page['url']}"]
        self.assertEqual(len(tops) * 2, len(indexes), f"dumps: {[files[i][0] for i in indexes]}")
        for top in tops:
            self.assertEqual(files[top + 1][0], f"Document dump: {frames[0]['url']}")
        last = tops[-1]
        self.assertEqual(files[last], expected_dump(page))
        self.assertEqual(files[last + 1], expected_dump(frames[0]))
        self.assertIn("Body text:", files[last])
        self.assertIn("caf\xe9 ? end", "\n".join(files[last]), "é kept as its byte, → as '?'")

        # The main log: for each dump its two Debug lines, the page's before its frame's.
        debug = self.debug_lines()
        self.assertEqual(len(debug), 2 * len(indexes))
        self.assertEqual(debug[-4:], [
            f"Dumping new HTML document out to a separate file, index {last}: {page['url']}",
            "Compatibility mode: CSS1Compat, Document type: html, Document mode: -1.000000",
            f"Dumping new HTML document out to a separate file, index {last + 1}: {frames[0]['url']}",
            "Compatibility mode: CSS1Compat, Document type: html, Document mode: -1.000000",
        ])

    def test_without_logging_no_dump_is_made(self):
        program, window = self.open_page("dump-page.html")
        self.page_holds()
        self.close_and_expect_clean_exit(program, window)
        self.assertFalse(self.sandbox.logs_dir.exists(), "a Logs folder was made without /logs")
