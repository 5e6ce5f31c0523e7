#include <windows.h>
#include <objbase.h>

#include "platform/services.h"

namespace platform {

void* TaskMemAlloc(std::size_t size)
{
    void* block = CoTaskMemAlloc(size ? size : 1);
    if (block) ZeroMemory(block, size ? size : 1);
    return block;
}
void TaskMemFree(void* block) { CoTaskMemFree(block); }

}  // namespace platform
