#pragma once
// How the main window and its pages run their popups. The program's host shows the skinned
// popups modally; tests give a host that answers from a script.
#include <windows.h>
#include "config/DpiStages.h"

namespace vt::config {

class IPopupHost {
public:
    virtual ~IPopupHost() = default;
    // A warning or confirmation page file: 1 OK, 2 Cancel.
    virtual INT_PTR Warning(HWND parent, const wchar_t* pageFile, const wchar_t* message = nullptr) = 0;
    // The DPI stages popup on the record: 1 OK (the record holds the edits), else 2.
    virtual INT_PTR DpiStages(HWND parent, DpiStagesEdit& edit) = 0;
};

class PopupHost : public IPopupHost {
public:
    INT_PTR Warning(HWND parent, const wchar_t* pageFile, const wchar_t* message = nullptr) override;
    INT_PTR DpiStages(HWND parent, DpiStagesEdit& edit) override;
};

} // namespace vt::config
