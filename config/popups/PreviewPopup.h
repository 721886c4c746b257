#pragma once
// The preview popup ("PreviewPopup.xml"): a read-only summary of one mouse profile, the seven
// button assignments as lines, the DPI stages in the stage windows and the three lighting zones.
#include <string>
#include <vector>
#include "config/popups/PagePopup.h"
#include "config/popups/Popup.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

constexpr size_t kPreviewLineLimit = 22;
// Buttons in line order, and the lighting zones main, side and base.
constexpr int kPreviewButtons[7] = {1, 2, 3, 7, 6, 10, 11};
constexpr int kPreviewZones[3] = {3, 10, 9};

// A button's line: its action's text, ": " and the detail (key, macro or profile name) when there
// is one, cut to 22 characters followed by "...".
std::wstring PreviewLine(const AssignmentRecord& record, IMouseConfig* config);
// A zone heading's state: "$APM" when its lighting flag is set, else "$On" or "$Off".
const wchar_t* PreviewZoneState(uint8_t on, uint8_t apm);

// What the mouse profile page runs: the profile, its configuration and the text after the heading.
class PreviewPopup : public IPopup {
public:
    PreviewPopup(IMouseProfile* profile, IMouseConfig* config, std::wstring title)
        : m_profile(profile), m_config(config), m_title(std::move(title)) {}
    IMouseProfile* Profile() const { return m_profile; }
    const std::wstring& Title() const { return m_title; }
    INT_PTR Show(HWND parent) override;

private:
    IMouseProfile* m_profile;
    IMouseConfig* m_config;
    std::wstring m_title;
};

// The popup's window.
class CPreviewPopup : public CDmPagePopup {
public:
    CPreviewPopup(HWND parent, IMouseProfile* profile, IMouseConfig* config);
    ~CPreviewPopup() override;
    void SetTitleText(const std::wstring& text) { m_title = text; }
    void BindItems() override;
    const std::vector<std::wstring>& Lines() const { return m_lines; }

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring m_title;
    HBRUSH m_black = nullptr;
    IMouseProfile* m_profile;
    IMouseConfig* m_config;
    std::vector<std::wstring> m_lines;
};

// The shell the mouse profile page runs.
class CDmPreviewPopup_Mouse : public CPreviewPopup {
public:
    using CPreviewPopup::CPreviewPopup;
};

} // namespace vt::config
