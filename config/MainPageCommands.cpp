#include "config/MainPageCommands.h"
#include "config/popups/ApmPopup.h"
#include "config/popups/LightingEffectsPopup.h"
#include "config/popups/WarningPopup.h"
#include "skin/VocabularyIds.h"

namespace vt::config {

namespace {

// The APM popup: the stages of the device shown, written on OK into every configuration present,
// each of those devices marked changed (they all have new stages to apply).
bool ApmCommand(PageContext& ctx, int device) {
    std::vector<ApmStage> stages;
    if (device == kMouse) stages = ReadApmStages(ctx.mouse);
    else if (device == kKeyboard) stages = ReadApmStages(ctx.keyboard);
    else if (device == kHeadset) stages = ReadApmStages(ctx.headset);
    ApmPopup popup(std::move(stages), ctx.popups);
    if (ctx.popups.Run(ctx.Owner(), popup) != 1) return false;
    // Keyboard, mouse, headset: each write is checked; a refused stage leaves that device unmarked
    // so nothing half-written is applied.
    const bool written[kDeviceCount] = {ctx.mouse && WriteApmStages(ctx.mouse, popup.Stages()),
                                        ctx.keyboard && WriteApmStages(ctx.keyboard, popup.Stages()),
                                        ctx.headset && WriteApmStages(ctx.headset, popup.Stages())};
    for (int d = 0; d < kDeviceCount; ++d)
        if (written[d] && d != device) ctx.site.MarkDeviceChanged(d);
    return device >= 0 && device < kDeviceCount && written[device];
}

// The lighting-effects popup over the configuration assignments of the present devices: read
// from the first, written on OK into each, each of those devices marked changed.
bool LightingEffectsCommand(PageContext& ctx, int device) {
    // The effects are the devices' key entries, read from the engine when first needed: shown
    // and written only once they hold what the devices hold.
    if (!ctx.devices.ReadKeyEntries()) {
        Warn(ctx.popups, ctx.Owner(), L"NoMousePopup.xml", L"$EngineNotAnswering");
        return false;
    }
    LightingEffectsPopup popup(ReadEffects(ctx.mouse, ctx.keyboard, ctx.headset), ctx.popups);
    if (ctx.popups.Run(ctx.Owner(), popup) != 1) return false;
    WriteEffects(ctx.mouse, popup.Records());
    WriteEffects(ctx.keyboard, popup.Records());
    WriteEffects(ctx.headset, popup.Records());
    // Every device written has new effects to apply; left unmarked they would be lost at exit.
    const bool written[kDeviceCount] = {ctx.mouse != nullptr, ctx.keyboard != nullptr, ctx.headset != nullptr};
    for (int d = 0; d < kDeviceCount; ++d)
        if (written[d] && d != device) ctx.site.MarkDeviceChanged(d);
    return device >= 0 && device < kDeviceCount && written[device];
}

const MainPageCommand kCommands[] = {
    {vt::skin::ctl::BUTTON_APM, ApmCommand},
    {vt::skin::ctl::BUTTON_LIGHTINGEFFECTS, LightingEffectsCommand},
};

} // namespace

std::span<const MainPageCommand> MainPageCommands() { return kCommands; }

} // namespace vt::config
