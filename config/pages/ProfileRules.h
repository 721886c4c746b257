#pragma once
// What the profile pages do with the profiles, apart from any window: the mouse and keyboard pages
// are one template over their configuration interface. The page's list control stands behind
// IProfileListView, the popups behind the popup host and the file dialogs behind IFileDialogs, so
// that every command runs in tests on a real configuration and a fake device.
#include <functional>
#include <string>
#include <vector>
#include "config/pages/PageRules.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

constexpr int kProfileLimit = 20;              // new, copy and import are refused from this count on
constexpr size_t kImportPathLimit = 256;       // an imported file's path must be shorter
constexpr size_t kProgramNameLimit = 127;      // a linked program's file name must be shorter
constexpr size_t kCopyBaseCut = 18;            // copy names of long names keep this many characters

// The name a copy of `source` gets: "name(n)" for the first n from 2 to 99 that no name in
// `taken` equals exactly; a source of 20 or more characters keeps its first 18. Empty when every
// candidate is taken.
std::wstring ProfileCopyName(const std::wstring& source, const std::vector<std::wstring>& taken);
// The file name and extension of a program path (no folder), each part cut to 256 characters.
std::wstring ProgramFileName(const std::wstring& path);

// The page's profile list as the rules see it. Row keys are profile indices.
class IProfileListView {
public:
    virtual ~IProfileListView() = default;
    // Key of the selected row, -1 when none.
    virtual int SelectedKey() = 0;
    // Rows brought to the profiles, the current profile's row highlighted.
    virtual void RefreshList() = 0;
    // Scrolls the row into view, selects and focuses it.
    virtual void SelectRow(int key) = 0;
    virtual void SetNameCell(int key, const std::wstring& text) = 0;
    virtual void SetProgramCell(int key, const std::wstring& text) = 0;
    virtual void SetAutoSwitchCell(int key, bool on) = 0;
    // The profile on-screen-display box.
    virtual bool OsdChecked() = 0;
    // The whole page read again (the keyboard page after a new profile).
    virtual void RefreshPage() = 0;
};

// What a menu choice ran, so that the page knows what to refresh around itself.
enum class ProfileCommand { None, New, Rename, Preview, SetActive, Delete, Copy, Import, Export, RestoreDefault };

template <class ConfigT>
class ProfilePageRules : public PageRules<ConfigT> {
public:
    using ProfileT = typename DeviceKind<ConfigT>::Profile;
    using DeviceT = DeviceOf<ConfigT>;

    ProfilePageRules(ConfigT*& config, std::function<DeviceT*()> device, IPopupHost& popups, IFileDialogs& files,
                     IProfileListView& view)
        : PageRules<ConfigT>(config, std::move(device), popups, files), m_view(view) {}

    // The profile of a row key, or null (no configuration, negative key, key past the profiles).
    ProfileT* AtKey(int key);
    ProfileT* Selected() { return AtKey(m_view.SelectedKey()); }

    bool NewProfile();
    bool Rename();
    void Copy(int key);
    void SetActive(int key);
    bool Delete();
    void Export();
    bool Import();
    bool RestoreDefault(int key);
    void Preview();
    void ProgramChosen(int key, const wchar_t* path);
    void AutoSwitchClicked(int key, uint8_t state);
    void OsdClicked(bool on);
    // A menu entry's text ("$New", "$Rename", ...); answers what ran and sets *result to its answer.
    ProfileCommand MenuChoice(int key, const std::wstring& text, bool* result = nullptr);

private:
    using Base = PageRules<ConfigT>;
    using Base::m_config;
    using Base::m_popups;
    using Base::m_files;
    using Base::m_owner;
    using Base::Changed;
    using Base::Device;
    using Base::Warn;

    bool AtLimit(const wchar_t* message);
    ProfileT* NamedExactly(const std::wstring& name);

    IProfileListView& m_view;
};

extern template class ProfilePageRules<IMouseConfig>;
extern template class ProfilePageRules<IKeyboardConfig>;

} // namespace vt::config
