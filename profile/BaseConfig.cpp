#include "profile/BaseConfig.h"

namespace vt::profile {

std::wstring BoundedPath(std::initializer_list<std::wstring_view> parts) {
    std::wstring out;
    for (std::wstring_view part : parts) out.append(part);
    if (out.size() + 1 > kMaxPathChars) return {};
    return out;
}

} // namespace vt::profile
