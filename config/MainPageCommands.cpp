#include "config/MainPageCommands.h"
#include "skin/VocabularyIds.h"

namespace vt::config {

namespace {

// The APM popup over the three configurations. Not there yet: the button does nothing.
bool ApmCommand(PageContext&, int) { return false; }

// The lighting-effects popup over the configuration assignments of the present devices. Not
// there yet: the button does nothing.
bool LightingEffectsCommand(PageContext&, int) { return false; }

const MainPageCommand kCommands[] = {
    {vt::skin::ctl::BUTTON_APM, ApmCommand},
    {vt::skin::ctl::BUTTON_LIGHTINGEFFECTS, LightingEffectsCommand},
};

} // namespace

std::span<const MainPageCommand> MainPageCommands() { return kCommands; }

} // namespace vt::config
