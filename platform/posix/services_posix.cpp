// The posix stand-ins for the user interface: messages go to stderr, there are no
// windows, and nothing waits for a person.
#include <cstdio>

#include "common/cp932.h"
#include "platform/posix/posix_services.h"

namespace platform {
namespace {

class StderrBoxes : public IMessageBoxes {
public:
    int Show(HWND, const std::string& text, const std::string& caption, unsigned type) override
    {
        std::fprintf(stderr, "%s: %s\n", cp932::ToUtf8(caption).c_str(), cp932::ToUtf8(text).c_str());
        // Nobody can answer: a question is answered with No, the safe choice.
        return (type & 0x0F) == MB_TYPE_YESNO ? ID_NO : ID_OK;
    }
};

class NoWindowsImpl : public IWindows {
public:
    bool EnableWindow(HWND, bool) override { return false; }
    bool SetForegroundWindow(HWND) override { return false; }
    bool PostMessage(HWND, unsigned, std::intptr_t, std::intptr_t) override { return false; }
};

class NoCursor : public IWaitCursor {
public:
    void Begin() override {}
    void Restore() override {}
    void End() override {}
};

class NoProgressView : public IProgressView {
public:
    bool Create() override { return true; }
    HWND Handle() override { return nullptr; }
    void SetParent(HWND) override {}
    void Show() override {}
    void SetCaption(const std::string&) override {}
    void SetRange(int, int, int) override {}
    void SetStep(int, int) override {}
    void SetPos(int, int) override {}
    void DeltaPos(int, int) override {}
    void BringToTop() override {}
    void SetForeground() override {}
    void Update() override {}
    void End(int) override {}
    void Destroy() override {}
};

class NoUiImpl : public IUi {
public:
    int RunModal(int, HWND, IDialogHandler&) override { return ID_CANCEL; }
    std::unique_ptr<IProgressView> CreateProgressView() override { return std::make_unique<NoProgressView>(); }
    bool SaveFileDialog(HWND, const SaveFileRequest&, std::string&) override { return false; }
};

}  // namespace

IMessageBoxes& StderrMessageBoxes()
{
    static StderrBoxes boxes;
    return boxes;
}
IWindows& NoWindows()
{
    static NoWindowsImpl windows;
    return windows;
}
IWaitCursor& NoWaitCursor()
{
    static NoCursor cursor;
    return cursor;
}
IUi& NoUi()
{
    static NoUiImpl ui;
    return ui;
}

void InstallPosixServices()
{
    Services services;
    services.fs = &PosixFileSystem();
    services.boxes = &StderrMessageBoxes();
    services.windows = &NoWindows();
    services.cursor = &NoWaitCursor();
    services.ui = &NoUi();
    SetServices(services);
}

}  // namespace platform
