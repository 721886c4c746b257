#include "skin/PageReader.h"
#include "skin/CtlBuilders.h"
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include "skin/BitmapBtn.h"
#include "skin/BitmapItem.h"
#include "skin/ItemText.h"
#include "skin/UnusableFiles.h"
#include "skin/KeyboardDef.h"
#include "skin/KeyboardLayout.h"
#include "skin/LangTable.h"
#include "base/ProgramFolder.h"
#include "skin/ScrollBar.h"
#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

namespace vt::skin {

using vt::win::Utf8ToWide;

// ---------------------------------------------------------------------------------------------
// Lexical rules

int ParseNumber(const char* text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n' || *text == '\v' || *text == '\f') ++text;
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') return 0;
    errno = 0;
    long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;   // out-of-range numbers are clamped
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

bool ParseTruth(const char* text) {
    if (!text) return false;
    switch (text[0]) {
    case '1': case 't': case 'T': case 'y': case 'Y': return true;
    default: return false;
    }
}

std::wstring NodeText(pugi::xml_node element) { return Utf8ToWide(element.child_value()); }

std::wstring AttrText(pugi::xml_node element, const char* name) {
    return Utf8ToWide(element.attribute(name).value());
}

namespace {
// The first text of an element: its first PCDATA or CDATA child (empty when it has none).
const char* FirstText(pugi::xml_node element) {
    for (pugi::xml_node n = element.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) return n.value();
    return "";
}
const wchar_t* OverrideText(int controlId, const wchar_t* attribute) {
    if (controlId < 0) return nullptr;
    return static_cast<const wchar_t*>(FindLanguageOverride(controlId, attribute));
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Common attributes

int ReadItemName(pugi::xml_node e) {
    pugi::xml_attribute a = e.attribute("name");
    if (!a) return -1;
    return FindControlIdByName(Utf8ToWide(a.value()));
}

CFontItem* ReadItemFont(pugi::xml_node e, int controlId, const CGUIItems& items) {
    int fontId = -1;
    if (pugi::xml_attribute a = e.attribute("fontid")) fontId = FindControlIdByName(Utf8ToWide(a.value()));
    if (const wchar_t* over = OverrideText(controlId, L"fontid")) {
        int overId = FindControlIdByName(over);
        if (overId != -1) fontId = overId;
    } else if (fontId != -1) {
        int replacement = FindFontSubstitute(fontId);
        if (replacement != 0 && replacement != -1) fontId = replacement;
    }
    if (fontId == -1) return nullptr;
    CGUIItem* item = FindItem(items, fontId);
    if (!item || item->m_kind != kKindFontItem) return nullptr;
    return static_cast<CFontItem*>(item);
}

void ReadRectElement(pugi::xml_node rect, int out[4]) {
    out[0] = out[1] = out[2] = out[3] = 0;
    if (!rect || std::strcmp(rect.name(), "RECT") != 0) return;
    out[0] = ParseNumber(rect.attribute("left").value());
    out[1] = ParseNumber(rect.attribute("top").value());
    out[2] = ParseNumber(rect.attribute("right").value());
    out[3] = ParseNumber(rect.attribute("bottom").value());
}

RECT ReadItemRect(pugi::xml_node e, int controlId) {
    int v[4];
    const void* over = controlId >= 0 ? FindLanguageOverride(controlId, L"RECT") : nullptr;
    if (over) std::memcpy(v, over, sizeof(v));
    else ReadRectElement(e.child("RECT"), v);
    // Width and height are added in 64 bits and clamped, so huge numbers cannot wrap around.
    auto add = [](int a, int b) {
        long long s = static_cast<long long>(a) + b;
        return int(s > INT_MAX ? INT_MAX : s < INT_MIN ? INT_MIN : s);
    };
    return RECT{v[0], v[1], add(v[0], v[2]), add(v[1], v[3])};
}

CBitmap* ReadBitmapChild(pugi::xml_node e, const char* slot) {
    pugi::xml_node child = e.child(slot);
    if (!child) return nullptr;
    return GetSkinBitmap(std::string_view(FirstText(child)));
}

CBitmap* ReadItemBitmap(pugi::xml_node e, int controlId, const char* slot) {
    std::wstring wslot = Utf8ToWide(slot);
    if (const wchar_t* over = OverrideText(controlId, wslot.c_str())) return GetSkinBitmap(std::wstring_view(over));
    return ReadBitmapChild(e, slot);
}

NamedBitmaps ReadBitmapSlots(pugi::xml_node e, const char* const* slots, size_t count) {
    NamedBitmaps out;
    for (size_t i = 0; i < count; ++i) out.emplace_back(slots[i], ReadBitmapChild(e, slots[i]));
    return out;
}

CBitmap* FindNamedBitmap(const NamedBitmaps& bitmaps, const char* slot) {
    for (const auto& [name, bmp] : bitmaps)
        if (_stricmp(name.c_str(), slot) == 0) return bmp;
    return nullptr;
}

bool ReadColorAttribute(pugi::xml_node e, const char* name, COLORREF& target) {
    pugi::xml_attribute a = e.attribute(name);
    if (!a) return false;
    target = COLORREF(FindColorByName(Utf8ToWide(a.value())));
    return true;
}

bool ReadTooltip(pugi::xml_node e, std::wstring& tooltip) {
    pugi::xml_attribute a = e.attribute("tooltip");
    if (!a) return false;
    tooltip = Utf8ToWide(a.value());
    return true;
}

void ReadTooltipWithPrefix(pugi::xml_node e, std::wstring& tooltip, std::wstring& prefix) {
    ReadTooltip(e, tooltip);
    prefix = AttrText(e, "ttprefix");
}

wchar_t ReadTooltipPosition(pugi::xml_node e) {
    const char c = e.attribute("ttpos").value()[0];
    return c == 'R' || c == 'T' || c == 'B' ? wchar_t(c) : L'L';
}

int ReadMultiplier(pugi::xml_node e) {
    pugi::xml_attribute a = e.attribute("multiplier");
    return a ? ParseNumber(a.value()) : 1;
}

int ReadCaseMode(pugi::xml_node e, int controlId) {
    const wchar_t* over = OverrideText(controlId, L"caps");
    const wchar_t c = over ? over[0] : wchar_t(e.attribute("caps").value()[0]);
    return c == L'U' ? kCaseUpper : c == L'L' ? kCaseLower : kCaseAsWritten;
}

wchar_t ReadJustify(pugi::xml_node e) {
    const char c = e.attribute("justify").value()[0];
    return c == 'C' || c == 'R' ? wchar_t(c) : L'L';
}

bool ReadMultiline(pugi::xml_node e, int controlId) {
    if (const wchar_t* over = OverrideText(controlId, L"multiline"))
        return ParseNumber(vt::win::WideToUtf8(over).c_str()) == 1;
    pugi::xml_attribute a = e.attribute("multiline");
    return a && ParseNumber(a.value()) == 1;
}

bool ReadIsCheckbox(pugi::xml_node e) { return ParseTruth(e.attribute("ischeckbox").value()); }

bool ReadInteractive(pugi::xml_node e) {
    pugi::xml_attribute a = e.attribute("interactive");
    return a ? ParseTruth(a.value()) : true;
}

bool ReadDynamic(pugi::xml_node e) {
    pugi::xml_attribute a = e.attribute("dynamic");
    return a ? ParseTruth(a.value()) : true;
}

CBitmapItem* ReadBitmapItemRef(pugi::xml_node e, const char* attribute, const CGUIItems& items) {
    pugi::xml_attribute a = e.attribute(attribute);
    if (!a) return nullptr;
    int id = FindControlIdByName(Utf8ToWide(a.value()));
    if (id == -1) return nullptr;
    CGUIItem* item = FindItem(items, id);
    return item && item->m_kind == kKindBitmapItem ? static_cast<CBitmapItem*>(item) : nullptr;
}

CGUIItem* ReadTrackRef(pugi::xml_node e, const CGUIItems& items) {
    pugi::xml_attribute a = e.attribute("trackid");
    if (!a) return nullptr;
    int id = FindControlIdByName(Utf8ToWide(a.value()));
    if (id == -1) return nullptr;
    CGUIItem* item = FindItem(items, id);
    return item && item->m_kind == kKindSliderTrack ? item : nullptr;
}

int ReadVScroll(pugi::xml_node e, VScrollDescription& d) {
    pugi::xml_node vs = e.child("VSCROLL");
    if (!vs) return 0;
    VScrollDescription r;
    r.top = ReadBitmapChild(vs, "VSBMP_TOP");
    r.bottom = ReadBitmapChild(vs, "VSBMP_BOT");
    r.arrowUp = ReadBitmapChild(vs, "VSBMP_AUP");
    r.arrowDown = ReadBitmapChild(vs, "VSBMP_ADN");
    r.track = ReadBitmapChild(vs, "VSBMP_SPN");
    r.thumb = ReadBitmapChild(vs, "VSBMP_TMB");
    if (!r.thumb) return 0;
    // A negative border would make a negative width: it counts as 0.
    r.borderWidth = std::max(0, ParseNumber(vs.attribute("bdrwidth").value()));
    int widest = 0;
    for (CBitmap* b : {r.top, r.bottom, r.arrowUp, r.arrowDown, r.track, r.thumb})
        if (b) widest = std::max(widest, int(BitmapSize(b->Get()).cx));
    d = r;
    return std::min(r.borderWidth, INT_MAX - widest) + widest;
}

std::unique_ptr<CVScrollBar> CreateItemVScroll(pugi::xml_node e, HWND ownerControl) {
    VScrollDescription description;
    const int width = ReadVScroll(e, description);
    auto bar = std::make_unique<CVScrollBar>(width, ownerControl);
    bar->CreateVScrollBar(description);
    return bar;
}

bool ReadBitmapSet(pugi::xml_node e, int controlId, BitmapSet& set) {
    if (!e.child("SBMN")) return false;
    set.normal = ReadBitmapChild(e, "SBMN");
    set.over = ReadBitmapChild(e, "SBMO");
    set.down = ReadBitmapChild(e, "SBMD");
    set.disabled = ReadBitmapChild(e, "SBMDS");
    set.mask = ReadBitmapChild(e, "SBMM");
    set.rect = ReadItemRect(e, controlId);
    return set.normal != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Lists

unsigned BuildListElements(pugi::xml_node root, const char* listName, const ListElement* elements, size_t count,
                           CGUIItems& items, HWND parent) {
    pugi::xml_node list = root.child(listName);
    if (!list) return 0;
    unsigned seen = 0, built = 0;
    for (size_t i = 0; i < count; ++i) {
        const ListElement& le = elements[i];
        for (pugi::xml_node e = list.child(le.name); e; e = e.next_sibling(le.name)) {
            ++seen;
            if (le.build) {
                if (CGUIItem* item = le.build(e, items, parent)) {
                    items.Add(item);
                    ++built;
                }
            }
            if (le.firstOnly) break;
        }
    }
    return ((seen & 0xFFFF) << 16) | (built & 0xFFFF);
}

namespace {

using ListBuilder = unsigned (*)(pugi::xml_node root, CGUIItems& items, HWND parent);

template <size_t N>
unsigned BuildList(pugi::xml_node root, const char* listName, const ListElement (&elements)[N], CGUIItems& items,
                   HWND parent) {
    return BuildListElements(root, listName, elements, N, items, parent);
}

// Elements whose builder is null belong to controls this build does not have yet: they are skipped.
unsigned BuildFontList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"FONT", &ReadFont, false}};
    return BuildList(root, "FONTLIST", e, items, parent);
}
unsigned BuildBitmapList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"BITMAPITEM", &ReadBitmapItem, false},
                                    {"SLIDERTRACK", &ReadSliderTrack, false},
                                    {"BITMAPWINDOW", &ReadBitmapWindow, false}};
    return BuildList(root, "BITMAPLIST", e, items, parent);
}
unsigned BuildButtonList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"BUTTON", &BuildButton, false},
                                    {"PROFBUTTON", &ReadProfileButton, true},
                                    {"AVIBUTTON", &ReadAviButton, true}};
    return BuildList(root, "BUTTONLIST", e, items, parent);
}
unsigned BuildSliderList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"VSLIDER", &ReadVertSlider, false}, {"HSLIDERM", &ReadMultiSlider, false},
                                    {"HSLIDERMAPM", &ReadApmSlider, false}, {"DMARKER", &ReadLevelMarker, false}};
    return BuildList(root, "SLIDERLIST", e, items, parent);
}
unsigned BuildTextList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"TEXTITEM", &ReadTextItem, false}};
    return BuildList(root, "TEXTLIST", e, items, parent);
}
unsigned BuildDpiStageList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"DPISTAGEWINDOW", &ReadDpiStageWindow, false}};
    return BuildList(root, "DPISTAGELIST", e, items, parent);
}
unsigned BuildMacroDisplayList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"MACRODISPLAY", &ReadMacroDisplay, false}};
    return BuildList(root, "MACRODISPLAYLIST", e, items, parent);
}
unsigned BuildListCtrlList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"LISTCTRL", &ReadListControl, false}, {"COMBO", &ReadComboItem, false},
                                    {"COMBOCOLOR", &ReadComboColorItem, false}};
    return BuildList(root, "LISTLIST", e, items, parent);
}
unsigned BuildListPanelList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"LISTPANEL", &ReadListPanel, false}};
    return BuildList(root, "LISTPANELLIST", e, items, parent);
}
unsigned BuildEditList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    static const ListElement e[] = {{"EDITCTRL", &ReadEditControl, false}, {"EDITCTRLSK", &ReadSingleKeyEdit, false}};
    return BuildList(root, "EDITCTRLLIST", e, items, parent);
}
unsigned BuildKeyboardKeyList(pugi::xml_node root, CGUIItems& items, HWND parent) {
    pugi::xml_node list = root.child("KBDKEYLIST");
    if (!list || !list.child("BUTTONBITMAPS")) return 0;   // without the shared key bitmaps no key is built
    static const ListElement e[] = {{"KBDKEY", &ReadKeyboardKey, false}};
    return BuildList(root, "KBDKEYLIST", e, items, parent);
}

