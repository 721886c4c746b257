#include "tray/TrayMenu.h"
#include <string>
#include <vector>
#include "skin/LangTable.h"
#include "tray/DeviceManager.h"
#include "tray/TrayNotifyIcon.h"

namespace vt::tray {

namespace {

bool LanguageText(const vt::skin::CLangTable* language, const wchar_t* key, std::wstring& out) {
    return language && vt::skin::ResolveText(language, key, out);
}

} // namespace

bool ProfileCommand(UINT command, int& row, int& index) {
    if (command < 1000) return false;
    row = int(command / 1000) - 1;
    index = int(command % 1000);
    return true;
}

HMENU BuildTrayMenu(HINSTANCE instance, CDeviceManager& devices, const vt::skin::CLangTable* language) {
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(kTrayMenuId));
    if (!menu) return nullptr;
    HMENU top = GetSubMenu(menu, 0);
    if (!top) {
        DestroyMenu(menu);
        return nullptr;
    }
    std::wstring text;
    if (LanguageText(language, L"$LoadVeltoDunemarchII", text))
        ModifyMenuW(top, kCmdLoadConfig, MF_BYCOMMAND | MF_STRING, kCmdLoadConfig, text.c_str());

    const auto& table = TrayDeviceTable();
    for (size_t row = 0; row < table.size(); ++row) {
        const UINT base = UINT(row + 1) * 1000;
        HMENU popup = CreatePopupMenu();
        ScopedDevice client(devices, table[row].pid);
        if (client->IsPresent()) {
            std::wstring active;
            const bool haveActive = client->GetActiveProfileName(active);
            std::vector<std::wstring> names;
            client->GetProfileNames(names);
            // A menu holds at most 1000 profile commands per device.
            for (size_t i = 0; i < names.size() && i < 1000; ++i) {
                UINT flags = MF_STRING;
                if (haveActive && names[i] == active) flags |= MF_CHECKED;
                AppendMenuW(popup, flags, base + UINT(i), names[i].c_str());
            }
            AppendMenuW(top, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), table[row].model);
        } else {
            AppendMenuW(top, MF_POPUP | MF_STRING | MF_GRAYED, reinterpret_cast<UINT_PTR>(popup), table[row].model);
        }
    }
    AppendMenuW(top, MF_SEPARATOR, 0, nullptr);
    if (!LanguageText(language, L"$CloseTrayIcon", text)) text = L"Close Tray Icon";
    AppendMenuW(top, MF_STRING, kCmdCloseTray, text.c_str());
    SetMenuDefaultItem(top, kCmdLoadConfig, FALSE);
    return menu;
}

} // namespace vt::tray
