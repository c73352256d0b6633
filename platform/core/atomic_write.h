// Replacing a file so that readers, and a crash, only ever see the old or the new content.
#pragma once

#include <string>
#include <string_view>

#include "files_descriptor.h"

// Writes bytes to a temporary file in the same folder, flushes it to the disk, renames it
// over hostPath and flushes the folder. Returns false on any failure; the old file is then
// left as it was (no temporary file remains). The new file keeps the old file's permissions.
// A process killed inside the call may leave its temporary file behind (never a damaged
// target); RemoveLeftoverTemporaries takes those away.
bool ReplaceFileAtomically(const std::string& hostPath, std::string_view bytes);

// An exclusive lock on a folder, held until the object goes, which serialises the
// read-modify-write of the files in it across processes. The kernel drops it when its
// holder dies, so a killed writer never blocks the next one.
class FolderWriteLock {
public:
    explicit FolderWriteLock(const std::string& folder);
    // False when the folder could not be opened or the file system does not lock.
    bool Held() const { return held_; }

private:
    FileDescriptor folder_;
    bool held_ = false;
};

// Removes the temporary files of hostPath that writers killed inside ReplaceFileAtomically
// left behind. Call it only while holding the FolderWriteLock of hostPath's folder that every
// writer of hostPath takes: then no temporary file of it can belong to a living writer.
void RemoveLeftoverTemporaries(const std::string& hostPath);
