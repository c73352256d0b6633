// The files behind the registry: one export-format file per hive.
//   HKEY_CURRENT_USER:  <user configuration folder>/pelmarin-platform/HKEY_CURRENT_USER.reg
//   HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT: $PELMARIN_MACHINE_REGISTRY/<hive>.reg, by default
//   in /var/lib/pelmarin-platform.
// A hive is read anew for every call, since other processes may change it; every change is
// a read-modify-write under an exclusive lock on the hive's folder and replaces the file
// atomically.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "registry_text_format.h"
#include "win32/types.h"

struct HiveLocation {
    std::u16string name;     // u"HKEY_CURRENT_USER"
    std::string folder;      // host folder
    std::string file;        // host path of the .reg file
};

// nullopt for a handle that is not a supported predefined key, or a hive whose folder
// cannot be known (no HOME).
std::optional<HiveLocation> LocateHive(HKEY predefinedKey);

bool IsSupportedPredefinedKey(HKEY key);

// The hive as it reads now; a missing, unreadable or corrupt file reads as what could be
// understood of it (nothing, for an unreadable file).
RegistryDocument ReadHive(const HiveLocation& hive);

// Reads the hive, lets change edit it and, when change returns ERROR_SUCCESS and reports
// that it changed something, writes it back: every key it did not change keeps the bytes it
// was read from (comments, line ends and hex lists as they were), the changed ones are
// written afresh with the file's line end. A file that did not read back whole is first
// kept as "<name>.reg.unreadable", so that what could not be understood is not lost.
// Returns change's result, or the error of the write.
LONG ModifyHive(const HiveLocation& hive, const std::function<LONG(RegistryDocument&, bool& changed)>& change);
