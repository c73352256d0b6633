// Replacing a file so that readers, and a crash, only ever see the old or the new content.
#pragma once

#include <string>
#include <string_view>

// Writes bytes to a temporary file in the same folder, flushes it to the disk, renames it
// over hostPath and flushes the folder. Returns false on any failure; the old file is then
// left as it was (no temporary file remains). The new file keeps the old file's permissions.
bool ReplaceFileAtomically(const std::string& hostPath, std::string_view bytes);
