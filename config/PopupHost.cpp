#include "config/PopupHost.h"
#include "config/WarningDlg.h"

namespace vt::config {

INT_PTR PopupHost::Warning(HWND parent, const wchar_t* pageFile, const wchar_t* message) {
    CDmWarningDlg dlg(parent, pageFile);
    if (message) dlg.SetMessageText(message);
    const INT_PTR r = dlg.DoModal();
    return r == 1 ? 1 : 2;
}

INT_PTR PopupHost::DpiStages(HWND parent, DpiStagesEdit& edit) {
    // The popup works on a copy: only OK hands the edits back.
    DpiStagesEdit copy = edit;
    CDPIStagesPopup popup(parent, &copy);
    if (popup.DoModal() != 1) return 2;
    edit = copy;
    return 1;
}

} // namespace vt::config
