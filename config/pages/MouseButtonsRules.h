#pragma once
// What the mouse's assign-buttons page does apart from its window: the actions each button's
// drop-down lists, what it shows for the button's assignment, and an action chosen for a button
// (the single-key popup for a single key, the macro or profile named by a sub-list choice). A
// guard keeps some button on left click: a change that would leave none is undone after the
// warning "NoClickPopup.xml".
#include <windows.h>
#include <array>
#include <functional>
#include <string>
#include <vector>
#include "config/popups/Popup.h"
#include "device/GenDevice.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

// The seven programmable buttons: the mouse's button number and the control id of its drop-down.
struct MouseButtonRow {
    int button;
    int control;
};
const std::array<MouseButtonRow, 7>& MouseButtonRows();

// An entry of a button's drop-down: the action, its name ("$..."), its help text (may be empty)
// and whether it opens the profiles' (21) or the macros' (6) sub-list.
struct ButtonActionEntry {
    int32_t action;
    std::wstring name;
    std::wstring help;
};
// The actions the current profile allows the button, in the profile's order; none without a
// current profile.
std::vector<ButtonActionEntry> ButtonActions(IMouseConfig* config, int button);

// What a button's drop-down shows: the entry of the assignment's action (-1 when none lists it)
// and the text shown in place of the entry's own (the key's name, the macro's or the profile's
// name; empty: the entry's own name).
struct ButtonShown {
    int index = -1;
    std::wstring detail;
};
ButtonShown ShownAssignment(IMouseConfig* config, const std::vector<ButtonActionEntry>& entries, int button);

class MouseButtonRules {
public:
    // keyboard: the keyboard's device object as it is bound now (may answer null); it is switched
    // to mode 2 while the single-key popup runs.
    MouseButtonRules(IMouseConfig*& config, IPopupHost& popups, std::function<::IKeyboardDevice*()> keyboard)
        : m_config(config), m_popups(popups), m_keyboard(std::move(keyboard)) {}
    void SetOwner(HWND owner) { m_owner = owner; }

    // The action chosen for a button; text: the sub-list's choice (a macro's or profile's name).
    // True when the button's assignment changed.
    bool Assign(int button, int32_t action, const std::wstring& text);

private:
    // True while some button is on left click; else the warning, and false.
    bool Guard();
    AssignmentRecord Read(int button);

    IMouseConfig*& m_config;
    IPopupHost& m_popups;
    std::function<::IKeyboardDevice*()> m_keyboard;
    HWND m_owner = nullptr;
};

} // namespace vt::config
