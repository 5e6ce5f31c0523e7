#include "platform/services.h"

#include <chrono>

namespace platform {
namespace {
Services g_services;
}

Services& GetServices() { return g_services; }
void SetServices(const Services& services) { g_services = services; }

IClock& SteadyClock()
{
    class Steady : public IClock {
    public:
        std::int64_t NowMicroseconds() override
        {
            return std::chrono::duration_cast<std::chrono::microseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        }
    };
    static Steady clock;
    return clock;
}

}  // namespace platform
