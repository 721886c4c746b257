#pragma once
// The macro selection popup ("SelectMacroPopup.xml"): a macro and how it plays (1 once, 2 a number
// of times, 3 until pressed again, 4 while pressed). One of the four play buttons is always
// selected; the mode follows the buttons as they are clicked.
#include <string>
#include <vector>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/BitmapBtn.h"
#include "skin/DropDownList.h"

namespace vt::config {

// What a caller runs: the play mode, the macro names and the name chosen before. After OK (1) Mode()
// and Chosen() hold the choice; after Cancel both are as they were given.
class MacroAssignmentPopup : public IPopup {
public:
    MacroAssignmentPopup(unsigned mode, std::vector<std::wstring> names, std::wstring chosen)
        : m_mode(mode), m_names(std::move(names)), m_chosen(std::move(chosen)) {}
    unsigned& Mode() { return m_mode; }
    const std::vector<std::wstring>& Names() const { return m_names; }
    std::wstring& Chosen() { return m_chosen; }
    INT_PTR Show(HWND parent) override;

private:
    unsigned m_mode;
    std::vector<std::wstring> m_names;
    std::wstring m_chosen;
};

// The popup's window.
class CDmMacroAssignmentPopup : public CDmPagePopup {
public:
    CDmMacroAssignmentPopup(HWND parent, unsigned& mode, const std::vector<std::wstring>& names, std::wstring& chosen);
    void BindItems() override;
    // The play mode of a play button's control id, 0 for other ids.
    static unsigned ModeOf(int controlId);

protected:
    void OnPopupOk() override;
    bool OnItem(int controlId) override;

private:
    void SelectMode(unsigned mode);

    unsigned& m_mode;
    std::vector<std::wstring> m_names;
    std::wstring& m_chosen;
    vt::skin::CDropdownListItem* m_list = nullptr;
    vt::skin::CBitmapBtn* m_play[4] = {};
};

} // namespace vt::config
