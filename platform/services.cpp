#include "platform/services.h"

namespace platform {
namespace {
Services g_services;
}

Services& GetServices() { return g_services; }
void SetServices(const Services& services) { g_services = services; }

}  // namespace platform
