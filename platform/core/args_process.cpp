// The process arguments as UTF-16. Parsers keep pointers into these strings for the life
// of the process, so a vector once handed out is never freed, even if set again.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "afx/app.h"
#include "crt/crt.h"

namespace {

struct ArgumentVector {
    std::vector<std::u16string> texts;
    std::vector<const WCHAR*> pointers;  // null-terminated, as the runtime's argv
};

struct ArgumentStore {
    std::mutex lock;
    std::deque<ArgumentVector> generations;  // a deque never moves its elements
    const ArgumentVector* current = nullptr;
};

ArgumentStore& Store() {
    static ArgumentStore store;
    return store;
}

const WCHAR* const kNoArguments[] = {nullptr};

}  // namespace

void AfxSetArguments(int argc, char** argv) {
    ArgumentVector arguments;
    for (int i = 0; argv != nullptr && i < argc && argv[i] != nullptr; ++i) {
        arguments.texts.push_back(text::FromUtf8(argv[i]));
    }
    ArgumentStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    ArgumentVector& kept = store.generations.emplace_back(std::move(arguments));
    for (const auto& t : kept.texts) kept.pointers.push_back(t.c_str());
    kept.pointers.push_back(nullptr);
    store.current = &kept;
}

int AfxGetArgc() {
    ArgumentStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return store.current ? static_cast<int>(store.current->texts.size()) : 0;
}

const WCHAR* const* AfxGetArgv() {
    ArgumentStore& store = Store();
    std::lock_guard<std::mutex> guard(store.lock);
    return store.current ? store.current->pointers.data() : kNoArguments;
}
