#pragma once
// The mouse and keyboard manage-macros pages: the macro chooser, new / import / export / delete,
// the event display with recording, predefined commands, key edits and how delays are recorded.
// One template over the configuration interface; what the commands do is MacroPageRules, this
// class is the window side.
#include <functional>
#include "config/pages/MacroRules.h"
#include "skin/BitmapBtn.h"
#include "skin/DropDownList.h"
#include "skin/ListPanel.h"
#include "skin/MacroDisplay.h"
#include "skin/TextItems.h"

namespace vt::config {

template <class ConfigT>
class CDmItems_MGM : public CDmPage, public IMacroPageView {
public:
    explicit CDmItems_MGM(PageContext& context);

    void Initialise() override;
    void Refresh() override;
    // The page's buttons; they mark the device changed themselves when the model changed.
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    // WM_DROPDOWN_SELCHANGE, WM_EDIT_ITEM_CHANGED, WM_MACRO_EVENTS_CHANGED and WM_MACRO_EDIT_KEY of
    // the page's controls.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // A recording runs: the window stays open until it is stopped.
    bool CanClose() const override { return !m_display || !m_display->IsRecording(); }
    void Leave() override;

    MacroPageRules<ConfigT>& Rules() { return m_rules; }
    vt::skin::CMacroDisplayItem* Display() const { return m_display; }

    // IMacroPageView
    std::wstring CurrentName() override;
    int SelectedIndex() override;
    void FillNames(const std::vector<std::wstring>& names) override;
    void SelectEntry(int index) override;
    void ShowNoMacro() override;
    void LoadEvents(const std::vector<MacroEvent>& events) override;
    std::vector<MacroEvent> Events() override;
    int FirstSelectedRow() override;
    void ReplaceEvent(int row, const MacroEvent& event) override;
    bool IsRecording() override;
    bool ToggleRecording() override;
    void ShowRecording(bool recording) override;
    void EnableRecordAndAdvanced(bool on) override;
    bool InsertDefaultDelayChecked() override;
    std::wstring DelayText() override;
    void SetDelayText(const std::wstring& text) override;
    void SetDefaultDelay(int milliseconds) override;

private:
    void IgnoreDelayClicked();
    void InsertDefaultDelayClicked();
    void RepaintList();

    MacroPageRules<ConfigT> m_rules;
    vt::skin::CDropdownListItem* m_list = nullptr;
    vt::skin::CMacroDisplayItem* m_display = nullptr;
    vt::skin::CListPanelItem* m_keyMenu = nullptr;
    vt::skin::CListPanelItem* m_delayMenu = nullptr;
    vt::skin::CListPanelItem* m_mouseMenu = nullptr;
    vt::skin::CBitmapBtn* m_create = nullptr;
    vt::skin::CBitmapBtn* m_import = nullptr;
    vt::skin::CBitmapBtn* m_export = nullptr;
    vt::skin::CBitmapBtn* m_delete = nullptr;
    vt::skin::CBitmapBtn* m_record = nullptr;
    vt::skin::CBitmapBtn* m_advanced = nullptr;
    vt::skin::CBitmapBtn* m_ignore = nullptr;
    vt::skin::CBitmapBtn* m_insertDefault = nullptr;
    vt::skin::CGUIItem* m_ignoreText = nullptr;
    vt::skin::CGUIItem* m_insertDefaultText = nullptr;
    vt::skin::CEditItem* m_delay = nullptr;
};

using CDmItems_Mouse_MGM = CDmItems_MGM<IMouseConfig>;
using CDmItems_Keyboard_MGM = CDmItems_MGM<IKeyboardConfig>;

extern template class CDmItems_MGM<IMouseConfig>;
extern template class CDmItems_MGM<IKeyboardConfig>;

} // namespace vt::config
