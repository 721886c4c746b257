#pragma once
// The mouse and keyboard manage-profiles pages: the profile list with its row menu, new / import /
// export / delete and the profile on-screen display for all profiles. One template over the
// configuration interface; what the commands do is ProfilePageRules, this class is the window side.
#include <functional>
#include "config/pages/ProfileRules.h"
#include "skin/BitmapBtn.h"
#include "skin/ExtListCtrl.h"
#include "skin/ListPanel.h"

namespace vt::config {

template <class ConfigT>
class CDmItems_MGP : public CDmPage, public IProfileListView {
public:
    explicit CDmItems_MGP(PageContext& context);

    void Initialise() override;
    void Refresh() override;
    // The page's buttons; they mark the device changed themselves when the model changed.
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    // The list's notifications (WM_XLIST_*).
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    ProfilePageRules<ConfigT>& Rules() { return m_rules; }
    vt::skin::CXListCtrl* List() const { return m_list; }

    // IProfileListView
    int SelectedKey() override;
    void RefreshList() override;
    void SelectRow(int key) override;
    void SetNameCell(int key, const std::wstring& text) override;
    void SetProgramCell(int key, const std::wstring& text) override;
    void SetAutoSwitchCell(int key, bool on) override;
    bool OsdChecked() override;
    void RefreshPage() override { Refresh(); }

private:
    void UpdateOsdBox();
    void RefreshDevice();

    ProfilePageRules<ConfigT> m_rules;
    vt::skin::CXListCtrl* m_list = nullptr;
    vt::skin::CListPanelItem* m_options = nullptr;
    vt::skin::CBitmapBtn* m_osd = nullptr;
};

using CDmItems_Mouse_MGP = CDmItems_MGP<IMouseConfig>;
using CDmItems_Keyboard_MGP = CDmItems_MGP<IKeyboardConfig>;

extern template class CDmItems_MGP<IMouseConfig>;
extern template class CDmItems_MGP<IKeyboardConfig>;

} // namespace vt::config
