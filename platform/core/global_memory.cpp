// GlobalAlloc and GlobalFree for the blocks the layer's calls hand to their callers.
#include <cstdlib>
#include <cstring>

#include "win32/api.h"

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
    // Movable blocks have no use here: every block is fixed, its handle its address.
    void* block = std::malloc(bytes ? bytes : 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & GMEM_ZEROINIT) std::memset(block, 0, bytes ? bytes : 1);
    return block;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
    std::free(memory);
    return nullptr;
}
