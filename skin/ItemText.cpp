#include "skin/ItemText.h"
#include <windows.h>
#include "skin/LangTable.h"

namespace vt::skin {

std::wstring ResolveItemText(std::wstring_view text) {
    std::wstring out;
    if (!ResolveText(CurrentLanguageTable(), text, out)) out.assign(text);
    return out;
}

void ApplyCaseMode(std::wstring& text, int caseMode) {
    if (text.empty() || (caseMode != kCaseUpper && caseMode != kCaseLower)) return;
    if (caseMode == kCaseUpper) CharUpperBuffW(text.data(), DWORD(text.size()));
    else CharLowerBuffW(text.data(), DWORD(text.size()));
}

void BreakFirstNewline(std::wstring& text) {
    size_t at = text.find(L"\\n");
    if (at == std::wstring::npos) return;
    text[at] = L'\r';
    text[at + 1] = L'\n';
}

std::wstring MakeCaption(std::wstring_view text, int caseMode) {
    std::wstring caption = ResolveItemText(text);
    // The line break goes in before the case change, so an upper-cased "\n" is not left as "\N".
    BreakFirstNewline(caption);
    ApplyCaseMode(caption, caseMode);
    return caption;
}

const void* FindLanguageOverride(int itemId, const wchar_t* attribute) {
    const CLangTable* table = CurrentLanguageTable();
    if (!table || !attribute) return nullptr;
    size_t size = 0;
    const void* data = GetLayoutValue(table, itemId, attribute, &size);
    // A rectangle is four numbers; anything shorter is not used as one.
    if (data && _wcsicmp(attribute, L"RECT") == 0 && size < 4 * sizeof(int32_t)) return nullptr;
    return data;
}

int FindFontSubstitute(int fontId) { return FindLangFontSubstitute(CurrentLanguageTable(), fontId); }

} // namespace vt::skin
