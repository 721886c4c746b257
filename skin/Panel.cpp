#include "skin/Panel.h"
#include "skin/PageReader.h"
#include "skin/UnusableFiles.h"
#include <algorithm>

namespace vt::skin {

CGUIPanel::CGUIPanel(const std::wstring& pageFile, UINT templateId, HWND parent)
    : m_parent(parent), m_pageFile(pageFile), m_templateId(templateId) {}

CGUIPanel::CGUIPanel(HWND parent, const RECT& rect, UINT templateId)
    : m_parent(parent), m_panelRect(rect), m_templateId(templateId) {}

CGUIPanel::~CGUIPanel() {
    // The controls go before the window that holds them. The background and mask were two of
    // them: the window's WM_DESTROY (OnDestroy) must find them gone, not reach into freed items.
    DeleteAllItems(m_items);
    m_background = m_mask = nullptr;
    if (m_hWnd) DestroyWindow(m_hWnd);
}

namespace {
// The popups' template: popup style without caption or border, no controls.
const vt::win::DialogTemplate& BuiltInTemplate() {
    static vt::win::DialogTemplate t(WS_POPUP, 0, 0, 0, 316, 184);
    return t;
}
bool HasTemplate(UINT id) {
    return id && FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
}
} // namespace

INT_PTR CGUIPanel::DoModal() {
    if (HasTemplate(m_templateId)) return Dialog::DoModal(m_parent, m_templateId);
    return DoModalIndirect(m_parent, BuiltInTemplate().Get());
}

bool CGUIPanel::CreatePanel() {
    if (HasTemplate(m_templateId)) return CreateModeless(m_parent, m_templateId);
    return CreateModelessIndirect(m_parent, BuiltInTemplate().Get());
}

void CGUIPanel::BuildFromPage() {
    if (m_created) return;
    if (!m_pageFile.empty()) {
        // A panel opened again builds its controls afresh: the items of the last opening lost their
        // windows and bitmaps when it closed.
        DeleteAllItems(m_items);
        m_background = m_mask = nullptr;
        // Whatever the page yields is used, also when it fails part-way.
        LoadSkinPage(m_items, m_pageFile.c_str(), m_hWnd);
        CGUIItem* bg = FindItem(m_items, 0);
        m_background = bg && bg->m_kind == kKindPanelBitmap ? static_cast<CPanelBitmap*>(bg) : nullptr;
        if (m_background && *m_background) {
            const SIZE size = BitmapSize(m_background->Get());
            m_panelRect = RECT{0, 0, size.cx, size.cy};
            if (m_keepPlace) SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            else MoveWindow(m_hWnd, 0, 0, size.cx, size.cy, TRUE);
        }
        // Without a background the page is broken: the window keeps its template size and paints black.
        CGUIItem* mask = FindItem(m_items, 1);
        m_mask = mask && mask->m_kind == kKindPanelBitmap ? static_cast<CPanelBitmap*>(mask) : nullptr;
        if (m_mask && m_mask->m_handle) m_region = CreateRegionFromBitmap(m_mask->m_handle);
        if (m_region && !SetWindowRgn(m_hWnd, m_region, TRUE)) {
            DeleteObject(m_region);
            m_region = nullptr;
        }
    } else {
        MoveWindow(m_hWnd, 0, 0, m_panelRect.right - m_panelRect.left, m_panelRect.bottom - m_panelRect.top, TRUE);
    }
    m_created = true;
}

bool CGUIPanel::OnInitDialog() {
    BuildFromPage();
    return Dialog::OnInitDialog();
}

namespace {
CPopupBox::DamageReport g_damageReport = nullptr;
} // namespace

void CPopupBox::SetDamageReport(DamageReport report) { g_damageReport = report; }

bool CPopupBox::OnInitDialog() {
    // What others reported before is theirs: set aside while this page is read, then put back.
    const std::vector<std::wstring> earlier = TakeUnusableFiles();
    BuildFromPage();
    BindItems();
    m_damaged = TakeUnusableFiles();
    for (const std::wstring& f : earlier) ReportUnusableFile(f);
    if (m_damaged.empty() && !m_pageFile.empty() && !(m_background && *m_background))
        m_damaged.push_back(L"xml\\" + m_pageFile);
    if (!m_damaged.empty()) {
        HWND owner = GetWindow(m_hWnd, GW_OWNER);
        if (g_damageReport) g_damageReport(owner, m_damaged);
        else
            for (const std::wstring& f : m_damaged) ReportUnusableFile(f);
        EndDialog(2);
        return false;
    }
    return Dialog::OnInitDialog();
}

bool CGUIPanel::OnEraseBkgnd(HDC) { return m_created; }

bool CGUIPanel::OnPaint() {
    vt::win::PaintDC dc(m_hWnd);
    if (!m_created) return true;
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    if (!m_background || !*m_background) {
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return true;
    }
    vt::win::MemoryDC mem(dc);
    vt::win::SelectGuard sel(mem, m_background->Get());
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
    return true;
}

void CGUIPanel::OnDestroy() {
    // The bitmaps are shared with the skin store: let go here; the items stay in the list until the panel goes.
    if (m_background) m_background->Reset();
    if (m_mask) {
        m_mask->Reset();
        m_mask->m_handle = nullptr;
    }
    if (m_background) m_background->m_handle = nullptr;
    m_region = nullptr;   // destroyed with the window
    m_created = false;
}

CMemDC::CMemDC(HDC target, const RECT* rect) : m_target(target) {
    m_isMemDC = GetDeviceCaps(target, TECHNOLOGY) != DT_RASPRINTER;
    if (rect) m_rect = *rect;
    else GetClipBox(target, &m_rect);
    if (m_isMemDC) {
        m_dc = CreateCompatibleDC(target);
        RECT dev = m_rect;
        LPtoDP(target, reinterpret_cast<POINT*>(&dev), 2);
        m_bitmap.Reset(CreateDeviceBitmap(target, std::max(1L, dev.right - dev.left), std::max(1L, dev.bottom - dev.top)));
        m_oldBitmap = SelectObject(m_dc, m_bitmap);
        SetMapMode(m_dc, GetMapMode(target));
        SIZE ext;
        GetWindowExtEx(target, &ext);
        SetWindowExtEx(m_dc, ext.cx, ext.cy, nullptr);
        GetViewportExtEx(target, &ext);
        SetViewportExtEx(m_dc, ext.cx, ext.cy, nullptr);
        DPtoLP(target, reinterpret_cast<POINT*>(&dev), 2);
        m_rect = dev;
        SetWindowOrgEx(m_dc, m_rect.left, m_rect.top, nullptr);
    } else {
        m_dc = target;
    }
    vt::win::Brush bk(CreateSolidBrush(GetBkColor(target)));
    FillRect(m_dc, &m_rect, bk);
}

CMemDC::~CMemDC() {
    if (m_isMemDC) {
        BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_dc,
               m_rect.left, m_rect.top, SRCCOPY);
        SelectObject(m_dc, m_oldBitmap);
        DeleteDC(m_dc);
    }
}

} // namespace vt::skin
