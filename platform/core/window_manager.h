// The core's window model: creation and destruction of window objects, the posted-message
// queue and the message loop that modal dialogs and message boxes run.
#pragma once

#include <functional>
#include <string>

#include "backend/backend.h"

namespace platform {

HWND CreateWindowObject(WindowClass cls, DWORD exStyle, const std::u16string& text, DWORD style,
                        const RECT& rect, HWND parentOrOwner, int id);
// A control window of a built-in class as a child of parent (a combo box gets its edit field).
HWND CreateControlWindow(WindowClass cls, DWORD exStyle, const std::u16string& text, DWORD style,
                         const RECT& rect, HWND parent, int id);

// The window's handle if it is alive, else null (handles of destroyed windows are never
// dereferenced).
WindowObject* Live(HWND window);

// Sends a message to the window's procedure: the attached framework object's WindowProc,
// or the built-in control procedure.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Default processing of the built-in window classes.
LRESULT DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the message loop until done() is true: posted messages first, each offered to the
// pre-translation of the windows it passes (up to the application's main window), then
// native events. Returns false when the desktop went away before done() became true.
bool RunMessageLoop(const std::function<bool()>& done);

// Records a focus change the desktop already made (the backend is not told again).
void RecordFocus(HWND window);

// The geometry helpers the window calls share.
RECT ClientRectOf(const WindowObject& window);
RECT FrameInsetsOf(const WindowObject& window);

}  // namespace platform
