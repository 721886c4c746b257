#include "config/pages/MouseButtonsPage.h"
#include "config/Items.h"
#include "config/pages/AssignRules.h"
#include "skin/Messages.h"
#include "skin/Vocabulary.h"

namespace vt::config {

using namespace vt::skin;

CDmItems_Mouse_ASB::CDmItems_Mouse_ASB(PageContext& context)
    : CDmPage(context), m_config(context.mouse),
      m_rules(context.mouse, context.popups, [&context] { return context.devices.KeyboardDevice(); }) {}

void CDmItems_Mouse_ASB::BindPageItems() {
    m_profiles = BindItem<CDropdownListItem>(*this, ctl::BUTTON_DROPDOWN_PROFILESELECT, kKindDropdownList);
    const auto& rows = MouseButtonRows();
    for (size_t i = 0; i < rows.size(); ++i)
        m_dropdowns[i] = BindItem<CDropdownListItem>(*this, rows[i].control, kKindDropdownList);
    m_profileMenu = BindItem<CListPanelItem>(*this, ctl::LISTPANEL_ASSIGNSUBMENU_PR, kKindListPanel);
    m_macroMenu = BindItem<CListPanelItem>(*this, ctl::LISTPANEL_ASSIGNSUBMENU_MA, kKindListPanel);
}

void CDmItems_Mouse_ASB::Initialise() {
    m_rules.SetOwner(m_ctx.Owner());
    BindPageItems();
    FillProfileList();
    RefreshAssignments();
}

void CDmItems_Mouse_ASB::Refresh() {
    FillProfileList();
    RefreshAssignments();
}

CDropdownListItem* CDmItems_Mouse_ASB::Dropdown(int button) const {
    const auto& rows = MouseButtonRows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].button == button) return m_dropdowns[i];
    return nullptr;
}

void CDmItems_Mouse_ASB::FillProfileList() {
    if (!m_profiles || !m_config) return;
    m_profiles->ClearEntries();
    IMouseProfile* current = m_config->GetCurrentProfile();
    int selected = 0;
    for (int i = 0; i < m_config->GetProfileCount(); ++i) {
        IMouseProfile* p = m_config->GetProfileAt(uint32_t(i));
        if (!p) continue;
        m_profiles->AddEntry(p->GetName());
        if (p == current) selected = int(m_profiles->m_entries.size()) - 1;
    }
    if (!m_profiles->m_entries.empty()) m_profiles->SelectEntry(selected);
    if (m_profiles->Hwnd()) InvalidateRect(m_profiles->Hwnd(), nullptr, FALSE);
}

void CDmItems_Mouse_ASB::ProfileChosen(int index) {
    if (m_config && index >= 0) {
        if (IMouseProfile* p = m_config->GetProfileAt(uint32_t(index))) {
            m_config->SetCurrentProfile(p);
            if (m_profiles) m_profiles->SelectEntry(index);
        }
    }
    RefreshAssignments();
}

void CDmItems_Mouse_ASB::RefreshAssignments() {
    const auto& rows = MouseButtonRows();
    for (size_t i = 0; i < rows.size(); ++i) {
        CDropdownListItem* list = m_dropdowns[i];
        if (!list) continue;
        list->ClearEntries();
        list->m_current.clear();
        list->m_detail.clear();
        const std::vector<ButtonActionEntry> entries = ButtonActions(m_config, rows[i].button);
        for (const ButtonActionEntry& e : entries) {
            CListPanelItem* sub = e.action == vt::profile::kKindProfile ? m_profileMenu
                                  : e.action == vt::profile::kKindMacro ? m_macroMenu
                                                                        : nullptr;
            list->AddEntryRecord(MakeEntryRecord(e.name.c_str(), sub ? sub->Handle() : 0, e.help.c_str()));
        }
        const ButtonShown shown = ShownAssignment(m_config, entries, rows[i].button);
        if (shown.index >= 0) list->SelectEntry(shown.index, shown.detail.empty() ? nullptr : shown.detail.c_str());
        if (list->Hwnd()) InvalidateRect(list->Hwnd(), nullptr, FALSE);
    }
}

void CDmItems_Mouse_ASB::FillSubmenus() {
    auto fill = [](CListPanelItem* panel, const std::vector<std::wstring>& names) {
        if (!panel) return;
        std::vector<EntryRecord> entries;
        for (const std::wstring& n : names) entries.push_back(MakeEntryRecord(n.c_str(), 0, nullptr));
        panel->RefreshList(entries);
    };
    fill(m_macroMenu, MacroNames(m_config));
    fill(m_profileMenu, OtherProfileNames(m_config));
}

bool CDmItems_Mouse_ASB::AssignmentChosen(int controlId) {
    const auto& rows = MouseButtonRows();
    for (size_t i = 0; i < rows.size(); ++i) {
        CDropdownListItem* list = m_dropdowns[i];
        if (rows[i].control != controlId || !list) continue;
        std::wstring text;
        const int index = list->GetCurrentEntry(text);
        bool changed = false;
        if (index >= 0)
            changed = m_rules.Assign(rows[i].button, FindActionIdByName(list->GetEntryText(index)), text);
        // The drop-down always shows the model again: a choice that wrote nothing (a macro or
        // profile gone meanwhile, a cancelled key, the left-click guard) shows what stays.
        RefreshAssignments();
        return changed;
    }
    return false;
}

bool CDmItems_Mouse_ASB::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (msg != WM_DROPDOWN_OPENING && msg != WM_DROPDOWN_SELCHANGE) return false;
    CGUIItem* item = FindItemByWindow(*this, reinterpret_cast<HWND>(lParam));
    if (!item || item->m_kind != kKindDropdownList) return false;
    if (msg == WM_DROPDOWN_OPENING) {
        FillSubmenus();
        return true;
    }
    if (item->m_controlId == ctl::BUTTON_DROPDOWN_PROFILESELECT) {
        ProfileChosen(int(wParam));
        m_ctx.MarkChanged();
    } else if (AssignmentChosen(item->m_controlId)) {
        m_ctx.MarkChanged();
    }
    RepaintAll(m_ctx.Owner());
    return true;
}

} // namespace vt::config
