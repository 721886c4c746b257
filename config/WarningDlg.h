#pragma once
// The one popup behind every warning, error and confirmation: its look, text and buttons come
// from the page file named by the caller. Result 1 for BUTTON_POPUP_OK, 2 for
// BUTTON_POPUP_CANCEL, Escape or the close box.
#include <string>
#include "skin/Panel.h"

namespace vt::config {

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
