"""A recording stand-in for xdg-open, put first in the program's PATH.

It writes its arguments as one JSON line per call and exits 0, so a test can see
what the program handed to the desktop without anything being opened."""
import json
import os
import stat


class FakeDesktop:
    def __init__(self, bin_dir, record_path):
        self._record_path = str(record_path)
        script = os.path.join(str(bin_dir), "xdg-open")
        with open(script, "w", encoding="utf-8") as out:
            out.write("#!/usr/bin/python3\n"
                      "import json, sys\n"
                      f"with open({self._record_path!r}, 'a', encoding='utf-8') as record:\n"
                      "    record.write(json.dumps(sys.argv[1:]) + '\\n')\n")
        os.chmod(script, os.stat(script).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)

    def calls(self):
        """Argument lists of every xdg-open call so far, oldest first."""
        try:
            with open(self._record_path, encoding="utf-8") as record:
                return [json.loads(line) for line in record if line.strip()]
        except FileNotFoundError:
            return []
