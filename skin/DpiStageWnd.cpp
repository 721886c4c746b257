#include "skin/DpiStageWnd.h"
#include <cwchar>
#include "skin/CtlBuilders.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "skin/SkinStore.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

namespace {
const wchar_t* const kTextNames[] = {L"HEADING", L"X", L"Y", L"DPI", L"DPIX", L"DPIY"};
bool SameName(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }
} // namespace

bool CDPIStageWindow::CreateDPIStageWindow(HWND parent, const std::vector<NamedText>& texts,
                                           const std::vector<NamedPicture>& pictures, const RECT& r) {
    RegisterControlWindowClass();
    if (!Create(0, kControlWindowClass, L"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
                parent, UINT_PTR(m_controlId) & 0xFFFF))
        return false;
    for (const auto& t : texts)
        for (int k = 0; k < kTextCount; ++k)
            if (SameName(t.name, kTextNames[k])) {
                m_texts[k] = t.text;
                m_textRects[k] = t.rect;
            }
    vt::win::WindowDC dc(m_hWnd);
    for (const auto& p : pictures) {
        const int w = p.rect.right - p.rect.left, h = p.rect.bottom - p.rect.top;
        auto cut = [&](CBitmap& target) { CopyBitmapRect(target, dc, p.bitmap, 0, 0, w, h); };
        if (SameName(p.name, L"DPIFRAME")) cut(m_pictures[kFrame].normal);
        else if (SameName(p.name, L"DPIFRAMESELECTED")) {
            cut(m_pictures[kFrame].selected);
            m_pictures[kFrame].rect = p.rect;
        } else if (SameName(p.name, L"DPIWIN")) { cut(m_pictures[kValueBox].normal); m_pictures[kValueBox].rect = p.rect; }
        else if (SameName(p.name, L"DPIWINX")) { cut(m_pictures[kXBox].normal); m_pictures[kXBox].rect = p.rect; }
        else if (SameName(p.name, L"DPIWINY")) { cut(m_pictures[kYBox].normal); m_pictures[kYBox].rect = p.rect; }
        // other names are not pictures of a tile: ignored
    }
    // Without a selected frame the frame rectangle is the whole tile.
    if (IsRectEmpty(&m_pictures[kFrame].rect)) GetClientRect(m_hWnd, &m_pictures[kFrame].rect);
    SetHeadingText(m_texts[kHeading]);
    return true;
}

