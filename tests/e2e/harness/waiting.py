"""Polling with deadlines, so that tests wait for conditions instead of sleeping."""
import time


class WaitTimeout(AssertionError):
    """A condition did not come true in time; the message says which one."""


class CannotHappen(AssertionError):
    """Raised by a condition when waiting longer is pointless (the program has ended)."""


def wait_until(condition, timeout, what, interval=0.1):
    """Calls condition() until it returns a true value and returns that value.

    Exceptions raised by the condition count as "not yet" (widgets come and go
    while a program starts); the last one is quoted if time runs out."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except CannotHappen:
            raise
        except Exception as error:  # noqa: BLE001 - any failure means "not yet"
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise WaitTimeout(f"timed out after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(interval)


def stays_true(condition, duration, interval=0.1):
    """True when condition() holds at every poll for the whole duration.

    Only for checks that something does *not* change, where no event can be awaited."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not condition():
            return False
        time.sleep(interval)
    return bool(condition())
