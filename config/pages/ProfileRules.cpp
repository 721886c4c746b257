#include "config/pages/ProfileRules.h"
#include <cwchar>
#include "config/pages/FileChoice.h"
#include "config/popups/NameEntryPopup.h"
#include "config/popups/PreviewPopup.h"
#include "config/popups/WarningPopup.h"
#include "profile/KeyboardConfig.h"
#include "profile/MouseConfig.h"

namespace vt::config {

std::wstring ProfileCopyName(const std::wstring& source, const std::vector<std::wstring>& taken) {
    const std::wstring base = source.size() >= 20 ? source.substr(0, kCopyBaseCut) : source;
    for (int n = 2; n <= 99; ++n) {
        const std::wstring candidate = base + L"(" + std::to_wstring(n) + L")";
        bool used = false;
        for (const std::wstring& t : taken) used = used || t == candidate;
        if (!used) return candidate;
    }
    return {};
}

std::wstring ProgramFileName(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/:");
    const std::wstring file = cut == std::wstring::npos ? path : path.substr(cut + 1);
    const size_t dot = file.find_last_of(L'.');
    std::wstring name = dot == std::wstring::npos ? file : file.substr(0, dot);
    std::wstring ext = dot == std::wstring::npos ? std::wstring() : file.substr(dot);
    if (name.size() > 256) name.resize(256);
    if (ext.size() > 256) ext.resize(256);
    return name + ext;
}

namespace {

void RestoreDefaults(IMouseConfig* config, IMouseProfile* profile) { FillMouseProfileDefaults(config, profile); }
void RestoreDefaults(IKeyboardConfig* config, IKeyboardProfile* profile) { SetKeyboardLightingDefaults(profile, config); }

std::wstring NameOf(IMouseProfile* p) { return p && p->GetName() ? p->GetName() : L""; }
std::wstring NameOf(IKeyboardProfile* p) { return p && p->GetName() ? p->GetName() : L""; }

GUID IdOf(IMouseProfile* p) { GUID g{}; if (p) p->GetId(&g); return g; }
GUID IdOf(IKeyboardProfile* p) { GUID g{}; if (p) p->GetId(&g); return g; }

} // namespace

template <class ConfigT>
typename ProfilePageRules<ConfigT>::ProfileT* ProfilePageRules<ConfigT>::AtKey(int key) {
    if (!m_config || key < 0 || key >= m_config->GetProfileCount()) return nullptr;
    return m_config->GetProfileAt(uint32_t(key));
}

template <class ConfigT>
bool ProfilePageRules<ConfigT>::AtLimit(const wchar_t* message) {
    if (m_config->GetProfileCount() < kProfileLimit) return false;
    Warn(L"ProfileLimitReachedPopup.xml", message);
    return true;
}

template <class ConfigT>
typename ProfilePageRules<ConfigT>::ProfileT* ProfilePageRules<ConfigT>::NamedExactly(const std::wstring& name) {
    for (int i = 0; i < m_config->GetProfileCount(); ++i) {
        ProfileT* p = m_config->GetProfileAt(uint32_t(i));
        if (p && NameOf(p) == name) return p;
    }
    return nullptr;
}

template <class ConfigT>
bool ProfilePageRules<ConfigT>::NewProfile() {
    if (!m_config || AtLimit(L"$CreateProfile")) return false;
    NameEntryPopup entry(L"ProfileNamePopup.xml");
    if (m_popups.Run(m_owner, entry) != 1 || entry.Name().empty()) return false;
    const std::wstring name = entry.Name();
    if (NamedExactly(name)) {
        Warn(L"DuplicateProfileWarningPopup.xml", nullptr, &name);
        return false;
    }
    ProfileT* created = m_config->CreateProfile(name.c_str());
    if (!created) return false;
    if constexpr (DeviceKind<ConfigT>::kKeyboard) m_config->SetProfileOsdEnabledAll(m_view.OsdChecked() ? 1 : 0);
    m_config->SetCurrentProfile(created);
    m_view.RefreshList();
    if constexpr (DeviceKind<ConfigT>::kKeyboard) m_view.RefreshPage();
    Changed();
    return true;
}

template <class ConfigT>
bool ProfilePageRules<ConfigT>::Rename() {
    const int key = m_view.SelectedKey();
    ProfileT* p = AtKey(key);
    if (!p) return false;
    const std::wstring current = NameOf(p);
    const std::wstring appended = L": " + current;
    NameEntryPopup entry(L"ProfileRenamePopup.xml", appended.c_str());
    if (m_popups.Run(m_owner, entry) != 1 || entry.Name().empty()) return false;
    const std::wstring name = entry.Name();
    if (NamedExactly(name)) {
        Warn(L"DuplicateProfileWarningPopup.xml", nullptr, &name);
        m_view.SetNameCell(key, current);
        return false;
    }
    if (!m_config->RenameProfile(p, name.c_str())) return false;
    m_view.RefreshList();
    Changed();
    return true;
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::Copy(int key) {
    if (!m_config || AtLimit(L"$Copy")) return;
    ProfileT* source = AtKey(key);
    if (!source) return;  // a row without a profile copies nothing
    std::vector<std::wstring> names;
    for (int i = 0; i < m_config->GetProfileCount(); ++i) names.push_back(NameOf(m_config->GetProfileAt(uint32_t(i))));
    const std::wstring name = ProfileCopyName(NameOf(source), names);
    if (name.empty()) return;
    if (ProfileT* copy = m_config->DuplicateProfile(source, name.c_str())) {
        m_config->SetCurrentProfile(copy);
        m_view.RefreshList();
        Changed();
    }
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::SetActive(int key) {
    ProfileT* p = AtKey(key);
    if (!p || p == m_config->GetCurrentProfile()) return;
    m_config->SetCurrentProfile(p);
    m_view.RefreshList();
    Changed();
}

template <class ConfigT>
bool ProfilePageRules<ConfigT>::Delete() {
    const int key = m_view.SelectedKey();
    ProfileT* p = AtKey(key);
    if (!p) return false;
    ProfileT* first = m_config->GetProfileAt(0);
    const std::wstring name = NameOf(p);
    // The first profile stays. A profile the engine does not know yet has the null id, as may the
    // first one: null ids say nothing about being the same profile.
    const GUID id = IdOf(p);
    if (key == 0 || p == first || (!IsNullGuid(id) && GuidsEqual(id, IdOf(first)))) {
        Warn(L"DisallowDeletePopup.xml", nullptr, &name);
        return false;
    }
    if (Warn(L"ConfirmDeletePopup.xml", nullptr, &name) != 1) return false;
    // The configuration deletes the profile's stored file with it.
    m_config->DeleteProfile(p);
    if (!m_config->GetCurrentProfile()) {
        m_view.SelectRow(0);
        m_config->SetCurrentProfile(m_config->GetProfileAt(0));
    }
    m_view.RefreshList();
    Changed();
    return true;
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::Export() {
    ProfileT* p = Selected();
    DeviceT* device = Device();
    if (!p || !device) return;
    const std::wstring name = NameOf(p);
    if (!device->HasEngineProfile(p)) {
        Warn(L"ExportProfileWarningPopup.xml", nullptr, &name);
        return;
    }
    std::wstring path;
    if (!ChooseFile(m_files, m_owner, MakeFileChoice(L"Profile", L"vtp"), false, path)) return;
    // A file that could not be written is said so, not passed over.
    if (!device->ExportProfile(path.c_str(), p)) Warn(L"FileErrorPopUp.xml");
}

template <class ConfigT>
bool ProfilePageRules<ConfigT>::Import() {
    DeviceT* device = Device();
    if (!m_config || !device || AtLimit(L"$ImportProfile")) return false;
    if (m_config->GetProfileCount() != device->GetProfileCount()) {
        Warn(L"ImporttProfileWarningPopup.xml", L"$ImportProfile");
        return false;
    }
    std::wstring path;
    if (!ChooseFile(m_files, m_owner, MakeFileChoice(L"Profile", L"vtp"), true, path)) return false;
    if (path.size() >= kImportPathLimit) {
        Warn(L"PathLengthLimitReachedPopUp.xml", L"$Import");
        return false;
    }
    if (!device->ImportProfile(path.c_str(), m_config)) {
        Warn(L"FileErrorPopUp.xml");
        m_view.RefreshList();
        return false;
    }
    m_view.RefreshList();
    return true;
}

template <class ConfigT>
bool ProfilePageRules<ConfigT>::RestoreDefault(int key) {
    ProfileT* p = AtKey(key);
    if (!p) return false;
    const std::wstring name = NameOf(p);
    if (Warn(L"RestoreAllPopup.xml", nullptr, &name) != 1) return false;
    RestoreDefaults(m_config, p);
    if (p == m_config->GetCurrentProfile()) m_view.RefreshList();
    Changed();
    return true;
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::Preview() {
    if constexpr (!DeviceKind<ConfigT>::kKeyboard) {
        IMouseProfile* p = Selected();
        if (!p) return;
        PreviewPopup preview(p, m_config, L": " + NameOf(p));
        m_popups.Run(m_owner, preview);
    }
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::ProgramChosen(int key, const wchar_t* path) {
    ProfileT* p = AtKey(key);
    if (!p) return;
    const std::wstring full = path ? path : L"";
    if (ProgramFileName(full).size() >= kProgramNameLimit) {
        m_view.SetProgramCell(key, L"");
        Warn(L"FileNameLengthLimitReachedPopUp.xml", L"$AssignApplication");
        return;
    }
    p->SetProfilePath(full.c_str());
    // Automatic switching needs a linked program: taking the program away switches it off.
    if (full.empty() && p->GetProfileFlag()) {
        p->SetProfileFlag(0);
        m_view.SetAutoSwitchCell(key, false);
    }
    Changed();
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::AutoSwitchClicked(int key, uint8_t state) {
    ProfileT* p = AtKey(key);
    if (!p) return;
    const wchar_t* program = p->GetFileName();
    if (state && (!program || !*program)) {
        const std::wstring name = NameOf(p);
        Warn(L"SelectApplicationWarningPopup.xml", nullptr, &name);
        m_view.SetAutoSwitchCell(key, false);
        return;
    }
    p->SetProfileFlag(state ? 1 : 0);
    m_view.SetAutoSwitchCell(key, state != 0);
    Changed();
}

template <class ConfigT>
void ProfilePageRules<ConfigT>::OsdClicked(bool on) {
    if (!m_config) return;
    m_config->SetProfileOsdEnabledAll(on ? 1 : 0);
    Changed();
}

template <class ConfigT>
ProfileCommand ProfilePageRules<ConfigT>::MenuChoice(int key, const std::wstring& text, bool* result) {
    bool r = false;
    ProfileCommand c = ProfileCommand::None;
    if (text == L"$New") { c = ProfileCommand::New; r = NewProfile(); }
    else if (text == L"$Rename") { c = ProfileCommand::Rename; r = Rename(); }
    else if (text == L"$Preview") { c = ProfileCommand::Preview; Preview(); }
    else if (text == L"$SetActive") { c = ProfileCommand::SetActive; SetActive(key); }
    else if (text == L"$Delete") { c = ProfileCommand::Delete; r = Delete(); }
    else if (text == L"$Copy") { c = ProfileCommand::Copy; Copy(key); }
    else if (text == L"$Import") { c = ProfileCommand::Import; r = Import(); }
    else if (text == L"$Export") { c = ProfileCommand::Export; Export(); }
    else if (text == L"$RestoreDefault") { c = ProfileCommand::RestoreDefault; r = RestoreDefault(key); }
    if (result) *result = r;
    return c;
}

template class ProfilePageRules<IMouseConfig>;
template class ProfilePageRules<IKeyboardConfig>;

} // namespace vt::config
