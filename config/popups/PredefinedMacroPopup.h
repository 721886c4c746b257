#pragma once
// The predefined macro popup ("AdvancedMacroPopup.xml", dialog template 133): the basic and the
// additional key sequences in two drop-downs, filled from the predefined macro list each time they
// open; an insert button closes with OK and the chosen name when its list has a choice.
#include <string>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "profile/Macro.h"
#include "skin/DropDownList.h"

namespace vt::config {

constexpr UINT kPredefinedTemplateId = 133;

// What a macro page runs. After OK (1) Chosen() holds the chosen sequence's name.
class PredefinedMacroPopup : public IPopup {
public:
    std::wstring& Chosen() { return m_chosen; }
    INT_PTR Show(HWND parent) override;

private:
    std::wstring m_chosen;
};

// The popup's window.

class CPredefinedMacroPopup : public CDmPagePopup {
public:
    explicit CPredefinedMacroPopup(HWND parent, const CPredefinedMacroList& list = PredefinedMacros);
    void BindItems() override;
    // After OK: the chosen sequence's name.
    const std::wstring& ChosenName() const { return m_chosen; }

protected:
    bool OnItem(int controlId) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Fill(vt::skin::CDropdownListItem* list);
    bool Take(vt::skin::CDropdownListItem* list);

    const CPredefinedMacroList& m_list;
    vt::skin::CDropdownListItem* m_basic = nullptr;
    vt::skin::CDropdownListItem* m_additional = nullptr;
    std::wstring m_chosen;
};

// The shell the macro pages run.
class CDmPredefinedMacroPopup : public CPredefinedMacroPopup {
public:
    using CPredefinedMacroPopup::CPredefinedMacroPopup;
};

} // namespace vt::config
