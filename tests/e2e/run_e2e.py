#!/usr/bin/python3
"""Runs one module of end-to-end tests inside a private D-Bus session with the
accessibility bus, e.g.  run_e2e.py --program build/Pelmarin test_address_bar

Each test inside gets its own Xvfb, folders and page server (see harness/case.py);
one test can be picked with  test_address_bar.AddressBarTest.test_typed_addresses."""
import argparse
import os
import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
SESSION_MARK = "PELMARIN_E2E_IN_SESSION"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    parser.add_argument("--program", required=True, help="the built Pelmarin executable")
    parser.add_argument("--fixtures", default=None, help="folder of the fixture modules")
    parser.add_argument("--output", default=None, help="folder for evidence of failed tests")
    parser.add_argument("tests", nargs="+", help="test module, class or method names")
    options = parser.parse_args()

    if os.environ.get(SESSION_MARK) != "1":
        # The accessibility bus lives inside the session bus; a session of our own keeps
        # the test off the developer's desktop and ends with the test.
        os.environ[SESSION_MARK] = "1"
        for name in ("NO_AT_BRIDGE", "GTK_A11Y", "AT_SPI_BUS_ADDRESS", "DISPLAY"):
            os.environ.pop(name, None)
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])

    sys.path.insert(0, str(HERE))
    from harness.case import Settings  # noqa: E402 - needs the session set up first
    Settings.program = str(Path(options.program).resolve())
    Settings.fixtures = options.fixtures and str(Path(options.fixtures).resolve())
    Settings.output = options.output and str(Path(options.output).resolve())

    suite = unittest.defaultTestLoader.loadTestsFromNames(options.tests)
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
