#pragma once
// The list selection popup (a page file with LIST_DROPDOWN_POPUP, e.g. "SelectProfilePopup.xml"):
// the choices in order, the first one selected; OK takes the selected entry's text.
#include <string>
#include <vector>
#include "config/popups/PagePopup.h"
#include "skin/DropDownList.h"

namespace vt::config {

class CDmDropdownSelectPopup : public CDmPagePopup {
public:
    CDmDropdownSelectPopup(HWND parent, const wchar_t* pageFile, const std::vector<std::wstring>& choices,
                           std::wstring& chosen);
    void BindItems() override;

protected:
    void OnPopupOk() override;

private:
    std::vector<std::wstring> m_choices;
    std::wstring& m_chosen;
    vt::skin::CDropdownListItem* m_list = nullptr;
};

} // namespace vt::config
