#include "profile/KeyboardProfile.h"
#include "profile/MouseProfile.h"
#include "base/KeyTable.h"
#include <cstring>

const int32_t KeyboardActionTable[5] = {0, 5, 21, 6, 62};

bool CDmProfile_Keyboard::IsAssignmentTypeAllowed(int32_t kind) { return ActionTableAllows(KeyboardActionTable, kind); }

void CDmProfile_Keyboard::GetAllowedAssignmentTypes(std::vector<int32_t>& out) {
    out.assign(std::begin(KeyboardActionTable), std::end(KeyboardActionTable));
}

void CDmProfile_Keyboard::ResetAssignmentsToDefault() {
    std::vector<int32_t> keys;
    for (const auto& [key, record] : m_assignments) keys.push_back(key);
    for (int32_t key : keys) {
        vt::base::KeyCode defaults;
        if (!vt::base::GlobalKeyTable().GetDefaultCode(key, defaults)) defaults = {};
        uint16_t code = uint16_t(defaults.code);
        uint8_t prefix = defaults.prefix;
        AssignmentRecord r{};
        r.kind = vt::profile::kKindDefaultKey;
        std::memcpy(r.payload, &code, 2);
        r.payload[4] = prefix != 0 ? 1 : 0;
        CBaseProfile::SetAssignment(key, r);
    }
}
