#include "skin/LangTable.h"

#include <cstring>

#include "skin/SkinStore.h"
#include "skin/Vocabulary.h"
#include "win/Strings.h"

namespace vt::skin {
namespace {

constexpr size_t kKeyLimit = 59;  // characters of a key that lookups compare

struct LanguageState {
    std::map<int32_t, CLangTable*> map;
    int32_t selected = kDefaultLanguageId;
    CLangTable* current = nullptr;
};

LanguageState& State() {
    static LanguageState state;
    return state;
}

std::wstring Fold(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
}

// A key as lookups see it: spaces dropped, ends at the first NUL, LF or CR, at most 59 characters.
std::wstring NormaliseKey(const std::wstring& key) {
    std::wstring out;
    for (wchar_t c : key) {
        if (c == L'\0' || c == L'\n' || c == L'\r' || out.size() == kKeyLimit) break;
        if (c != L' ') out.push_back(c);
    }
    return Fold(out);
}

bool IsEndOfFile(const std::wstring& line) { return vt::win::EqualsNoCase(line, L"END OF FILE"); }

bool EqualsNoCaseAscii(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = (*a >= 'A' && *a <= 'Z') ? char(*a + 32) : *a;
        char y = (*b >= 'A' && *b <= 'Z') ? char(*b + 32) : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// Decimal number of a page attribute: leading blanks, optional sign, digits; 0 otherwise.
int32_t ParseNumber(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX) value = int64_t(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    return int32_t(value);
}

int32_t ControlIdOf(const char* name) { return FindControlIdByName(vt::win::Utf8ToWide(name)); }

// The element's first text or CDATA content.
std::wstring FirstText(pugi::xml_node element) {
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            return vt::win::Utf8ToWide(child.value());
        }
    }
    return {};
}

size_t CountAttributes(pugi::xml_node element) {
    size_t n = 0;
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) ++n;
    return n;
}

// Of an element with exactly two attributes: the one named "name" and the other one.
bool SplitNameAndOther(pugi::xml_node element, pugi::xml_attribute& name, pugi::xml_attribute& other) {
    pugi::xml_attribute first = element.first_attribute(), second = first.next_attribute();
    if (EqualsNoCaseAscii(first.name(), "name")) {
        name = first;
        other = second;
    } else if (EqualsNoCaseAscii(second.name(), "name")) {
        name = second;
        other = first;
    } else {
        return false;
    }
    return true;
}

LangOverride TextOverride(int32_t itemId, int32_t columnId, std::wstring attribute, const std::wstring& text) {
    LangOverride o;
    o.itemId = itemId;
    o.columnId = columnId;
    o.attribute = std::move(attribute);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
    o.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return o;
}

void ReadItemOverride(CLangTable& table, pugi::xml_node element) {
    const size_t attributes = CountAttributes(element);
    if (attributes == 2) {
        pugi::xml_attribute name, other;
        if (!SplitNameAndOther(element, name, other)) return;
        int32_t id = ControlIdOf(name.value());
        if (id < 0) return;
        table.m_overrides.push_back(
            TextOverride(id, -1, vt::win::Utf8ToWide(other.name()), vt::win::Utf8ToWide(other.value())));
    } else if (attributes == 1) {
        pugi::xml_attribute name = element.first_attribute();
        if (!EqualsNoCaseAscii(name.name(), "name")) return;
        int32_t id = ControlIdOf(name.value());
        if (id < 0) return;
        if (pugi::xml_node rect = element.child("RECT")) {
            int32_t numbers[4] = {ParseNumber(rect.attribute("left").value()), ParseNumber(rect.attribute("top").value()),
                                  ParseNumber(rect.attribute("right").value()),
                                  ParseNumber(rect.attribute("bottom").value())};
            LangOverride o;
            o.itemId = id;
            o.attribute = L"RECT";
            o.isRect = true;
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(numbers);
            o.data.assign(bytes, bytes + sizeof(numbers));
            table.m_overrides.push_back(std::move(o));
            return;
        }
        for (const char* slot : {"SBMN", "SBMO", "SBMD", "SBMDS", "SBMM"}) {
            pugi::xml_node child = element.child(slot);
            if (!child) continue;
            std::wstring text = FirstText(child);
            AddLangOverride(table, id, vt::win::Utf8ToWide(slot), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        }
    }
}

void ReadColumnOverride(CLangTable& table, pugi::xml_node element) {
    if (CountAttributes(element) != 2) return;
    pugi::xml_attribute name, other;
    if (!SplitNameAndOther(element, name, other)) return;
    int32_t column = FindListColumnIdByName(vt::win::Utf8ToWide(name.value()));
    if (column < 0) return;
    table.m_overrides.push_back(
        TextOverride(-1, column, vt::win::Utf8ToWide(other.name()), vt::win::Utf8ToWide(other.value())));
}

} // namespace

