#include "skin/ProfileButton.h"
#include <commctrl.h>
#include "skin/CtlBuilders.h"
#include "skin/PageReader.h"
#include "skin/SkinStore.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

// ---------------------------------------------------------------------------------------------
// Profile button

bool CProfileBtn::CreateButton(const RECT& r, HWND parent) {
    if (!Create(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r.left, r.top, r.right - r.left,
                r.bottom - r.top, parent, 0))
        return false;
    // A freshly built button is not under the mouse: it starts in its normal look.
    m_over = 0;
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~WS_TABSTOP);
    return true;
}

void CProfileBtn::SetStateBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled) {
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::WindowDC dc(m_hWnd);
    ShareSkinBitmapRect(m_normal, dc, normal, 0, 0, rc.right, rc.bottom);
    ShareSkinBitmapRect(m_overBitmap, dc, over, 0, 0, rc.right, rc.bottom);
    ShareSkinBitmapRect(m_down, dc, down, 0, 0, rc.right, rc.bottom);
    ShareSkinBitmapRect(m_disabled, dc, disabled, 0, 0, rc.right, rc.bottom);
}

int CProfileBtn::ChooseState(bool selected, bool disabled) const {
    if (m_toggle) return m_checked == 1 ? 2 : 0;
    if (m_checked == 1 || selected) return 2;
    if (m_over == 1) return 1;
    if (disabled) return 3;
    return 0;
}

RECT CProfileBtn::ColumnRect(const RECT& c, int column) {
    int left = c.left + 5, width = 50;
    for (int i = 0; i < column; ++i) {
        left += width + 5;
        width = 100;
    }
    return RECT{left, c.top, left + width, c.bottom};
}

bool CProfileBtn::OnReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    const int state = ChooseState((dis.itemState & ODS_SELECTED) != 0, (dis.itemState & ODS_DISABLED) != 0);
    const CBitmap* bitmaps[4] = {&m_normal, &m_overBitmap, &m_down, &m_disabled};
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    vt::win::BufferedPaint buf(dis.hDC, rc.right, rc.bottom);
    FillSolid(buf, rc, 0);
    if (*bitmaps[state]) DrawBitmapAt(buf, *bitmaps[state], 0, 0, rc.right, rc.bottom);
    if (!m_columns[0].empty()) {
        SetBkMode(buf, TRANSPARENT);
        ::SetTextColor(buf, 0xE0E0E0);
        vt::win::SelectGuard f(buf, DefaultControlFont());
        for (int i = 0; i < 4; ++i) {
            RECT cr = ColumnRect(rc, i);
            DrawTextW(buf, m_columns[i].c_str(), int(m_columns[i].size()), &cr,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
        }
    }
    result = TRUE;
    return true;
}

