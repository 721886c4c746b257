#include "skin/ListHeader.h"
#include <commctrl.h>
#include <algorithm>
#include <string>
#include "skin/CtlCommon.h"
#include "win/Gdi.h"

namespace vt::skin {

// ---------------------------------------------------------------------------------------------
// Header

bool CXHeaderCtrl::Attach(HWND header) {
    if (!header || !Subclass(header)) return false;
    SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) | HDS_NOSIZING);
    m_items.assign(size_t(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) < 0 ? 0 : SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)), HDItemEx{});
    return true;
}

LRESULT CXHeaderCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case HDM_INSERTITEMA:
    case HDM_INSERTITEMW: {
        const size_t at = std::min<size_t>(size_t(std::max<WPARAM>(wParam, 0)), m_items.size());
        m_items.insert(m_items.begin() + at, HDItemEx{});
        LRESULT r = Default(msg, wParam, lParam);
        if (r < 0) m_items.erase(m_items.begin() + at);
        return r;
    }
    case HDM_DELETEITEM:
        if (wParam < m_items.size()) m_items.erase(m_items.begin() + wParam);
        return Default(msg, wParam, lParam);
    case HDM_SETIMAGELIST: {
        HIMAGELIST il = reinterpret_cast<HIMAGELIST>(lParam);
        int cx = 0, cy = 0;
        if (il && ImageList_GetIconSize(il, &cx, &cy)) {
            m_imageWidth = cx;
            m_imageHeight = cy;
        }
        return Default(msg, wParam, lParam);
    }
    case WM_SETCURSOR:
        return TRUE;   // never the column-resize cursor
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        vt::win::PaintDC pdc(m_hWnd);
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        vt::win::BufferedPaint buf(pdc, rc.right, rc.bottom);
        Paint(buf);
        return 0;
    }
    default: break;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

int CXHeaderCtrl::DrawBitmap(HDC dc, RECT r, int item) {
    wchar_t text[256] = {};
    HDITEMW hi{HDI_TEXT | HDI_FORMAT | HDI_IMAGE | HDI_BITMAP};
    hi.pszText = text;
    hi.cchTextMax = 255;
    if (!SendMessageW(m_hWnd, HDM_GETITEMW, WPARAM(item), LPARAM(&hi))) return 0;
    HIMAGELIST il = reinterpret_cast<HIMAGELIST>(SendMessageW(m_hWnd, HDM_GETIMAGELIST, 0, 0));
    if ((hi.fmt & HDF_IMAGE) && hi.iImage != -1 && il && r.right > r.left) {
        ImageList_Draw(il, hi.iImage, dc, r.left, (r.top + r.bottom - m_imageHeight) / 2, ILD_NORMAL);
        r.left += m_imageWidth + m_textMargin;
    }
    if ((hi.fmt & HDF_BITMAP) && hi.hbm) {
        SIZE s = BitmapSize(hi.hbm);
        if (s.cx <= r.right - r.left) {
            DrawBitmapAt(dc, hi.hbm, r.right - s.cx, (r.top + r.bottom - s.cy) / 2);
            r.right -= s.cx + m_textMargin;
        }
    }
    if (!(hi.fmt & HDF_STRING) || !text[0] || r.right <= r.left) return 0;
    SetTextColor(dc, m_text);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_LEFT);
    SIZE ext{};
    GetTextExtentPoint32W(dc, text, int(wcslen(text)), &ext);
    return std::min<int>(ext.cx, r.right - r.left);
}