CLangTable::~CLangTable() {
    LanguageState& s = State();
    for (auto it = s.map.begin(); it != s.map.end();) {
        it = it->second == this ? s.map.erase(it) : std::next(it);
    }
    if (s.current == this) s.current = nullptr;
}

bool LoadLanguageText(const void* data, int64_t size, CLangTable& table) {
    if (!data || size < 2) return table.m_pairCount > 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const int64_t units = size / 2;
    auto at = [bytes](int64_t i) { return wchar_t(uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8)); };

    int64_t pos = 0;
    int lineNumber = 0;
    std::wstring pendingKey;
    while (pos < units) {
        std::wstring line;
        while (pos < units && at(pos) != L'\r') line.push_back(at(pos++));
        if (lineNumber >= 2) {
            if (IsEndOfFile(line)) break;
            if (lineNumber % 2 == 0) {
                pendingKey = std::move(line);
            } else {
                table.m_lookupKeys.push_back(NormaliseKey(pendingKey));
                table.m_texts.emplace_back(std::move(pendingKey), std::move(line));
                ++table.m_pairCount;
            }
        }
        while (pos < units && (at(pos) == L'\r' || at(pos) == L'\n')) ++pos;
        ++lineNumber;
    }
    return table.m_pairCount > 0;
}

bool ResolveText(const CLangTable* table, std::wstring_view text, std::wstring& out) {
    if (table && text.size() > 1 && (text[0] == L'$' || text[0] == L'#')) {
        // The asked text is compared as written (only folded): a space in it never matches.
        std::wstring asked = Fold(std::wstring(text.substr(1)));
        const bool prefix = text[0] == L'#';
        if (!prefix && asked.size() > kKeyLimit) asked.resize(kKeyLimit + 1);  // longer than any key
        for (size_t i = 0; i < table->m_lookupKeys.size() && i < table->m_texts.size(); ++i) {
            const std::wstring& key = table->m_lookupKeys[i];
            bool match = prefix ? key.compare(0, asked.size(), asked) == 0 && key.size() >= asked.size()
                                : key == asked;
            if (match) {
                out = table->m_texts[i].second;
                return true;
            }
        }
    }
    out.assign(text);
    return false;
}

const void* GetLayoutValue(const CLangTable* table, int32_t itemId, std::wstring_view attribute, size_t* size) {
    if (size) *size = 0;
    if (!table) return nullptr;
    const bool wantRect = vt::win::EqualsNoCase(attribute, L"RECT");
    for (const LangOverride& o : table->m_overrides) {
        if (o.itemId != itemId || o.isRect != wantRect || !vt::win::EqualsNoCase(o.attribute, attribute)) continue;
        if (size) *size = o.data.size();
        return o.data.data();
    }
    return nullptr;
}

const wchar_t* GetLangOverrideWidth(const CLangTable* table, int32_t columnId) {
    if (!table) return nullptr;
    for (const LangOverride& o : table->m_overrides) {
        if (o.itemId != -1 || o.columnId != columnId || o.isRect) continue;
        if (!vt::win::EqualsNoCase(o.attribute, L"width")) continue;
        return reinterpret_cast<const wchar_t*>(o.data.data());
    }
    return nullptr;
}

