#include "skin/KeyboardDef.h"

#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

namespace vt::skin {

void CKeyboardDef::Reset() {
    m_keys.Reset();
    SetItemFields(-1, -1, kNoWindow, nullptr);
}

CKeyboardDef& GlobalKeyboardDef() {
    static CKeyboardDef def(vt::base::GlobalKeyTable());
    return def;
}

bool LoadKeyboardDef(pugi::xml_node root, HWND owner, CKeyboardDef& def) {
    pugi::xml_node element = root.child("KEYBOARDDEF");
    if (!element) return false;
    pugi::xml_attribute name = element.attribute("name");
    const int32_t controlId = name ? FindControlIdByName(vt::win::Utf8ToWide(name.value())) : -1;
    if (controlId < 0) return false;
    pugi::xml_attribute file = element.attribute("file");
    if (!file) return false;

    int size = 0;
    const BYTE* data = GetSkinBinaryData(vt::win::Utf8ToWide(file.value()), &size);
    if (!vt::base::ParseKeyDefinitions(data, size, def.Keys())) return false;

    bool result = true;
    if (pugi::xml_attribute defaults = element.attribute("kbddefaults")) {
        int defaultsSize = 0;
        const BYTE* defaultsData = GetSkinBinaryData(vt::win::Utf8ToWide(defaults.value()), &defaultsSize);
        result = defaultsData && vt::base::ParseKeyDefaults(defaultsData, def.Keys(), defaultsSize);
    }
    def.SetItemFields(controlId, kKindKeyboardDef, nullptr, owner);
    return result;
}

bool LoadKeyboardDef(pugi::xml_node root, HWND owner) { return LoadKeyboardDef(root, owner, GlobalKeyboardDef()); }

} // namespace vt::skin
