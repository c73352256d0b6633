// The string table: string 8, the address bar's label.
#include "win32/resource_registry.h"

namespace {
const bool registered = [] {
    RegisterStringResource(8, u"Address:", 0x0409);
    return true;
}();
}  // namespace
