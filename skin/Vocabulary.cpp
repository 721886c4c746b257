#include "skin/Vocabulary.h"

#include <iterator>

#include "base/KeyCombos.h"
#include "skin/VocabularyData.h"

namespace vt::skin {
namespace {

using detail::VocabRow;

// Assignment actions by action id (kind 64, the unassigned slot, has no name).
const wchar_t* const kActionNames[64] = {
    L"$defaultkey",            // 0
    L"$LeftClick",             // 1
    L"$RightClick",            // 2
    L"$universalscrolling",    // 3
    L"$Double-Click",          // 4
    L"$SingleKey",             // 5
    L"$macro",                 // 6
    L"$macro",                 // 7
    L"$buttonoff",             // 8
    L"$advanced",              // 9
    L"$on-the-flysensitivity", // 10
    L"$button4",               // 11
    L"$button5",               // 12
    L"$SensitivityStageUp",    // 13
    L"$SensitivityStageDown",  // 14
    L"$SensitivityStages",     // 15
    L"$dpistage1",             // 16
    L"$dpistage2",             // 17
    L"$dpistage3",             // 18
    L"$dpistage4",             // 19
    L"$dpistage5",             // 20
    L"$profile",               // 21
    L"$profile",               // 22
    L"$profileup",             // 23
    L"$profiledown",           // 24
    L"$profile1",              // 25
    L"$profile2",              // 26
    L"$profile3",              // 27
    L"$profile4",              // 28
    L"$profile5",              // 29
    L"$play",                  // 30
    L"$stop",                  // 31
    L"$Backward",              // 32
    L"$Forward",               // 33
    L"$pause",                 // 34
    L"$volumeup",              // 35
    L"$volumedown",            // 36
    L"$mute",                  // 37
    L"$skipback",              // 38
    L"$skipforward",           // 39
    L"$scrollup",              // 40
    L"$scrolldown",            // 41
    L"$cut",                   // 42
    L"$copy",                  // 43
    L"$paste",                 // 44
    L"$undo",                  // 45
    L"$all",                   // 46
    L"$find",                  // 47
    L"$new",                   // 48
    L"$print",                 // 49
    L"$save",                  // 50
    L"$swapwindows",           // 51
    L"$closewindow",           // 52
    L"$lockpc",                // 53
    L"$openexplorer",          // 54
    L"$run",                   // 55
    L"$showdesktop",           // 56
    L"$zoomin",                // 57
    L"$zoomout",               // 58
    L"$dpisetting",            // 59
    L"$profilesetting",        // 60
    L"$selectfun",             // 61
    L"$launchprogram",         // 62
    L"$launchprogram",         // 63
};

const VocabRow kKeyboardHelpRows[] = {
    {0, L"$ResetKeyToDefaultFunction"},
    {5, L"$AssignKeyToBehaveAsAnotherKey"},
    {6, L"$AssignKeyToControlPlaybackOfASelectedMacro"},
    {21, L"$AssignKeyToSwitchToASelectedProfile"},
    {62, L"$AssignKeyToLaunchASelectedApplication"},
};

// Mouse help lines with a text of their own; every other action id repeats its action name.
const VocabRow kMouseHelpRows[] = {
    {0, L"$ResetButtonBackToDefaultFunction"},
    {1, L"$Assignasclick"},
    {2, L"$Assignasmenu"},
    {3, L"$Assignasuniversalscrollcontrol"},
    {4, L"$Assignasdouble-click"},
    {5, L"$Assignthisbuttontobehaveasakeyboardkey"},
    {6, L"$Assignthisbuttontocontrolmacroplayback"},
    {7, L"$Assignthisbuttontocontrolmacroplayback"},
    {8, L"$Disablethisbutton"},
    {10, L"$Assignthisbuttontoenableon-the-flysensitivitywhilstheld"},
    {13, L"$AssignthisbuttontoincreaseDPIstage"},
    {14, L"$AssignthisbuttontodecreaseDPIstage"},
    {21, L"$Assignthisbuttontochangetoaprofile"},
    {22, L"$Assignthisbuttontochangetoaprofile"},
    {32, L"$Assignasbackward"},
    {33, L"$Assignasforward"},
    {40, L"$AssignthisbuttontobehaveasScrollUp"},
    {41, L"$AssignthisbuttontobehaveasScrollDown"},
};

const VocabRow kShortKeyRows[] = {
    {8, L"BkSp"},     {9, L"Tab"},      {12, L"Clr"},     {13, L"Ret"},     {16, L"Shft"},
    {17, L"Ctrl"},    {18, L"Alt"},     {19, L"Pause"},   {20, L"CpLk"},    {27, L"Esc"},
    {32, L"Spc"},     {33, L"PgUp"},    {34, L"PgDn"},    {35, L"End"},     {36, L"Home"},
    {37, L"Lft"},     {38, L"Up"},      {39, L"Rht"},     {40, L"Dn"},      {41, L"Select"},
    {42, L"Prnt"},    {43, L"Exe"},     {44, L"Print"},   {45, L"Ins"},     {46, L"Del"},
    {47, L"Hlp"},     {91, L"LWin"},    {92, L"RWin"},    {93, L"Apps"},
    {96, L"Num0"},    {97, L"Num1"},    {98, L"Num2"},    {99, L"Num3"},    {100, L"Num4"},
    {101, L"Num5"},   {102, L"Num6"},   {103, L"Num7"},   {104, L"Num8"},   {105, L"Num9"},
    {106, L"Num*"},   {107, L"Num+"},   {108, L"NumRet"}, {109, L"Num-"},   {110, L"Num."},
    {111, L"Num/"},
    {112, L"F1"},     {113, L"F2"},     {114, L"F3"},     {115, L"F4"},     {116, L"F5"},
    {117, L"F6"},     {118, L"F7"},     {119, L"F8"},     {120, L"F9"},     {121, L"F10"},
    {122, L"F11"},    {123, L"F12"},    {124, L"F13"},    {125, L"F14"},    {126, L"F15"},
    {127, L"F16"},    {128, L"F17"},
    {144, L"Numl"},   {145, L"Scrl"},   {160, L"LShft"},  {161, L"RShft"},  {162, L"LCtrl"},
    {163, L"RCtrl"},  {164, L"LAlt"},   {165, L"RAlt"},   {166, L"Backward"}, {167, L"Forward"},
};

// Named colours keyed by COLORREF (0x00BBGGRR).
const VocabRow kColorRows[] = {
    {0x0000FF, L"RED"},
    {0x00FF00, L"GREEN"},
    {0x067401, L"GREEN2"},
    {0x094701, L"GREEN3"},
    {0x021E00, L"GREEN4"},
    {0xFF0000, L"BLUE"},
    {0xC57700, L"BLUE2"},
    {0x623300, L"BLUE_DM_BORDER"},
    {0xE8A300, L"BLUE_DM_HIGHLIGHT"},
    {0x3D1B00, L"BLUE_DM_PROFILE_HIGHLIGHT"},
    {0xFDAE00, L"BLUE_DM_TAB_SELECT"},
    {0x000000, L"BLACK"},
    {0x0B0B0B, L"BLACK2"},
    {0xFFFFFF, L"WHITE"},
    {0x3A3A3A, L"DARKGREY"},
    {0x777069, L"MIDGREY"},
    {0x2B2B2B, L"DARKGREY2"},
    {0x677079, L"MIDGREY2"},
    {0xD6C2B1, L"GREY_DM_HEADING"},
    {0x007CD0, L"GOLD_DM_HIGHTLIGHT"},
};

// Language names as the registry value "Language" holds them; 555..559 have no name of their own.
const VocabRow kLanguageRows[] = {
    {544, L"English"},     {545, L"ChineseSimplified"}, {546, L"ChineseTraditional"},
    {547, L"French"},      {548, L"FrenchCanadian"},    {549, L"German"},
    {550, L"Korean"},      {551, L"Russian"},           {552, L"Japanese"},
    {553, L"Spanish"},     {554, L"PortugueseBrazil"},  {555, L"English"},
    {556, L"English"},     {557, L"English"},           {558, L"English"},
    {559, L"English"},
};

const VocabRow kListColumnRows[] = {
    {0, L"LCITEM_PROFILECURRENT"}, {1, L"LCITEM_PROFILEID"},      {2, L"LCITEM_PROFILENAME"},
    {3, L"LCITEM_PROFILEEXE"},     {4, L"LCITEM_AUTOSWITCH"},     {5, L"LCITEM_MCREVENT_ICON"},
    {6, L"LCITEM_MCREVENT_DESCRIP"},
};

const VocabRow kControlKindRows[] = {
    {0, L"ICON"}, {1, L"STATIC"}, {2, L"EDIT"}, {3, L"COMBO"}, {4, L"CHECKBOX"}, {5, L"FILEDIALOG"},
};

const VocabRow kCellKindRows[] = {
    {0, L"ICON"}, {1, L"STATIC"},
};

// Layout number reported by the keyboard -> keyboard layout control id.
const std::pair<int32_t, int32_t> kLayoutCodeRows[] = {
    {0, 561}, {1, 561}, {2, 575}, {3, 566}, {4, 564}, {5, 568}, {6, 573},
    {7, 572}, {8, 563}, {9, 567}, {10, 574}, {11, 571}, {12, 569}, {13, 576},
};

struct Tables {
    VocabTable keyCombos, actions, keyboardHelp, mouseHelp, controls, shortKeys, colors, languages,
        listColumns, controlKinds, cellKinds;
    std::map<int32_t, int32_t> layoutCodes;
};

Tables& G() {
    static Tables tables;
    return tables;
}

template <size_t N>
void Fill(VocabTable& table, const VocabRow (&rows)[N]) {
    for (const VocabRow& row : rows) table[row.key] = row.name;
}

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c + (L'a' - L'A')) : c; }

