#include "skin/KeyboardLayout.h"

#include "skin/KeyboardSystem.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

namespace vt::skin {
namespace {

int32_t ControlIdOf(pugi::xml_node element) {
    pugi::xml_attribute name = element.attribute("name");
    if (!name) return -1;
    return FindControlIdByName(vt::win::Utf8ToWide(name.value()));
}

// Re-activates the remembered layout and unloads the loaded one; forgets both when that worked.
void RestorePreviousLayout(KeyboardLayoutState& s) {
    if (!s.loaded || !s.restore) return;
    KeyboardSystem& sys = CurrentKeyboardSystem();
    if (sys.ActivateLayout(s.restore, KLF_SETFORPROCESS) && sys.UnloadLayout(s.loaded) == 1) {
        s.restore = nullptr;
        s.loaded = nullptr;
    }
}

} // namespace

KeyboardLayoutState& GlobalKeyboardLayouts() {
    static KeyboardLayoutState state;
    return state;
}

CKeyboardLayoutSetting::~CKeyboardLayoutSetting() {
    KeyboardLayoutState& s = GlobalKeyboardLayouts();
    for (auto it = s.layouts.begin(); it != s.layouts.end();) {
        it = it->second == this ? s.layouts.erase(it) : std::next(it);
    }
    if (s.current == this) s.current = nullptr;
}

CKeyboardLayoutSetting* ReadKeyboardLayoutItem(pugi::xml_node element, HWND owner) {
    int32_t id = ControlIdOf(element);
    if (id < 0) return nullptr;
    auto* setting = new CKeyboardLayoutSetting;
    setting->m_layoutName = vt::win::Utf8ToWide(element.attribute("kbdlayout").value());
    setting->m_keyItemsPage = vt::win::Utf8ToWide(element.attribute("kbditems").value());
    setting->SetItemFields(id, kKindKeyboardLayout, nullptr, owner);
    return setting;
}

unsigned BuildKeyboardLayoutItems(pugi::xml_node root, CGUIItems& items, HWND owner) {
    pugi::xml_node list = root.child("KBLAYOUTLIST");
    if (!list) return 0;
    unsigned seen = 0, built = 0;
    for (pugi::xml_node e = list.child("KBLAYOUT"); e; e = e.next_sibling("KBLAYOUT")) {
        ++seen;
        CKeyboardLayoutSetting* setting = ReadKeyboardLayoutItem(e, owner);
        if (!setting) continue;
        ++built;
        items.Add(setting);
        if (setting->m_controlId >= kFirstKeyboardLayoutId && setting->m_controlId <= kLastKeyboardLayoutId) {
            GlobalKeyboardLayouts().layouts[setting->m_controlId] = setting;
        }
    }
    return ((seen & 0xFFFF) << 16) | (built & 0xFFFF);
}

bool LoadKeyboardLayout(int32_t layoutId) {
    KeyboardLayoutState& s = GlobalKeyboardLayouts();
    bool found = true;
    auto it = s.layouts.find(layoutId);
    if (it == s.layouts.end()) {
        found = false;
        it = s.layouts.find(kDefaultKeyboardLayoutId);
        if (it == s.layouts.end()) return false;
    }
    RestorePreviousLayout(s);

    KeyboardSystem& sys = CurrentKeyboardSystem();
    s.current = it->second;
    HKL loaded = sys.LoadLayout(s.current->m_layoutName.c_str(), KLF_ACTIVATE);
    if (loaded) {
        s.loaded = loaded;
        s.restore = sys.ActivateLayout(loaded, KLF_SETFORPROCESS);
    }
    return found;
}

void ReleaseKeyboardLayout() {
    KeyboardLayoutState& s = GlobalKeyboardLayouts();
    RestorePreviousLayout(s);
    s.current = nullptr;
    s.restore = nullptr;
    s.loaded = nullptr;
}

CKeyboardLayoutSetting* CurrentKeyboardLayoutSetting() { return GlobalKeyboardLayouts().current; }

} // namespace vt::skin
