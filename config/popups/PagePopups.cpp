#include "config/popups/PagePopups.h"
#include "config/WarningDlg.h"
#include "config/popups/DropdownSelectPopup.h"
#include "config/popups/MacroAssignmentPopup.h"
#include "config/popups/NameEntryPopup.h"
#include "config/popups/NumEntryPopup.h"
#include "config/popups/PredefinedMacroPopup.h"
#include "config/popups/PreviewPopup.h"
#include "config/popups/SingleKeyPopup.h"

namespace vt::config {

namespace {
INT_PTR OkOrCancel(INT_PTR r) { return r == 1 ? 1 : 2; }
} // namespace

INT_PTR PagePopups::Warning(HWND parent, const wchar_t* pageFile, const wchar_t* message, const wchar_t* appended) {
    CDmWarningDlg dlg(parent, pageFile, appended);
    if (message) dlg.SetMessageText(message);
    return OkOrCancel(dlg.DoModal());
}

INT_PTR PagePopups::NameEntry(HWND parent, const wchar_t* pageFile, std::wstring& name, const wchar_t* appended) {
    if (appended) {
        CDmNameEntryPopup popup(parent, name, appended);
        return OkOrCancel(popup.DoModal());
    }
    CDmNameEntryPopup popup(parent, pageFile, name);
    return OkOrCancel(popup.DoModal());
}

INT_PTR PagePopups::NumberEntry(HWND parent, const wchar_t* pageFile, int& number) {
    int result = number;
    CDmNumEntryPopup popup(parent, pageFile, result);
    const INT_PTR r = OkOrCancel(popup.DoModal());
    if (r == 1) number = result;
    return r;
}

INT_PTR PagePopups::Select(HWND parent, const wchar_t* pageFile, const std::vector<std::wstring>& choices,
                           std::wstring& chosen) {
    std::wstring result = chosen;
    CDmDropdownSelectPopup popup(parent, pageFile, choices, result);
    const INT_PTR r = OkOrCancel(popup.DoModal());
    if (r == 1) chosen = result;
    return r;
}

INT_PTR PagePopups::MacroAssignment(HWND parent, unsigned& mode, const std::vector<std::wstring>& names,
                                    std::wstring& chosen) {
    // The mode follows the play buttons while the popup runs; the caller gets it on OK only.
    unsigned m = mode;
    std::wstring result = chosen;
    CDmMacroAssignmentPopup popup(parent, m, names, result);
    const INT_PTR r = OkOrCancel(popup.DoModal());
    if (r == 1) {
        mode = m;
        chosen = result;
    }
    return r;
}

INT_PTR PagePopups::PredefinedMacro(HWND parent, std::wstring& chosen) {
    CDmPredefinedMacroPopup popup(parent);
    const INT_PTR r = OkOrCancel(popup.DoModal());
    if (r == 1) chosen = popup.ChosenName();
    return r;
}

INT_PTR PagePopups::Preview(HWND parent, IMouseProfile* profile, IMouseConfig* config, const std::wstring& title) {
    CDmPreviewPopup_Mouse popup(parent, profile, config);
    popup.SetTitleText(title);
    return OkOrCancel(popup.DoModal());
}

INT_PTR PagePopups::SingleKey(HWND parent, vt::skin::KeyEventRecord& key) {
    vt::skin::KeyEventRecord result = key;
    CPopupBoxSingleKeyEntry popup(parent, result);
    const INT_PTR r = OkOrCancel(popup.DoModal());
    if (r == 1) key = result;
    return r;
}

} // namespace vt::config