// Whole-string comparison without regard to ASCII case (every vocabulary name is ASCII).
bool SameName(const wchar_t* name, std::wstring_view asked) {
    size_t i = 0;
    for (; i < asked.size(); ++i) {
        if (name[i] == L'\0' || FoldAscii(name[i]) != FoldAscii(asked[i])) return false;
    }
    return name[i] == L'\0';
}

int32_t FindByName(const VocabTable& table, std::wstring_view name) {
    for (const auto& [key, text] : table) {
        if (SameName(text, name)) return key;
    }
    return -1;
}

const wchar_t* Read(const VocabTable& table, int32_t key) {
    auto it = table.find(key);
    return it == table.end() ? nullptr : it->second;
}

} // namespace

void BuildVocabularyTables() {
    Tables& t = G();
    for (const vt::base::KeyComboName& combo : vt::base::KeyComboNames()) t.keyCombos[combo.id] = combo.name;
    for (int32_t id = 0; id < int32_t(std::size(kActionNames)); ++id) t.actions[id] = kActionNames[id];
    Fill(t.keyboardHelp, kKeyboardHelpRows);
    for (int32_t id = 0; id < int32_t(std::size(kActionNames)); ++id) t.mouseHelp[id] = kActionNames[id];
    Fill(t.mouseHelp, kMouseHelpRows);
    for (size_t i = 0; i < detail::kControlRowCount; ++i) {
        t.controls[detail::kControlRows[i].key] = detail::kControlRows[i].name;
    }
    Fill(t.shortKeys, kShortKeyRows);
    Fill(t.colors, kColorRows);
    Fill(t.languages, kLanguageRows);
    Fill(t.listColumns, kListColumnRows);
    Fill(t.controlKinds, kControlKindRows);
    Fill(t.cellKinds, kCellKindRows);
    for (const auto& [code, id] : kLayoutCodeRows) t.layoutCodes[code] = id;
}

