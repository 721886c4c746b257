#pragma once
// A popup of the configuration program, and the host that runs popups for the main window and its
// pages.
//
// Adding a popup: one file pair here. Its class derives from IPopup, holds what the caller hands
// it and what it hands back (a copy the caller reads after OK), and shows its skinned window
// modally in Show. Callers run it through the host they were given:
//
//     NameEntryPopup popup(L"ProfileNamePopup.xml", oldName);
//     if (ctx.popups.Run(ctx.Owner(), popup) == 1) Rename(popup.Name());
//
// The program's host (PopupHost) simply calls Show; a test's host answers from a script instead,
// recognising the popup by its class (dynamic_cast) and editing what it holds. Neither the main
// window nor the host changes when a popup is added.
#include <windows.h>

namespace vt::config {

class IPopup {
public:
    virtual ~IPopup() = default;
    // Shows the popup modally over parent: 1 for OK, 2 for Cancel, Escape or the close box
    // (a popup may define more results; its header says so).
    virtual INT_PTR Show(HWND parent) = 0;
};

class IPopupHost {
public:
    virtual ~IPopupHost() = default;
    // Runs the popup and gives its result.
    virtual INT_PTR Run(HWND parent, IPopup& popup) = 0;
};

// The program's host: every popup shows its window.
class PopupHost : public IPopupHost {
public:
    INT_PTR Run(HWND parent, IPopup& popup) override { return popup.Show(parent); }
};

} // namespace vt::config