void AddLangOverride(CLangTable& table, int32_t itemId, std::wstring_view attribute, const void* data, size_t size) {
    LangOverride o;
    o.itemId = itemId;
    o.attribute.assign(attribute);
    if (data && size) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        o.data.assign(bytes, bytes + size);
    }
    // A text record always ends in a zero character, whatever the caller handed in.
    if (o.data.size() % 2) o.data.push_back(0);
    if (o.data.size() < 2 || o.data[o.data.size() - 1] != 0 || o.data[o.data.size() - 2] != 0) {
        o.data.push_back(0);
        o.data.push_back(0);
    }
    table.m_overrides.push_back(std::move(o));
}

int32_t FindLangFontSubstitute(const CLangTable* table, int32_t fontId) {
    if (!table) return -1;
    auto it = table->m_fontSubstitutions.find(fontId);
    return it == table->m_fontSubstitutions.end() ? -1 : it->second;
}

CLangTable* ReadLanguageItem(pugi::xml_node element, HWND owner) {
    const int32_t id = ControlIdOf(element.attribute("name").value());
    if (id < 0) return nullptr;
    int size = 0;
    const BYTE* data = GetSkinLanguageData(std::string_view(element.attribute("file").value()), &size);
    if (!data || size <= 0) return nullptr;

    auto* table = new CLangTable;
    LoadLanguageText(data, size, *table);
    for (pugi::xml_node font = element.child("LANGFONT"); font; font = font.next_sibling("LANGFONT")) {
        int32_t search = ControlIdOf(font.attribute("fontsearch").value());
        int32_t replace = ControlIdOf(font.attribute("fontreplace").value());
        if (search >= 0 && replace >= 0) table->m_fontSubstitutions[search] = replace;
    }
    for (pugi::xml_node col = element.child("LANGOVERRIDECOL"); col; col = col.next_sibling("LANGOVERRIDECOL")) {
        ReadColumnOverride(*table, col);
    }
    for (pugi::xml_node item = element.child("LANGOVERRIDE"); item; item = item.next_sibling("LANGOVERRIDE")) {
        ReadItemOverride(*table, item);
    }
    table->SetItemFields(id, kKindLangTable, nullptr, owner);
    return table;
}

unsigned BuildLanguageItems(pugi::xml_node root, CGUIItems& items, HWND owner) {
    pugi::xml_node list = root.child("LANGLIST");
    if (!list) return 0;
    unsigned seen = 0, built = 0;
    const int32_t selected = SelectedLanguageId();
    for (pugi::xml_node e = list.child("LANG"); e; e = e.next_sibling("LANG")) {
        ++seen;
        const int32_t id = ControlIdOf(e.attribute("name").value());
        if (id != selected && id != kDefaultLanguageId) continue;
        CLangTable* table = ReadLanguageItem(e, owner);
        if (!table) continue;
        ++built;
        items.Add(table);
        if (table->m_controlId >= kFirstLanguageId && table->m_controlId <= kLastLanguageId) {
            State().map[table->m_controlId] = table;
        }
    }
    return ((seen & 0xFFFF) << 16) | (built & 0xFFFF);
}

int32_t SelectedLanguageId() { return State().selected; }

void SetSelectedLanguageId(int32_t languageId) {
    State().selected =
        (languageId >= kFirstLanguageId && languageId <= kLastLanguageId) ? languageId : kDefaultLanguageId;
}

int32_t LanguageIdFromName(const wchar_t* registryName) {
    if (!registryName) return kDefaultLanguageId;
    int32_t id = FindLanguageIdByName(registryName);
    return id < 0 ? kDefaultLanguageId : id;
}

std::map<int32_t, CLangTable*>& LanguageMap() { return State().map; }

CLangTable* SelectCurrentLanguageTable() {
    LanguageState& s = State();
    auto it = s.map.find(s.selected);
    if (it == s.map.end()) it = s.map.find(kDefaultLanguageId);
    s.current = it == s.map.end() ? nullptr : it->second;
    return s.current;
}

CLangTable* CurrentLanguageTable() { return State().current; }
void SetCurrentLanguageTable(CLangTable* table) { State().current = table; }

} // namespace vt::skin
