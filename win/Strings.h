#pragma once
// UTF-8 / UTF-16 conversion and small wide-string helpers.
#include <string>
#include <string_view>

namespace vt::win {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// Case-insensitive comparison of wide texts (ordinal, as the file system compares names).
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
// Comparison that folds only the letters A-Z (the fixed names of the key and vocabulary tables).
bool EqualsNoCaseAscii(std::wstring_view a, std::wstring_view b);
// printf-style formatting into a wide string.
std::wstring Format(const wchar_t* fmt, ...);

} // namespace vt::win
