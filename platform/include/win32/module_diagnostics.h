// What the host's loader said when LoadLibraryW last failed on this thread, for logs and
// error reports (Windows offers only the error code).
#pragma once

#include <string>

std::string GetLastModuleLoadErrorText();
