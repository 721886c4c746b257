#pragma once
// The vocabulary: fixed tables that turn the words of the skin files, the language files and the
// assignment model into numbers and back (control names, action names, help-text keys, short key
// names, colours, language names, list columns, cell kinds, keyboard layout codes).
//
// Both GUI programs call BuildVocabularyTables once at start-up, before any page, language file or
// keyboard layout file is read; the tables are empty until then and never change afterwards.
// Names beginning with "$" are language keys, resolved through the current language table.
// Built and read on the GUI thread only.
#include <cstdint>
#include <map>
#include <string_view>

#include "skin/VocabularyIds.h"

namespace vt::skin {

// Every table maps a signed 32-bit key to a constant wide text that lives for the whole run
// (the layout-code table maps to a control id instead). Iteration runs in ascending key order.
using VocabTable = std::map<int32_t, const wchar_t*>;

enum class Vocab {
    KeyCombos,        // 1..17 -> "$cut" .. "$zoomout" (the key combinations of base/KeyCombos.h)
    Actions,          // action id 0..63 -> "$..." (the kind of an assignment record)
    KeyboardHelp,     // action id -> help line key on the keyboard pages (5 rows)
    MouseHelp,        // action id 0..63 -> help line key on the mouse pages
    Controls,         // control id 0..985 -> skin element name (979 rows)
    ShortKeyNames,    // virtual key -> short display name
    Colors,           // COLORREF (0x00BBGGRR) -> colour name
    Languages,        // language id 544..559 -> name held by the registry value "Language"
    ListColumns,      // list column id 0..6 -> "LCITEM_..."
    ControlKinds,     // list control cell kinds 0..5 ("ICON" .. "FILEDIALOG")
    CellKinds,        // macro display cell kinds 0..1 ("ICON", "STATIC")
};

// Language ids: 544..559, 544 being the default language.
constexpr int32_t kFirstLanguageId = 544;
constexpr int32_t kLastLanguageId = 559;
constexpr int32_t kDefaultLanguageId = 544;
// Keyboard layout control ids (elements KBLAYOUT_...): 561..576, 561 being English.
constexpr int32_t kFirstKeyboardLayoutId = 561;
constexpr int32_t kLastKeyboardLayoutId = 576;
constexpr int32_t kDefaultKeyboardLayoutId = 561;

// Fills every table. Running it again refills the same content.
void BuildVocabularyTables();

// Read access to a whole table (empty before BuildVocabularyTables).
const VocabTable& VocabularyTable(Vocab table);
// Keyboard layout code reported by the keyboard -> keyboard layout control id (561..576).
const std::map<int32_t, int32_t>& KeyboardLayoutCodeTable();

// Searches by name: the smallest key whose name equals the argument, compared without regard to
// case over whole strings; -1 when no row matches.
int32_t FindKeyComboIdByName(std::wstring_view name);
int32_t FindActionIdByName(std::wstring_view name);
int32_t FindControlIdByName(std::wstring_view name);
int32_t FindColorByName(std::wstring_view name);          // COLORREF; "BLACK" gives 0, -1 is "none"
int32_t FindLanguageIdByName(std::wstring_view name);
int32_t FindControlKindByName(std::wstring_view name);
int32_t FindCellKindByName(std::wstring_view name);
int32_t FindListColumnIdByName(std::wstring_view name);

// The element name of a control id, or null when the id has no row.
const wchar_t* FindControlNameById(int32_t id);
// Keyboard layout control id (561..576) of a layout code, or -1 when the code has no row.
int32_t FindKeyboardLayoutControlId(int32_t code);

// Reading by key: null when the key has no row; reading never adds a row.
const wchar_t* GetKeyComboName(int32_t id);
const wchar_t* GetActionName(int32_t actionId);
const wchar_t* GetKeyboardHelpText(int32_t actionId);
const wchar_t* GetMouseHelpText(int32_t actionId);
const wchar_t* GetShortKeyName(int32_t virtualKey);
const wchar_t* GetLanguageName(int32_t languageId);
const wchar_t* GetListColumnName(int32_t columnId);

} // namespace vt::skin
