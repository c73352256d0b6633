// The program's version resource (RT_VERSION, id 1, U.S. English): where its company and
// internal name, and so its settings and log folders, and the version it reports come from.
#include "win32/api.h"
#include "win32/resource_registry.h"
#include "win32/version_block.h"

namespace {

constexpr WORD kVersionResourceId = 1;
constexpr WORD kLanguageUsEnglish = 0x0409;
constexpr WORD kCodePageUnicode = 0x04B0;

VersionInfoContent ProgramVersionInfo() {
    VersionInfoContent content;
    content.fixed.dwFileVersionMS = MakeVersionWord(1, 1);
    content.fixed.dwFileVersionLS = MakeVersionWord(1, 0);
    content.fixed.dwProductVersionMS = MakeVersionWord(1, 1);
    content.fixed.dwProductVersionLS = MakeVersionWord(1, 0);
    content.fixed.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
    content.fixed.dwFileFlags = 0;
    content.fixed.dwFileOS = VOS_NT_WINDOWS32;
    content.fixed.dwFileType = VFT_APP;
    content.stringTables = {VersionStringTable{u"040904B0",
                                               {
                                                   {u"CompanyName", u"Quendris"},
                                                   {u"FileDescription", u"Pelmarin"},
                                                   {u"FileVersion", u"1.1.1"},
                                                   {u"InternalName", u"Pelmarin.exe"},
                                                   {u"OriginalFilename", u"Pelmarin.exe"},
                                                   {u"ProductName", u"Pelmarin"},
                                                   {u"ProductVersion", u"1.1.1"},
                                               }}};
    content.translations = std::vector<VersionTranslation>{{kLanguageUsEnglish, kCodePageUnicode}};
    return content;
}

[[maybe_unused]] const bool registered = [] {
    RegisterResource(RT_VERSION, kVersionResourceId, kLanguageUsEnglish, BuildVersionInfoBlock(ProgramVersionInfo()));
    return true;
}();

}  // namespace
