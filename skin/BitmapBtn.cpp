#include "skin/BitmapBtn.h"
#include <windowsx.h>
#include <algorithm>
#include <vector>
#include "skin/ItemText.h"
#include "skin/PageReader.h"
#include "skin/SkinStore.h"

namespace vt::skin {

using vt::win::MemoryDC;
using vt::win::SelectGuard;

CBitmapBtn::~CBitmapBtn() {
    // The button window is a system button taken over by this object: it goes with the object.
    if (m_hWnd) DestroyWindow(m_hWnd);
}

bool CBitmapBtn::CreateButton(DWORD style, const RECT& r, HWND parent, UINT id) {
    if (!Create(0, L"BUTTON", L"", style | WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, id))
        return false;
    PreSubclassWindow();
    return true;
}

void CBitmapBtn::PreSubclassWindow() {
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SendMessageW(m_hWnd, BM_SETSTYLE, (LOWORD(style) & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~WS_TABSTOP);
}

HWND CBitmapBtn::OwnerWindow() const {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    return owner ? owner : GetParent(m_hWnd);
}

void CBitmapBtn::SetChecked(int state) {
    if (m_checked == state) return;
    m_checked = state;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CBitmapBtn::DrawSkinBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, int x1, int y1,
                                 int x2, int y2) {
    vt::win::WindowDC dc(m_hWnd);
    ShareSkinBitmapRect(m_normal, dc, normal, x1, y1, x2, y2);
    ShareSkinBitmapRect(m_over, dc, over, x1, y1, x2, y2);
    ShareSkinBitmapRect(m_down, dc, down, x1, y1, x2, y2);
    ShareSkinBitmapRect(m_disabled, dc, disabled, x1, y1, x2, y2);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~(WS_BORDER | WS_TABSTOP));
}

void CBitmapBtn::DrawSkinBitmaps(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled, HBITMAP mask,
                                 int x1, int y1, int x2, int y2) {
    DrawSkinBitmaps(normal, over, down, disabled, x1, y1, x2, y2);
    if (!mask) return;
    vt::win::WindowDC dc(m_hWnd);
    ShareSkinBitmapRect(m_mask, dc, mask, x1, y1, x2, y2);
    if (!m_region && m_mask) {
        m_region = CreateRegionFromBitmap(m_mask);
        if (m_region && !SetWindowRgn(m_hWnd, m_region, TRUE)) {
            DeleteObject(m_region);
            m_region = nullptr;
        }
    }
}

void CBitmapBtn::SetItemText(const wchar_t* text, int caseMode) {
    m_caption = MakeCaption(text ? text : L"", caseMode);
}

CBitmapBtn::State CBitmapBtn::ChooseState(bool checkbox, bool checked, bool disabled, bool pressed, bool hot) {
    if (checkbox) {
        if (checked) return State::Down;
        if (disabled) return State::Disabled;
        return hot ? State::Over : State::Normal;
    }
    if (disabled) return State::Disabled;
    if (checked || pressed) return State::Down;
    return hot ? State::Over : State::Normal;
}

COLORREF CBitmapBtn::CaptionColor(bool checked, bool pressed, bool hot, bool disabled) const {
    COLORREF c = checked || pressed ? m_downColor : hot ? m_overColor : disabled ? m_disabledColor : m_normalColor;
    return c == 0 ? kDefaultTextColor : c;
}

LRESULT CBitmapBtn::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND) return 0;   // never erased: the bitmaps cover it
    if (msg == WM_MOUSEMOVE) m_tooltip.Realize();
    return Window::WindowProc(msg, wParam, lParam);
}

bool CBitmapBtn::OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

