// The scripts every page gets from the host before its own run, and the name of the
// message channel they report on. They give the host what the engine does not report
// itself: frames' navigations, console output with its source, uncaught errors, and the
// page's requests to move or resize its window.
#pragma once

namespace platform::desktop {

inline constexpr char kEngineChannel[] = "pelmarin";

// Every frame: frame navigation and load, console.* and uncaught errors. Console levels:
// log, info and debug 0, warn 1, error 2; an uncaught error and a rejected promise are
// level 2. Line and column are the engine's: the opening parenthesis of a console call,
// the end of the thrown expression of an uncaught error, where a rejection's error was made.
// Not reported: the engine's own warnings (blocked content, failed loads), which it keeps to
// its inspector, and console methods other than these five.
extern const char kPageReportScript[];
// The top frame only: window.moveTo, moveBy, resizeTo and resizeBy report instead of acting.
extern const char kWindowOperationScript[];
// Every frame, when the host offers window.external: an object, present, with no members.
extern const char kExternalObjectScript[];

}  // namespace platform::desktop
