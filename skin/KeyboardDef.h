#pragma once
// The KEYBOARDDEF element of a keyboard page: it names the keyboard definition and key defaults
// files of the skin store's "bin\" folder, which are read into a key table (base/KeyTable.h).
// The element's item gets kind 22 and the element's control id once a definition has been read;
// it is never an entry of a page's list. Built on the GUI thread.
#include <pugixml.hpp>

#include "base/KeyTable.h"
#include "skin/GuiItem.h"

namespace vt::skin {

class CKeyboardDef : public CGUIItem {
public:
    explicit CKeyboardDef(vt::base::KeyTable& keys) : m_keys(keys) {}
    // The key table this element fills.
    vt::base::KeyTable& Keys() const { return m_keys; }
    // Forgets the table's content and the item fields (tests start afresh with it).
    void Reset();

private:
    vt::base::KeyTable& m_keys;
};

// The program's definition element, over the program's key table.
CKeyboardDef& GlobalKeyboardDef();

// Reads a keyboard page's KEYBOARDDEF child (root "KEYBOARD") into the program's key table:
//   <KEYBOARDDEF name="KBDDEF_WINDOWS" file="KeyboardDef.bin" [kbddefaults="KeyDefaults.bin"]/>
// False when the element, a control id of its "name" or its "file" is missing, when the definition
// does not parse (now or at an earlier page), or when a named defaults file is missing, empty or
// does not parse. The page reader builds the page's lists only when this answers true.
bool LoadKeyboardDef(pugi::xml_node root, HWND owner);
bool LoadKeyboardDef(pugi::xml_node root, HWND owner, CKeyboardDef& def);

} // namespace vt::skin
