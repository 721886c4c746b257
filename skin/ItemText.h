#pragma once
// How skinned controls turn a text of a page file into what they show, and the per-language
// overrides of item attributes that the page reader consults. Both go through the current
// language table.
#include <string>
#include <string_view>

namespace vt::skin {

// CaseMode: 0 as written, 1 upper case, 2 lower case.
enum CaseMode : int { kCaseAsWritten = 0, kCaseUpper = 1, kCaseLower = 2 };

// The text as shown: the value of a "$" key or "#" prefix of the current language table, else the
// text as written. Without a current language table the text is shown as written as well (a
// language that has no table must not blank every caption).
std::wstring ResolveItemText(std::wstring_view text);
// Upper- or lower-cases the text by case mode (other modes leave it).
void ApplyCaseMode(std::wstring& text, int caseMode);
// Replaces the first two-character sequence backslash, "n" by CR LF, in place.
void BreakFirstNewline(std::wstring& text);
// ResolveItemText, then the first line break, then the case mode: the caption of a control.
std::wstring MakeCaption(std::wstring_view text, int caseMode);

// The current language table's override of an item attribute ("RECT", "fontid", "caps",
// "multiline", "SBMN"...): its data, or null when there is none (or no current table).
// A text override is a zero-terminated wide text; "RECT" is four int32 (left, top, width, height).
const void* FindLanguageOverride(int itemId, const wchar_t* attribute);
// The current language table's replacement of a font id, or -1 when it has none.
int FindFontSubstitute(int fontId);

} // namespace vt::skin
