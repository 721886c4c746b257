#pragma once
// The mouse's assign-buttons page: one drop-down per programmable button with the actions the
// button may take, the macros' and the profiles' sub-lists, and the profile selector. The rules
// apart from the window are MouseButtonsRules.h.
#include <windows.h>
#include <array>
#include "config/pages/MouseButtonsRules.h"
#include "config/pages/Page.h"
#include "skin/DropDownList.h"
#include "skin/ListPanel.h"

namespace vt::config {

class CDmItems_Mouse_ASB : public CDmPage {
public:
    explicit CDmItems_Mouse_ASB(PageContext& context);

    void Initialise() override;
    // The profile list and every button's drop-down from the model.
    void Refresh() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void FillProfileList();
    void ProfileChosen(int index);
    void RefreshAssignments();
    void FillSubmenus();
    // The drop-down with that control id reported a choice; true when the model changed.
    bool AssignmentChosen(int controlId);
    vt::skin::CDropdownListItem* Dropdown(int button) const;

private:
    void BindPageItems();

    IMouseConfig*& m_config;
    MouseButtonRules m_rules;
    vt::skin::CDropdownListItem* m_profiles = nullptr;
    std::array<vt::skin::CDropdownListItem*, 7> m_dropdowns{};
    vt::skin::CListPanelItem* m_profileMenu = nullptr;
    vt::skin::CListPanelItem* m_macroMenu = nullptr;
};

} // namespace vt::config
