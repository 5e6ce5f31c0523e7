#include <cstdlib>

#include "platform/services.h"

namespace platform {

void* TaskMemAlloc(std::size_t size) { return std::calloc(1, size ? size : 1); }
void TaskMemFree(void* block) { std::free(block); }

}  // namespace platform