void CXHeaderCtrl::Paint(HDC dc) {
    RECT clip;
    GetClientRect(m_hWnd, &clip);
    FillSolid(dc, clip, m_background);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    vt::win::SelectGuard f(dc, font ? static_cast<HGDIOBJ>(font) : DefaultControlFont());
    const int n = int(SendMessageW(m_hWnd, HDM_GETITEMCOUNT, 0, 0));
    int total = 0;
    for (int i = 0; i < n; ++i) {
        RECT r;
        if (!SendMessageW(m_hWnd, HDM_GETITEMRECT, WPARAM(i), LPARAM(&r))) continue;
        total += r.right - r.left;
        RECT in{r.left + m_textMargin, r.top, r.right - m_textMargin, r.bottom};
        DrawBitmap(dc, in, i);
        if (i + 1 < n) {
            FillSolid(dc, RECT{r.right - 1, r.top + 2, r.right, r.bottom - 2}, m_pen2);
            FillSolid(dc, RECT{r.right, r.top + 2, r.right + 1, r.bottom - 2}, m_pen1);
        }
    }
    if (total > 0) {
        FillSolid(dc, RECT{0, 0, total, 1}, m_pen1);
        FillSolid(dc, RECT{0, 0, 1, clip.bottom}, m_pen1);
        FillSolid(dc, RECT{0, clip.bottom - 1, total, clip.bottom}, m_pen2);
        FillSolid(dc, RECT{total - 1, 0, total, clip.bottom}, m_pen2);
    }
}

// ---------------------------------------------------------------------------------------------
// Combo drop-down

const ComboListMessages& ComboMessages() {
    static const ComboListMessages m{RegisterWindowMessageW(L"WM_XCOMBOLIST_VK_RETURN"),
                                     RegisterWindowMessageW(L"WM_XCOMBOLIST_VK_ESCAPE"),
                                     RegisterWindowMessageW(L"WM_XCOMBOLIST_KEYDOWN"),
                                     RegisterWindowMessageW(L"WM_XCOMBOLIST_LBUTTONUP")};
    return m;
}

CXComboList::~CXComboList() {
    if (m_listBox && IsWindow(m_listBox)) DestroyWindow(m_listBox);
    if (m_hWnd) DestroyWindow(m_hWnd);
}

bool CXComboList::CreateComboList(const RECT& r, HWND parent, HFONT font) {
    vt::win::Window::RegisterClass(L"VtComboList", CS_SAVEBITS | CS_DBLCLKS);
    if (!Create(0, L"VtComboList", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, r.left, r.top, r.right - r.left,
                r.bottom - r.top, parent, 0))
        return false;
    m_listBox = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0, 0, 0, 0,
                                m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_scrollBar = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0, m_hWnd, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (font) {
        SendMessageW(m_listBox, WM_SETFONT, WPARAM(font), FALSE);
        SendMessageW(m_scrollBar, WM_SETFONT, WPARAM(font), FALSE);
    }
    SetWindowSubclass(m_listBox, &ListBoxProc, 1, DWORD_PTR(this));
    return true;
}

int CXComboList::Selection() const {
    LRESULT s = m_listBox ? SendMessageW(m_listBox, LB_GETCURSEL, 0, 0) : LB_ERR;
    return s == LB_ERR ? -1 : int(s);
}

std::wstring CXComboList::SelectedText() const {
    const int s = Selection();
    if (s < 0) return {};
    const LRESULT n = SendMessageW(m_listBox, LB_GETTEXTLEN, WPARAM(s), 0);
    if (n == LB_ERR) return {};
    std::wstring t(size_t(n) + 1, L'\0');
    SendMessageW(m_listBox, LB_GETTEXT, WPARAM(s), LPARAM(t.data()));
    t.resize(size_t(n));
    return t;
}

