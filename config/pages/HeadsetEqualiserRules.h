#pragma once
// What the headset's equaliser page does with the headset configuration and the headset device
// object, apart from any window. The presets are the headset profiles; the profile named "Custom"
// takes every manual band change. Its band gains as last accepted are kept as a snapshot, so that
// changes the user does not want are rolled back when another preset is chosen or the page is left
// (the preset warning asks).
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "config/popups/Popup.h"
#include "profile/ConfigInterfaces.h"

class IAudioDevice;

namespace vt::config {

constexpr int kEqualiserBands = 10;
constexpr const wchar_t* kCustomPreset = L"Custom";

// How a band slider stands for a gain. Gains are stored unscaled; a slider shows gain / scale and
// its value v stands for the gain v * scale, so both directions agree whatever the scale. The
// slider's ends are the gain range's divided by the scale towards zero, so that every slider
// value's gain lies in the range.
struct GainScale {
    int32_t min = 0, max = 0, scale = 1;
    // The range and scale of a profile (a scale below 1 counts as 1).
    static GainScale Of(IAudioConfig* config, IAudioProfile* profile);
    int SliderMin() const { return int(min / scale); }
    int SliderMax() const { return int(max / scale); }
    // A gain as a slider shows it: divided by the scale, to the nearest, within the slider's ends.
    int ToSlider(int32_t gain) const;
    // The gain a slider value stands for, within the gain range.
    int16_t ToGain(int value) const;
};

class EqualiserRules {
public:
    // config: the main window's headset configuration slot; device: the headset device object bound
    // to it now (null: nothing is written to the headset).
    EqualiserRules(IAudioConfig*& config, std::function<::IAudioDevice*()> device, IPopupHost& popups)
        : m_config(config), m_device(std::move(device)), m_popups(popups) {}
    void SetOwner(HWND owner) { m_owner = owner; }

    // Once, when the page is built: the snapshot is taken and the current preset's equaliser switch
    // becomes every preset's.
    void Initialise();
    // The page is shown: the snapshot is taken again, the current preset's equaliser is attached for
    // live editing, and no change is pending.
    void Enter();
    // The page is left (another page or device, or the window closes): the equaliser is let go;
    // pending "Custom" changes are kept or rolled back as the preset warning is answered (rolled back:
    // the first preset becomes current).
    void Leave();

    // The equaliser switched on or off, for every preset.
    void SwitchClicked(bool on);
    // The preset at that index of Presets() chosen; false when nothing changed (a name that no longer
    // exists, or the current preset).
    bool PresetChosen(int index);
    // A band slider (position 0..9) released at a value; false when the change was refused (the
    // slider must show the model again).
    bool BandSet(int position, int value);

    // What the page shows.
    const std::vector<std::wstring>& Presets() const { return m_presets; }
    // The presets read again; the index of the current one, -1 when none.
    int FillPresets();
    bool SwitchOn() const;
    GainScale Scale() const;
    // The band id at a slider position.
    int32_t BandAt(int position) const;
    // A slider's value: the band's gain when the equaliser is on, else 0.
    int SliderValue(int position) const;

    bool Modified() const { return m_modified; }
    const BandGains& Snapshot() const { return m_snapshot; }

private:
    ::IAudioDevice* Device() const { return m_device ? m_device() : nullptr; }
    IAudioProfile* Custom() const;
    // The "Custom" preset, made when there is none (in the model and on the headset, with the band
    // layout and gains of `from`); null when it cannot be made.
    IAudioProfile* MakeCustom(IAudioProfile* from);
    void TakeSnapshot();
    // Pending changes are kept (true) or rolled back, as the preset warning is answered.
    bool AskAndSettle();
    void RollBack();

    IAudioConfig*& m_config;
    std::function<::IAudioDevice*()> m_device;
    IPopupHost& m_popups;
    HWND m_owner = nullptr;
    std::vector<std::wstring> m_presets;
    BandGains m_snapshot;
    bool m_modified = false;
};

} // namespace vt::config
