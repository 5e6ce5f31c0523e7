#include "platform/services.h"

#include <atomic>
#include <chrono>

#include "common/cp932.h"

namespace platform {
namespace {
Services g_services;
// Lock-free, so a signal handler may set it.
std::atomic<bool> g_interrupt{false};
static_assert(std::atomic<bool>::is_always_lock_free);
}  // namespace

bool InterruptRequested() { return g_interrupt.load(std::memory_order_relaxed); }
void RequestInterrupt() noexcept { g_interrupt.store(true, std::memory_order_relaxed); }
void ClearInterrupt() { g_interrupt.store(false, std::memory_order_relaxed); }

Services& GetServices() { return g_services; }
void SetServices(const Services& services) { g_services = services; }

bool IFileSystem::SameFileName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    // By characters: a trail byte that looks like a letter is not one.
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = cp932::CharLengthAt(a, i);
        if (n != cp932::CharLengthAt(b, i)) return false;
        if (n == 1) {
            char x = a[i];
            char y = b[i];
            if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
            if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
            if (x != y) return false;
        } else if (a.compare(i, n, b, i, n) != 0) {
            return false;
        }
        i += n;
    }
    return true;
}

bool IsNumberedSideFile(IFileSystem& fs, const std::string& file, const std::string& name, const char* suffix)
{
    const std::size_t suffixLength = std::char_traits<char>::length(suffix);
    if (file.size() < name.size() + 2 + suffixLength || file[name.size()] != '.') return false;
    const std::size_t end = file.size() - suffixLength;
    for (std::size_t i = name.size() + 1; i < end; ++i)
        if (file[i] < '0' || file[i] > '9') return false;
    return fs.SameFileName(file.substr(0, name.size()), name) && fs.SameFileName(file.substr(end), suffix);
}

std::unique_ptr<IWriteFile> OpenEmptyLeftover(IFileSystem& fs, const std::string& path)
{
    std::unique_ptr<IWriteFile> file = fs.OpenLeftover(path);
    std::string head;
    if (file && (!file->ReadBack(1, head) || !head.empty())) {
        file->Close();
        file.reset();
    }
    return file;
}

void RemoveNumberedLeftovers(IFileSystem& fs, const std::string& folder, const std::string& name, const char* suffix)
{
    for (const std::string& file : fs.ListFiles(folder, suffix)) {
        if (!IsNumberedSideFile(fs, file, name, suffix)) continue;
        if (std::unique_ptr<IWriteFile> left = fs.OpenLeftover(folder + file)) left->Remove();
    }
}

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
