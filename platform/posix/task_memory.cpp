#include <cstdlib>
#include <cstring>

#include "platform/services.h"

namespace platform {

// Each block carries its size in a header in front of it, so that AllocatorTaskMemSize can
// answer as IMalloc::GetSize does on Windows. The header keeps 16-byte alignment.
namespace {
constexpr std::size_t kHeader = 16;
}

void* TaskMemAlloc(std::size_t size)
{
    if (size > static_cast<std::size_t>(-1) - kHeader) return nullptr;
    char* raw = static_cast<char*>(std::calloc(1, kHeader + (size ? size : 1)));
    if (!raw) return nullptr;
    std::memcpy(raw, &size, sizeof size);
    return raw + kHeader;
}

void TaskMemFree(void* block)
{
    if (block) std::free(static_cast<char*>(block) - kHeader);
}

std::size_t AllocatorTaskMemSize(const void* block)
{
    if (!block) return 0;
    std::size_t size;
    std::memcpy(&size, static_cast<const char*>(block) - kHeader, sizeof size);
    return size;
}

}  // namespace platform
