#pragma once
// Files of the program's data (page files, skin bitmaps) that a reader could not use: missing,
// unreadable, damaged, or named outside their folder. The readers report them as they meet them;
// the program asks which ones there were, to say so instead of showing a half-built window.
// Main thread only.
#include <string>
#include <string_view>
#include <vector>

namespace vt::skin {

// Records a file by its name within the program folder (for example "skins\a.bmp").
void ReportUnusableFile(std::wstring_view name);
// The files reported since the last call, each once and in the order met; forgets them.
std::vector<std::wstring> TakeUnusableFiles();

} // namespace vt::skin
