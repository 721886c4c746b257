#pragma once
// Windows built from page files: CGUIPanel (a dialog whose look is its BACKGROUND bitmap and whose
// outline is cut from its MASK bitmap, with the page's controls), CPopupBox (the modal popup form:
// result 1 = OK, 2 = Cancel) and CMemDC (an off-screen DC copied to its target when it goes).
#include <windows.h>
#include <string>
#include <vector>
#include "skin/BitmapHelpers.h"
#include "skin/GuiItem.h"
#include "win/Dialog.h"

namespace vt::skin {

// Resource id of the popups' empty dialog template (a program may hold it; else a built-in
// template of the same shape is used).
constexpr UINT kPopupTemplateId = 129;

class CGUIPanel : public vt::win::Dialog {
public:
    // A panel described by a page file in "xml\".
    CGUIPanel(const std::wstring& pageFile, UINT templateId, HWND parent);
    // A panel without a page, of the given rectangle.
    CGUIPanel(HWND parent, const RECT& rect, UINT templateId);
    ~CGUIPanel() override;

    // Runs the panel modally (1 = OK, 2 = Cancel, -1 when it could not be made).
    INT_PTR DoModal();
    // Creates it modeless.
    bool CreatePanel();

    // After the page has been built: the derived class finds its controls and checks their kinds.
    virtual void BindItems() = 0;

    CGUIItems& Items() { return m_items; }
    const RECT& PanelRect() const { return m_panelRect; }
    bool IsCreated() const { return m_created; }
    CPanelBitmap* Background() const { return m_background; }
    CPanelBitmap* Mask() const { return m_mask; }
    HRGN WindowRegion() const { return m_region; }

protected:
    bool OnInitDialog() override;
    bool OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnDestroy() override;
    // Builds the page's controls and shapes the window (the work of window creation).
    void BuildFromPage();

    HWND m_parent;
    std::wstring m_pageFile;
    CPanelBitmap* m_background = nullptr;
    CPanelBitmap* m_mask = nullptr;
    HRGN m_region = nullptr;   // belongs to the window once set
    CGUIItems m_items;
    RECT m_panelRect{};
    bool m_created = false;
    // Set by a panel shown before its page is built: the page sizes the window and leaves it where it is.
    bool m_keepPlace = false;
    UINT m_templateId;
};

// A popup whose page file or bitmaps cannot be used is never shown half-built: it names the files
// through the damage report (the program sets one) and closes at once with 2, as if cancelled.
class CPopupBox : public CGUIPanel {
public:
    using CGUIPanel::CGUIPanel;
    void BindItems() override {}
    // Tells the user which files a popup could not use (owner: the popup's owner window). Without
    // one, the files stay reported (skin/UnusableFiles.h) for whoever asks next.
    using DamageReport = void (*)(HWND owner, const std::vector<std::wstring>& files);
    static void SetDamageReport(DamageReport report);
    // The files this popup could not use; empty when it was built whole.
    const std::vector<std::wstring>& DamagedFiles() const { return m_damaged; }
protected:
    bool OnInitDialog() override;
private:
    std::vector<std::wstring> m_damaged;
};

class CMemDC {
public:
    // rect null: the target's clip box.
    CMemDC(HDC target, const RECT* rect = nullptr);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    bool IsMemoryDC() const { return m_isMemDC; }
private:
    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = nullptr;
    HDC m_target;
    HDC m_dc = nullptr;
    RECT m_rect{};
    bool m_isMemDC;
};

} // namespace vt::skin
