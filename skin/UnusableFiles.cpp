#include "skin/UnusableFiles.h"
#include <algorithm>

namespace vt::skin {

namespace {
std::vector<std::wstring>& Files() {
    static std::vector<std::wstring> files;
    return files;
}
} // namespace

void ReportUnusableFile(std::wstring_view name) {
    std::vector<std::wstring>& files = Files();
    if (std::find(files.begin(), files.end(), name) == files.end()) files.emplace_back(name);
}

std::vector<std::wstring> TakeUnusableFiles() {
    std::vector<std::wstring> taken;
    taken.swap(Files());
    return taken;
}

} // namespace vt::skin
