#include "config/popups/DamagedFilesPopup.h"
#include "config/Items.h"
#include "skin/Panel.h"

namespace vt::config {

namespace {
IPopupHost* g_reportHost = nullptr;

void ReportDamagedPopup(HWND owner, const std::vector<std::wstring>& files) {
    DamagedFilesPopup report(files, false);
    if (g_reportHost) g_reportHost->Run(owner, report);
}
} // namespace

void ReportDamagedPopupsThrough(IPopupHost* host) {
    g_reportHost = host;
    vt::skin::CPopupBox::SetDamageReport(host ? &ReportDamagedPopup : nullptr);
}

std::wstring DamagedFilesPopup::Text() const {
    std::wstring text = LanguageText(L"$FileDamaged",
                                     L"A file of the Configurator is missing or damaged. Please reinstall the Configurator. The file:");
    for (const std::wstring& f : m_files) text += L"\n    " + f;
    text += L"\n\n";
    text += m_closing ? LanguageText(L"$ProgramWillClose", L"The program will close.")
                      : LanguageText(L"$ProgramGoesOnWithout", L"The program goes on without it.");
    return text;
}

INT_PTR DamagedFilesPopup::Show(HWND parent) {
    MessageBoxW(parent, Text().c_str(), L"Velto Dunemarch II Configurator", MB_OK | MB_ICONERROR);
    return 1;
}

} // namespace vt::config
