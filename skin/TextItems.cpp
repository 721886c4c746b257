#include "skin/TextItems.h"
#include <commctrl.h>
#include <vector>
#include "skin/CtlBuilders.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "skin/RawInput.h"
#include "skin/Vocabulary.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

void InvalidateParentArea(HWND item) {
    if (!item) return;
    HWND parent = GetParent(item);
    if (!parent) return;
    RECT r;
    GetClientRect(item, &r);
    MapWindowPoints(item, parent, reinterpret_cast<POINT*>(&r), 2);
    InvalidateRect(parent, &r, TRUE);
    UpdateWindow(parent);
}

// ---------------------------------------------------------------------------------------------
// Text item

void CTextItem::StoreText(const wchar_t* text, int caseMode) {
    std::wstring raw = text ? text : L"";
    std::wstring resolved = ResolveControlText(raw);
    if (resolved != raw) ApplyCase(resolved, caseMode);
    BreakFirst(resolved);
    m_text = resolved;
}

bool CTextItem::CreateText(DWORD style, const RECT& r, HWND parent, int controlId) {
    return Create(0, L"STATIC", L"", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                  UINT_PTR(controlId) & 0xFFFF);
}

void CTextItem::SetItemText(const wchar_t* text, int caseMode) {
    StoreText(text, caseMode);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    InvalidateParentArea(m_hWnd);
}

HWND CTextItem::OwnerOrParent() const { return ReportTarget(m_owner, m_hWnd); }

void CTextItem::SetHover(bool on) {
    m_hover = on ? 1 : 0;
    if (m_linkedButton && m_linkedButton->Hwnd()) {
        m_linkedButton->m_hot = m_hover;
        InvalidateRect(*m_linkedButton, nullptr, FALSE);
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
    InvalidateParentArea(m_hWnd);
}

COLORREF CTextItem::CurrentColour() const {
    if (m_disabled == 1 && m_disabledColour != 0) return m_disabledColour;
    if (m_hover == 1 && m_hoverColour != 0) return m_hoverColour;
    return TextColourOrDefault(m_normalColour);
}

bool CTextItem::OnReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg == WM_CTLCOLORSTATIC) {
        SetBkMode(reinterpret_cast<HDC>(lParam), TRANSPARENT);
        result = LRESULT(GetStockObject(NULL_BRUSH));
        return true;
    }
    if (msg != WM_DRAWITEM) return false;
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    HDC dc = dis->hDC;
    vt::win::SelectGuard font(dc, m_font && *m_font ? static_cast<HGDIOBJ>(m_font->Get()) : DefaultControlFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CurrentColour());
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (m_format != 0) DrawTextW(dc, m_text.c_str(), int(m_text.size()), &rc, m_format);
    else TextOutW(dc, dis->rcItem.left + 5, dis->rcItem.top + 2, m_text.c_str(), int(m_text.size()));
    result = TRUE;
    return true;
}

