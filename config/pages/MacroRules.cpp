#include "config/pages/MacroRules.h"
#include <algorithm>
#include <cstring>
#include "config/pages/FileChoice.h"
#include "config/popups/NameEntryPopup.h"
#include "config/popups/NumEntryPopup.h"
#include "config/popups/PredefinedMacroPopup.h"
#include "config/popups/SingleKeyPopup.h"
#include "config/popups/WarningPopup.h"
#include "win/Strings.h"

namespace vt::config {

using namespace vt::profile;

int ParseDelay(const std::wstring& text) { return ParseDecimal(text); }

size_t PredefinedInsertAt(int row, size_t count) {
    if (row < 0 || count == 0) return 0;
    const size_t r = std::min(size_t(row), count - 1);
    return r + 1;
}

namespace {

struct KeyOf {
    uint16_t scan, vk;
    uint8_t direction, flags;
};
KeyOf ReadKey(const MacroEvent& e) {
    KeyOf k{};
    std::memcpy(&k.scan, e.data, 2);
    std::memcpy(&k.vk, e.data + 2, 2);
    k.direction = e.data[4];
    k.flags = e.data[5];
    return k;
}

} // namespace

bool KeyEditChanges(const MacroEvent& event, uint16_t scan, uint16_t vk, bool extended) {
    const KeyOf k = ReadKey(event);
    return k.scan != scan || k.vk != vk || ((k.flags & 1) != 0) != extended;
}

int KeyPartnerRow(const std::vector<MacroEvent>& events, int row) {
    if (row < 0 || size_t(row) >= events.size() || events[size_t(row)].type != kEventKey) return -1;
    const KeyOf k = ReadKey(events[size_t(row)]);
    auto same = [&](const MacroEvent& e, uint8_t direction) {
        if (e.type != kEventKey) return false;
        const KeyOf o = ReadKey(e);
        return o.scan == k.scan && (o.flags & 1) == (k.flags & 1) && o.direction == direction;
    };
    if (k.direction == kKeyDown) {
        for (size_t i = size_t(row) + 1; i < events.size(); ++i)
            if (same(events[i], kKeyUp)) return int(i);
    } else {
        for (int i = row - 1; i >= 0; --i)
            if (same(events[size_t(i)], kKeyDown)) return i;
    }
    return -1;
}

template <class ConfigT>
CMacro* MacroPageRules<ConfigT>::Selected() {
    if (!m_config || m_view.SelectedIndex() < 0) return nullptr;
    const std::wstring name = m_view.CurrentName();
    return m_config->FindMacro(name.c_str());
}

template <class ConfigT>
void MacroPageRules<ConfigT>::FillList() {
    std::vector<std::wstring> names;
    if (m_config)
        for (int i = 0; i < m_config->GetMacroCount(); ++i)
            if (CMacro* m = m_config->GetMacroAt(uint32_t(i))) names.emplace_back(m->name);
    m_view.FillNames(names);
}

template <class ConfigT>
void MacroPageRules<ConfigT>::MacroChosen() {
    CMacro* m = Selected();
    if (!m) return;
    m_view.LoadEvents(m->events);
    if (!m_view.IsRecording()) m_view.EnableRecordAndAdvanced(true);
}

template <class ConfigT>
void MacroPageRules<ConfigT>::NewMacro() {
    if (!m_config || m_config->GetMacroCount() >= kMacroLimit) return;
    NameEntryPopup entry(L"MacroNamePopup.xml");
    if (m_popups.Run(m_owner, entry) != 1 || entry.Name().empty()) return;
    const std::wstring name = entry.Name();
    // Macros are found by name without regard to case: a second macro whose name differs only in
    // case could never be told from the first, and recording into it would overwrite the first.
    for (int i = 0; i < m_config->GetMacroCount(); ++i) {
        CMacro* m = m_config->GetMacroAt(uint32_t(i));
        if (m && vt::win::EqualsNoCase(m->name, name)) {
            Warn(L"DuplicateMacroWarningPopup.xml", nullptr, &name);
            return;
        }
    }
    CMacro* created = m_config->AddMacro(name.c_str());
    if (!created) return;
    FillList();
    for (int i = 0; i < m_config->GetMacroCount(); ++i)
        if (m_config->GetMacroAt(uint32_t(i)) == created) m_view.SelectEntry(i);
    m_view.LoadEvents(created->events);
    if (!m_view.IsRecording()) m_view.EnableRecordAndAdvanced(true);
    Changed();
}

template <class ConfigT>
bool MacroPageRules<ConfigT>::Import() {
    DeviceT* device = Device();
    if (!m_config || !device) return false;
    std::wstring path;
    if (!ChooseFile(m_files, m_owner, MakeFileChoice(L"Macro", L"vtm"), true, path)) return false;
    if (path.size() >= kMacroPathLimit) {
        Warn(L"PathLengthLimitReachedPopUp.xml", L"$Import");
        return false;
    }
    if (!device->ImportMacro(path.c_str(), m_config)) {
        Warn(L"FileErrorPopUp.xml");
        return false;
    }
    FillList();
    Changed();
    return true;
}

template <class ConfigT>
void MacroPageRules<ConfigT>::Export() {
    CMacro* m = Selected();
    DeviceT* device = Device();
    if (!m || !device || m->events.empty()) return;
    const std::wstring name = m->name;
    if (!device->HasEngineMacro(m)) {
        Warn(L"ExportMacroWarningPopup.xml", nullptr, &name);
        return;
    }
    std::wstring path;
    if (!ChooseFile(m_files, m_owner, MakeFileChoice(L"Macro", L"vtm"), false, path)) return;
    if (!device->ExportMacro(path.c_str(), m)) Warn(L"FileErrorPopUp.xml");
}

template <class ConfigT>
void MacroPageRules<ConfigT>::Delete() {
    const int index = m_view.SelectedIndex();
    if (!m_config || index < 0 || index >= m_config->GetMacroCount()) return;
    CMacro* m = m_config->GetMacroAt(uint32_t(index));
    if (!m) return;
    const std::wstring name = m->name;
    if (Warn(L"ConfirmDeleteMacroPopup.xml", nullptr, &name) != 1) return;
    m_config->RemoveMacro(m);
    FillList();
    CMacro* first = m_config->GetMacroCount() > 0 ? m_config->GetMacroAt(0) : nullptr;
    if (first) {
        m_view.SelectEntry(0);
        m_view.LoadEvents(first->events);
    } else {
        m_view.ShowNoMacro();
    }
    Changed();
}

template <class ConfigT>
bool MacroPageRules<ConfigT>::RecordOrStop() {
    CMacro* m = Selected();
    if (!m) return false;
    if (!m_view.IsRecording() && m_view.InsertDefaultDelayChecked()) {
        const std::wstring text = m_view.DelayText();
        const int delay = ParseDelay(text);
        if (text.empty() || delay <= 0) {
            Warn(L"DefaultDelayWarningPopup.xml");
            return false;
        }
        m_view.SetDefaultDelay(delay);
    }
    const bool was = m_view.IsRecording();
    const bool recording = m_view.ToggleRecording();
    if (recording == was) return false;   // raw input could not be had: nothing started
    if constexpr (DeviceKind<ConfigT>::kKeyboard) {
        if (DeviceT* device = Device()) recording ? device->SelectMode2() : device->SelectMode1();
    }
    m_view.ShowRecording(recording);
    if (!recording) {
        m->events = m_view.Events();
        Changed();
    }
    return true;
}

template <class ConfigT>
bool MacroPageRules<ConfigT>::DefaultDelayEdited() {
    const std::wstring text = m_view.DelayText();
    const int delay = ParseDelay(text);
    if (!text.empty() && delay >= 1) {
        m_view.SetDefaultDelay(delay);
        return true;
    }
    Warn(L"DefaultDelayWarningPopup.xml");
    m_view.SetDelayText(std::to_wstring(kDefaultDelayMs));
    m_view.SetDefaultDelay(kDefaultDelayMs);
    return false;
}

template <class ConfigT>
void MacroPageRules<ConfigT>::EventsChanged() {
    if (CMacro* m = Selected()) {
        m->events = m_view.Events();
        Changed();
    }
}

template <class ConfigT>
void MacroPageRules<ConfigT>::EditKeyEvent() {
    const int row = m_view.FirstSelectedRow();
    std::vector<MacroEvent> events = m_view.Events();
    if (row < 0 || size_t(row) >= events.size() || events[size_t(row)].type != kEventKey) return;
    const MacroEvent old = events[size_t(row)];
    const KeyOf k = ReadKey(old);
    vt::skin::KeyEventRecord shown;
    shown.scanCode = k.scan;
    shown.virtualKey = k.vk;
    shown.flags = k.flags & 1;
    SingleKeyPopup popup(shown);
    // Only OK takes the key: a cancelled popup changes nothing.
    if (m_popups.Run(m_owner, popup) != 1) return;
    const vt::skin::KeyEventRecord& key = popup.Key();
    const bool extended = (key.flags & 1) != 0;
    if (!KeyEditChanges(old, key.scanCode, key.virtualKey, extended)) return;
    // The other half of the stroke follows, or the macro would press one key and release another.
    const int partner = KeyPartnerRow(events, row);
    auto rewrite = [&](int r) {
        const KeyOf o = ReadKey(events[size_t(r)]);
        const uint8_t flags = uint8_t((o.flags & ~1) | (extended ? 1 : 0));
        m_view.ReplaceEvent(r, MakeKeyEvent(key.scanCode, key.virtualKey, o.direction, flags));
    };
    rewrite(row);
    if (partner >= 0) rewrite(partner);
    // The display reports its edits; the macro takes them here as well, whatever the display does.
    if (CMacro* m = Selected()) m->events = m_view.Events();
    Changed();
}

template <class ConfigT>
void MacroPageRules<ConfigT>::InsertPredefined() {
    if (m_view.SelectedIndex() < 0) return;
    PredefinedMacroPopup popup;
    if (m_popups.Run(m_owner, popup) != 1 || popup.Chosen().empty()) return;
    const std::wstring chosen = popup.Chosen();
    std::vector<MacroEvent> inserted;
    if (!PredefinedMacros.FindPredefinedMacro(chosen.c_str(), inserted)) return;
    CMacro* m = Selected();
    if (!m) return;
    std::vector<MacroEvent> events = m->events;
    const size_t at = PredefinedInsertAt(m_view.FirstSelectedRow(), events.size());
    events.insert(events.begin() + ptrdiff_t(at), inserted.begin(), inserted.end());
    m->events = events;
    m_view.LoadEvents(m->events);
    Changed();
}

template class MacroPageRules<IMouseConfig>;
template class MacroPageRules<IKeyboardConfig>;

} // namespace vt::config
