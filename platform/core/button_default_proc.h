// The built-in button class: check state, and what a click does to it and to the parent.
#pragma once

#include "backend/window_object.h"

namespace platform {

// BM_GETCHECK, BM_SETCHECK and BM_CLICK of a button window; *handled is false for other
// messages.
LRESULT ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

}  // namespace platform