struct ListBuilderEntry {
    const char* label;
    ListBuilder build;
};
// The fixed build order: fonts before anything that shows text, bitmap items before the controls
// that are placed in them.
const ListBuilderEntry ListBuilderTable[] = {
    {"LANGUAGES", &BuildLanguageItems},
    {"KEYBOARD LAYOUTS", &BuildKeyboardLayoutItems},
    {"FONTS", &BuildFontList},
    {"BITMAPS", &BuildBitmapList},
    {"BUTTONS", &BuildButtonList},
    {"SLIDERS", &BuildSliderList},
    {"TEXT ITEMS", &BuildTextList},
    {"DPI STAGE WINDOWS", &BuildDpiStageList},
    {"MACRO DISPLAYS", &BuildMacroDisplayList},
    {"LISTS", &BuildListCtrlList},
    {"LIST PANELS", &BuildListPanelList},
    {"EDIT CONTROLS", &BuildEditList},
    {"KEYBOARD KEYS", &BuildKeyboardKeyList},
};
static_assert(sizeof(ListBuilderTable) / sizeof(ListBuilderTable[0]) == 13);

bool BuildFromDocument(const pugi::xml_document& doc, CGUIItems& items, HWND parent) {
    if (pugi::xml_node root = doc.child("KEYBOARD")) {
        // The keyboard definition must be read before any key is built.
        if (!LoadKeyboardDef(root, parent)) return false;
        return BuildItemLists(root, items, parent);
    }
    if (pugi::xml_node root = doc.child("GUIPANEL")) return BuildPanelBackground(root, items, parent);
    if (pugi::xml_node root = doc.child("ITEMLIST")) return BuildItemLists(root, items, parent);
    return false;
}

