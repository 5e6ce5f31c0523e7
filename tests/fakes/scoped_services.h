// Installs fakes as the platform's services for a scope, then puts back what was in force:
//   fakes::ScopedServices installed(&fs, &boxes, &ui);
// Each fake takes the place of the service its type implements; services not named stay
// as they were, so a scope inside another adds to it.
#pragma once

#include <cstddef>

#include "platform/services.h"

namespace fakes {

class ScopedServices {
public:
    template <class... Fakes>
    explicit ScopedServices(Fakes*... fakes) : m_previous(platform::GetServices())
    {
        platform::Services services = m_previous;
        (Put(services, fakes), ...);
        platform::SetServices(services);
    }
    ~ScopedServices() { platform::SetServices(m_previous); }
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    static void Put(platform::Services& s, platform::IFileSystem* fs) { s.fs = fs; }
    static void Put(platform::Services& s, platform::IMessageBoxes* boxes) { s.boxes = boxes; }
    static void Put(platform::Services& s, platform::IWindows* windows) { s.windows = windows; }
    static void Put(platform::Services& s, platform::IWaitCursor* cursor) { s.cursor = cursor; }
    static void Put(platform::Services& s, platform::IUi* ui) { s.ui = ui; }
    static void Put(platform::Services& s, platform::IClock* clock) { s.clock = clock; }
    using TaskMemSizeCall = std::size_t(const void*);
    static void Put(platform::Services& s, TaskMemSizeCall* size) { s.taskMemSize = size; }

    platform::Services m_previous;
};

}  // namespace fakes
