#include "skin/MacroDisplay.h"
#include <windowsx.h>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include "skin/CtlBuilders.h"
#include "skin/ItemText.h"
#include "skin/Messages.h"
#include "skin/PageReader.h"
#include "skin/RawInput.h"
#include "skin/Vocabulary.h"
#include "win/Gdi.h"
#include "win/Strings.h"

namespace vt::skin {

namespace {
const wchar_t* const kMouseNames[27] = {
    L"<null>", L"$LeftButton", L"$RightButton", L"$Wheel", L"$RightSideButton1", L"$RightSideButton2", L"$Button5",
    L"$Button4", L"$CenterButton1", L"$CenterButton2", L"$ScrollUp", L"$ScrollDown", L"$ThumbGrid1", L"$ThumbGrid2",
    L"$ThumbGrid3", L"$ThumbGrid4", L"$ThumbGrid5", L"$ThumbGrid6", L"$ThumbGrid7", L"$ThumbGrid8", L"$ThumbGrid9",
    L"$ThumbGrid10", L"$ThumbGrid11", L"$ThumbGrid12", L"$ThumbGrid12", L"$Button4", L"$Button5"};

int32_t Int32At(const MacroEvent& e, size_t offset) {
    int32_t v;
    std::memcpy(&v, e.data + offset - 4, 4);
    return v;
}
uint16_t Uint16At(const MacroEvent& e, size_t offset) {
    uint16_t v;
    std::memcpy(&v, e.data + offset - 4, 2);
    return v;
}
MacroEvent DelayEvent(int32_t ms) {
    MacroEvent e{};
    e.type = vt::profile::kEventDelay;
    std::memcpy(e.data, &ms, 4);
    std::memcpy(e.data + 4, &ms, 4);
    return e;
}
int RunMenuPopup(HWND list, CListPanelItem& menu, POINT pt) { return RunListPanelPopup(list, menu, 0, pt.x, pt.y); }
} // namespace

const wchar_t* MouseButtonNameKey(int code) { return code >= 0 && code < 27 ? kMouseNames[code] : kMouseNames[0]; }

std::wstring CMacroDisplayItem::DelayText(int ms) {
    wchar_t buffer[96];
    const std::wstring unit = ResolveControlText(L"$secondsdelay");
    swprintf(buffer, 96, L"%.3f %ls", double(float(ms) / 1000.0f), unit.c_str());
    return buffer;
}

CMacroDisplayItem::~CMacroDisplayItem() {
    if (m_recording) GlobalRawInput().Unregister();
    m_scrollBar.reset();
    if (m_hWnd) DestroyWindow(m_hWnd);
    if (m_images) ImageList_Destroy(m_images);
    m_frame.reset();
}

bool CMacroDisplayItem::CreateMacroList(const RECT& rect, HWND parent, int controlId, int borderWidth,
                                        const VScrollDescription* scroll, int scrollWidth) {
    m_borderWidth = borderWidth == 0 ? 1 : borderWidth;
    m_frame = std::make_unique<CGenericPanel>(m_borderWidth);
    if (!m_frame->CreatePanel(rect, parent, 0xFFFF)) return false;
    m_frame->m_background = m_backColour;
    m_frame->m_border = m_borderColour;
    RECT pc;
    GetClientRect(*m_frame, &pc);
    InflateRect(&pc, -m_borderWidth, -m_borderWidth);
    RECT lr = pc;
    const bool bar = scroll && scroll->thumb && scrollWidth > 0;
    if (bar) lr.right -= scrollWidth;
    if (!Create(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                lr.left, lr.top, lr.right - lr.left, lr.bottom - lr.top, *m_frame, UINT_PTR(controlId) & 0xFFFF))
        return false;
    m_controlId = controlId;
    m_images = ImageList_Create(28, 18, ILC_COLOR4, 10, 10);
    ListView_SetImageList(m_hWnd, m_images, LVSIL_SMALL);
    ListView_SetTextColor(m_hWnd, m_textColour);
    ListView_SetBkColor(m_hWnd, m_backColour);
    ListView_SetExtendedListViewStyle(m_hWnd, ListView_GetExtendedListViewStyle(m_hWnd) | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LOGFONTW lf{};
    HFONT f = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    int height = 0;
    if (f && GetObjectW(f, sizeof(lf), &lf)) height = std::abs(int(lf.lfHeight));
    m_rowHeight = height < 1 ? 16 : height + 1;
    if (bar) {
        m_scrollBar = std::make_unique<CVScrollBar>(scrollWidth, m_hWnd);
        m_scrollBar->CreateVScrollBar(*scroll);
        m_scrollBar->m_background = m_backColour;
        m_scrollBar->m_border = m_borderColour;
        RECT sr{lr.right, lr.top, lr.right + scrollWidth, lr.bottom};
        if (!m_scrollBar->CreateBar(WS_CHILD | WS_VISIBLE, sr, *m_frame, 0xFFFF)) m_scrollBar.reset();
    }
    m_editor.owner = this;
    m_editor.Create(0, L"EDIT", L"", WS_CHILD | ES_NUMBER | ES_AUTOHSCROLL, 0, 0, 0, 0, m_hWnd, 0xFFFE);
    SendMessageW(m_editor, EM_SETLIMITTEXT, 7, 0);
    return true;
}

bool CMacroDisplayItem::AddMacroColumn(int columnId, int cellKind, wchar_t justify, int width) {
    if (columnId == -1 || cellKind == -1 || m_columns.count(columnId) || m_columns.size() >= 2) return false;
    const int position = int(m_columns.size());
    m_columns[columnId] = {cellKind, position, justify};
    LVCOLUMNW col{LVCF_FMT | LVCF_WIDTH | LVCF_TEXT};
    col.fmt = justify == L'C' ? LVCFMT_CENTER : justify == L'R' ? LVCFMT_RIGHT : LVCFMT_LEFT;
    col.cx = width;
    col.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, WPARAM(position), LPARAM(&col));
    return true;
}

void CMacroDisplayItem::SetEventBitmaps(const CBitmap* const bitmaps[6]) {
    vt::win::WindowDC dc(m_hWnd);
    for (int k = 0; k < 6; ++k) {
        if (!bitmaps[k] || !*bitmaps[k]) continue;
        SIZE s = BitmapSize(bitmaps[k]->Get());
        CopyBitmapRect(m_rowBitmaps[k], dc, bitmaps[k]->Get(), 0, 0, s.cx, s.cy);
    }
}

int CMacroDisplayItem::RowCount() const { return m_hWnd ? int(SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0)) : 0; }

