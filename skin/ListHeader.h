#pragma once
// Companions of the extended list control: CXHeaderCtrl, the owner-painted column header that the list
// takes over (columns cannot be resized by dragging), and CXComboList, the popup drop-down of a combo
// cell, which talks back to its list with four registered messages.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "win/Window.h"

namespace vt::skin {

struct HDItemEx {
    int32_t a = 0, b = 0, c = -1, d = -1;
};

class CXHeaderCtrl : public vt::win::Window {
public:
    CXHeaderCtrl() = default;
    bool Attach(HWND header);
    int DrawBitmap(HDC dc, RECT r, int item);
    size_t ExtraCount() const { return m_items.size(); }

    BYTE m_doubleBuffer = 1;
    int m_textMargin = 6;
    int m_imageWidth = 0, m_imageHeight = 0;
    std::vector<HDItemEx> m_items;
    COLORREF m_pen1 = 0, m_pen2 = 0xFEFEFE, m_background = 0, m_text = 0xFFFFFF;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc);
};

// The registered messages, registered once for the program.
struct ComboListMessages {
    UINT vkReturn, vkEscape, keyDown, lButtonUp;
};
const ComboListMessages& ComboMessages();

class CXComboList : public vt::win::Window {
public:
    explicit CXComboList(HWND ownerList) : m_ownerList(ownerList) {}
    ~CXComboList() override;
    bool CreateComboList(const RECT& screenRect, HWND parent, HFONT font);
    void ShowComboList();
    HWND ListBox() const { return m_listBox; }
    HWND GetComboScrollBar() const { return m_scrollBar; }
    int FocusLosses() const { return m_focusLosses; }
    std::wstring SelectedText() const;
    int Selection() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    static LRESULT CALLBACK ListBoxProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    bool HandleKey(UINT vk);

    HWND m_listBox = nullptr;
    HWND m_scrollBar = nullptr;
    HWND m_ownerList;
    int m_focusLosses = 0;
    BYTE m_firstShow = 1;
};

} // namespace vt::skin
