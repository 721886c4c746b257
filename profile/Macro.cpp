#include "profile/Macro.h"
#include "base/KeyCombos.h"
#include "win/Strings.h"
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

using namespace vt::profile;

bool MacroEventsEqual(const std::vector<MacroEvent>& a, const std::vector<MacroEvent>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(MacroEvent)) == 0);
}

static void CopyMacroName(wchar_t (&to)[kMacroNameUnits], const wchar_t* from) {
    std::fill(std::begin(to), std::end(to), L'\0');
    if (!from) return;
    size_t n = std::min(std::wcslen(from), kMacroNameUnits - 1);
    std::copy(from, from + n, to);
}

CMacro::CMacro(const wchar_t* n, const std::vector<MacroEvent>& ev) : events(ev) { CopyMacroName(name, n); }

const GUID& GetMacroGuid(const CMacro* macro) { return macro ? macro->id : kNullGuid; }

bool MacroEquals(const CMacro& a, const CMacro& b) {
    return GuidsEqual(a.id, b.id) && vt::win::EqualsNoCase(a.name, b.name) && MacroEventsEqual(a.events, b.events);
}

CMacroList::~CMacroList() { Clear(); }

void CMacroList::Clear() {
    while (!empty()) {
        delete back();
        pop_back();
    }
}

CMacro* CMacroList::AddMacro(const wchar_t* name, const std::vector<MacroEvent>& events) {
    // Compare the name as it will be stored, so two long names that differ only past the cut
    // cannot both get in.
    auto macro = std::make_unique<CMacro>(name, events);
    if (FindMacro(macro->name)) return nullptr;
    push_back(macro.get());
    return macro.release();
}

CMacro* CMacroList::FindMacro(const wchar_t* name) const {
    if (!name) return nullptr;
    std::wstring_view wanted(name, std::min(std::wcslen(name), kMacroNameUnits - 1));
    for (CMacro* m : *this)
        if (vt::win::EqualsNoCase(m->name, wanted)) return m;
    return nullptr;
}

void CMacroList::RemoveMacro(CMacro* macro) {
    if (!macro) return;
    auto it = std::find(begin(), end(), macro);
    if (it == end()) return;
    erase(it);
    delete macro;
}

namespace {

struct KeyDef {
    uint16_t scan, vk;
    uint8_t extended;
};
// Key events 2k-1 (press) and 2k (release) for the k-th key below.
const KeyDef kPredefinedKeys[20] = {
    {0x1D, 0xA2, 0}, {0x38, 0xA4, 0}, {0x5B, 0x5B, 1}, {0x0F, 0x09, 0}, {0x3E, 0x73, 0},
    {0x0D, 0xBB, 0}, {0x0C, 0xBD, 0}, {0x1E, 0x41, 0}, {0x2E, 0x43, 0}, {0x20, 0x44, 0},
    {0x12, 0x45, 0}, {0x21, 0x46, 0}, {0x26, 0x4C, 0}, {0x31, 0x4E, 0}, {0x19, 0x50, 0},
    {0x13, 0x52, 0}, {0x1F, 0x53, 0}, {0x2F, 0x56, 0}, {0x2D, 0x58, 0}, {0x2C, 0x5A, 0},
};

// Predefined macro id -> its four key event numbers.
const int kPredefinedSequences[17][4] = {
    {1, 37, 38, 2}, {1, 17, 18, 2}, {1, 35, 36, 2}, {1, 39, 40, 2}, {1, 15, 16, 2}, {1, 23, 24, 2},
    {1, 27, 28, 2}, {1, 29, 30, 2}, {1, 33, 34, 2}, {3, 7, 8, 4},   {3, 9, 10, 4},  {5, 25, 26, 6},
    {5, 21, 22, 6}, {5, 31, 32, 6}, {5, 19, 20, 6}, {1, 11, 12, 2}, {1, 13, 14, 2},
};

} // namespace

CPredefinedMacroList::CPredefinedMacroList() {
    for (int n = 1; n <= 40; ++n) {
        const KeyDef& k = kPredefinedKeys[(n - 1) / 2];
        m_keyEvents[n] = MakeKeyEvent(k.scan, k.vk, (n % 2) ? kKeyDown : kKeyUp, k.extended);
    }
    for (int id = 1; id <= 17; ++id) {
        std::vector<MacroEvent> work;
        for (int number : kPredefinedSequences[id - 1]) work.push_back(m_keyEvents.at(number));
        (id <= 9 ? m_first : m_second)[id] = work;
    }
}

bool CPredefinedMacroList::FindPredefinedMacro(const wchar_t* name, std::vector<MacroEvent>& out) const {
    if (!name) return false;
    int32_t id = vt::base::FindKeyComboIdByName(name);
    const auto& table = id <= 9 ? m_first : m_second;
    auto it = table.find(id);
    if (it == table.end()) return false;
    out = it->second;
    return true;
}

static void ListNames(const std::map<int32_t, std::vector<MacroEvent>>& table, std::vector<std::wstring>& out) {
    out.clear();
    for (const auto& [id, events] : table) {
        const wchar_t* name = vt::base::GetKeyComboName(id);
        out.emplace_back(name ? name : L"");
    }
}

void CPredefinedMacroList::ListPredefinedMacros(std::vector<std::wstring>& out) const { ListNames(m_first, out); }
void CPredefinedMacroList::ListPredefinedMacros2(std::vector<std::wstring>& out) const { ListNames(m_second, out); }

const CPredefinedMacroList PredefinedMacros;