bool CTextItem::OnMouseMove(UINT keys, POINT pt) {
    Default(WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
    if (((keys & MK_LBUTTON) && !m_hover) || m_disabled == 1) return true;
    if (GetCapture() != m_hWnd) {
        if (GetActiveWindow() && OwnerOrParent()) {
            SetHover(true);
            SetCapture(m_hWnd);
        }
        return true;
    }
    POINT s = pt;
    ClientToScreen(m_hWnd, &s);
    if (WindowFromPoint(s) != m_hWnd) {
        if (m_hover) SetHover(false);
        if (!(keys & MK_LBUTTON)) ReleaseCapture();
    }
    return true;
}

bool CTextItem::OnCaptureChanged(HWND gaining) {
    // Another window took the mouse: the label is no longer under it, so it loses its hover look.
    if (m_hover == 1 && gaining != m_hWnd) SetHover(false);
    return false;
}

bool CTextItem::OnLButtonDown(UINT, POINT) {
    HWND owner = OwnerOrParent();
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (top && GetActiveWindow() != top) SetActiveWindow(top);
    return false;
}

bool CTextItem::OnLButtonUp(UINT, POINT) {
    if (!m_linkedButton || !m_linkedButton->Hwnd()) return true;
    if (m_linkedButton->m_toggleOnClick) {
        m_linkedButton->SetChecked(m_linkedButton->Checked() == 0 ? 1 : 0);
        InvalidateRect(*m_linkedButton, nullptr, FALSE);
    }
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(m_controlId & 0xFFFF, 0), LPARAM(m_linkedButton->Hwnd()));
    InvalidateParentArea(m_hWnd);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Edit item

CEditItem::~CEditItem() {
    if (m_hWnd) DestroyWindow(m_hWnd);
    delete m_frame;
}

bool CEditItem::CreateInFrame(DWORD style, const RECT& rect, HWND parent, int controlId) {
    RECT fr = rect;
    InflateRect(&fr, m_borderWidth, m_borderWidth);
    m_frame = new CGenericPanel(m_borderWidth);
    if (!m_frame->CreatePanel(fr, parent, 0xFFFF)) return false;
    m_owner = parent;
    RECT in;
    GetClientRect(*m_frame, &in);
    InflateRect(&in, -m_borderWidth, -m_borderWidth);
    if (!Create(0, L"EDIT", L"", style, in.left, in.top, in.right - in.left, in.bottom - in.top, *m_frame,
                UINT_PTR(controlId) & 0xFFFF))
        return false;
    m_backBrush.Reset(CreateSolidBrush(m_backColour));
    if (m_font && *m_font) SendMessageW(m_hWnd, WM_SETFONT, WPARAM(m_font->Get()), TRUE);
    m_frame->m_border = m_borderColour;
    m_frame->m_background = m_backColour;
    InvalidateRect(*m_frame, nullptr, TRUE);
    return true;
}

std::wstring CEditItem::Text() const {
    if (!m_hWnd) return {};
    int n = GetWindowTextLengthW(m_hWnd);
    std::wstring s(size_t(n) + 1, L'\0');
    GetWindowTextW(m_hWnd, s.data(), n + 1);
    s.resize(size_t(n));
    return s;
}

bool CEditItem::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool enabled = IsWindowEnabled(m_hWnd);
        SetTextColor(dc, enabled ? m_textColour : m_disabledTextColour);
        SetBkColor(dc, enabled ? m_backColour : m_disabledBackColour);
        SetDCPenColor(dc, enabled ? m_borderColour : m_disabledBorderColour);
        SetDCBrushColor(dc, enabled ? m_borderColour : m_disabledBorderColour);
        if (!m_backBrush) m_backBrush.Reset(CreateSolidBrush(m_backColour));
        result = LRESULT(m_backBrush.Get());
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        HWND target = ReportTarget(m_owner, m_hWnd);
        if (target) SendMessageW(target, WM_EDIT_ITEM_CHANGED, 0, LPARAM(m_hWnd));
        result = 0;
        return true;
    }
    return false;
}