bool CBitmapBtn::OnMouseMove(UINT keys, POINT pt) {
    Default(WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
    if ((keys & MK_LBUTTON) && !m_hot) return true;
    if (GetCapture() != m_hWnd && GetActiveWindow() && OwnerWindow()) {
        m_hot = 1;
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetCapture(m_hWnd);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return true;
    }
    POINT screen;
    GetCursorPos(&screen);
    HWND under = WindowFromPoint(screen);
    if (!under || under == m_hWnd) return true;
    if (m_hot) {
        m_hot = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    if (!(keys & MK_LBUTTON) && GetCapture() == m_hWnd) ReleaseCapture();
    return true;
}

bool CBitmapBtn::OnKillFocus(HWND next) {
    Default(WM_KILLFOCUS, reinterpret_cast<WPARAM>(next), 0);
    m_hot = 0;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CBitmapBtn::OnCaptureChanged(HWND gaining) {
    if (m_hot) {
        if (GetCapture() == m_hWnd) ReleaseCapture();
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    Default(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(gaining));
    return true;
}

bool CBitmapBtn::OnLButtonDown(UINT keys, POINT pt) {
    if (HWND owner = OwnerWindow()) {
        HWND top = GetAncestor(owner, GA_ROOT);
        if (top && GetActiveWindow() != top) SetActiveWindow(top);
    }
    if (!m_isCheckbox) {
        Default(WM_LBUTTONDOWN, keys, MAKELPARAM(pt.x, pt.y));
        return true;
    }
    if (m_toggleOnClick == 1) m_checked = m_checked ? 0 : 1;
    InvalidateRect(m_hWnd, nullptr, FALSE);
    SendMessageW(GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_hWnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(m_hWnd));
    return true;
}

bool CBitmapBtn::OnLButtonUp(UINT keys, POINT pt) {
    if (m_isCheckbox) return true;
    HWND self = m_hWnd;
    Default(WM_LBUTTONUP, keys, MAKELPARAM(pt.x, pt.y));
    // The click may have closed the page and destroyed this button.
    if (IsWindow(self) && m_hWnd == self) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

void CBitmapBtn::DrawItem(const DRAWITEMSTRUCT& dis) {
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int w = rc.right, h = rc.bottom;
    if (w <= 0 || h <= 0) return;
    const bool disabled = (dis.itemState & ODS_DISABLED) != 0;
    const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
    HBITMAP chosen = nullptr;
    switch (ChooseState(m_isCheckbox != 0, m_checked != 0, disabled, pressed, m_hot != 0)) {
    case State::Normal: chosen = m_normal; break;
    case State::Over: chosen = m_over; break;
    case State::Down: chosen = m_down; break;
    case State::Disabled: chosen = m_disabled; break;
    }
    if (!chosen) return;   // an empty state bitmap draws nothing

    HDC target = dis.hDC;
    MemoryDC picDC(target);
    MemoryDC srcDC(target);
    CBitmap composed;
    HBITMAP picture = chosen;
    if (m_mask) {
        // Keep what shows behind the button where the mask is white.
        composed.Reset(CreateDeviceBitmap(target, w, h));
        SelectGuard selC(picDC, composed);
        BitBlt(picDC, 0, 0, w, h, target, 0, 0, SRCCOPY);
        {
            SelectGuard sel(srcDC, chosen);
            BitBlt(picDC, 0, 0, w, h, srcDC, 0, 0, SRCINVERT);
        }
        {
            SelectGuard sel(srcDC, m_mask);
            BitBlt(picDC, 0, 0, w, h, srcDC, 0, 0, SRCAND);
        }
        {
            SelectGuard sel(srcDC, chosen);
            BitBlt(picDC, 0, 0, w, h, srcDC, 0, 0, SRCINVERT);
        }
        picture = composed;
    }
    if (m_caption.empty()) {
        SelectGuard sel(picDC, picture);
        BitBlt(target, 0, 0, w, h, picDC, 0, 0, SRCCOPY);
        return;
    }
    CBitmap withText(CreateDeviceBitmap(target, w, h));
    MemoryDC textDC(target);
    SelectGuard selText(textDC, withText);
    {
        SelectGuard sel(picDC, picture);
        BitBlt(textDC, 0, 0, w, h, picDC, 0, 0, SRCCOPY);
    }
    SetBkMode(textDC, TRANSPARENT);
    ::SetTextColor(textDC, CaptionColor(m_checked != 0, pressed, m_hot != 0, disabled));
    CFont arial;
    HFONT font = m_font ? m_font->Get() : nullptr;
    if (!font) {
        CreateArialFont(arial);
        font = arial;
    }
    SelectGuard selFont(textDC, font);
    std::vector<wchar_t> text(m_caption.begin(), m_caption.end());
    text.resize(m_caption.size() + 8, 0);   // DrawText may write an ellipsis into it
    RECT tr = rc;
    if (!(m_textFormat & DT_SINGLELINE)) {
        RECT calc = rc;
        std::vector<wchar_t> copy(text);
        DrawTextW(textDC, copy.data(), int(m_caption.size()), &calc, DT_CALCRECT | DT_WORDBREAK);
        const int mw = calc.right - calc.left, mh = calc.bottom - calc.top;
        tr.left += (w - mw) / 2;
        tr.right -= (w - mw) / 2;
        tr.top += (h - mh) / 2;
        tr.bottom -= (h - mh) / 2;
    }
    DrawTextW(textDC, text.data(), int(m_caption.size()), &tr, m_textFormat);
    BitBlt(target, 0, 0, w, h, textDC, 0, 0, SRCCOPY);
}

CGUIItem* BuildButton(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    CBitmap* normal = ReadItemBitmap(e, id, "SBMN");
    CBitmap* over = ReadItemBitmap(e, id, "SBMO");
    CBitmap* down = ReadItemBitmap(e, id, "SBMD");
    CBitmap* disabled = ReadItemBitmap(e, id, "SBMDS");
    CBitmap* mask = ReadItemBitmap(e, id, "SBMM");
    const wchar_t justify = ReadJustify(e);
    const bool multiline = ReadMultiline(e, id);
    DWORD style = 0x10002C0B;
    UINT format = 0x12000;
    if (justify == L'R') { style |= BS_RIGHT; format |= DT_RIGHT; }
    else if (justify == L'C') { style |= BS_CENTER; format |= DT_CENTER; }
    else if (e.attribute("justify").value()[0] == 'L') style |= BS_LEFT;
    format |= multiline ? DT_WORDBREAK : (DT_SINGLELINE | DT_VCENTER | DT_WORDBREAK);
    HWND owner = parent;
    if (CBitmapItem* host = ReadBitmapItemRef(e, "windowid", items)) owner = host->Hwnd();
    const RECT rect = ReadItemRect(e, id);
    auto* button = new CBitmapBtn;
    if (!button->CreateButton(style, rect, owner, 0)) {
        delete button;
        return nullptr;
    }
    button->m_textFormat = format;
    if (CFontItem* font = ReadItemFont(e, id, items)) {
        SendMessageW(button->Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font->Get()), TRUE);
        button->m_font = font;
    }
    auto h = [](CBitmap* b) { return b ? b->Get() : nullptr; };
    const int w = rect.right - rect.left, hgt = rect.bottom - rect.top;
    if (mask || e.child("SBMM")) button->DrawSkinBitmaps(h(normal), h(over), h(down), h(disabled), h(mask), 0, 0, w, hgt);
    else button->DrawSkinBitmaps(h(normal), h(over), h(down), h(disabled), 0, 0, w, hgt);
    std::wstring tip;
    if (ReadTooltip(e, tip)) button->SetToolTipText(tip.c_str());
    button->SetCheckbox(ReadIsCheckbox(e));
    if (pugi::xml_attribute caption = e.attribute("caption")) {
        const int caseMode = ReadCaseMode(e, id);
        ReadColorAttribute(e.child("SBMN"), "fontclr", button->m_normalColor);
        ReadColorAttribute(e.child("SBMO"), "fontclr", button->m_overColor);
        ReadColorAttribute(e.child("SBMD"), "fontclr", button->m_downColor);
        ReadColorAttribute(e.child("SBMDS"), "fontclr", button->m_disabledColor);
        button->SetItemText(AttrText(e, "caption").c_str(), caseMode);
    }
    button->SetItemFields(id, kKindBitmapBtn, button->Hwnd(), owner);
    return button;
}

} // namespace vt::skin
