#!/usr/bin/python3
"""Runs one module of end-to-end tests inside a private D-Bus session with the
accessibility bus, e.g.  run_e2e.py --program build/Pelmarin test_address_bar

Each test inside gets its own Xvfb, folders and page server (see harness/case.py);
one test can be picked with  test_address_bar.AddressBarTest.test_typed_addresses."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
SESSION_MARK = "PELMARIN_E2E_IN_SESSION"


def run_in_private_session():
    """Runs this script again inside a D-Bus session of its own, which ends with it.

    The accessibility bus lives inside the session bus. Its launcher puts its socket in
    the cache folder under a fixed name, so the session also gets cache and runtime
    folders of its own: two test runs at once would otherwise take each other's bus."""
    folder = tempfile.mkdtemp(prefix="pelmarin-e2e-session-")
    try:
        env = dict(os.environ)
        for name in ("NO_AT_BRIDGE", "GTK_A11Y", "AT_SPI_BUS_ADDRESS", "DISPLAY", "DBUS_SESSION_BUS_ADDRESS"):
            env.pop(name, None)
        for name, sub in (("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
            os.mkdir(os.path.join(folder, sub), 0o700)
            env[name] = os.path.join(folder, sub)
        env[SESSION_MARK] = "1"
        return subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv], env=env).returncode
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    parser.add_argument("--program", required=True, help="the built Pelmarin executable")
    parser.add_argument("--fixtures", default=None, help="folder of the fixture modules")
    parser.add_argument("--output", default=None, help="folder for evidence of failed tests")
    parser.add_argument("tests", nargs="+", help="test module, class or method names")
    options = parser.parse_args()

    if os.environ.get(SESSION_MARK) != "1":
        sys.exit(run_in_private_session())

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
