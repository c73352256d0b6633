// The binary version-information block (VS_VERSIONINFO) and a builder for it, so that the
// program's resources and tests produce real blocks for VerQueryValueW.
//
// Layout, as documented: every node is WORD wLength (bytes, node and children), WORD
// wValueLength (characters for text, bytes for binary), WORD wType (1 text, 0 binary), the
// key as a null-terminated UTF-16 string, padding to a 32-bit boundary, the value, padding,
// and the children. The root "VS_VERSION_INFO" holds VS_FIXEDFILEINFO and the children
// "StringFileInfo" (one string table per block name such as "040904B0", each holding the
// strings) and "VarFileInfo" (the "Translation" array of DWORDs: language in the low word,
// code page in the high word).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "win32/types.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
constexpr DWORD VS_FFI_FILEFLAGSMASK = 0x0000003F;
constexpr DWORD VOS_NT_WINDOWS32 = 0x00040004;
constexpr DWORD VFT_APP = 0x00000001;
constexpr DWORD VFT_DLL = 0x00000002;

constexpr DWORD MakeVersionWord(WORD high, WORD low) {
    return (static_cast<DWORD>(high) << 16) | low;
}

struct VersionString {
    std::u16string name;
    std::u16string value;  // may be empty: present, with no text
};

struct VersionStringTable {
    std::u16string blockName;  // e.g. u"040904B0": language and code page in hexadecimal
    std::vector<VersionString> strings;
};

struct VersionTranslation {
    WORD language;
    WORD codePage;
};

struct VersionInfoContent {
    VS_FIXEDFILEINFO fixed{VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, 0, 0, 0, 0, VS_FFI_FILEFLAGSMASK, 0,
                           VOS_NT_WINDOWS32, VFT_APP, 0, 0, 0};
    std::vector<VersionStringTable> stringTables;  // none: no StringFileInfo node
    // nullopt: no VarFileInfo node at all; an empty vector: a Translation with no entry.
    std::optional<std::vector<VersionTranslation>> translations;
};

std::vector<BYTE> BuildVersionInfoBlock(const VersionInfoContent& content);
