#pragma once
// Keyboard layouts: each layout the keyboard can report ("KeyboardLayout.xml", list KBLAYOUTLIST)
// names a Windows keyboard layout, which the program loads and activates so that key names come out
// in the keyboard's language, and the page file of the on-screen keyboard's key items for it.
// GUI thread only. The system calls go through CurrentKeyboardSystem().
#include <windows.h>
#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <string>

#include "skin/GuiItem.h"

namespace vt::skin {

// One KBLAYOUT element (kind 24, control id 561..576 from its "name").
class CKeyboardLayoutSetting : public CGUIItem {
public:
    CKeyboardLayoutSetting() = default;
    ~CKeyboardLayoutSetting() override;  // leaves the layout map and the current setting

    std::wstring m_layoutName;   // "kbdlayout": Windows layout identifier text ("00000409")
    std::wstring m_keyItemsPage; // "kbditems": page file of the on-screen keyboard's key items
};

struct KeyboardLayoutState {
    std::map<int32_t, CKeyboardLayoutSetting*> layouts;  // layout id -> setting (not owned)
    CKeyboardLayoutSetting* current = nullptr;           // last loaded
    HKL restore = nullptr;                               // what activation handed back
    HKL loaded = nullptr;                                // what was loaded
};
KeyboardLayoutState& GlobalKeyboardLayouts();

// Builds a setting from a KBLAYOUT element; null when "name" gives no control id.
CKeyboardLayoutSetting* ReadKeyboardLayoutItem(pugi::xml_node element, HWND owner);
// List builder of "KEYBOARD LAYOUTS": every KBLAYOUT of the root's KBLAYOUTLIST, appended to the
// item list and, with an id in 561..576, entered in the layout map (a later one replaces an earlier
// one). Returns (elements seen << 16) | settings built; 0 without KBLAYOUTLIST.
unsigned BuildKeyboardLayoutItems(pugi::xml_node root, CGUIItems& items, HWND owner);

// Loads the layout of this id and makes its setting current: first re-activates the remembered
// layout and unloads the one loaded before, then loads the setting's layout (KLF_ACTIVATE) and
// activates it for the process, remembering what the activation hands back. A layout that fails to
// load is not activated (a null handle would switch to the previous layout).
// An id without a setting (an unknown layout code gives -1) falls back to the English layout's
// setting (561), so that the on-screen keyboard still has its key items page; the answer is then
// false, as it is when there is no English setting either (nothing changes then).
bool LoadKeyboardLayout(int32_t layoutId);
// At exit: re-activates the remembered layout and unloads the loaded one, then forgets the state.
void ReleaseKeyboardLayout();
// The current setting, or null before a layout was loaded.
CKeyboardLayoutSetting* CurrentKeyboardLayoutSetting();

} // namespace vt::skin
