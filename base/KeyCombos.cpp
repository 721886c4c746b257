#include "base/KeyCombos.h"

#include "win/Strings.h"

namespace vt::base {
namespace {

// The assignment actions 42..58 carry the same names in the same order.
const KeyComboName kKeyCombos[] = {
    {1, L"$cut"},          {2, L"$copy"},         {3, L"$paste"},         {4, L"$undo"},
    {5, L"$all"},          {6, L"$find"},         {7, L"$new"},           {8, L"$print"},
    {9, L"$save"},         {10, L"$swapwindows"}, {11, L"$closewindow"},  {12, L"$lockpc"},
    {13, L"$openexplorer"}, {14, L"$run"},        {15, L"$showdesktop"},  {16, L"$zoomin"},
    {17, L"$zoomout"},
};

} // namespace

std::span<const KeyComboName> KeyComboNames() { return kKeyCombos; }

int32_t FindKeyComboIdByName(std::wstring_view name) {
    for (const KeyComboName& combo : kKeyCombos) {
        if (vt::win::EqualsNoCaseAscii(combo.name, name)) return combo.id;
    }
    return -1;
}

const wchar_t* GetKeyComboName(int32_t id) {
    for (const KeyComboName& combo : kKeyCombos) {
        if (combo.id == id) return combo.name;
    }
    return nullptr;
}

} // namespace vt::base
