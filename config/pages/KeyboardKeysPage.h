#pragma once
// The keyboard's assign-keys page: the on-screen keyboard of the keyboard's layout (its key items
// come from the layout's key-items page), the key window that shows what the key under the pointer
// does, the option list of what a selected key may become, the profile selector and the restore
// button. Keys that do something else than their own function are marked; the selected key is
// highlighted. The rules apart from the window are KeyboardKeysRules.h.
#include <windows.h>
#include <string>
#include <vector>
#include "config/pages/KeyboardKeysRules.h"
#include "config/pages/Page.h"
#include "skin/BitmapItem.h"
#include "skin/DropDownList.h"
#include "skin/KeyItem.h"
#include "skin/ListPanel.h"

namespace vt::config {

class CDmItems_Keyboard_ASK : public CDmPage {
public:
    explicit CDmItems_Keyboard_ASK(PageContext& context);
    ~CDmItems_Keyboard_ASK() override;

    void Initialise() override;
    // The keys of the keyboard's layout, the options, the profile list and the marks from the
    // model; the selection is cleared.
    void Refresh() override;
    void Show(bool show) override;
    bool OnItemCommand(vt::skin::CGUIItem& item, WORD code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void KeyHover(int controlId);
    void KeyPressed(int controlId);
    // The option list's row; true when the selected key's assignment changed.
    bool OptionChosen(int index);
    void ProfileChosen(int index);
    bool RestoreAll();

    // The on-screen key with that control id, or null.
    vt::skin::CKeyboardKeyItem* Key(int controlId) const;
    vt::skin::CKeyboardKeyItem* SelectedKey() const { return m_selected; }
    const vt::skin::CGUIItems& Keys() const { return m_keys; }
    // The key-items page the keys were read from.
    const std::wstring& KeysPage() const { return m_keysPage; }
    vt::skin::CBitmapWindow* KeyWindow() const { return m_keyWindow; }
    vt::skin::CListPanelItem* Options() const { return m_options; }

private:
    void BindPageItems();
    // Reads the key-items page of the current keyboard layout, unless its keys are the ones shown.
    void LoadKeys();
    // A keyboard that came after start may have another layout than the one loaded then.
    void FollowKeyboardLayout();
    void FillProfileList();
    void FillOptions();
    void GreyOptions(bool all);
    void MarkKeys();
    void ShowAssignment(vt::skin::CKeyboardKeyItem* key);
    void ClearSelection();
    void SetHighlight(vt::skin::CKeyboardKeyItem* key, bool on);
    void ClearOptionTip();

    IKeyboardConfig*& m_config;
    KeyboardKeyRules m_rules;
    vt::skin::CDropdownListItem* m_profiles = nullptr;
    vt::skin::CListPanelItem* m_options = nullptr;
    vt::skin::CBitmapWindow* m_keyWindow = nullptr;
    vt::skin::CGUIItems m_keys;
    std::wstring m_keysPage;
    std::vector<int32_t> m_actions;   // the option list's actions, row by row
    vt::skin::CKeyboardKeyItem* m_selected = nullptr;
    vt::skin::CKeyboardKeyItem* m_hovered = nullptr;
};

} // namespace vt::config