const VocabTable& VocabularyTable(Vocab table) {
    Tables& t = G();
    switch (table) {
    case Vocab::KeyCombos: return t.keyCombos;
    case Vocab::Actions: return t.actions;
    case Vocab::KeyboardHelp: return t.keyboardHelp;
    case Vocab::MouseHelp: return t.mouseHelp;
    case Vocab::Controls: return t.controls;
    case Vocab::ShortKeyNames: return t.shortKeys;
    case Vocab::Colors: return t.colors;
    case Vocab::Languages: return t.languages;
    case Vocab::ListColumns: return t.listColumns;
    case Vocab::ControlKinds: return t.controlKinds;
    case Vocab::CellKinds: return t.cellKinds;
    }
    return t.controls;
}

const std::map<int32_t, int32_t>& KeyboardLayoutCodeTable() { return G().layoutCodes; }

int32_t FindKeyComboIdByName(std::wstring_view name) { return FindByName(G().keyCombos, name); }
int32_t FindActionIdByName(std::wstring_view name) { return FindByName(G().actions, name); }
int32_t FindControlIdByName(std::wstring_view name) { return FindByName(G().controls, name); }
int32_t FindColorByName(std::wstring_view name) { return FindByName(G().colors, name); }
int32_t FindLanguageIdByName(std::wstring_view name) { return FindByName(G().languages, name); }
int32_t FindControlKindByName(std::wstring_view name) { return FindByName(G().controlKinds, name); }
int32_t FindCellKindByName(std::wstring_view name) { return FindByName(G().cellKinds, name); }
int32_t FindListColumnIdByName(std::wstring_view name) { return FindByName(G().listColumns, name); }

const wchar_t* FindControlNameById(int32_t id) { return Read(G().controls, id); }

int32_t FindKeyboardLayoutControlId(int32_t code) {
    const auto& codes = G().layoutCodes;
    auto it = codes.find(code);
    return it == codes.end() ? -1 : it->second;
}

const wchar_t* GetKeyComboName(int32_t id) { return Read(G().keyCombos, id); }
const wchar_t* GetActionName(int32_t actionId) { return Read(G().actions, actionId); }
const wchar_t* GetKeyboardHelpText(int32_t actionId) { return Read(G().keyboardHelp, actionId); }
const wchar_t* GetMouseHelpText(int32_t actionId) { return Read(G().mouseHelp, actionId); }
const wchar_t* GetShortKeyName(int32_t virtualKey) { return Read(G().shortKeys, virtualKey); }
const wchar_t* GetLanguageName(int32_t languageId) { return Read(G().languages, languageId); }
const wchar_t* GetListColumnName(int32_t columnId) { return Read(G().listColumns, columnId); }

} // namespace vt::skin
