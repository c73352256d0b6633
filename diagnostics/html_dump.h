// Writes every completed document of the main window into a file of its own in the log
// folder while logging is on: "HTML_Document_<index>.log" with the address, compatibility
// mode, document type, document mode, each script element with its source and text, and
// the body's HTML; the documents of its readable iframes follow, each in its own file.
// Two Debug lines per document go into the main log. The dump changes nothing in the page.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mshtml/document.h"

void DumpHtmlDocument(IHTMLDocument2* document);

// The most characters (UTF-16 units) of one text, a script's or the body's HTML, that a dump
// writes. A longer text is cut there (never inside a surrogate pair) and followed by the line
// "<Body|Script> text cut after <written> of <length> characters", so that the dump of a
// page of tens of megabytes stays a file one can open and takes seconds, not minutes.
inline constexpr std::size_t kMaxDumpedTextCharacters = 8 * 1024 * 1024;

// The index of the most recent dump of this process (0 before the first).
std::int64_t LastDumpIndex();

// The next index: the current time in seconds since 1970 (UTC), or one more than the last
// index when that is not greater, so that indexes strictly increase and no dump file of
// the process replaces another.
std::int64_t NextDumpIndex(std::int64_t nowSeconds, std::int64_t lastIndex);

// Tests only: the clock the indexes come from (null: the system clock), and a new process's
// last index.
void SetDumpClock(std::int64_t (*secondsSince1970)());
void ResetLastDumpIndex();