bool CProfileBtn::OnMouseMove(UINT keys, POINT pt) {
    Default(WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
    if ((keys & MK_LBUTTON) && !m_over) return true;
    if (GetCapture() != m_hWnd) {
        if (GetActiveWindow() && OwnerOrParent()) {
            m_over = 1;
            SetCapture(m_hWnd);
            InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        return true;
    }
    POINT s = pt;
    ClientToScreen(m_hWnd, &s);
    if (WindowFromPoint(s) != m_hWnd) {
        if (m_over) {
            m_over = 0;
            InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        if (!(keys & MK_LBUTTON)) ReleaseCapture();
    }
    return true;
}

bool CProfileBtn::OnCaptureChanged(HWND gaining) {
    if (m_over == 1 && gaining != m_hWnd) {
        m_over = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return false;
}

bool CProfileBtn::OnKillFocus(HWND) {
    Default(WM_KILLFOCUS, 0, 0);
    m_over = 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CProfileBtn::OnLButtonDown(UINT, POINT) {
    HWND owner = OwnerOrParent();
    HWND top = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (top && GetActiveWindow() != top) SetActiveWindow(top);
    return false;
}

bool CProfileBtn::OnLButtonUp(UINT keys, POINT pt) {
    if (!m_toggle) return false;   // the button's own click: BN_CLICKED
    if (GetCapture() == m_hWnd) ReleaseCapture();
    m_checked = m_checked == 0 ? 1 : 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(m_controlId & 0xFFFF, 0), LPARAM(m_hWnd));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Animation button

CAVIButton::~CAVIButton() {
    if (m_animation && IsWindow(m_animation)) DestroyWindow(m_animation);
}

bool CAVIButton::CreateButton(const RECT& r, HWND parent) {
    return Create(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent, 0);
}

void CAVIButton::StartClip() {
    if (!m_animation) {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        OffsetRect(&rc, 1, 1);
        m_animation = CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_CHILD | WS_VISIBLE, rc.left, rc.top, rc.right - rc.left,
                                      rc.bottom - rc.top, m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
        // The still picture gives way only to a clip that opened.
        if (m_animation && SendMessageW(m_animation, ACM_OPENW, WPARAM(GetModuleHandleW(nullptr)), LPARAM(m_video.c_str())))
            m_started = 1;
    }
    if (m_animation) SendMessageW(m_animation, ACM_PLAY, 1, MAKELPARAM(0, 0xFFFF));
}

bool CAVIButton::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_COMMAND) {
        if (HIWORD(wParam) == BN_DOUBLECLICKED) StartClip();
        result = 0;
        return true;
    }
    if (msg != WM_DRAWITEM) return false;
    result = TRUE;
    if (m_started) return true;
    const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    SIZE s = BitmapSize(m_still);
    FillSolid(dis.hDC, rc, 0);
    if (m_still) {
        vt::win::MemoryDC mem(dis.hDC);
        vt::win::SelectGuard sel(mem, m_still.Get());
        BitBlt(dis.hDC, 0, 0, rc.right, rc.bottom, mem, s.cx / 2 - rc.right / 2 - 10, s.cy / 2 - rc.bottom / 2 - 5, SRCCOPY);
    }
    return true;
}

LRESULT CAVIButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SHOWWINDOW) return 0;
    if (msg == WM_LBUTTONDBLCLK) {
        // A button of this style reports double clicks as BN_DOUBLECLICKED only with BS_NOTIFY.
        StartClip();
        return 0;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

CGUIItem* ReadProfileButton(pugi::xml_node e, CGUIItems&, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto h = [&](const char* slot) -> HBITMAP {
        CBitmap* b = ReadBitmapChild(e, slot);
        return b ? b->Get() : nullptr;
    };
    HBITMAP n = h("SBMN"), o = h("SBMO"), d = h("SBMD"), x = h("SBMDS");
    RECT r = ReadItemRect(e, id);
    auto* b = new CProfileBtn();
    b->m_controlId = id;
    if (!b->CreateButton(r, parent)) {
        delete b;
        return nullptr;
    }
    b->SetStateBitmaps(n, o, d, x);
    std::wstring tip;
    if (ReadTooltip(e, tip)) b->SetToolTipText(tip.c_str());
    b->SetItemFields(id, kKindProfileBtn, b->Hwnd(), parent);
    return b;
}

CGUIItem* ReadAviButton(pugi::xml_node e, CGUIItems&, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto* b = new CAVIButton();
    b->m_controlId = id;
    b->SetVideoFile(vt::win::Utf8ToWide(TrimmedText(e.child("VIDEO"))).c_str());
    b->SetSoundFile(vt::win::Utf8ToWide(TrimmedText(e.child("SOUND"))).c_str());
    RECT r = ReadItemRect(e, id);
    if (!b->CreateButton(r, parent)) {
        delete b;
        return nullptr;
    }
    b->SetItemFields(id, kKindAVIButton, b->Hwnd(), parent);
    return b;
}

} // namespace vt::skin
