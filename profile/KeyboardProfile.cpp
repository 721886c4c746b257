#include "profile/KeyboardProfile.h"
#include "profile/MouseProfile.h"
#include "skin/KeyboardDef.h"
#include <cstring>

const int32_t KeyboardActionTable[5] = {0, 5, 21, 6, 62};

static KeyDefaultLookup& CurrentLookup() {
    static KeyDefaultLookup lookup;
    return lookup;
}

void SetKeyDefaultLookup(KeyDefaultLookup lookup) { CurrentLookup() = std::move(lookup); }

bool LookupKeyDefault(int32_t keyId, uint16_t& code, uint8_t& prefix) {
    code = 0;
    prefix = 0;
    if (const auto& lookup = CurrentLookup()) return lookup(keyId, code, prefix);
    vt::skin::KeyCode kc;
    if (!vt::skin::GlobalKeyboardDef().GetDefaultCode(keyId, kc)) return false;
    code = uint16_t(kc.code);
    prefix = kc.prefix;
    return true;
}

bool CDmProfile_Keyboard::IsAssignmentTypeAllowed(int32_t kind) { return ActionTableAllows(KeyboardActionTable, kind); }

void CDmProfile_Keyboard::GetAllowedAssignmentTypes(std::vector<int32_t>& out) {
    out.assign(std::begin(KeyboardActionTable), std::end(KeyboardActionTable));
}

void CDmProfile_Keyboard::ResetAssignmentsToDefault() {
    std::vector<int32_t> keys;
    for (const auto& [key, record] : m_assignments) keys.push_back(key);
    for (int32_t key : keys) {
        uint16_t code = 0;
        uint8_t prefix = 0;
        if (!LookupKeyDefault(key, code, prefix)) code = 0, prefix = 0;
        AssignmentRecord r{};
        r.kind = vt::profile::kKindDefaultKey;
        std::memcpy(r.payload, &code, 2);
        r.payload[4] = prefix != 0 ? 1 : 0;
        CBaseProfile::SetAssignment(key, r);
    }
}
