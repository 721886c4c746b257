#include "audtest/UserDialogs.h"

#include <commdlg.h>

#include <cwchar>
#include <vector>

namespace vt::audtest {

namespace {

class SystemDialogs : public IUserDialogs {
public:
    void Message(HWND owner, const std::wstring& text) override {
        MessageBoxW(owner, text.c_str(), L"VtAudTestApp", MB_OK);
    }

    bool ChooseProfileFile(HWND owner, bool save, std::wstring* path) override {
        // "Velto Profile Files (*.vtp)|*.vtp|All Files (*.*)|*.*||" with the separators the system uses.
        static const wchar_t kFilter[] = L"Velto Profile Files (*.vtp)\0*.vtp\0All Files (*.*)\0*.*\0";
        std::vector<wchar_t> file(32768, L'\0');
        wcscpy(file.data(), L"*.vtp");
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = kFilter;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrDefExt = L"vtp";
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
        const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
        if (!ok) return false;
        *path = file.data();
        return true;
    }

    bool ChooseColour(HWND owner, COLORREF* colour) override {
        static COLORREF custom[16] = {};  // the dialog refuses to open without room for 16 colours
        CHOOSECOLORW cc{};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = owner;
        cc.rgbResult = *colour;
        cc.lpCustColors = custom;
        if (!ChooseColorW(&cc)) return false;
        *colour = cc.rgbResult;
        return true;
    }
};

SystemDialogs g_system;
IUserDialogs* g_dialogs = nullptr;

} // namespace

IUserDialogs& UserDialogs() { return g_dialogs ? *g_dialogs : g_system; }
void SetUserDialogs(IUserDialogs* dialogs) { g_dialogs = dialogs; }

void ReportFailure(HWND owner, const std::wstring& what, HRESULT hr) {
    wchar_t code[32];
    swprintf(code, 32, L" (error 0x%08lX)", static_cast<unsigned long>(hr));
    UserDialogs().Message(owner, what + code);
}

} // namespace vt::audtest