LRESULT CEditItem::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_RBUTTONDOWN) return 0;
    if (m_digitsOnly == 1) {
        if (msg == WM_KEYDOWN) {
            const bool allowed = wParam == VK_BACK || wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_DELETE ||
                                 (wParam >= '0' && wParam <= '9') || (wParam >= VK_NUMPAD0 && wParam <= VK_NUMPAD9);
            if (!allowed) return 0;
        } else if (msg == WM_CHAR) {
            if (!((wParam >= L'0' && wParam <= L'9') || wParam == 8)) return 0;
        } else if (msg == WM_CONTEXTMENU) {
            return 0;
        }
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Single-key field

CEditItemSingleKeyInput::~CEditItemSingleKeyInput() { StopListening(); }

void CEditItemSingleKeyInput::StartListening() {
    if (m_registered || !m_hWnd) return;
    // Keyboard raw input only while the field has the focus, and with the legacy key messages kept: the
    // rest of the program goes on receiving its keys. A registration held by a recording macro display
    // is left alone.
    if (GlobalRawInput().IsRegistered()) return;
    RAWINPUTDEVICE d{1, kRawUsageKeyboard, 0, m_hWnd};
    m_registered = RegisterRawInputDevices(&d, 1, sizeof(d)) != FALSE;
}

void CEditItemSingleKeyInput::StopListening() {
    if (!m_registered) return;
    RAWINPUTDEVICE d{1, kRawUsageKeyboard, RIDEV_REMOVE, nullptr};
    RegisterRawInputDevices(&d, 1, sizeof(d));
    m_registered = false;
}

void CEditItemSingleKeyInput::ShowKey(const KeyEventRecord& key) {
    if (!m_hWnd) return;
    // The whole text becomes the name, whatever the caret and the selection were.
    const LRESULT limit = SendMessageW(m_hWnd, EM_GETLIMITTEXT, 0, 0);
    SendMessageW(m_hWnd, EM_SETLIMITTEXT, key.displayName.size() + 1, 0);
    SendMessageW(m_hWnd, EM_SETSEL, 0, -1);
    SendMessageW(m_hWnd, EM_REPLACESEL, FALSE, LPARAM(key.displayName.c_str()));
    SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
    SendMessageW(m_hWnd, EM_SETLIMITTEXT, WPARAM(limit), 0);
}

void CEditItemSingleKeyInput::OnRawKeyboard(const RAWKEYBOARD& raw) {
    if (RawKeyToKeyEvent(m_key, &raw)) ShowKey(m_key);
}

LRESULT CEditItemSingleKeyInput::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFOCUS: StartListening(); break;
    case WM_KILLFOCUS: StopListening(); break;
    case WM_DESTROY: StopListening(); break;
    case WM_INPUT: {
        UINT size = 0;
        HRAWINPUT h = reinterpret_cast<HRAWINPUT>(lParam);
        if (GetRawInputData(h, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) == 0 && size >= sizeof(RAWINPUTHEADER)) {
            std::vector<BYTE> buffer(size);
            if (GetRawInputData(h, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) == size) {
                auto* ri = reinterpret_cast<RAWINPUT*>(buffer.data());
                if (ri->header.dwType == RIM_TYPEKEYBOARD) OnRawKeyboard(ri->data.keyboard);
            }
        }
        return DefWindowProcW(m_hWnd, msg, wParam, lParam);
    }
    case WM_KEYDOWN: case WM_KEYUP: case WM_SYSKEYDOWN: case WM_SYSKEYUP: {
        MSG m{m_hWnd, msg, wParam, lParam};
        if (KeyMessageToKeyEvent(m, m_key) == 1) return 0;   // repeats and navigation keys are swallowed
        ShowKey(m_key);
        return 0;
    }
    case WM_CHAR: case WM_SYSCHAR: case WM_DEADCHAR:
        return 0;   // the field shows key names, never typed characters
    default: break;
    }
    return CEditItem::WindowProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// Page elements

CGUIItem* ReadTextItem(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    std::wstring text = AttrText(e, "textkey");
    auto* t = new CTextItem(text.c_str(), ReadCaseMode(e, id));
    if (CBitmapItem* host = ReadBitmapItemRef(e, "windowid", items); host && host->Hwnd()) parent = host->Hwnd();
    const wchar_t justify = ReadJustify(e);
    const bool multiline = ReadMultiline(e, id);
    const bool interactive = ReadInteractive(e);
    if (pugi::xml_attribute a = e.attribute("checkboxid")) {
        CGUIItem* b = FindItem(items, FindControlIdByName(vt::win::Utf8ToWide(a.value())));
        if (b && b->m_kind == kKindBitmapBtn && static_cast<CBitmapBtn*>(b)->m_isCheckbox)
            t->m_linkedButton = static_cast<CBitmapBtn*>(b);
    }
    RECT r = ReadItemRect(e, id);
    DWORD style = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | (interactive ? SS_NOTIFY : 0);
    if (!t->CreateText(style, r, parent, id)) {
        delete t;
        return nullptr;
    }
    if (justify == L'L') t->m_format = multiline ? DT_WORDBREAK : 0;
    else t->m_format = (justify == L'R' ? DT_RIGHT : DT_CENTER) | (multiline ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
    if (CFontItem* f = ReadItemFont(e, id, items)) {
        SendMessageW(*t, WM_SETFONT, WPARAM(f->Get()), TRUE);
        t->m_font = f;
    }
    std::wstring tip;
    if (ReadTooltip(e, tip)) t->SetToolTipText(tip.c_str());
    ReadColorAttribute(e, "fontclr", t->m_normalColour);
    ReadColorAttribute(e, "fontclrhi", t->m_hoverColour);
    ReadColorAttribute(e, "disbfontclr", t->m_disabledColour);
    t->SetItemFields(id, kKindTextItem, t->Hwnd(), parent);
    return t;
}

namespace {
void ApplyMax(pugi::xml_node e, HWND edit) {
    pugi::xml_attribute a = e.attribute("max");
    if (!a) return;
    int v = ParseNumber(a.value());
    SendMessageW(edit, EM_LIMITTEXT, WPARAM(v < 0 ? 0 : v), 0);
}
} // namespace

CGUIItem* ReadEditControl(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto* ed = new CEditItem();
    ReadColorAttribute(e, "fontclr", ed->m_textColour);
    ReadColorAttribute(e, "fontclrhi", ed->m_hoverTextColour);
    ReadColorAttribute(e, "backclr", ed->m_backColour);
    ReadColorAttribute(e, "backclrhi", ed->m_hoverBackColour);
    ReadColorAttribute(e, "bdrclr", ed->m_borderColour);
    ReadColorAttribute(e, "disbbackclr", ed->m_disabledBackColour);
    ReadColorAttribute(e, "disbbdrclr", ed->m_disabledBorderColour);
    ReadColorAttribute(e, "disbfontclr", ed->m_disabledTextColour);
    ed->m_borderWidth = ReadNonNegative(e, "bdrwidth", 1);
    ed->m_font = ReadItemFont(e, id, items);
    RECT r = ReadItemRect(e, id);
    const DWORD style = WS_CHILD | WS_VISIBLE | (ReadJustify(e) == L'C' ? ES_CENTER : 0);
    if (!ed->CreateInFrame(style, r, parent, id)) {
        delete ed;
        return nullptr;
    }
    ApplyMax(e, *ed);
    std::wstring tip;
    if (ReadTooltip(e, tip)) ed->SetToolTipText(tip.c_str());
    ed->SetItemFields(id, kKindEditItem, ed->Hwnd(), parent);
    return ed;
}

CGUIItem* ReadSingleKeyEdit(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto* ed = new CEditItemSingleKeyInput();
    ReadColorAttribute(e, "fontclr", ed->m_textColour);
    ReadColorAttribute(e, "fontclrhi", ed->m_hoverTextColour);
    ReadColorAttribute(e, "backclr", ed->m_backColour);
    ReadColorAttribute(e, "backclrhi", ed->m_hoverBackColour);
    ReadColorAttribute(e, "bdrclr", ed->m_borderColour);
    ed->m_borderWidth = ReadNonNegative(e, "bdrwidth", 1);
    ed->m_font = ReadItemFont(e, id, items);
    RECT r = ReadItemRect(e, id);
    if (!ed->CreateInFrame(WS_CHILD | WS_VISIBLE | ES_CENTER, r, parent, id)) {
        delete ed;
        return nullptr;
    }
    ApplyMax(e, *ed);
    // Raw keyboard input is registered while the field has the focus (see StartListening).
    ed->SetItemFields(id, kKindEditItemSingleKey, nullptr, parent);
    return ed;
}

} // namespace vt::skin

