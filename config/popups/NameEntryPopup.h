#pragma once
// The name entry popup ("MacroNamePopup.xml", "ProfileNamePopup.xml", "ProfileRenamePopup.xml"):
// at most 20 characters; OK empties the result and takes the edit's line, Cancel leaves it alone.
#include <string>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/TextItems.h"

namespace vt::config {

constexpr int kNameEntryLimit = 20;

// What a caller runs: the page file and the text after its heading (null: none). After OK (1)
// Name() holds the name entered (empty when the edit was empty).
class NameEntryPopup : public IPopup {
public:
    explicit NameEntryPopup(const wchar_t* pageFile, const wchar_t* appended = nullptr)
        : m_file(pageFile ? pageFile : L""), m_appended(appended ? appended : L""), m_hasAppended(appended != nullptr) {}
    const std::wstring& File() const { return m_file; }
    const std::wstring& Appended() const { return m_appended; }
    std::wstring& Name() { return m_name; }
    INT_PTR Show(HWND parent) override;

private:
    std::wstring m_file, m_appended, m_name;
    bool m_hasAppended;
};

// The popup's window.

class CDmNameEntryPopup : public CDmPagePopup {
public:
    CDmNameEntryPopup(HWND parent, const wchar_t* pageFile, std::wstring& result);
    // The rename form ("ProfileRenamePopup.xml"): the text follows the file's heading.
    CDmNameEntryPopup(HWND parent, std::wstring& result, const wchar_t* appended);
    // Any page file with a text after its heading.
    CDmNameEntryPopup(HWND parent, const wchar_t* pageFile, std::wstring& result, const wchar_t* appended);
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
