#pragma once
// Private messages by which skinned controls report to their owner (or parent) window.
#include <windows.h>

namespace vt::skin {

constexpr UINT WM_SLIDER_VALUE_SET = WM_USER + 70;       // a slider value was committed
constexpr UINT WM_SLIDER_VALUE_CHANGING = WM_USER + 71;  // a slider value changed during a drag
constexpr UINT WM_SLIDER_TRACK_CLICKED = WM_USER + 72;   // left button released on a slider track
constexpr UINT WM_SLIDER_THUMB_MOVED_X = WM_USER + 73;   // a horizontal thumb moved
constexpr UINT WM_SLIDER_THUMB_MOVED_Y = WM_USER + 74;   // a vertical thumb moved
constexpr UINT WM_MARKER_MOVED = WM_USER + 90;           // a marker drag finished
constexpr UINT WM_EDIT_ITEM_CHANGED = WM_USER + 200;     // the text of an edit item changed
constexpr UINT WM_PALETTE_COLOR_PICKED = WM_USER + 220;  // a colour was picked (or previewed)
constexpr UINT WM_PALETTE_CLOSED = WM_USER + 221;        // the palette closed keeping a colour
constexpr UINT WM_PALETTE_CUSTOM_COLOR = WM_USER + 222;  // the custom colour choice was made
constexpr UINT WM_COLOR_BUTTON_CHANGED = WM_USER + 223;  // a colour button got a new final colour
constexpr UINT WM_XLIST_APP_CHANGED = WM_USER + 301;     // a row's linked program was set or cleared
constexpr UINT WM_XLIST_CELL_CLICKED = WM_USER + 302;    // a cell with a control was clicked
constexpr UINT WM_LISTPANEL_DONE = WM_USER + 304;        // a list panel choice was made or cancelled
constexpr UINT WM_DPI_STAGE_SELECTED = WM_USER + 500;    // a DPI stage window was clicked
constexpr UINT WM_APM_STAGE_CLICKED = WM_USER + 502;     // the lighting slider track was clicked
constexpr UINT WM_XLIST_ROW_CLICKED = WM_USER + 508;     // a list row was clicked
constexpr UINT WM_XLIST_SUBITEM_DBLCLK = WM_USER + 516;  // a list cell was double clicked
constexpr UINT WM_XLIST_CELL_CHOICE = WM_USER + 520;     // a value was chosen for a list cell
constexpr UINT WM_XLIST_EDIT_END = WM_USER + 521;        // an in-place cell edit ended
constexpr UINT WM_DROPDOWN_SELCHANGE = WM_USER + 532;    // a drop-down entry was chosen
constexpr UINT WM_LISTPANEL_SELCHANGE = WM_USER + 533;   // a list panel row was selected
constexpr UINT WM_DROPDOWN_OPENING = WM_USER + 564;      // a drop-down is about to open its list
constexpr UINT WM_MACRO_EVENTS_CHANGED = WM_USER + 700;  // the macro event list was edited
constexpr UINT WM_MACRO_EDIT_KEY = WM_USER + 701;        // "$Edit" was chosen on a key row
constexpr UINT WM_KEY_ITEM_HOVER = WM_USER + 800;        // the mouse moved over an on-screen key
constexpr UINT WM_KEY_ITEM_PRESSED = WM_USER + 801;      // left button down on an on-screen key

} // namespace vt::skin