int CMacroDisplayItem::FirstSelected() const {
    return m_hWnd ? int(SendMessageW(m_hWnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
}

void CMacroDisplayItem::SelectRow(int row) {
    // Only the rows that hold the selection or the focus are cleared (not every row of a long macro).
    for (int r = int(SendMessageW(m_hWnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); r >= 0;
         r = int(SendMessageW(m_hWnd, LVM_GETNEXTITEM, WPARAM(r), LVNI_SELECTED)))
        ListView_SetItemState(m_hWnd, r, 0, LVIS_SELECTED);
    const int focused = int(SendMessageW(m_hWnd, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    if (focused >= 0) ListView_SetItemState(m_hWnd, focused, 0, LVIS_FOCUSED);
    if (row >= 0) ListView_SetItemState(m_hWnd, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CMacroDisplayItem::RowKind(int row) const {
    LVITEMW it{LVIF_PARAM};
    it.iItem = row;
    if (!m_hWnd || !SendMessageW(m_hWnd, LVM_GETITEMW, 0, LPARAM(&it))) return -1;
    return int(it.lParam);
}

std::wstring CMacroDisplayItem::RowText(int row) const {
    auto c = m_columns.find(kMacroColumnDescription);
    if (c == m_columns.end()) return {};
    wchar_t buffer[256] = {};
    LVITEMW it{};
    it.iSubItem = c->second.position;
    it.pszText = buffer;
    it.cchTextMax = 255;
    SendMessageW(m_hWnd, LVM_GETITEMTEXTW, WPARAM(row), LPARAM(&it));
    return buffer;
}

bool CMacroDisplayItem::AddRow(const MacroEvent& e, bool repaint, int index, bool select) {
    if (!m_hWnd) return false;
    const int count = RowCount();
    if (index < 0 || index > count) index = count;
    std::wstring text;
    int kind;
    switch (e.type) {
    case vt::profile::kEventKey: {
        const uint16_t scan = Uint16At(e, 4), vk = Uint16At(e, 6);
        const uint8_t direction = e.data[4], flags = e.data[5];
        text = GetKeyDisplayName(vk, scan, flags & 1);
        kind = direction == 1 ? kRowKeyRelease : kRowKeyPress;
        break;
    }
    case vt::profile::kEventMouse: {
        const int code = Int32At(e, 4);
        const uint8_t transition = uint8_t(Int32At(e, 8) & 0xFF);
        text = ResolveControlText(std::wstring(MouseButtonNameKey(code)) + (transition == 1 ? L"Up" : L"Down"));
        kind = kRowMouse;
        break;
    }
    case vt::profile::kEventDelay:
        text = DelayText(Int32At(e, 4));
        kind = kRowDelay;
        break;
    default:
        return false;   // unknown event types are not shown
    }
    LVITEMW it{LVIF_PARAM | LVIF_TEXT};
    it.iItem = index;
    it.pszText = const_cast<wchar_t*>(L"");
    it.lParam = kind;
    const int row = int(SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, LPARAM(&it)));
    if (row < 0) return false;
    if (auto c = m_columns.find(kMacroColumnDescription); c != m_columns.end()) {
        LVITEMW t{};
        t.iSubItem = c->second.position;
        t.pszText = text.data();
        SendMessageW(m_hWnd, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&t));
    }
    SendMessageW(m_hWnd, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
    if (m_scrollBar) m_scrollBar->SyncThumbPosition();
    m_events.insert(m_events.begin() + row, e);
    if (select) SelectRow(row);
    if (repaint) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CMacroDisplayItem::LoadEvents(const std::vector<MacroEvent>* events) {
    if (!events || m_recording) return false;
    ClearEvents();
    SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    // Each row would take the selection in turn; the last one keeps it, so it is selected once.
    for (const MacroEvent& e : *events) AddRow(e, false, -1, false);
    if (RowCount() > 0) SelectRow(RowCount() - 1);
    SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return RowCount() > 0;
}

void CMacroDisplayItem::ClearEvents() {
    m_events.clear();
    if (m_hWnd) SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
}

bool CMacroDisplayItem::ToggleRecording() {
    if (m_readOnly) return false;
    m_heldKeys.clear();   // a key held when recording stopped is not a repeat in the next recording
    if (!m_recording) {
        RawInputRegistration& raw = GlobalRawInput();
        raw.AddUsage(kRawUsageKeyboard);
        raw.AddUsage(kRawUsageMouse);
        if (!raw.Register(m_hWnd)) {
            raw.Unregister();
            return false;   // nothing would be captured: recording does not start
        }
        if (m_scrollBar) ShowWindow(*m_scrollBar, SW_HIDE);
        m_recording = 1;
        return true;
    }
    GlobalRawInput().Unregister();
    if (m_scrollBar) ShowWindow(*m_scrollBar, SW_SHOW);
    m_recording = 0;
    return false;
}

bool CMacroDisplayItem::ReplaceEventAt(int index, const MacroEvent& event) {
    if (m_readOnly || index < 0 || index >= int(m_events.size())) return false;
    SendMessageW(m_hWnd, LVM_DELETEITEM, WPARAM(index), 0);
    m_events.erase(m_events.begin() + index);
    const bool added = AddRow(event, false, index);
    Notify(WM_MACRO_EVENTS_CHANGED);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return added;
}

void CMacroDisplayItem::Notify(UINT msg) {
    HWND target = ReportTarget(m_owner, m_hWnd);
    if (target) SendMessageW(target, msg, 0, LPARAM(m_controlId));
}

bool CMacroDisplayItem::IsRepeatedKey(const RAWKEYBOARD& k) {
    const std::pair<uint16_t, bool> id{k.MakeCode, (k.Flags & RI_KEY_E0) != 0};
    auto it = std::find(m_heldKeys.begin(), m_heldKeys.end(), id);
    if (k.Flags & RI_KEY_BREAK) {
        if (it != m_heldKeys.end()) m_heldKeys.erase(it);
        return false;
    }
    if (it != m_heldKeys.end()) return true;
    m_heldKeys.push_back(id);
    return false;
}

void CMacroDisplayItem::RecordDelay() {
    const DWORD now = Now();
    if (m_events.empty()) {
        m_lastEventTime = now;
        return;
    }
    if (m_noDelays) return;
    int32_t delay;
    if (m_fixedDelayOn) {
        delay = m_fixedDelay;
    } else {
        const DWORD elapsed = now - m_lastEventTime;
        delay = elapsed >= 0x1000000 ? 0xFFFFFF : int32_t(elapsed);
        m_lastEventTime = now;
    }
    AddRow(DelayEvent(delay), true, -1);
}

void CMacroDisplayItem::RecordEvent(const MacroEvent& e) {
    if (!m_recording || m_readOnly) return;
    RecordDelay();
    AddRow(e, true, -1);
}

void CMacroDisplayItem::ProcessRawInput(const RAWINPUT& in) {
    if (m_readOnly) return;
    if (in.header.dwType == RIM_TYPEMOUSE) {
        const RawMouseButton& b = LookupRawMouseButton(in.data.mouse.usButtonFlags);
        if (b.button != 0) {
            m_lastButton = b.button;
            m_lastTransition = b.transition;
            if (!(m_captureWindow && GetCapture() == m_captureWindow)) {
                MacroEvent e{};
                e.type = vt::profile::kEventMouse;
                const int32_t button = b.button, transition = b.transition;
                std::memcpy(e.data, &button, 4);
                std::memcpy(e.data + 4, &transition, 4);
                RecordEvent(e);
            }
        }
    } else if (in.header.dwType == RIM_TYPEKEYBOARD) {
        const RAWKEYBOARD& k = in.data.keyboard;
        // The raw record is converted first: records that are no key do not touch the held keys.
        KeyEventRecord probe = m_lastKey;
        if (RawKeyToKeyEvent(probe, &k) && !IsRepeatedKey(k)) {
            m_lastKey = probe;
            MacroEvent e{};
            e.type = vt::profile::kEventKey;
            std::memcpy(e.data, &m_lastKey.scanCode, 2);
            std::memcpy(e.data + 2, &m_lastKey.virtualKey, 2);
            e.data[4] = m_lastKey.direction;
            e.data[5] = m_lastKey.flags & 1;
            RecordEvent(e);
        }
    }
    if (m_scrollBar) m_scrollBar->SyncThumbPosition();
}

bool CMacroDisplayItem::BeginDelayEdit() {
    const int row = FirstSelected();
    if (row < 0 || RowKind(row) != kRowDelay || size_t(row) >= m_events.size() || m_readOnly) return false;
    auto c = m_columns.find(kMacroColumnDescription);
    if (c == m_columns.end()) return false;
    // The edit opens with the event's own milliseconds (the shown seconds are rounded to three places).
    const int ms = Int32At(m_events[size_t(row)], 4);
    m_editRow = row;
    m_editingDelay = 1;
    LVITEMW t{};
    t.iSubItem = c->second.position;
    t.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_hWnd, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&t));
    RECT r{LVIR_BOUNDS};
    r.top = c->second.position;
    SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&r));
    SetWindowTextW(m_editor, std::to_wstring(ms).c_str());
    SetWindowPos(m_editor, HWND_TOP, r.left + m_leftMargin, r.top, r.right - r.left - m_leftMargin, r.bottom - r.top,
                 SWP_SHOWWINDOW);
    SetFocus(m_editor);
    SendMessageW(m_editor, EM_SETSEL, 0, -1);
    return true;
}

void CMacroDisplayItem::EndDelayEdit(bool confirmed) {
    if (!m_editingDelay) return;
    m_editingDelay = 0;
    const int row = m_editRow;
    m_editRow = -1;
    ShowWindow(m_editor, SW_HIDE);
    SetFocus(m_hWnd);
    if (row < 0 || size_t(row) >= m_events.size()) return;
    MacroEvent& e = m_events[size_t(row)];
    int32_t ms = Int32At(e, 4);
    if (confirmed) {
        wchar_t buffer[16] = {};
        GetWindowTextW(m_editor, buffer, 16);
        const int typed = _wtoi(buffer);
        if (typed > 0) ms = typed;   // empty or 0 keeps the delay
    }
    if (auto c = m_columns.find(kMacroColumnDescription); c != m_columns.end()) {
        std::wstring text = DelayText(ms);
        LVITEMW t{};
        t.iSubItem = c->second.position;
        t.pszText = text.data();
        SendMessageW(m_hWnd, LVM_SETITEMTEXTW, WPARAM(row), LPARAM(&t));
    }
    InvalidateRect(m_hWnd, nullptr, FALSE);
    if (!confirmed) return;   // cancelled: the event and the owner are left alone
    std::memcpy(e.data, &ms, 4);
    Notify(WM_MACRO_EVENTS_CHANGED);
}

LRESULT CMacroDisplayItem::DelayEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE) && owner) {
        owner->EndDelayEdit(wParam == VK_RETURN);
        return 0;
    }
    if (msg == WM_CHAR && (wParam == L'\r' || wParam == 27)) return 0;
    if (msg == WM_KILLFOCUS && owner && owner->m_editingDelay) {
        LRESULT r = vt::win::Window::WindowProc(msg, wParam, lParam);
        owner->EndDelayEdit(true);
        return r;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

void CMacroDisplayItem::RunMacroCommand(const std::wstring& name) {
    const int selected = FirstSelected();
    if (_wcsicmp(name.c_str(), L"$InsertDelay") == 0) {
        AddRow(DelayEvent(m_fixedDelay), true, selected < 0 ? 0 : selected + 1);
        Notify(WM_MACRO_EVENTS_CHANGED);
    } else if (_wcsicmp(name.c_str(), L"$Delete") == 0) {
        const int next = (selected < 0 ? 0 : selected + 1);
        if (next < RowCount()) SelectRow(next);
        else SelectRow(-1);
        if (selected >= 0 && size_t(selected) < m_events.size()) {
            SendMessageW(m_hWnd, LVM_DELETEITEM, WPARAM(selected), 0);
            m_events.erase(m_events.begin() + selected);
        }
        InvalidateRect(m_hWnd, nullptr, FALSE);
        Notify(WM_MACRO_EVENTS_CHANGED);
    } else if (_wcsicmp(name.c_str(), L"$Edit") == 0) {
        const int kind = RowKind(selected);
        if (kind == kRowKeyPress || kind == kRowKeyRelease) Notify(WM_MACRO_EDIT_KEY);
        else if (kind == kRowDelay) BeginDelayEdit();
    }
}

void CMacroDisplayItem::OnRight(POINT pt) {
    if (m_readOnly || m_recording || m_editingDelay) return;
    LVHITTESTINFO hit{};
    hit.pt = pt;
    const int row = int(SendMessageW(m_hWnd, LVM_SUBITEMHITTEST, 0, LPARAM(&hit)));
    if (row < 0) return;
    SelectRow(row);
    SetFocus(m_hWnd);
    const int kind = RowKind(row);
    CListPanelItem* menu = kind == kRowDelay ? m_delayMenu : kind == kRowMouse ? m_mouseMenu : m_keyMenu;
    if (!menu) return;
    const int chosen = (m_runMenu ? m_runMenu : &RunMenuPopup)(m_hWnd, *menu, pt);
    RunMacroCommand(menu->GetEntryText(chosen));
}

void CMacroDisplayItem::DrawRow(HDC dc, int row) {
    const int kind = RowKind(row);
    if (kind != kRowKeyPress && kind != kRowKeyRelease && kind != kRowDelay && kind != kRowMouse) return;
    const bool first = row == m_paintSelected;
    RECT client;
    GetClientRect(m_hWnd, &client);
    for (const auto& [id, col] : m_columns) {
        RECT r{LVIR_BOUNDS};
        r.top = col.position;
        SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&r));
        if (col.position == 0 && m_columns.size() >= 2) {
            RECT n{LVIR_BOUNDS};
            n.top = 1;
            SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, WPARAM(row), LPARAM(&n));
            r.right = n.left;
        }
        OffsetRect(&r, m_leftMargin, 0);
        if (r.right > client.right) r.right = client.right - m_borderWidth;
        FillSolid(dc, r, m_backColour);
        if (id == kMacroColumnIcon) {
            int key = kind == kRowKeyPress ? 0 : kind == kRowKeyRelease ? 1 : kind == kRowDelay ? (first ? 3 : 2) : (first ? 5 : 4);
            if (m_rowBitmaps[key]) {
                SIZE s = BitmapSize(m_rowBitmaps[key]);
                DrawBitmapAt(dc, m_rowBitmaps[key], r.left, r.top, std::min<int>(s.cx, r.right - r.left),
                             std::min<int>(s.cy, r.bottom - r.top));
            }
        } else if (id == kMacroColumnDescription) {
            FillSolid(dc, r, first ? m_selBackColour : m_backColour);
            std::wstring text = RowText(row);
            SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, first ? m_selTextColour : m_textColour);
            vt::win::Font bold;
            if (m_font && *m_font) {
                LOGFONTW lf{};
                if (GetObjectW(m_font->Get(), sizeof(lf), &lf)) {
                    lf.lfWeight = FW_BOLD;
                    bold.Reset(CreateFontIndirectW(&lf));
                }
            }
            HGDIOBJ font = bold ? static_cast<HGDIOBJ>(bold.Get()) : reinterpret_cast<HGDIOBJ>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
            vt::win::SelectGuard f(dc, font);
            const UINT align = col.justify == L'C' ? DT_CENTER : col.justify == L'R' ? DT_RIGHT : DT_LEFT;
            DrawTextW(dc, text.c_str(), int(text.size()), &r, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
        }
    }
}

