// The program's own resources at their res: addresses ("res://<module path>/<id>"). Such an
// address is no valid URL for the engine (a Windows path is no host), so the engine loads
// it as "res:" followed by the rest in percent-encoded form, and every address it reports
// is turned back before the program sees it: the program only ever sees res:// addresses.
#pragma once

#include "webkit_toolkit.h"

#include <string>
#include <string_view>

namespace platform::desktop {

// Serves the res: addresses from the program's resources; once, before the first view.
void RegisterResourceScheme(WebKitWebContext* context);

// Whether the address has the scheme "res" (in any case).
bool HasResourceScheme(std::u16string_view address);
// "res://Z:\\p\\Pelmarin/142" -> "res:%2F%2FZ:\\p\\Pelmarin/142" (UTF-8, for the engine); any
// res: address, so that every one comes back as it was.
std::string EngineResourceAddress(std::u16string_view programAddress);
// An address the engine reports, as the program knows it: a res: address decoded back,
// anything else unchanged.
std::u16string ProgramAddress(const char* engineAddress);
std::u16string ProgramAddress(std::u16string_view engineAddress);

}  // namespace platform::desktop
