#pragma once
// The open and save file dialogs, as pages ask for them. The program's dialogs load the common
// dialog library on their first use; tests give pages a scripted set.
#include <windows.h>
#include <string>

namespace vt::config {

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // Asks for an existing file to open. filter: "Name|pattern|Name|pattern||" pairs; folder: the
    // first folder shown (empty: the dialog's choice). True with the chosen path; false when the
    // user cancelled or the dialog could not be shown.
    virtual bool Open(HWND owner, const std::wstring& filter, const std::wstring& folder, std::wstring& path) = 0;
    // Asks for a file to save to; path holds the proposed name on entry. defaultExtension without
    // the dot. Same results as Open.
    virtual bool Save(HWND owner, const std::wstring& filter, const std::wstring& folder,
                      const std::wstring& defaultExtension, std::wstring& path) = 0;
};

class FileDialogs : public IFileDialogs {
public:
    ~FileDialogs() override;
    bool Open(HWND owner, const std::wstring& filter, const std::wstring& folder, std::wstring& path) override;
    bool Save(HWND owner, const std::wstring& filter, const std::wstring& folder, const std::wstring& defaultExtension,
              std::wstring& path) override;

private:
    bool Run(bool save, HWND owner, const std::wstring& filter, const std::wstring& folder,
             const std::wstring& defaultExtension, std::wstring& path);
    HMODULE m_library = nullptr;
};

// "a|b|c|d||" as the dialogs want it: NUL-separated pairs ending in two NULs.
std::wstring DialogFilter(const std::wstring& filter);

} // namespace vt::config
