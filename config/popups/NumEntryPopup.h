#pragma once
// The number entry popup ("MacroRepeatEntryPopup.xml"): OK gives the edit's text as a signed
// decimal number (0 for an empty edit).
#include <string>
#include "config/popups/PagePopup.h"
#include "skin/TextItems.h"

namespace vt::config {

// Leading blanks and a sign allowed, digits up to the first other character (held at the int
// range), 0 when there is none.
int ParseDecimal(const std::wstring& text);

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
