#include <windows.h>
#include <objbase.h>

#include "platform/services.h"

namespace platform {

std::size_t AllocatorTaskMemSize(const void* block)
{
    if (!block) return 0;
    IMalloc* allocator = nullptr;
    // An allocator that cannot tell is no proof of an empty block.
    if (CoGetMalloc(1, &allocator) != S_OK || !allocator) return kTaskMemSizeUnknown;
    SIZE_T size = allocator->GetSize(const_cast<void*>(block));
    allocator->Release();
    return size == static_cast<SIZE_T>(-1) ? kTaskMemSizeUnknown : static_cast<std::size_t>(size);
}

}  // namespace platform
