#include "platform/win32/wide.h"

#include <cwchar>

#include "common/cp932.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

namespace platform::win32 {

std::wstring ToWide(std::string_view cp932Text)
{
    const std::u16string utf16 = cp932::ToUtf16(cp932Text);
    return std::wstring(reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size());
}

std::string FromWide(std::wstring_view wideText)
{
    return cp932::FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(wideText.data()), wideText.size()));
}

std::string FromWide(const wchar_t* wideText)
{
    return wideText ? FromWide(std::wstring_view(wideText, std::wcslen(wideText))) : std::string();
}

}  // namespace platform::win32
