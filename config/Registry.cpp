#include "config/Registry.h"
#include <shellapi.h>
#include <vector>

namespace vt::config {

LSTATUS ReadRegistryText(HKEY key, const wchar_t* valueName, std::wstring& out) {
    out.clear();
    DWORD type = 0, bytes = 0;
    LSTATUS rc = RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    constexpr DWORD kMaxBytes = 32767 * sizeof(wchar_t);
    if (bytes > kMaxBytes + sizeof(wchar_t)) return ERROR_MORE_DATA;
    // One more character than asked, zeroed, so a stored text without its terminator still ends.
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD size = bytes;
    rc = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc != ERROR_SUCCESS) return rc;   // also when the value grew in between (ERROR_MORE_DATA)
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    const size_t chars = size / sizeof(wchar_t);
    size_t n = 0;
    while (n < chars && buffer[n]) ++n;
    if (n > 32767) return ERROR_MORE_DATA;
    out.assign(buffer.data(), n);
    return ERROR_SUCCESS;
}

StartupSettings ReadStartupSettings(HKEY root, const std::function<int(const std::wstring&)>& findLanguage) {
    StartupSettings s;
    HKEY key = nullptr;
    // Reading needs no more than read access: a standard user cannot open the machine's key for
    // writing, and that must not cost the language or the tray program.
    LSTATUS rc = RegOpenKeyExW(root, kInstallKey, 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND) {
        rc = RegCreateKeyExW(root, kInstallKey, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
    }
    if (rc != ERROR_SUCCESS || !key) return s;
    s.keyOpened = true;
    std::wstring text;
    int language = kDefaultLanguageId;
    if (ReadRegistryText(key, L"Language", text) == ERROR_SUCCESS) language = findLanguage ? findLanguage(text) : -1;
    if (ReadRegistryText(key, L"InstallDir", text) == ERROR_SUCCESS) {
        if (!text.empty() && text.back() == L'\\') text.pop_back();
        s.installDir = text;
    }
    RegCloseKey(key);
    s.languageLookup = language;
    s.languageId = (language >= 544 && language <= 559) ? language : -1;
    return s;
}

void StartTrayProgram(const StartupSettings& settings, const ShellOpen& open) {
    if (!settings.installDir.empty()) SetCurrentDirectoryW(settings.installDir.c_str());
    if (open) open(kTrayProgram);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(132));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kSingleInstanceName;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool ClaimSingleInstance() {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kSingleInstanceName);
    if (!mutex) return true;   // no mutex: nothing to serialise against, go on alone
    if (WaitForSingleObject(mutex, 1000) == WAIT_TIMEOUT) {
        CloseHandle(mutex);
        return false;
    }
    HWND other = FindWindowW(kSingleInstanceName, nullptr);
    if (other) {
        HWND popup = GetLastActivePopup(other);
        BringWindowToTop(other);
        if (IsIconic(popup)) ShowWindow(popup, SW_RESTORE);
        else SetForegroundWindow(popup);
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return other == nullptr;
}

} // namespace vt::config
