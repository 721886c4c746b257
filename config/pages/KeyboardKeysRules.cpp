#include "config/pages/KeyboardKeysRules.h"
#include <cstring>
#include "base/KeyTable.h"
#include "config/Items.h"
#include "config/pages/AssignRules.h"
#include "config/popups/DropdownSelectPopup.h"
#include "config/popups/MacroAssignmentPopup.h"
#include "config/popups/NumEntryPopup.h"
#include "config/popups/SingleKeyPopup.h"
#include "config/popups/WarningPopup.h"
#include "profile/KeyboardConfig.h"
#include "skin/Vocabulary.h"

namespace vt::config {

using namespace vt::profile;

namespace {

bool IsMacroAction(int32_t a) { return a == kKindMacro || a == kKindMacroByName; }
bool IsProfileAction(int32_t a) { return a == kKindProfile || a == kKindProfileByName; }

} // namespace

std::vector<KeyOption> KeyOptions(IKeyboardConfig* config, bool keySelected) {
    std::vector<KeyOption> options;
    IKeyboardProfile* p = config ? config->GetCurrentProfile() : nullptr;
    if (!p) return options;
    std::vector<int32_t> actions;
    p->GetAllowedAssignmentTypes(actions);
    for (int32_t a : actions) {
        const wchar_t* name = vt::skin::GetActionName(a);
        const wchar_t* help = vt::skin::GetKeyboardHelpText(a);
        bool enabled = keySelected;
        if (IsMacroAction(a) && config->GetMacroCount() == 0) enabled = false;
        if (IsProfileAction(a) && config->GetProfileCount() < 2) enabled = false;
        options.push_back({a, name ? name : L"", help ? help : L"", enabled});
    }
    return options;
}

AssignmentRecord DefaultKeyRecord(int32_t keyId) {
    const vt::base::KeyCode code = vt::base::GlobalKeyTable().GetKeyCode(keyId);
    AssignmentRecord r{};
    r.kind = kKindDefaultKey;
    const int32_t own = int32_t(uint16_t(code.code)) | (int32_t(code.prefix) << 16);
    std::memcpy(r.payload, &own, 2);   // the code; the prefix shows as the flag in byte 4
    r.payload[4] = ((own >> 16) & 0xFF) != 0 ? 1 : 0;
    return r;
}

AssignmentRecord KeyAssignment(IKeyboardConfig* config, int32_t keyId) {
    AssignmentRecord r = MakeEmptyAssignment();
    if (config && config->GetCurrentProfile()) config->GetAssignment(&r, keyId, nullptr);
    return r;
}

bool IsKeyMarked(IKeyboardConfig* config, int32_t keyId) {
    const AssignmentRecord r = KeyAssignment(config, keyId);
    return r.kind != kKindNone && r.kind != kKindDefaultKey;
}

std::wstring PathFileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool RepeatCountValid(int number) { return number >= 1 && number <= 255; }

std::wstring ShownKeyAssignment(IKeyboardConfig* config, int32_t keyId, const std::wstring& label) {
    if (!config || !config->GetCurrentProfile()) return {};
    AssignmentRecord r = KeyAssignment(config, keyId);
    if (r.kind == kKindNone) r.kind = kKindDefaultKey;
    // A by-name record shows under the action it stands for.
    const int32_t action = r.kind == kKindMacroByName ? kKindMacro
                           : r.kind == kKindProfileByName ? kKindProfile
                           : r.kind == kKindLaunchProgramAlias ? kKindLaunchProgram
                                                               : r.kind;
    const wchar_t* name = vt::skin::GetActionName(action);
    std::wstring text = name ? LanguageText(name) : std::wstring();
    std::wstring detail;
    switch (r.kind) {
    case kKindSingleKey:
        detail = SingleKeyName(r);
        break;
    case kKindMacro:
    case kKindProfile:
        detail = AssignedName(config, r);
        break;
    case kKindMacroByName:
    case kKindProfileByName:
        detail = PayloadText(r);
        break;
    case kKindLaunchProgram:
        if (CVtApp* app = config->FindAppByGuid(PayloadGuid(r))) detail = PathFileName(app->path);
        break;
    case kKindLaunchProgramAlias:
        detail = PathFileName(PayloadText(r));
        break;
    default:
        detail = label;
        break;
    }
    return text + L" | " + detail;
}

bool KeyboardKeyRules::AssignSingleKey(AssignmentRecord& next) {
    const SingleKeyResult key = CaptureSingleKey(m_popups, m_owner, m_keyboard ? m_keyboard() : nullptr);
    // A key without a scan code could not be sent by the keyboard: nothing is written.
    if (key.text.empty() || key.scan == 0) return false;
    next = SingleKeyRecord(key.scan, key.vk, key.extended != 0);
    return true;
}

bool KeyboardKeyRules::AssignMacro(int32_t keyId, AssignmentRecord& next) {
    if (m_config->GetMacroCount() == 0) return false;
    const AssignmentRecord old = KeyAssignment(m_config, keyId);
    unsigned mode = 1;
    std::wstring chosen;
    if (old.kind == kKindMacro || old.kind == kKindMacroByName) {
        chosen = AssignedName(m_config, old);
        const int32_t oldMode = MacroMode(old);
        if (oldMode >= 1 && oldMode <= 4) mode = unsigned(oldMode);
    }
    MacroAssignmentPopup popup(mode, MacroNames(m_config), chosen);
    if (m_popups.Run(m_owner, popup) != 1 || popup.Chosen().empty()) return false;
    // The macro may be gone by now (or the name may match none): nothing is written then.
    CMacro* macro = m_config->FindMacro(popup.Chosen().c_str());
    if (!macro) return false;
    int32_t playMode = int32_t(popup.Mode());
    uint8_t repeat = 0;
    if (playMode == 2) {
        // A count the record cannot hold is refused and asked again, never cut to its low byte.
        for (;;) {
            NumberEntryPopup count(L"MacroRepeatEntryPopup.xml");
            if (m_popups.Run(m_owner, count) != 1) {
                playMode = 1;
                repeat = 0;
                break;
            }
            if (RepeatCountValid(count.Number())) {
                repeat = uint8_t(count.Number());
                break;
            }
            Warn(m_popups, m_owner, L"RepeatCountWarningPopup.xml");
        }
    }
    next = MacroRecord(*macro, playMode, repeat);
    return true;
}

bool KeyboardKeyRules::AssignProfile(AssignmentRecord& next) {
    SelectPopup popup(L"SelectProfilePopup.xml", OtherProfileNames(m_config));
    if (m_popups.Run(m_owner, popup) != 1 || popup.Chosen().empty()) return false;
    IKeyboardProfile* p = m_config->FindProfileByName(popup.Chosen().c_str());
    if (!p) return false;
    next = ProfileRecord(*p);
    return true;
}

bool KeyboardKeyRules::AssignProgram(AssignmentRecord& next) {
    std::wstring path;
    if (!m_files.Open(m_owner, L"*.exe|*.exe||", L"", path) || path.empty()) return false;
    if (path.size() > kMaxProgramPath) {
        Warn(m_popups, m_owner, L"PathLengthLimitReachedPopUp.xml", nullptr, L"$AssignApplication");
        return false;
    }
    CVtApp* app = m_config->FindApp(path.c_str());
    if (!app) app = m_config->AddApp(path.c_str());
    if (!app) return false;
    next = IsNullGuid(app->id) ? MakeNameActionRecord(kKindLaunchProgramAlias, app->path.c_str())
                               : MakeActionRecord(kKindLaunchProgram, app->id);
    return true;
}

bool KeyboardKeyRules::Assign(int32_t keyId, int32_t action) {
    if (!m_config || !m_config->GetCurrentProfile() || keyId == 0) return false;
    AssignmentRecord next{};
    bool write = false;
    switch (action) {
    case kKindDefaultKey:
        next = DefaultKeyRecord(keyId);
        write = true;
        break;
    case kKindSingleKey:
        write = AssignSingleKey(next);
        break;
    case kKindMacro:
    case kKindMacroByName:
        write = AssignMacro(keyId, next);
        break;
    case kKindProfile:
    case kKindProfileByName:
        write = m_config->GetProfileCount() >= 2 && AssignProfile(next);
        break;
    case kKindLaunchProgram:
    case kKindLaunchProgramAlias:
        write = AssignProgram(next);
        break;
    default:
        break;
    }
    if (!write) return false;
    m_config->SetAssignment(keyId, next, nullptr);
    return true;
}

bool KeyboardKeyRules::RestoreAll() {
    IKeyboardProfile* p = m_config ? m_config->GetCurrentProfile() : nullptr;
    if (!p) return false;
    const std::wstring subject = std::wstring(L": ") + (p->GetName() ? p->GetName() : L"");
    if (Warn(m_popups, m_owner, L"RestoreAllPopup.xml", nullptr, subject.c_str()) != 1) return false;
    SetKeyboardLightingDefaults(p, m_config);
    return true;
}

} // namespace vt::config
