#include "config/pages/Page.h"
#include "config/Items.h"

namespace vt::config {

bool CDmPage::Build(const wchar_t* pageFile, HWND owner) {
    if (!LoadSkinPage(pageFile, owner)) {
        vt::skin::DeleteAllItems(*this);
        return false;
    }
    AssignWindowIds(*this);
    // Built hidden: a page shows only when the main window shows it.
    ShowAll(*this, false);
    m_shown = false;
    return true;
}

void CDmPage::Show(bool show) {
    m_shown = show;
    ShowAll(*this, show);
}

bool CDmPage::OnItemCommand(vt::skin::CGUIItem&, WORD) { return true; }

bool CDmPage::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void CDmPage::OnDeviceNotice(UINT, WPARAM, LPARAM) {}

} // namespace vt::config
