#pragma once
// Start-up's registry and environment work, kept apart from the window so it can be tested:
// the install key, its "Language" and "InstallDir" values, the tray program's start and the
// single-instance check.
#include <windows.h>
#include <functional>
#include <string>

namespace vt::config {

constexpr const wchar_t* kInstallKey = L"Software\\Velto\\Dunemarch2";
constexpr const wchar_t* kSingleInstanceName = L"SINGLE_INSTANCE_APP_DM";
constexpr const wchar_t* kTrayProgram = L"VeltoDunemarchIISysTray.exe";
constexpr int kDefaultLanguageId = 544;

// Reads a REG_SZ or REG_EXPAND_SZ value (unexpanded) of any length up to 32767 characters; the
// text ends at the first terminator and need not carry one. Other types, missing values and
// longer texts answer an error code and leave out empty.
LSTATUS ReadRegistryText(HKEY key, const wchar_t* valueName, std::wstring& out);

// What start-up takes from the install key.
struct StartupSettings {
    bool keyOpened = false;          // the key was opened or created
    int languageLookup = kDefaultLanguageId;  // the language to look up in the language tables
    int languageId = kDefaultLanguageId;      // 544..559, or -1 for a name the vocabulary does not list
    std::wstring installDir;         // without a trailing backslash; empty when not read
};

// Opens the install key under root for reading (creating it when it is missing; a key that can
// neither be opened nor created leaves the defaults) and reads both values. findLanguage maps a
// language name to its id (-1 when unknown).
StartupSettings ReadStartupSettings(HKEY root, const std::function<int(const std::wstring&)>& findLanguage);

// Makes the install folder the current directory (when there is one) and starts the tray program
// from the current directory; the start is not waited for and its failure is ignored. The shell
// call is a seam for tests.
using ShellOpen = std::function<void(const wchar_t* file)>;
void StartTrayProgram(const StartupSettings& settings, const ShellOpen& open);

// Single instance: registers the main window's class (the dialog template names it) and answers
// false when another instance runs, after bringing that instance's window (or its active popup)
// to the front.
bool RegisterMainWindowClass(HINSTANCE instance);
bool ClaimSingleInstance();

} // namespace vt::config
