// The engine's libraries bind to the test program's own copies of standard-library
// templates (shared_ptr's reference count). Built without the vptr check and linked
// ahead of the layer's archives, this file provides those copies, so that the check does
// not report the libraries' objects, whose type information it cannot see.
#include <memory>

namespace platform::desktop::testing {

void KeepStandardLibraryInstances() {
    std::shared_ptr<int> shared = std::make_shared<int>(0);
    std::weak_ptr<int> weak = shared;
    shared.reset();
}

}  // namespace platform::desktop::testing
