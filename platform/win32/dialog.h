// Dialogs built from templates. The static dialog procedure stores `this` at
// WM_INITDIALOG and forwards every message to the hooks; it is the one place that
// catches everything, so no exception ever unwinds through Windows.
#pragma once

#include "platform/win32/win32_api.h"

#include <string>

#include "platform/win32/window.h"

namespace platform::win32 {

class Dialog : public Window {
public:
    Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    bool SetItemText(int id, const std::string& text) { return Window(GetItem(id)).SetText(text); }
    std::string GetItemText(int id) const { return Window(GetItem(id)).GetText(); }
    bool IsButtonChecked(int id) const { return ::IsDlgButtonChecked(m_wnd, id) == BST_CHECKED; }
    bool CheckButton(int id, bool checked)
    {
        return ::CheckDlgButton(m_wnd, id, checked ? BST_CHECKED : BST_UNCHECKED) != FALSE;
    }
    // Id of the control of this dialog that holds wnd (wnd itself or an ancestor); 0 for none.
    int ControlIdOf(HWND wnd) const;

protected:
    // WM_INITDIALOG; true lets the dialog manager give the focus to the first tab stop.
    virtual bool OnInit() { return true; }
    // WM_COMMAND; true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    // Any other message; true when handled, with the procedure's result in *result.
    virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR* /*result*/) { return false; }
    // WM_NCDESTROY: the window is gone.
    virtual void OnDestroyed() {}
    // A hook threw; the exception has been stopped here.
    virtual void OnHookFailed() {}
    // True when the owner is disabled while the dialog runs (a modal dialog).
    virtual bool DisablesOwner() const { return false; }

    // Centres the window over its owner when the owner is shown, else on its monitor.
    void CenterWindow();

    static INT_PTR CALLBACK DialogProcedure(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CenterIfLeftInPlace(const RECT& rectBefore, LONG styleBefore);
};

// A modal dialog with our own modal loop: every message is first offered to
// PreTranslateMessage, then to the dialog manager (IsDialogMessage), then dispatched.
class ModalDialog : public Dialog {
public:
    // Creates the dialog from the template, runs it until End and destroys it.
    // -1 when the dialog could not be created, a hook threw or WM_QUIT arrived.
    INT_PTR Run(HINSTANCE instance, int templateId, HWND parent);
    // Ends the modal loop after the message being handled.
    void End(INT_PTR result);
    bool IsEnded() const { return m_ended; }

protected:
    // True when the message was consumed and must not reach the dialog manager.
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
    void OnDestroyed() override;
    void OnHookFailed() override { End(-1); }
    bool DisablesOwner() const override { return true; }

private:
    bool m_ended = false;
    INT_PTR m_result = -1;
};

// A modeless dialog: created, shown and destroyed by its owner; messages reach it
// through whatever loop runs (the program's progress window is repainted explicitly).
class ModelessDialog : public Dialog {
public:
    ~ModelessDialog() override { Destroy(); }
    bool Create(HINSTANCE instance, int templateId, HWND parent);
};

}  // namespace platform::win32
