#pragma once
// The single-key popup ("SingleKeyPopup.xml"): one key is pressed into its key field; OK hands
// back its scan code, virtual key and extended flag (a field that caught no key answers Cancel).
#include "config/popups/PagePopup.h"
#include "skin/KeyEvents.h"
#include "skin/TextItems.h"

namespace vt::config {

class CPopupBoxSingleKeyEntry : public CDmPagePopup {
public:
    CPopupBoxSingleKeyEntry(HWND parent, vt::skin::KeyEventRecord& key);
    void BindItems() override;

protected:
    bool OnInitDialog() override;
    void OnPopupOk() override;

private:
    vt::skin::KeyEventRecord& m_key;
    vt::skin::CEditItemSingleKeyInput* m_field = nullptr;
};

} // namespace vt::config