// ---------------------------------------------------------------------------------------------
// Showing and hiding the controls with several windows

#include "skin/ExtListCtrl.h"
#include "skin/ListPanel.h"
#include "skin/MacroDisplay.h"
#include "skin/Slider.h"

namespace vt::skin {

namespace {
void ShowIf(HWND hwnd, int cmd) {
    if (hwnd && hwnd != kNoWindow && IsWindow(hwnd)) ShowWindow(hwnd, cmd);
}
} // namespace

bool ShowControlWindows(CGUIItem* item, int cmd) {
    switch (item->m_kind) {
    case kKindMacroDisplay: {
        auto* md = static_cast<CMacroDisplayItem*>(item);
        if (md->ScrollBar()) ShowIf(md->ScrollBar()->Hwnd(), cmd);
        ShowIf(md->Frame(), cmd);
        ShowIf(md->Hwnd(), cmd);
        return true;
    }
    case kKindXListCtrl: {
        auto* list = static_cast<CXListCtrl*>(item);
        if (list->ScrollBar()) ShowIf(list->ScrollBar()->Hwnd(), cmd);
        ShowIf(list->Frame(), cmd);
        ShowIf(list->Hwnd(), cmd);
        return true;
    }
    case kKindEditItem:
    case kKindEditItemSingleKey: {
        auto* ed = static_cast<CEditItem*>(item);
        if (ed->m_frame) ShowIf(ed->m_frame->Hwnd(), cmd);
        ShowIf(ed->Hwnd(), cmd);
        return true;
    }
    case kKindListPanel: {
        auto* lp = static_cast<CListPanelItem*>(item);
        if (lp->m_inline) ShowIf(lp->m_inline->Hwnd(), cmd);
        return true;
    }
    case kKindSliderTrack: {
        auto* track = static_cast<CSliderTrack*>(item);
        if (cmd == SW_SHOW) track->m_repaintPending = 1;
        ShowIf(track->Hwnd(), cmd);
        return true;
    }
    default:
        return false;
    }
}

} // namespace vt::skin
