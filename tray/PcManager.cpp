#include "tray/PcManager.h"
#include <vector>
#include "tray/TraySystem.h"
#include "win/Handles.h"

namespace vt::tray {

bool CPcManager::IsConfigProgramRunning() {
    std::vector<ProcessEntry> list;
    if (!System().processes(list)) return false;
    for (const ProcessEntry& p : list)
        if (p.exeFile == kConfigProgram) return true;
    return false;
}

bool CPcManager::LaunchConfigProgram(HKEY root, const wchar_t* keyPath) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, keyPath, 0, nullptr, 0, KEY_READ, nullptr, &raw, nullptr) != ERROR_SUCCESS) return false;
    vt::win::RegKey key(raw);
    WCHAR folder[MAX_PATH + 1] = {};
    DWORD type = 0, bytes = MAX_PATH * sizeof(WCHAR);
    if (RegQueryValueExW(key.Get(), L"InstallDir", nullptr, &type, reinterpret_cast<BYTE*>(folder), &bytes) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    key.Reset();
    size_t length = std::min<size_t>(bytes / sizeof(WCHAR), MAX_PATH);
    folder[length] = L'\0';
    length = wcslen(folder);
    if (length > 0 && folder[length - 1] == L'\\') folder[--length] = L'\0';
    if (length == 0) return false;
    SetCurrentDirectoryW(folder);
    const std::wstring file = std::wstring(folder) + L"\\" + kConfigProgram;
    return System().shellOpen(L"open", file.c_str(), folder);
}

void CPcManager::StartConfigProgramIfNotRunning() {
    if (!IsConfigProgramRunning()) LaunchConfigProgram();
}

} // namespace vt::tray
