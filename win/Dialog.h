#pragma once
// Dialog over a resource template (or an in-memory one), modal or modeless. The modal loop is our
// own, so every window in the dialog gets its PreTranslateMessage chance before IsDialogMessage.
// A dialog procedure gets no WM_CREATE: pages are built in OnInitDialog.
#include "Window.h"

namespace vt::win {

class Dialog : public Window {
public:
    // Runs the dialog modally; returns the value given to EndDialog, or -1 when it could not be made.
    Dialog() { m_isDialog = true; }
    INT_PTR DoModal(HWND owner, UINT templateId, HINSTANCE instance = nullptr);
    INT_PTR DoModalIndirect(HWND owner, const DLGTEMPLATE* tmpl);
    // Creates it modeless.
    bool CreateModeless(HWND owner, UINT templateId, HINSTANCE instance = nullptr);
    bool CreateModelessIndirect(HWND owner, const DLGTEMPLATE* tmpl);

    // Ends a modal run with this result (a modeless dialog is destroyed).
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }
    INT_PTR Result() const { return m_result; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // True: the system sets the focus to the control in wParam.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    INT_PTR RunModal(HWND owner);
    static INT_PTR CALLBACK StaticDlgProc(HWND, UINT, WPARAM, LPARAM);
    static bool Ended(void* self) { return static_cast<Dialog*>(self)->m_ended; }
    bool m_modal = false;
    bool m_ended = false;
    INT_PTR m_result = -1;
};

// A minimal dialog template in memory: popup, no controls; for dialogs built entirely in code.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_data); }
private:
    alignas(4) WORD m_data[16] = {};
};

} // namespace vt::win
