#pragma once
// Text controls of the pages: CTextItem (owner-drawn label, optionally linked to a check button),
// CEditItem (edit box inside its own frame, optionally digits only, reports changes with
// WM_EDIT_ITEM_CHANGED) and CEditItemSingleKeyInput (shows the name of the last key pressed or released).
#include <windows.h>
#include <string>
#include "skin/BitmapBtn.h"
#include "skin/BitmapItem.h"
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "skin/KeyEvents.h"
#include "win/Window.h"

namespace vt::skin {

// Has the parent repaint (with erase) the area under the item, at once.
void InvalidateParentArea(HWND item);

class CTextItem : public vt::win::Window, public CGUIItem {
public:
    CTextItem(const wchar_t* text, int caseMode) { StoreText(text, caseMode); }
    ~CTextItem() override = default;

    bool CreateText(DWORD style, const RECT& rect, HWND parent, int controlId);
    void SetItemText(const wchar_t* text, int caseMode);
    std::wstring GetText() const { return m_text; }
    void SetHover(bool on);
    void SetToolTipText(const wchar_t* text) { if (text) m_tooltip.SetText(m_hWnd, FlattenBreaks(ResolveControlText(text))); }
    // The colour the text is drawn in now.
    COLORREF CurrentColour() const;

    CtlToolTip m_tooltip;
    int m_unused1 = 0, m_unused2 = 0;
    std::wstring m_text;
    UINT m_format = 0;
    CFontItem* m_font = nullptr;
    BYTE m_hover = 0;
    BYTE m_disabled = 0;
    CBitmapBtn* m_linkedButton = nullptr;
    COLORREF m_normalColour = 0, m_hoverColour = 0, m_disabledColour = 0;

protected:
    void StoreText(const wchar_t* text, int caseMode);
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnEraseBkgnd(HDC) override { return true; }
    bool OnMouseMove(UINT keys, POINT pt) override;
    bool OnCaptureChanged(HWND gaining) override;
    bool OnLButtonDown(UINT keys, POINT pt) override;
    bool OnLButtonUp(UINT keys, POINT pt) override;
    HWND OwnerOrParent() const;
};

class CEditItem : public vt::win::Window, public CGUIItem {
public:
    CEditItem() = default;
    ~CEditItem() override;

    // The frame is made at the rectangle widened by the border width; the edit fills its inside.
    bool CreateInFrame(DWORD style, const RECT& rect, HWND parent, int controlId);
    void SetToolTipText(const wchar_t* text) { if (text) m_tooltip.SetText(m_hWnd, FlattenBreaks(ResolveControlText(text))); }
    std::wstring Text() const;

    CtlToolTip m_tooltip;
    CGenericPanel* m_frame = nullptr;
    CFontItem* m_font = nullptr;
    COLORREF m_textColour = 0xFFFFFF, m_hoverTextColour = 0, m_backColour = 0, m_hoverBackColour = 0xFFFFFF,
             m_borderColour = 0xFFFFFF, m_disabledBackColour = 0, m_disabledBorderColour = 0, m_disabledTextColour = 0;
    BYTE m_digitsOnly = 0;
    int m_borderWidth = 1;
    vt::win::Brush m_backBrush;

protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnEraseBkgnd(HDC) override { return false; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class CEditItemSingleKeyInput : public CEditItem {
public:
    CEditItemSingleKeyInput() = default;
    ~CEditItemSingleKeyInput() override;

    // Shows the key's name in place of the whole text.
    void ShowKey(const KeyEventRecord& key);
    // Feeds one raw keyboard record (as WM_INPUT does).
    void OnRawKeyboard(const RAWKEYBOARD& raw);
    bool IsListening() const { return m_registered; }

    KeyEventRecord m_key;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void StartListening();
    void StopListening();
    bool m_registered = false;
};

} // namespace vt::skin
