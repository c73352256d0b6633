"""How long the harness waits, sized for a loaded 2-core machine (the engine alone
needs 1-2 s to start and a cold start can take several times that)."""

PROGRAM_START = 60     # launch until the first window is on the accessibility bus
PAGE_LOAD = 30         # navigation until the page's request or beacon arrives
WIDGET_CHANGE = 15     # a shown/hidden widget, a new text, a moved window
PROGRAM_EXIT = 20      # close request until the process has ended
QUIET_PERIOD = 1.0     # how long something must stay unchanged to count as unchanged
