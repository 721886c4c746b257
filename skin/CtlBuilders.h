#pragma once
// Element builders of the skinned controls, called by the page reader's lists.
#include <pugixml.hpp>
#include "skin/GuiItem.h"

namespace vt::skin {

CGUIItem* ReadSliderTrack(pugi::xml_node e, CGUIItems& items, HWND parent);     // SLIDERTRACK
CGUIItem* ReadVertSlider(pugi::xml_node e, CGUIItems& items, HWND parent);      // VSLIDER
CGUIItem* ReadMultiSlider(pugi::xml_node e, CGUIItems& items, HWND parent);     // HSLIDERM
CGUIItem* ReadLevelMarker(pugi::xml_node e, CGUIItems& items, HWND parent);     // DMARKER
CGUIItem* ReadApmSlider(pugi::xml_node e, CGUIItems& items, HWND parent);       // HSLIDERMAPM
CGUIItem* ReadDpiStageWindow(pugi::xml_node e, CGUIItems& items, HWND parent);  // DPISTAGEWINDOW
CGUIItem* ReadTextItem(pugi::xml_node e, CGUIItems& items, HWND parent);        // TEXTITEM
CGUIItem* ReadEditControl(pugi::xml_node e, CGUIItems& items, HWND parent);     // EDITCTRL
CGUIItem* ReadSingleKeyEdit(pugi::xml_node e, CGUIItems& items, HWND parent);   // EDITCTRLSK
CGUIItem* ReadListPanel(pugi::xml_node e, CGUIItems& items, HWND parent);       // LISTPANEL
CGUIItem* ReadComboItem(pugi::xml_node e, CGUIItems& items, HWND parent);       // COMBO
CGUIItem* ReadComboColorItem(pugi::xml_node e, CGUIItems& items, HWND parent);  // COMBOCOLOR
CGUIItem* ReadListControl(pugi::xml_node e, CGUIItems& items, HWND parent);     // LISTCTRL
CGUIItem* ReadMacroDisplay(pugi::xml_node e, CGUIItems& items, HWND parent);    // MACRODISPLAY
CGUIItem* ReadKeyboardKey(pugi::xml_node e, CGUIItems& items, HWND parent);     // KBDKEY
CGUIItem* ReadProfileButton(pugi::xml_node e, CGUIItems& items, HWND parent);   // PROFBUTTON
CGUIItem* ReadAviButton(pugi::xml_node e, CGUIItems& items, HWND parent);       // AVIBUTTON

} // namespace vt::skin

namespace vt::skin {
// ShowItem's part for the controls whose item owns more than one window (frames, scroll bars, inline lists,
// slider tracks). True when the item was handled.
bool ShowControlWindows(CGUIItem* item, int showCommand);
} // namespace vt::skin
