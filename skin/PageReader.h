#pragma once
// The page reader: builds the skinned controls of a page file ("xml\" folder of the program) into a
// page's item list, creating their windows in the window that loads the page.
//
// Roots: KEYBOARD (keyboard definition first), GUIPANEL (BACKGROUND, MASK, then the lists) and
// ITEMLIST (the lists). The thirteen list builders run in a fixed order on the root; each builds
// the elements of its list element by element name, then in document order.
#include <windows.h>
#include <pugixml.hpp>
#include <memory>
#include <string>
#include <vector>
#include "skin/BitmapHelpers.h"
#include "skin/GuiItem.h"

namespace vt::skin {

class CFontItem;
class CBitmapItem;
class CVScrollBar;

// Reads the program folder + "xml\" + fileName into items (see CGUIItems::LoadSkinPage).
bool LoadSkinPage(CGUIItems& items, const wchar_t* fileName, HWND parent);
// The background bitmap a panel page in "xml\" names, from the skin store (shared, never to be
// deleted); null when the page or its background cannot be used. Reports nothing: reading the
// page itself does.
HBITMAP PageBackground(const wchar_t* fileName);
// The reader's entry: false when items is null, the file cannot be read or is not well-formed, or
// it has none of the three roots. Items built before a failure stay in the list.
bool BuildPanelFromXml(const std::wstring& path, CGUIItems* items, HWND parent);
// The same over a document already in memory (the file's bytes).
bool BuildPanelFromXmlBuffer(const void* data, size_t size, CGUIItems* items, HWND parent);
bool BuildPanelBackground(pugi::xml_node root, CGUIItems& items, HWND parent);
bool BuildItemLists(pugi::xml_node root, CGUIItems& items, HWND parent);
bool BuildPanelBitmap(pugi::xml_node root, const char* elementName, CGUIItems& items, HWND parent);

// An element builder: returns the new item (already carrying its item fields) or null.
using ElementBuilder = CGUIItem* (*)(pugi::xml_node element, CGUIItems& items, HWND parent);
// Builds, within root's first child named listName, every child of each name in turn (document
// order); firstOnly names build their first child only. Returns (seen << 16) | built.
struct ListElement {
    const char* name;
    ElementBuilder build;   // null: this build has no control for the element; it is skipped
    bool firstOnly;
};
unsigned BuildListElements(pugi::xml_node root, const char* listName, const ListElement* elements, size_t count,
                           CGUIItems& items, HWND parent);

// Lexical rules of page files.
int ParseNumber(const char* text);                 // decimal from the start, blanks and sign; 0 otherwise
bool ParseTruth(const char* text);                 // first character 1, t, T, y or Y
std::wstring NodeText(pugi::xml_node element);     // the element's own text, UTF-8 to wide
std::wstring AttrText(pugi::xml_node element, const char* name);

// Common attributes and children. controlId is the element's own id, for the language overrides.
int ReadItemName(pugi::xml_node e);                                   // -1: absent or unknown
CFontItem* ReadItemFont(pugi::xml_node e, int controlId, const CGUIItems& items);
RECT ReadItemRect(pugi::xml_node e, int controlId);
void ReadRectElement(pugi::xml_node rect, int out[4]);                // left, top, width, height
CBitmap* ReadItemBitmap(pugi::xml_node e, int controlId, const char* slot);
CBitmap* ReadBitmapChild(pugi::xml_node e, const char* slot);
using NamedBitmaps = std::vector<std::pair<std::string, CBitmap*>>;
NamedBitmaps ReadBitmapSlots(pugi::xml_node e, const char* const* slots, size_t count);
CBitmap* FindNamedBitmap(const NamedBitmaps& bitmaps, const char* slot);
// Sets target from a colour attribute when present (an unknown colour name gives -1); else keeps it.
bool ReadColorAttribute(pugi::xml_node e, const char* name, COLORREF& target);
bool ReadTooltip(pugi::xml_node e, std::wstring& tooltip);            // false: no tooltip
void ReadTooltipWithPrefix(pugi::xml_node e, std::wstring& tooltip, std::wstring& prefix);
wchar_t ReadTooltipPosition(pugi::xml_node e);                        // 'R', 'T', 'B' or 'L'
int ReadMultiplier(pugi::xml_node e);                                 // 1 when absent
int ReadCaseMode(pugi::xml_node e, int controlId);
wchar_t ReadJustify(pugi::xml_node e);                                // 'C', 'R' or 'L'
bool ReadMultiline(pugi::xml_node e, int controlId);
bool ReadIsCheckbox(pugi::xml_node e);                                // false when absent
bool ReadInteractive(pugi::xml_node e);                               // true when absent
bool ReadDynamic(pugi::xml_node e);                                   // true when absent
CBitmapItem* ReadBitmapItemRef(pugi::xml_node e, const char* attribute, const CGUIItems& items);
CGUIItem* ReadTrackRef(pugi::xml_node e, const CGUIItems& items);     // a slider track (kind 25)

// A scroll bar's bitmaps and border width (VSCROLL child).
struct VScrollDescription {
    CBitmap* top = nullptr;
    CBitmap* bottom = nullptr;
    CBitmap* arrowUp = nullptr;
    CBitmap* arrowDown = nullptr;
    CBitmap* track = nullptr;
    CBitmap* thumb = nullptr;
    int borderWidth = 0;
};
// Width of the scroll bar: 0 and an empty description without VSCROLL or without a thumb.
int ReadVScroll(pugi::xml_node e, VScrollDescription& description);

// The scroll bar of a control whose element has a VSCROLL child: always made (of width 0 and
// without bitmaps when the thumb is missing), owned by the control, handed its description.
std::unique_ptr<CVScrollBar> CreateItemVScroll(pugi::xml_node e, HWND ownerControl);

// A key's bitmap set (BMPINFO): five bitmaps and a rectangle.
struct BitmapSet {
    CBitmap* normal = nullptr;
    CBitmap* over = nullptr;
    CBitmap* down = nullptr;
    CBitmap* disabled = nullptr;
    CBitmap* mask = nullptr;
    RECT rect{};
};
// True only when the SBMN bitmap was loaded; without SBMN the other slots are not read.
bool ReadBitmapSet(pugi::xml_node e, int controlId, BitmapSet& set);

} // namespace vt::skin
