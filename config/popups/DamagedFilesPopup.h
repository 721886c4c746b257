#pragma once
// Says which files of the installation the program could not use. It needs none of them: a plain
// system message box, since the skin's own files may be among the damaged ones.
#include <string>
#include <vector>
#include "config/popups/Popup.h"

namespace vt::config {

class DamagedFilesPopup : public IPopup {
public:
    // files: names within the program folder; closing: the program ends after the message.
    DamagedFilesPopup(std::vector<std::wstring> files, bool closing) : m_files(std::move(files)), m_closing(closing) {}
    const std::vector<std::wstring>& Files() const { return m_files; }
    bool Closing() const { return m_closing; }
    // The message: what happened, each file on a line, and what the program does now.
    std::wstring Text() const;
    INT_PTR Show(HWND parent) override;

private:
    std::vector<std::wstring> m_files;
    bool m_closing;
};

// From now on every skinned popup whose page file or bitmaps cannot be used is reported through
// host (a DamagedFilesPopup, the program going on), instead of being shown half-built; null stops it.
void ReportDamagedPopupsThrough(IPopupHost* host);

} // namespace vt::config