void CXComboList::ShowComboList() {
    if (m_listBox) SetFocus(m_listBox);
    if (!m_firstShow || !m_hWnd) return;
    m_firstShow = 0;
    int h = int(SendMessageW(m_listBox, LB_GETITEMHEIGHT, 0, 0));
    if (h <= 0) h = 16;
    RECT wr;
    GetWindowRect(m_hWnd, &wr);
    const int n = std::max(1, int(wr.bottom - wr.top) / h);
    const int H = n * h;
    SetWindowPos(m_hWnd, nullptr, 0, 0, wr.right - wr.left, H + 4, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT cr;
    GetClientRect(m_hWnd, &cr);
    SetWindowPos(m_listBox, HWND_TOP, 1, 1, cr.right - 12, H, 0);
    SetWindowPos(m_scrollBar, nullptr, cr.right - 11, 1, 11, H, SWP_NOZORDER);
    const int count = int(SendMessageW(m_listBox, LB_GETCOUNT, 0, 0));
    const int sel = std::max(0, Selection());
    SCROLLINFO si{sizeof(si), SIF_ALL | SIF_DISABLENOSCROLL, 0, count < 0 ? 1 : count, UINT(n), sel};
    SetScrollInfo(m_scrollBar, SB_CTL, &si, TRUE);
    SendMessageW(m_listBox, LB_SETTOPINDEX, WPARAM(sel > 0 ? sel - 1 : 0), 0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool CXComboList::HandleKey(UINT vk) {
    const ComboListMessages& m = ComboMessages();
    const int s = std::max(0, Selection());
    SCROLLINFO si{sizeof(si), SIF_ALL};
    GetScrollInfo(m_scrollBar, SB_CTL, &si);
    const int maxPos = std::max(0, int(SendMessageW(m_listBox, LB_GETCOUNT, 0, 0)) - 1);
    int p = -1;
    switch (vk) {
    case VK_RETURN: SendMessageW(m_ownerList, m.vkReturn, 0, 0); return false;
    case VK_ESCAPE: SendMessageW(m_ownerList, m.vkEscape, 0, 0); return false;
    case VK_PRIOR: p = s - int(si.nPage) + 1; break;
    case VK_NEXT: p = s + int(si.nPage) - 1; break;
    case VK_END: p = maxPos; break;
    case VK_HOME: p = 0; break;
    case VK_UP: p = s - 1; break;
    case VK_DOWN: p = s + 1; break;
    default:
        if (vk >= 'A' && vk <= 'Z') {
            wchar_t prefix[2] = {wchar_t(vk), 0};
            LRESULT found = SendMessageW(m_listBox, LB_FINDSTRING, WPARAM(s), LPARAM(prefix));
            if (found == LB_ERR || int(found) <= s) return false;   // nothing after the selection: no report
            p = int(found);
            break;
        }
        return false;
    }
    SendMessageW(m_ownerList, m.keyDown, 0, 0);
    p = std::clamp(p, 0, maxPos);
    SetScrollPos(m_scrollBar, SB_CTL, p, TRUE);
    return false;
}

LRESULT CALLBACK CXComboList::ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CXComboList*>(ref);
    if (msg == WM_KEYDOWN) self->HandleKey(UINT(wParam));
    if (msg == WM_LBUTTONUP) {
        LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
        SendMessageW(self->m_ownerList, ComboMessages().lButtonUp, 0, 0);
        return r;
    }
    if (msg == WM_KILLFOCUS) {
        if (++self->m_focusLosses >= 3) SendMessageW(self->m_ownerList, ComboMessages().vkEscape, 0, 0);
    }
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &ListBoxProc, 1);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT CXComboList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        SendMessageW(m_ownerList, ComboMessages().lButtonUp, 0, 0);
        break;
    case WM_KILLFOCUS:
        if (++m_focusLosses >= 3) SendMessageW(m_ownerList, ComboMessages().vkEscape, 0, 0);
        break;
    case WM_VSCROLL: {
        SendMessageW(m_listBox, WM_VSCROLL, wParam, lParam);
        SCROLLINFO si{sizeof(si), SIF_ALL};
        GetScrollInfo(m_scrollBar, SB_CTL, &si);
        int p = si.nPos;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: p -= 1; break;
        case SB_LINEDOWN: p += 1; break;
        case SB_PAGEUP: p -= int(si.nPage); break;
        case SB_PAGEDOWN: p += int(si.nPage); break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: p = HIWORD(wParam); break;
        case SB_TOP: p = 0; break;
        case SB_BOTTOM: p = si.nMax; break;
        default: return 0;
        }
        SetScrollPos(m_scrollBar, SB_CTL, std::clamp(p, 0, std::max(0, si.nMax)), TRUE);
        return 0;
    }
    case WM_DESTROY:
        if (m_listBox && IsWindow(m_listBox)) DestroyWindow(m_listBox);
        m_listBox = nullptr;
        break;
    default: break;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

} // namespace vt::skin
