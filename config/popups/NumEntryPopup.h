#pragma once
// The number entry popup ("MacroRepeatEntryPopup.xml"): OK gives the edit's text as a signed
// decimal number (0 for an empty edit).
#include <string>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "skin/TextItems.h"

namespace vt::config {

// Leading blanks and a sign allowed, digits up to the first other character (held at the int
// range), 0 when there is none.
int ParseDecimal(const std::wstring& text);

// What a caller runs: the page file. After OK (1) Number() holds the number entered.
class NumberEntryPopup : public IPopup {
public:
    explicit NumberEntryPopup(const wchar_t* pageFile) : m_file(pageFile ? pageFile : L"") {}
    const std::wstring& File() const { return m_file; }
    int& Number() { return m_number; }
    INT_PTR Show(HWND parent) override;

private:
    std::wstring m_file;
    int m_number = 0;
};

// The popup's window.
class CDmNumEntryPopup : public CDmPagePopup {
public:
    CDmNumEntryPopup(HWND parent, const wchar_t* pageFile, int& result);
    void BindItems() override;

protected:
    bool OnInitDialog() override;
    void OnPopupOk() override;

private:
    int& m_result;
    vt::skin::CEditItem* m_edit = nullptr;
};

} // namespace vt::config
