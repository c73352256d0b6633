// A display for the tests that open windows: the one in DISPLAY, or a bare X server of
// the test's own (Xvfb, 1280x1024, no window manager) that ends with the test program.
// Each program also gets its own home and caches, so that engine state never leaks
// between runs.
#pragma once

#include <string>

namespace platform::desktop::testing {

// True when GTK is up on a display; false (with the reason) when there is none to use.
bool EnsureDisplay(std::string* whyNot);

}  // namespace platform::desktop::testing
