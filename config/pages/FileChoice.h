#pragma once
// How the profile and macro pages ask for their files: the platform's dialogs on the extension's
// files in the program's "save\" folder, the proposed name a full stop and the extension. A
// chosen title no longer than that proposal (".vtp" itself) counts as nothing chosen.
#include <windows.h>
#include <string>
#include "config/FileDialogs.h"

namespace vt::config {

struct FileChoice {
    std::wstring filter;     // "vtp Profile Files (*.vtp)|*.vtp||"
    std::wstring folder;     // program folder + "save\"
    std::wstring extension;  // "vtp"
    std::wstring proposal;   // ".vtp"
};

// kind "Profile" or "Macro", extension "vtp" or "vtm".
FileChoice MakeFileChoice(const wchar_t* kind, const wchar_t* extension);
// The file title (name and extension) of a path.
std::wstring FileTitleOf(const std::wstring& path);
// Runs the open (or save) dialog; true with a path whose title is longer than the proposal.
bool ChooseFile(IFileDialogs& dialogs, HWND owner, const FileChoice& choice, bool open, std::wstring& path);

} // namespace vt::config