constexpr unsigned kParseOptions = pugi::parse_default;

} // namespace

bool BuildItemLists(pugi::xml_node root, CGUIItems& items, HWND parent) {
    for (const ListBuilderEntry& entry : ListBuilderTable) entry.build(root, items, parent);
    return true;
}

bool BuildPanelBitmap(pugi::xml_node root, const char* elementName, CGUIItems& items, HWND parent) {
    pugi::xml_node e = root.child(elementName);
    if (!e) return false;
    const std::string_view file = FirstText(e);
    CBitmap* source = std::strcmp(elementName, "MASK") == 0 ? GetSkinMask(file) : GetSkinBitmap(file);
    if (!source || !*source) return false;
    auto* item = new CPanelBitmap(source->Get());
    item->SetItemFields(FindControlIdByName(Utf8ToWide(elementName)), kKindPanelBitmap, nullptr, parent);
    item->m_handle = item->Get();
    items.Add(item);
    return true;
}

bool BuildPanelBackground(pugi::xml_node root, CGUIItems& items, HWND parent) {
    if (!BuildPanelBitmap(root, "BACKGROUND", items, parent)) return false;
    if (!BuildPanelBitmap(root, "MASK", items, parent)) return false;
    return BuildItemLists(root, items, parent);
}

bool BuildPanelFromXml(const std::wstring& path, CGUIItems* items, HWND parent) {
    if (!items) return false;
    pugi::xml_document doc;
    if (!doc.load_file(path.c_str(), kParseOptions)) return false;   // wide path: any folder name works
    return BuildFromDocument(doc, *items, parent);
}

