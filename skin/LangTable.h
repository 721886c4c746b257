#pragma once
// Language tables: every text a skinned control shows passes through the table of the selected
// language. A text beginning with "$" is a key whose value is shown, one beginning with "#" a key
// prefix; any other text is shown as written. A table also carries per-language overrides of item
// attributes (rectangles, bitmaps, fonts, case and multi-line modes, list column widths) and a font
// substitution map.
//
// "Language.xml" (list LANGLIST) names one language text file of "lang\" per language:
//   <LANG name="LANGUAGE_DEFAULT" file="English.txt">
//     <LANGFONT fontsearch="FONT_ARIAL12" fontreplace="FONT_ARIAL14"/>
//     <LANGOVERRIDECOL name="LCITEM_PROFILENAME" width="140"/>
//     <LANGOVERRIDE name="BUTTON_OK" caps="U"/>
//     <LANGOVERRIDE name="BUTTON_OK"><RECT left="1" top="2" right="30" bottom="20"/></LANGOVERRIDE>
//     <LANGOVERRIDE name="BUTTON_OK"><SBMN>ok_de.bmp</SBMN></LANGOVERRIDE>
//   </LANG>
// Language text file: UTF-16 little-endian; lines end at a carriage return (CR LF in practice; a
// line feed alone does not end a line) and empty lines do not count. Lines 0 and 1 are headers; then
// key and value lines alternate until a line "END OF FILE". Spaces in keys are ignored by lookups.
//
// GUI thread only.
#include <windows.h>
#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skin/GuiItem.h"

namespace vt::skin {

// One attribute override of an item (column id -1) or of a list column (item id -1).
struct LangOverride {
    int32_t itemId = -1;
    int32_t columnId = -1;
    std::wstring attribute;     // "width", "caps", "RECT", "SBMN" ...
    std::vector<uint8_t> data;  // a wide text with its terminating zero, or for a RECT four int32
    bool isRect = false;        // data holds the four numbers of a RECT child
};

// The table of one language (kind 13, control id 544..559 from its element's "name").
class CLangTable : public CGUIItem {
public:
    CLangTable() = default;
    ~CLangTable() override;  // leaves the language map and stops being the current table

    std::vector<std::pair<std::wstring, std::wstring>> m_texts;  // (key, value), file order
    HKL m_keyboardLayout = nullptr;   // never set: key-name lookups pass it on as "none"
    int32_t m_pairCount = 0;
    std::map<int32_t, int32_t> m_fontSubstitutions;  // font control id -> font control id to use
    std::vector<LangOverride> m_overrides;           // in the order read

    // The keys as lookups compare them: spaces dropped, cut to 59 characters, case folded.
    std::vector<std::wstring> m_lookupKeys;
};

// Parses a language text file (size in bytes) into the table's texts; true when at least one pair
// was read. Never reads past size; a trailing odd byte is ignored.
bool LoadLanguageText(const void* data, int64_t size, CLangTable& table);
// The value of a "$" key or "#" prefix of the table (true), or the text unchanged (false). With no
// table the text is unchanged as well.
bool ResolveText(const CLangTable* table, std::wstring_view text, std::wstring& out);
// The data of the first item override of itemId whose attribute equals the argument (without
// regard to case), or null. "RECT" finds only rectangle records (16 bytes, four int32: left, top,
// right, bottom as written) and every other attribute only text records (zero-terminated), so a
// text written as an attribute named "rect" is never read as four numbers. size (optional)
// receives the number of bytes.
const void* GetLayoutValue(const CLangTable* table, int32_t itemId, std::wstring_view attribute,
                           size_t* size = nullptr);
// The width text of the first column override of columnId, or null.
const wchar_t* GetLangOverrideWidth(const CLangTable* table, int32_t columnId);
// Appends an item override with copies of the attribute name and data.
void AddLangOverride(CLangTable& table, int32_t itemId, std::wstring_view attribute, const void* data,
                     size_t size);
// The font id to use instead of fontId, or -1 when the table has none.
int32_t FindLangFontSubstitute(const CLangTable* table, int32_t fontId);

// Builds one table from a LANG element; null when "name" gives no control id or the language text
// file has no data.
CLangTable* ReadLanguageItem(pugi::xml_node element, HWND owner);
// List builder of "LANGUAGES": builds the LANG elements of the root's LANGLIST that belong to the
// selected language, and those of the default language (the fallback when the selected one has no
// table), appends them to the item list and enters them in the language map (a later element for
// the same id replaces an earlier one). Returns (seen << 16) | built.
unsigned BuildLanguageItems(pugi::xml_node root, CGUIItems& items, HWND owner);

// The selected language id: 544 until start-up sets it. An id outside 544..559 (a registry name
// without a row gives -1) selects the default language 544, so that an unknown "Language" value
// still shows the default texts.
int32_t SelectedLanguageId();
void SetSelectedLanguageId(int32_t languageId);
// The language id for the registry value "Language": the default language when the value could
// not be read (null) or names no language.
int32_t LanguageIdFromName(const wchar_t* registryName);

// Language id -> table, filled by BuildLanguageItems (tables are owned by their item list).
std::map<int32_t, CLangTable*>& LanguageMap();
// Makes the map's table of the selected id current; when the map has none for it, the default
// language's table; null when neither exists. Returns the new current table.
CLangTable* SelectCurrentLanguageTable();
// The current language table, or null.
CLangTable* CurrentLanguageTable();
void SetCurrentLanguageTable(CLangTable* table);

} // namespace vt::skin
