// Critical sections: recursive locks, as Windows' are.
#include <mutex>

#include "win32/api.h"

namespace {
std::recursive_mutex* LockOf(CRITICAL_SECTION* section) {
    return section ? static_cast<std::recursive_mutex*>(section->impl) : nullptr;
}
}  // namespace

void InitializeCriticalSection(CRITICAL_SECTION* section) {
    if (section) section->impl = new std::recursive_mutex;
}

void EnterCriticalSection(CRITICAL_SECTION* section) {
    if (auto* lock = LockOf(section)) lock->lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* section) {
    if (auto* lock = LockOf(section)) lock->unlock();
}

void DeleteCriticalSection(CRITICAL_SECTION* section) {
    delete LockOf(section);
    if (section) section->impl = nullptr;
}
