// The program's own resources at their res: addresses: "res://<module>/<id>" or
// "res://<module>/<type>/<id>", the module being the executable's full path or its file
// name, the type a number ("23", "#23") or a name and RT_HTML when it is left out, the id a
// number ("142", "#142") or a name. Parts may be percent-encoded (UTF-8).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/types.h"

namespace platform {

struct ResourceAtAddress {
    std::vector<BYTE> data;
    std::string mimeType;  // "text/html" for RT_HTML, else "application/octet-stream"
};

bool IsResourceAddress(std::u16string_view address);
// The resource, or nothing when the address is malformed, names another module or no
// resource of this program.
std::optional<ResourceAtAddress> LoadResourceAtAddress(std::u16string_view address);

}  // namespace platform
