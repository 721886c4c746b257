#include "config/popups/PreviewPopup.h"
#include <cstring>
#include "config/Items.h"
#include "skin/ColourButton.h"
#include "skin/DpiStageWnd.h"
#include "skin/ItemText.h"
#include "skin/KeyEvents.h"
#include "skin/Vocabulary.h"

namespace vt::config {

using namespace vt::skin;

namespace {

GUID PayloadId(const AssignmentRecord& r) {
    GUID g{};
    std::memcpy(&g, r.payload, sizeof(g));
    return g;
}

std::wstring PayloadName(const AssignmentRecord& r) {
    std::wstring s;
    for (size_t i = 0; i < vt::profile::kNamePayloadUnits; ++i) {
        wchar_t c;
        std::memcpy(&c, r.payload + i * 2, 2);
        if (!c) break;
        s.push_back(c);
    }
    return s;
}

std::wstring ProfileName(IMouseProfile* p) { return p && p->GetName() ? p->GetName() : L""; }

} // namespace

std::wstring PreviewLine(const AssignmentRecord& r, IMouseConfig* config) {
    std::wstring line;
    if (r.kind >= 0 && r.kind <= 64)
        if (const wchar_t* name = GetActionName(r.kind)) line = ResolveItemText(name);
    std::wstring detail;
    switch (r.kind) {
    case vt::profile::kKindSingleKey: {
        uint16_t scan = 0, vk = 0;
        std::memcpy(&scan, r.payload, 2);
        std::memcpy(&vk, r.payload + 2, 2);
        if (scan) detail = GetKeyDisplayName(vk, scan, r.payload[4] != 0);
        break;
    }
    case vt::profile::kKindMacro:
        if (CMacro* m = config ? config->FindMacroByGuid(PayloadId(r)) : nullptr) detail = m->name;
        break;
    case vt::profile::kKindMacroByName:
        if (CMacro* m = config ? config->FindMacro(PayloadName(r).c_str()) : nullptr) detail = m->name;
        break;
    case vt::profile::kKindProfile:
        if (config) detail = ProfileName(config->FindProfileById(PayloadId(r)));
        break;
    case vt::profile::kKindProfileByName:
        if (config) detail = ProfileName(config->FindProfileByName(PayloadName(r).c_str()));
        break;
    default: break;
    }
    if (!detail.empty()) line += L": " + detail;
    if (line.size() > kPreviewLineLimit) line = line.substr(0, kPreviewLineLimit) + L"...";
    return line;
}

const wchar_t* PreviewZoneState(uint8_t on, uint8_t apm) {
    if (apm) return L"$APM";
    return on ? L"$On" : L"$Off";
}

INT_PTR PreviewPopup::Show(HWND parent) {
    CDmPreviewPopup_Mouse popup(parent, m_profile, m_config);
    popup.SetTitleText(m_title);
    return popup.DoModal() == 1 ? 1 : 2;
}

CPreviewPopup::CPreviewPopup(HWND parent, IMouseProfile* profile, IMouseConfig* config)
    : CDmPagePopup(parent, L"PreviewPopup.xml"), m_profile(profile), m_config(config) {}

CPreviewPopup::~CPreviewPopup() {
    if (m_black) DeleteObject(m_black);
}

void CPreviewPopup::BindItems() {}

bool CPreviewPopup::OnInitDialog() {
    m_black = CreateSolidBrush(0);
    const bool focus = CDmPagePopup::OnInitDialog();
    if (!m_profile) return focus;
    // Button lines.
    m_lines.clear();
    for (int button : kPreviewButtons) m_lines.push_back(PreviewLine(m_profile->GetButtonAssignment(button), m_config));
    // Stages.
    const int inUse = int(m_profile->GetDpiStageCount());
    const int active = m_profile->GetActiveDpiStage();
    const int slots = int(m_profile->GetMaxDpiStageCount());
    for (int i = 0; i < 5; ++i) {
        CGUIItem* item = BindItem(m_items, ctl::DPISTAGEWINDOW_01 + i, kKindDPIStageWindow);
        if (!item) continue;
        if (i >= slots || i >= inUse) {
            ShowItemIf(item, false);
            continue;
        }
        auto* w = static_cast<CDPIStageWindow*>(item);
        const uint32_t s = uint32_t(i + 1);
        w->m_ready = 1;
        w->m_clickable = 0;
        w->m_selected = i == active - 1 ? 1 : 0;
        w->m_separateXY = m_profile->GetDpiStageSeparateXY(s);
        w->m_dpi = int(m_profile->GetDpiStageValue(s));
        w->m_xDpi = int(m_profile->GetDpiStageValueX(s));
        w->m_yDpi = int(m_profile->GetDpiStageValueY(s));
        w->m_dpiText = std::to_wstring(w->m_dpi);
        w->m_xText = std::to_wstring(w->m_xDpi);
        w->m_yText = std::to_wstring(w->m_yDpi);
        w->Refresh();
    }
    // Lighting.
    const int colours[3] = {ctl::BUTTON_DMMOUSE_LTMAIN_COLOR, ctl::BUTTON_DMMOUSE_LTSIDE_COLOR, ctl::BUTTON_DMMOUSE_LTBASE_COLOR};
    const int headings[3] = {ctl::TEXT_HEADING_MAIN, ctl::TEXT_HEADING_SIDE, ctl::TEXT_HEADING_BASE};
    for (int z = 0; z < 3; ++z) {
        const int zone = kPreviewZones[z];
        if (auto* c = BindItem<CDropdownColorButton>(m_items, colours[z], kKindDropdownColor)) {
            c->SetColor(COLORREF(m_profile->GetLightColor(zone)));
            c->m_enabled = 0;
        }
        if (CGUIItem* h = BindItem(m_items, headings[z], kKindTextItem)) {
            const std::wstring state = ResolveItemText(PreviewZoneState(m_profile->GetLightOn(zone), m_profile->GetLightFlag(zone)));
            SetItemText(h, GetItemText(h) + L" " + state);
        }
    }
    if (CGUIItem* h = BindItem(m_items, ctl::TEXT_WARNDLG_HEADING, kKindTextItem); h && !m_title.empty())
        SetItemText(h, GetItemText(h) + m_title);
    for (size_t k = 0; k < m_lines.size(); ++k)
        if (CGUIItem* t = BindItem(m_items, ctl::TEXT_PREVIEW_01 + int(k), kKindTextItem)) SetItemText(t, m_lines[k]);
    return focus;
}

LRESULT CPreviewPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORLISTBOX:
        if (m_black) return LRESULT(m_black);
        break;
    default: break;
    }
    return CDmPagePopup::WindowProc(msg, wParam, lParam);
}

} // namespace vt::config
