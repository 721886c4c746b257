#pragma once
// The list selection popup (a page file with LIST_DROPDOWN_POPUP, e.g. "SelectProfilePopup.xml"):
// the choices in order, the first one selected; OK takes the selected entry's text.
#include <string>
#include <vector>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/DropDownList.h"

namespace vt::config {

// What a caller runs: the page file and the choices. After OK (1) Chosen() holds the chosen text
// (as it was given when nothing could be chosen).
class SelectPopup : public IPopup {
public:
    SelectPopup(const wchar_t* pageFile, std::vector<std::wstring> choices)
        : m_file(pageFile ? pageFile : L""), m_choices(std::move(choices)) {}
    const std::wstring& File() const { return m_file; }
    const std::vector<std::wstring>& Choices() const { return m_choices; }
    std::wstring& Chosen() { return m_chosen; }
    INT_PTR Show(HWND parent) override;

private:
    std::wstring m_file;
    std::vector<std::wstring> m_choices;
    std::wstring m_chosen;
};

// The popup's window.
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
