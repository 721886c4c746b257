#include "config/pages/FileChoice.h"
#include "base/ProgramFolder.h"

namespace vt::config {

FileChoice MakeFileChoice(const wchar_t* kind, const wchar_t* extension) {
    FileChoice c;
    c.extension = extension ? extension : L"";
    c.filter = c.extension + L" " + (kind ? kind : L"") + L" Files (*." + c.extension + L")|*." + c.extension + L"||";
    c.folder = vt::base::ProgramFolder() + L"save\\";
    c.proposal = L"." + c.extension;
    return c;
}

std::wstring FileTitleOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

bool ChooseFile(IFileDialogs& dialogs, HWND owner, const FileChoice& choice, bool open, std::wstring& path) {
    // The folder exists before the dialog shows it (a fresh install has none yet).
    CreateDirectoryW(choice.folder.c_str(), nullptr);
    path = choice.proposal;
    const bool ok = open ? dialogs.Open(owner, choice.filter, choice.folder, path)
                         : dialogs.Save(owner, choice.filter, choice.folder, choice.extension, path);
    return ok && FileTitleOf(path).size() > choice.proposal.size();
}

} // namespace vt::config
