#include <windows.h>
#include <objbase.h>

#include "platform/services.h"

namespace platform {

std::size_t TaskMemSize(const void* block)
{
    if (!block) return 0;
    IMalloc* allocator = nullptr;
    if (CoGetMalloc(1, &allocator) != S_OK || !allocator) return 0;
    SIZE_T size = allocator->GetSize(const_cast<void*>(block));
    allocator->Release();
    return size == static_cast<SIZE_T>(-1) ? 0 : static_cast<std::size_t>(size);
}

}  // namespace platform