bool CMacroDisplayItem::OnReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_NOTIFY) return false;
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->hwndFrom != m_hWnd || hdr->code != NM_CUSTOMDRAW) return false;
    auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
        m_paintSelected = FirstSelected();   // asked once per paint, not once per row
        result = CDRF_NOTIFYITEMDRAW;
    }
    else if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        DrawRow(cd->nmcd.hdc, int(cd->nmcd.dwItemSpec));
        result = CDRF_SKIPDEFAULT;
    } else {
        result = CDRF_DODEFAULT;
    }
    return true;
}

LRESULT CMacroDisplayItem::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_INPUT: {
        UINT size = 0;
        HRAWINPUT h = reinterpret_cast<HRAWINPUT>(lParam);
        if (m_recording && GetRawInputData(h, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) == 0 &&
            size >= sizeof(RAWINPUTHEADER)) {
            std::vector<BYTE> buffer(size);
            if (GetRawInputData(h, RID_INPUT, buffer.data(), &size, sizeof(RAWINPUTHEADER)) == size)
                ProcessRawInput(*reinterpret_cast<RAWINPUT*>(buffer.data()));
        }
        return DefWindowProcW(m_hWnd, msg, wParam, lParam);
    }
    case WM_LBUTTONDOWN: {
        if (m_readOnly || m_recording) return 0;
        LVHITTESTINFO hit{};
        hit.pt = pt;
        const int row = int(SendMessageW(m_hWnd, LVM_HITTEST, 0, LPARAM(&hit)));
        if (row < 0) return 0;
        const int kind = RowKind(row);
        const bool focused = ListView_GetItemState(m_hWnd, row, LVIS_FOCUSED) != 0;
        if ((kind == kRowKeyPress || kind == kRowKeyRelease || kind == kRowMouse) && focused) return 0;
        SelectRow(row);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_RBUTTONDOWN:
        OnRight(pt);
        return 0;
    case WM_KEYDOWN: case WM_KEYUP: case WM_SYSKEYDOWN: case WM_SYSKEYUP:
        if (!m_editingDelay && !m_readOnly) {
            MSG m{m_hWnd, msg, wParam, lParam};
            if (KeyMessageToKeyEvent(m, m_lastKey) == 1) return 0;
        }
        break;
    case WM_ERASEBKGND: {
        RECT cr;
        GetClientRect(m_hWnd, &cr);
        FillSolid(reinterpret_cast<HDC>(wParam), cr, m_backColour);
        return 1;
    }
    case WM_NCCALCSIZE: {
        LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        if (style & (WS_VSCROLL | WS_HSCROLL)) SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~(WS_VSCROLL | WS_HSCROLL));
        return 0;
    }
    case WM_MOUSEWHEEL: {
        if (m_scrollBar) m_scrollBar->SyncThumbPosition();
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        for (int i = 0; i < std::abs(delta) / WHEEL_DELTA; ++i)
            PostMessageW(m_hWnd, WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
        return 0;
    }
    case WM_VSCROLL: {
        const int top = int(SendMessageW(m_hWnd, LVM_GETTOPINDEX, 0, 0));
        const int page = int(SendMessageW(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0));
        const int code = LOWORD(wParam);
        if (code == SB_LINEDOWN && top >= RowCount() - page) return 0;
        if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
            RECT r{LVIR_BOUNDS};
            int px = m_rowHeight;
            if (RowCount() > 0 && SendMessageW(m_hWnd, LVM_GETITEMRECT, 0, LPARAM(&r))) px = r.bottom - r.top;
            const int target = HIWORD(wParam);
            if (target != top) SendMessageW(m_hWnd, LVM_SCROLL, 0, (target - top) * px);
            if (m_scrollBar) m_scrollBar->SyncThumbPosition();
            return 0;
        }
        LRESULT r = vt::win::Window::WindowProc(msg, wParam, lParam);
        if (m_scrollBar) m_scrollBar->SyncThumbPosition();
        return r;
    }
    case WM_DESTROY:
        if (m_recording) {
            GlobalRawInput().Unregister();
            m_recording = 0;
        }
        break;
    default: break;
    }
    return vt::win::Window::WindowProc(msg, wParam, lParam);
}

