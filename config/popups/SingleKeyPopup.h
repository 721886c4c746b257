#pragma once
// The single-key popup ("SingleKeyPopup.xml"): one key is pressed into its key field; OK hands
// back its scan code, virtual key and extended flag (a field that caught no key answers Cancel).
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/KeyEvents.h"
#include "skin/TextItems.h"

namespace vt::config {

// What a caller runs: the key shown at first. After OK (1) Key() holds the key pressed (scan code,
// virtual key, flags bit 0 extended).
class SingleKeyPopup : public IPopup {
public:
    explicit SingleKeyPopup(vt::skin::KeyEventRecord key) : m_key(std::move(key)) {}
    vt::skin::KeyEventRecord& Key() { return m_key; }
    INT_PTR Show(HWND parent) override;

private:
    vt::skin::KeyEventRecord m_key;
};

// The popup's window.
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