bool BuildPanelFromXmlBuffer(const void* data, size_t size, CGUIItems* items, HWND parent) {
    if (!items || !data) return false;
    pugi::xml_document doc;
    if (!doc.load_buffer(data, size, kParseOptions)) return false;
    return BuildFromDocument(doc, *items, parent);
}

bool LoadSkinPage(CGUIItems& items, const wchar_t* fileName, HWND parent) {
    if (!fileName) return false;
    if (BuildPanelFromXml(vt::base::ProgramFolder() + L"xml\\" + fileName, &items, parent)) return true;
    ReportUnusableFile(std::wstring(L"xml\\") + fileName);
    return false;
}

HBITMAP PageBackground(const wchar_t* fileName) {
    if (!fileName) return nullptr;
    pugi::xml_document doc;
    if (!doc.load_file((vt::base::ProgramFolder() + L"xml\\" + fileName).c_str(), kParseOptions)) return nullptr;
    pugi::xml_node e = doc.child("GUIPANEL").child("BACKGROUND");
    if (!e) return nullptr;
    // What others reported is theirs; what this lookup finds unusable the page's reading reports.
    const std::vector<std::wstring> earlier = TakeUnusableFiles();
    CBitmap* bitmap = GetSkinBitmap(std::string_view(FirstText(e)));
    TakeUnusableFiles();
    for (const std::wstring& f : earlier) ReportUnusableFile(f);
    return bitmap && *bitmap ? bitmap->Get() : nullptr;
}

bool CGUIItems::LoadSkinPage(const wchar_t* fileName, HWND parent) {
    return vt::skin::LoadSkinPage(*this, fileName, parent);
}

} // namespace vt::skin