CGUIItem* ReadMacroDisplay(pugi::xml_node e, CGUIItems& items, HWND parent) {
    const int id = ReadItemName(e);
    if (id == -1) return nullptr;
    auto md = std::make_unique<CMacroDisplayItem>(ReadNonNegative(e, "max", 0), ReadTruthAttr(e, "readonly", false));
    const int b = ReadNonNegative(e, "bdrwidth", 1);
    md->m_leftMargin = ReadNonNegative(e, "lmargin", 0);
    md->m_font = ReadItemFont(e, id, items);
    VScrollDescription scroll;
    const int w = ReadVScroll(e, scroll);
    RECT r = ReadItemRect(e, id);
    ReadColorAttribute(e, "fontclr", md->m_textColour);
    ReadColorAttribute(e, "fontclrhi", md->m_selTextColour);
    ReadColorAttribute(e, "backclr", md->m_backColour);
    ReadColorAttribute(e, "backclrhi", md->m_selBackColour);
    ReadColorAttribute(e, "bdrclr", md->m_borderColour);
    if (!md->CreateMacroList(r, parent, id, b, w > 0 ? &scroll : nullptr, w)) return nullptr;
    const char* slots[6] = {"MDBMP_KEYDN", "MDBMP_KEYUP", "MDBMP_CLK", "MDBMP_CLKH", "MDBMP_MSE", "MDBMP_MSEH"};
    const CBitmap* bitmaps[6];
    for (int k = 0; k < 6; ++k) bitmaps[k] = ReadBitmapChild(e, slots[k]);
    md->SetEventBitmaps(bitmaps);
    int n = 0, added = 0;
    for (pugi::xml_node c = e.child("LISTCOLUMN"); c; c = c.next_sibling("LISTCOLUMN")) {
        ++n;
        const int colId = FindListColumnIdByName(vt::win::Utf8ToWide(c.attribute("name").value()));
        const int kind = FindCellKindByName(vt::win::Utf8ToWide(c.attribute("type").value()));
        if (colId == -1 || kind == -1) continue;
        int width = ReadNonNegative(c, "width", 0);
        if (const void* over = FindLanguageOverride(colId, L"width")) width = std::max(0, _wtoi(static_cast<const wchar_t*>(over)));
        if (colId == kMacroColumnDescription) width = std::max(0, width - 2 * b);
        if (width != 0 && md->AddMacroColumn(colId, kind, ReadJustify(c), width)) ++added;
    }
    if (n == 0 || added != n) return nullptr;
    std::wstring tip;
    if (ReadTooltip(e, tip)) {
        for (size_t p = tip.find(L"\\n"); p != std::wstring::npos; p = tip.find(L"\\n", p)) tip.replace(p, 2, L"\r\n");
        md->m_tooltip.SetText(md->Hwnd(), ResolveControlText(tip));
    }
    md->SetItemFields(id, kKindMacroDisplay, md->Hwnd(), parent);
    return md.release();
}

} // namespace vt::skin
