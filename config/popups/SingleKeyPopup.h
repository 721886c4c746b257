#pragma once
// The single-key popup ("SingleKeyPopup.xml"): one key is pressed into its key field, any key,
// Escape and Return included. The popup watches every message before the dialog manager does: the
// key field's own key messages go straight to the field (the dialog manager would turn Escape and
// Return into Cancel and OK), and a command that Escape or Return made elsewhere in the popup is
// not taken as Cancel or OK. So the popup closes only through its OK button (with a key in the
// field), its Cancel button or its close box.
#include <string>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "device/GenDevice.h"
#include "profile/Records.h"
#include "skin/KeyEvents.h"
#include "skin/TextItems.h"

namespace vt::config {

// What a caller runs: the key shown at first. After OK (1) Key() holds the key pressed: its display
// name (never empty after OK), scan code, virtual key and flags (bit 0 extended).
class SingleKeyPopup : public IPopup {
public:
    explicit SingleKeyPopup(vt::skin::KeyEventRecord key = {}) : m_key(std::move(key)) {}
    vt::skin::KeyEventRecord& Key() { return m_key; }
    INT_PTR Show(HWND parent) override;

private:
    vt::skin::KeyEventRecord m_key;
};

// Runs the single-key popup for an assignment with the keyboard switched to mode 2 while it runs
// and back to mode 1 after (a keyboard in mode 1 would act on its own assignments of the keys
// pressed into the field); without a keyboard object the popup runs all the same. The key chosen,
// or an empty text when nothing was chosen.
SingleKeyResult CaptureSingleKey(IPopupHost& popups, HWND owner, ::IKeyboardDevice* keyboard);

// The popup's window.
class CPopupBoxSingleKeyEntry : public CDmPagePopup {
public:
    CPopupBoxSingleKeyEntry(HWND parent, vt::skin::KeyEventRecord& key);
    void BindItems() override;
    bool PreTranslateMessage(MSG& msg) override;
    // Whether the last key pressed was Escape or Return (a click clears it).
    bool EscapeOrReturnLast() const { return m_escOrReturn; }

protected:
    bool OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnPopupOk() override;

private:
    void Cancel();

    vt::skin::KeyEventRecord& m_key;
    vt::skin::CEditItemSingleKeyInput* m_field = nullptr;
    bool m_escOrReturn = false;
};

} // namespace vt::config
