#pragma once
// The macro editor list (page element MACRODISPLAY): one row per macro event (key press, key release, mouse
// button, delay), recorded from raw keyboard and mouse input with their timing, edited through context
// menus (insert and edit delays, delete events, ask the owner to edit a key event). Reports to its owner
// (SendMessage, wParam 0, lParam control id): WM_MACRO_EVENTS_CHANGED after an edit, WM_MACRO_EDIT_KEY when
// "$Edit" is chosen on a key row.
#include <windows.h>
#include <commctrl.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "profile/Macro.h"
#include "skin/BitmapItem.h"
#include "skin/CtlCommon.h"
#include "skin/GuiItem.h"
#include "skin/KeyEvents.h"
#include "skin/ListPanel.h"
#include "skin/ScrollBar.h"
#include "win/Window.h"

namespace vt::skin {

enum MacroRowKind : int { kRowKeyPress = 0, kRowKeyRelease = 1, kRowDelay = 2, kRowMouse = 4 };
constexpr int kMacroColumnIcon = 5;         // LCITEM_MCREVENT_ICON
constexpr int kMacroColumnDescription = 6;  // LCITEM_MCREVENT_DESCRIP

// The text key of a mouse button code ("<null>" for codes outside the table).
const wchar_t* MouseButtonNameKey(int code);

class CMacroDisplayItem : public vt::win::Window, public CGUIItem {
public:
    struct Column { int cellKind; int position; wchar_t justify; };

    CMacroDisplayItem(int maxValue, bool readOnly) : m_max(maxValue), m_readOnly(readOnly ? 1 : 0) {}
    ~CMacroDisplayItem() override;

    bool CreateMacroList(const RECT& rect, HWND parent, int controlId, int borderWidth, const VScrollDescription* scroll,
                         int scrollWidth);
    bool AddMacroColumn(int columnId, int cellKind, wchar_t justify, int width);
    void SetEventBitmaps(const CBitmap* const bitmaps[6]);
    bool LoadEvents(const std::vector<MacroEvent>* events);
    void ClearEvents();
    // The new recording flag; false without change when read-only or when raw input cannot be registered.
    bool ToggleRecording();
    bool ReplaceEventAt(int index, const MacroEvent& event);
    void RunMacroCommand(const std::wstring& name);
    // One raw input record, as WM_INPUT delivers it while recording.
    void ProcessRawInput(const RAWINPUT& input);
    bool BeginDelayEdit();
    void EndDelayEdit(bool confirmed);
    std::wstring RowText(int row) const;
    int RowKind(int row) const;
    int RowCount() const;
    int FirstSelected() const;
    void SelectRow(int row);
    bool IsRecording() const { return m_recording != 0; }
    bool IsEditingDelay() const { return m_editingDelay != 0; }
    HWND DelayEditor() const { return m_editor.Hwnd(); }
    CVScrollBar* ScrollBar() { return m_scrollBar.get(); }
    HWND Frame() const { return m_frame ? m_frame->Hwnd() : nullptr; }
    static std::wstring DelayText(int milliseconds);

    const std::vector<MacroEvent>& Events() const { return m_events; }

    // Owner settings.
    CListPanelItem* m_keyMenu = nullptr;
    CListPanelItem* m_delayMenu = nullptr;
    CListPanelItem* m_mouseMenu = nullptr;
    BYTE m_noDelays = 0, m_fixedDelayOn = 0;
    int m_fixedDelay = 50;
    HWND m_captureWindow = nullptr;
    // Seams for tests: the clock and the context menu.
    DWORD (*m_now)() = nullptr;
    int (*m_runMenu)(HWND list, CListPanelItem& menu, POINT clientPoint) = nullptr;

    std::map<int, Column> m_columns;
    CBitmap m_rowBitmaps[6];
    HIMAGELIST m_images = nullptr;
    CtlToolTip m_tooltip;
    CFontItem* m_font = nullptr;
    COLORREF m_textColour = 0xFFFFFF, m_selTextColour = 0, m_backColour = 0, m_selBackColour = 0xFFFFFF,
             m_borderColour = 0xFFFFFF;
    int m_borderWidth = 1, m_rowHeight = 16, m_leftMargin = 0;
    std::unique_ptr<CGenericPanel> m_frame;
    std::unique_ptr<CVScrollBar> m_scrollBar;
    KeyEventRecord m_lastKey;
    int m_lastButton = 0;
    uint8_t m_lastTransition = 0;
    std::vector<MacroEvent> m_events;
    int m_max;
    // Keys pressed and not yet released while recording: make code and E0 flag.
    std::vector<std::pair<uint16_t, bool>> m_heldKeys;
    BYTE m_recording = 0, m_readOnly, m_editingDelay = 0;
    DWORD m_lastEventTime = 0;

protected:
    int m_paintSelected = -1;
    bool AddRow(const MacroEvent& event, bool repaint, int index, bool select = true);
    void RecordEvent(const MacroEvent& event);
    void RecordDelay();
    bool IsRepeatedKey(const RAWKEYBOARD& k);
    void Notify(UINT msg);
    DWORD Now() const { return m_now ? m_now() : GetTickCount(); }
    void DrawRow(HDC dc, int row);
    void OnRight(POINT pt);
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    class DelayEdit : public vt::win::Window {
    public:
        CMacroDisplayItem* owner = nullptr;
    protected:
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    };
    DelayEdit m_editor;
    int m_editRow = -1;
};

} // namespace vt::skin
