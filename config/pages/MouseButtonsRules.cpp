#include "config/pages/MouseButtonsRules.h"
#include "config/pages/AssignRules.h"
#include "config/popups/SingleKeyPopup.h"
#include "config/popups/WarningPopup.h"
#include "skin/VocabularyIds.h"
#include "skin/Vocabulary.h"

namespace vt::config {

namespace ctl = vt::skin::ctl;
using namespace vt::profile;

const std::array<MouseButtonRow, 7>& MouseButtonRows() {
    static const std::array<MouseButtonRow, 7> rows = {{
        {1, ctl::BUTTON_ASSNLEFTCLICK},
        {2, ctl::BUTTON_ASSNRIGHTCLICK},
        {3, ctl::BUTTON_ASSNSCROLLBUTTON},
        {6, ctl::BUTTON_ASSNLSIDEFRONT},
        {7, ctl::BUTTON_ASSNLSIDEREAR},
        {10, ctl::BUTTON_ASSNSCROLLUP},
        {11, ctl::BUTTON_ASSNSCROLLDOWN},
    }};
    return rows;
}

std::vector<ButtonActionEntry> ButtonActions(IMouseConfig* config, int button) {
    std::vector<ButtonActionEntry> entries;
    IMouseProfile* p = config ? config->GetCurrentProfile() : nullptr;
    if (!p) return entries;
    std::vector<int32_t> actions;
    p->GetAllowedActionsForButton(actions, button);
    for (int32_t a : actions) {
        const wchar_t* name = vt::skin::GetActionName(a);
        const wchar_t* help = vt::skin::GetMouseHelpText(a);
        entries.push_back({a, name ? name : L"", help ? help : L""});
    }
    return entries;
}

ButtonShown ShownAssignment(IMouseConfig* config, const std::vector<ButtonActionEntry>& entries, int button) {
    ButtonShown shown;
    if (!config || !config->GetCurrentProfile()) return shown;
    AssignmentRecord r = MakeEmptyAssignment();
    config->GetButtonAssignment(&r, button, nullptr);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int32_t v = entries[i].action;
        if (v == r.kind || (v == kKindProfile && r.kind == kKindProfileByName) ||
            (v == kKindMacro && r.kind == kKindMacroByName)) {
            shown.index = int(i);
            shown.detail = r.kind == kKindSingleKey ? SingleKeyName(r) : AssignedName(config, r);
            break;
        }
    }
    return shown;
}

AssignmentRecord MouseButtonRules::Read(int button) {
    AssignmentRecord r = MakeEmptyAssignment();
    m_config->GetButtonAssignment(&r, button, nullptr);
    return r;
}

bool MouseButtonRules::Guard() {
    if (m_config->HasLeftClickAssigned(nullptr)) return true;
    Warn(m_popups, m_owner, L"NoClickPopup.xml");
    return false;
}

bool MouseButtonRules::Assign(int button, int32_t action, const std::wstring& text) {
    if (!m_config || !m_config->GetCurrentProfile() || button <= 0 || action < 0) return false;
    const AssignmentRecord old = Read(button);
    AssignmentRecord next{};
    switch (action) {
    case kKindSingleKey: {
        // The button leaves left click before the popup opens: the guard speaks first.
        AssignmentRecord pending{};
        pending.kind = kKindSingleKey;
        m_config->SetButtonAssignment(button, pending, nullptr);
        if (!Guard()) {
            m_config->SetButtonAssignment(button, old, nullptr);
            return false;
        }
        const SingleKeyResult key = CaptureSingleKey(m_popups, m_owner, m_keyboard ? m_keyboard() : nullptr);
        // Nothing chosen, or a key without a scan code (the device could not send it): the button
        // keeps what it had, never a single key of no key.
        if (key.text.empty() || key.scan == 0) {
            m_config->SetButtonAssignment(button, old, nullptr);
            return false;
        }
        next = SingleKeyRecord(key.scan, key.vk, key.extended != 0);
        m_config->SetButtonAssignment(button, next, nullptr);
        return !AssignmentsEqual(next, old);
    }
    case kKindMacro: {
        CMacro* m = text.empty() ? nullptr : m_config->FindMacro(text.c_str());
        if (!m) return false;
        next = MacroRecord(*m, 1, 0);
        break;
    }
    case kKindProfile: {
        IMouseProfile* p = text.empty() ? nullptr : m_config->FindProfileByName(text.c_str());
        if (!p) return false;
        next = ProfileRecord(*p);
        break;
    }
    default:
        next = MakeActionRecord(action, kNullGuid);
        break;
    }
    m_config->SetButtonAssignment(button, next, nullptr);
    if (!Guard()) {
        m_config->SetButtonAssignment(button, old, nullptr);
        return false;
    }
    return !AssignmentsEqual(next, old);
}

} // namespace vt::config
