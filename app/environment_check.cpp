// Is this exporter installed beside a tax-product installation of the interface level
// it was built for?
#include <climits>
#include <string>

#include "app/export_app.h"
#include "app/read_number.h"
#include "common/cp932.h"
#include "common/path_limit.h"
#include "common/program_texts.h"
#include "platform/services.h"

namespace {

const int kRequiredLevel = 2;
const std::size_t kFolderBufferBytes = kPathBufferSize;
const std::size_t kPathBufferBytes = 517;

struct StEnvironmentMessage {
    int code;
    const char* text;
};

const StEnvironmentMessage kEnvironmentMessages[] = {
    {-1, texts::kEnvironmentBroken},
    {1, texts::kTaxvaneTooOld},
    {2, texts::kExporterTooOld},
};

// Fifteen digits do not fit the 32 bits of a long on Windows: a level that large stays
// the largest long instead of wrapping round to a small one.
long ReadLevel(const std::string& text)
{
    return static_cast<long>(ReadLeadingNumber(text, LONG_MAX));
}

// -1 unusable installation, 0 compatible, 1 installation too old, 2 exporter too old.
int CheckLevel()
{
    platform::IFileSystem* fs = platform::GetServices().fs;
    std::string folder;
    if (fs == nullptr || !fs->GetCurrentDir(folder) || folder.empty() || folder.size() >= kFolderBufferBytes)
        return -1;

    std::string path = folder;
    // A final 0x5C that is the second byte of a double-byte character is no separator.
    const bool endsInSeparator = path.back() == '\\' && !cp932::IsTrailAt(path, path.size() - 1);
    if (!endsInSeparator && path.size() < kPathBufferBytes - 1)
        path += '\\';
    path += "TaxvaneDef.ini";

    if (!fs->FileExists(path))
        return -1;
    const std::string value = fs->GetProfileString(path, "ProgramLevel", "TV14", "1", 16);
    if (value.empty())
        return -1;
    const long level = ReadLevel(value);
    if (level == kRequiredLevel)
        return 0;
    return level > kRequiredLevel ? 2 : 1;
}

}  // namespace

int ClExportApp::CheckEnvironment(int showMessage)
{
    const int code = CheckLevel();
    for (const StEnvironmentMessage& entry : kEnvironmentMessages) {
        if (entry.code != code)
            continue;
        if (showMessage != 0) {
            std::string text = entry.text;
            std::string caption = texts::kCaption;
            ClAccConnect::Inst()->DispMsg(nullptr, text.data(), caption.data(), platform::MB_TYPE_ICONEXCLAMATION);
        }
        return 0;
    }
    return 1;
}
