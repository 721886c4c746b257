#pragma once
// What the macro pages do with the macros, apart from any window: the mouse and keyboard pages
// are one template over their configuration interface. The page's drop-down, event display and
// delay controls stand behind IMacroPageView, so every command runs in tests on a real
// configuration and a fake device.
#include <functional>
#include <string>
#include <vector>
#include "config/pages/PageRules.h"
#include "profile/ConfigInterfaces.h"

namespace vt::config {

constexpr int kMacroLimit = 0x10000;   // no new macro from this count on
constexpr int kDefaultDelayMs = 50;
constexpr size_t kMacroPathLimit = 256;   // an imported file's path must be shorter

// The default-delay edit's text as a number: leading blanks and a sign allowed, digits up to the
// first other character, 0 when there is none.
int ParseDelay(const std::wstring& text);
// Where a predefined sequence goes into a macro of `count` events when `row` is the display's
// first selected row (-1 none): the start without a row, the end after the last row, else after
// the row.
size_t PredefinedInsertAt(int row, size_t count);
// Whether a key edit changes the event: scan code, virtual key or the extended flag differ (Enter
// and keypad Enter share their scan code and differ by the flag).
bool KeyEditChanges(const MacroEvent& event, uint16_t scan, uint16_t vk, bool extended);
// The row of the other half of a key stroke: for a press the first later release of the same key,
// for a release the last earlier press of it; -1 when there is none.
int KeyPartnerRow(const std::vector<MacroEvent>& events, int row);

class IMacroPageView {
public:
    virtual ~IMacroPageView() = default;
    // The drop-down's current text and the index of the entry that equals it (-1 none).
    virtual std::wstring CurrentName() = 0;
    virtual int SelectedIndex() = 0;
    virtual void FillNames(const std::vector<std::wstring>& names) = 0;
    virtual void SelectEntry(int index) = 0;
    // No macro left: empty drop-down text, empty display, record and advanced disabled.
    virtual void ShowNoMacro() = 0;
    virtual void LoadEvents(const std::vector<MacroEvent>& events) = 0;
    virtual std::vector<MacroEvent> Events() = 0;
    virtual int FirstSelectedRow() = 0;
    virtual void ReplaceEvent(int row, const MacroEvent& event) = 0;
    virtual bool IsRecording() = 0;
    // Starts or stops the display's recording; the new state.
    virtual bool ToggleRecording() = 0;
    // Every control but stop disabled while recording, relabelled record button; all back after.
    virtual void ShowRecording(bool recording) = 0;
    virtual void EnableRecordAndAdvanced(bool on) = 0;
    virtual bool InsertDefaultDelayChecked() = 0;
    virtual std::wstring DelayText() = 0;
    virtual void SetDelayText(const std::wstring& text) = 0;
    virtual void SetDefaultDelay(int milliseconds) = 0;
};

template <class ConfigT>
class MacroPageRules : public PageRules<ConfigT> {
public:
    using DeviceT = DeviceOf<ConfigT>;

    MacroPageRules(ConfigT*& config, std::function<DeviceT*()> device, IPopupHost& popups, IFileDialogs& files,
                   IMacroPageView& view)
        : PageRules<ConfigT>(config, std::move(device), popups, files), m_view(view) {}

    // The macro the drop-down names, or null.
    CMacro* Selected();
    void FillList();
    void MacroChosen();
    void NewMacro();
    bool Import();
    void Export();
    void Delete();
    bool RecordOrStop();
    bool DefaultDelayEdited();
    void EventsChanged();
    void EditKeyEvent();
    void InsertPredefined();

private:
    using Base = PageRules<ConfigT>;
    using Base::m_config;
    using Base::m_popups;
    using Base::m_files;
    using Base::m_owner;
    using Base::Changed;
    using Base::Device;
    using Base::Warn;

    IMacroPageView& m_view;
};

extern template class MacroPageRules<IMouseConfig>;
extern template class MacroPageRules<IKeyboardConfig>;

} // namespace vt::config
