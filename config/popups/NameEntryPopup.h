#pragma once
// The name entry popup ("MacroNamePopup.xml", "ProfileNamePopup.xml", "ProfileRenamePopup.xml"):
// at most 20 characters; OK empties the result and takes the edit's line, Cancel leaves it alone.
#include <string>
#include "config/popups/PagePopup.h"
#include "skin/TextItems.h"

namespace vt::config {

constexpr int kNameEntryLimit = 20;

class CDmNameEntryPopup : public CDmPagePopup {
public:
    CDmNameEntryPopup(HWND parent, const wchar_t* pageFile, std::wstring& result);
    // The rename form: the text follows the file's heading.
    CDmNameEntryPopup(HWND parent, std::wstring& result, const wchar_t* appended);
    void BindItems() override;

protected:
    bool OnInitDialog() override;
    void OnPopupOk() override;

private:
    std::wstring& m_result;
    std::wstring m_appended;
    bool m_hasAppended = false;
    vt::skin::CEditItem* m_edit = nullptr;
    vt::skin::CGUIItem* m_heading = nullptr;
};

} // namespace vt::config
