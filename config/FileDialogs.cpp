#include "config/FileDialogs.h"
#include <commdlg.h>
#include <vector>

namespace vt::config {

std::wstring DialogFilter(const std::wstring& filter) {
    std::wstring s = filter;
    for (wchar_t& c : s)
        if (c == L'|') c = L'\0';
    // Always two NULs at the end, whatever the text ended with.
    while (!s.empty() && s.back() == L'\0') s.pop_back();
    s.push_back(L'\0');
    s.push_back(L'\0');
    return s;
}

FileDialogs::~FileDialogs() {
    if (m_library) FreeLibrary(m_library);
}

bool FileDialogs::Open(HWND owner, const std::wstring& filter, const std::wstring& folder, std::wstring& path) {
    return Run(false, owner, filter, folder, L"", path);
}

bool FileDialogs::Save(HWND owner, const std::wstring& filter, const std::wstring& folder,
                       const std::wstring& defaultExtension, std::wstring& path) {
    return Run(true, owner, filter, folder, defaultExtension, path);
}

bool FileDialogs::Run(bool save, HWND owner, const std::wstring& filter, const std::wstring& folder,
                      const std::wstring& defaultExtension, std::wstring& path) {
    // The common dialog library (and what it pulls in) is loaded only when a dialog is wanted.
    if (!m_library) m_library = LoadLibraryW(L"comdlg32.dll");
    if (!m_library) return false;
    using Dialog = BOOL(WINAPI*)(OPENFILENAMEW*);
    auto run = reinterpret_cast<Dialog>(
        reinterpret_cast<void*>(GetProcAddress(m_library, save ? "GetSaveFileNameW" : "GetOpenFileNameW")));
    if (!run) return false;
    const std::wstring filters = DialogFilter(filter);
    std::vector<wchar_t> buffer(32768, L'\0');
    if (save && path.size() < buffer.size()) path.copy(buffer.data(), path.size());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filters.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    if (!run(&ofn)) return false;
    path.assign(buffer.data());
    return !path.empty();
}

} // namespace vt::config
