#pragma once
// The common part of the device pages' popups: built from a page file, its controls reachable by
// their control ids, centred on its owner, painted under its controls; BUTTON_POPUP_OK runs
// OnPopupOk (closes with 1), BUTTON_POPUP_CANCEL, Escape and the close box close with 2, and other
// controls reach OnItem by their control id.
#include <string>
#include "skin/Panel.h"

namespace vt::config {

class CDmPagePopup : public vt::skin::CPopupBox {
public:
    CDmPagePopup(HWND parent, const wchar_t* pageFile, UINT templateId = vt::skin::kPopupTemplateId);

protected:
    bool OnInitDialog() override;
    bool OnPaint() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    virtual void OnPopupOk() { EndDialog(1); }
    // A control of the popup other than OK and Cancel was used; true when handled.
    virtual bool OnItem(int controlId) { return false; }
};

} // namespace vt::config
