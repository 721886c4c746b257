#pragma once
// The one popup behind every warning, error and confirmation: its look, text and buttons come
// from the page file named by the caller. Result 1 for BUTTON_POPUP_OK, 2 for
// BUTTON_POPUP_CANCEL, Escape or the close box.
#include <string>
#include "config/popups/Popup.h"
#include "skin/Panel.h"

namespace vt::config {

// What a caller runs: the page file, and a message text shown instead of the file's heading or a
// text appended to it.
class WarningPopup : public IPopup {
public:
    explicit WarningPopup(const wchar_t* pageFile, const wchar_t* message = nullptr, const wchar_t* appended = nullptr)
        : m_file(pageFile ? pageFile : L""), m_message(message ? message : L""), m_appended(appended ? appended : L""),
          m_hasAppended(appended != nullptr) {}
    const std::wstring& File() const { return m_file; }
    const std::wstring& Message() const { return m_message; }
    // The text after the heading, and whether one was given.
    const std::wstring& Appended() const { return m_appended; }
    bool HasAppended() const { return m_hasAppended; }
    INT_PTR Show(HWND parent) override;

private:
    std::wstring m_file, m_message, m_appended;
    bool m_hasAppended;
};

// Runs a warning through the host: 1 OK, 2 Cancel.
inline INT_PTR Warn(IPopupHost& host, HWND parent, const wchar_t* pageFile, const wchar_t* message = nullptr,
                    const wchar_t* appended = nullptr) {
    WarningPopup popup(pageFile, message, appended);
    return host.Run(parent, popup);
}

// The popup's window.

class CDmWarningDlg : public vt::skin::CPopupBox {
public:
    CDmWarningDlg(HWND parent, const wchar_t* pageFile, const wchar_t* appendedText = nullptr);
    // A text shown in the heading instead of the file's heading text.
    void SetMessageText(const wchar_t* text) { m_message = text ? text : L""; }
    void BindItems() override;
    vt::skin::CGUIItem* Heading() const { return m_heading; }

protected:
    bool OnInitDialog() override;
    bool OnPaint() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    vt::skin::CGUIItem* m_heading = nullptr;
    std::wstring m_message;
    std::wstring m_appended;
    bool m_hasAppended = false;
};

} // namespace vt::config