void CDPIStageWindow::SetHeadingText(const std::wstring& text) {
    std::wstring shown = ResolveControlText(text);
    ApplyCase(shown, m_caps);
    BreakFirst(shown);
    m_heading = shown;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDPIStageWindow::SetToolTipText(const wchar_t* text) {
    if (!text) return;
    m_tooltip.SetText(m_hWnd, FlattenBreaks(ResolveControlText(text)));
}

bool CDPIStageWindow::OnLButtonUp(UINT, POINT) {
    Default(WM_LBUTTONUP, 0, 0);
    if (m_clickable == 1 && !m_selected) {
        m_selected = 1;
        SendMessageW(GetParent(m_hWnd), WM_DPI_STAGE_SELECTED, WPARAM(m_stageNumber), LPARAM(m_controlId));
        m_previousFocus = SetFocus(m_hWnd);
        InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return true;
}

bool CDPIStageWindow::OnKillFocus(HWND) {
    Default(WM_KILLFOCUS, 0, 0);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

bool CDPIStageWindow::OnEraseBkgnd(HDC dc) {
    if (!m_selected) FillSolid(dc, m_pictures[kFrame].rect, 0);
    return true;
}

bool CDPIStageWindow::OnPaint() {
    vt::win::PaintDC pdc(m_hWnd);
    if (!m_ready) return true;
    const RECT fr = m_pictures[kFrame].rect;
    const int w = fr.right - fr.left, h = fr.bottom - fr.top;
    vt::win::BufferedPaint buf(pdc, w, h);
    FillSolid(buf, RECT{0, 0, w, h}, 0);
    HBITMAP frame = m_selected && m_pictures[kFrame].selected ? m_pictures[kFrame].selected.Get()
                                                               : m_pictures[kFrame].normal.Get();
    DrawBitmapAt(buf, frame, 0, 0);
    SetBkMode(buf, TRANSPARENT);
    SetTextColor(buf, TextColourOrDefault(m_textColour));
    vt::win::SelectGuard font(buf, m_font && *m_font ? static_cast<HGDIOBJ>(m_font->Get()) : DefaultControlFont());
    auto text = [&](const std::wstring& s, RECT r, UINT extra) {
        DrawTextW(buf, s.c_str(), int(s.size()), &r, m_format | extra);
    };
    text(m_heading, m_textRects[kHeading], DT_CENTER);
    CBitmap* selectedBox = m_selected ? GetSkinBitmap(std::wstring_view(L"stageSelected.bmp")) : nullptr;
    auto box = [&](int slot, int value) {
        const RECT br = m_pictures[slot].rect;
        HBITMAP b = selectedBox && *selectedBox ? selectedBox->Get() : m_pictures[slot].normal.Get();
        DrawBitmapAt(buf, b, br.left, br.top, br.right - br.left, br.bottom - br.top);
        RECT in{br.left + 3, br.top + 2, br.right - 3, br.bottom - 2};
        std::wstring n = std::to_wstring(value);
        DrawTextW(buf, n.c_str(), int(n.size()), &in, m_format | DT_CENTER);
    };
    if (m_separateXY == 1) {
        text(m_texts[kDpiX], m_textRects[kDpiX], 0);
        text(m_texts[kDpiY], m_textRects[kDpiY], 0);
        text(m_texts[kX], m_textRects[kX], DT_CENTER);
        text(m_texts[kY], m_textRects[kY], DT_CENTER);
        box(kXBox, m_xDpi);
        box(kYBox, m_yDpi);
    } else {
        text(m_texts[kDpi], m_textRects[kDpi], 0);
        box(kValueBox, m_dpi);
    }
    return true;
}

CGUIItem* ReadDpiStageWindow(pugi::xml_node e, CGUIItems& items, HWND parent) {
    int stage = 1;
    for (pugi::xml_node s = e.previous_sibling("DPISTAGEWINDOW"); s; s = s.previous_sibling("DPISTAGEWINDOW")) ++stage;
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    std::vector<CDPIStageWindow::NamedPicture> pictures;
    for (pugi::xml_node b = e.child("BMPINFO"); b; b = b.next_sibling("BMPINFO")) {
        CBitmap* data = ReadBitmapChild(b, "BMPDATA");
        ReadBitmapChild(b, "BMPMASK");
        pictures.push_back({AttrText(b, "name"), data ? data->Get() : nullptr, ReadItemRect(b, -1)});
    }
    std::vector<CDPIStageWindow::NamedText> texts;
    for (pugi::xml_node t = e.child("TEXTAREA"); t; t = t.next_sibling("TEXTAREA"))
        texts.push_back({AttrText(t, "name"), AttrText(t, "textkey"), ReadItemRect(t, -1)});
    RECT r = ReadItemRect(e, id);
    auto* w = new CDPIStageWindow(stage);
    w->m_controlId = id;
    w->m_caps = BYTE(ReadCaseMode(e, id));
    if (!w->CreateDPIStageWindow(parent, texts, pictures, r)) {
        delete w;
        return nullptr;
    }
    if (CFontItem* f = ReadItemFont(e, id, items)) {
        SendMessageW(*w, WM_SETFONT, WPARAM(f->Get()), TRUE);
        w->m_font = f;
    }
    std::wstring tip;
    if (ReadTooltip(e, tip)) w->SetToolTipText(tip.c_str());
    w->SetItemFields(id, kKindDPIStageWindow, w->Hwnd(), parent);
    return w;
}

} // namespace vt::skin
