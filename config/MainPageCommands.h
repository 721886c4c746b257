#pragma once
// The main page's own buttons that open a popup over the devices' configurations rather than a
// page's (APM, lighting effects). The main window looks a click up here; filling a command is
// work in MainPageCommands.cpp and its popup's file pair, never in the main window.
#include <span>
#include "config/pages/Page.h"

namespace vt::config {

struct MainPageCommand {
    int button;   // the main page's control id
    // Runs the command for the shown device (kMouse, kKeyboard, kHeadset, or -1 with none); true
    // when it edited that device (the main window then marks it changed).
    bool (*run)(PageContext& context, int device);
};

std::span<const MainPageCommand> MainPageCommands();

} // namespace vt::config
