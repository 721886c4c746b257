#include "tray/TrayApp.h"
#include <commctrl.h>
#include <memory>
#include "tray/DeviceManager.h"
#include "tray/TrayDlg.h"
#include "win/Handles.h"

namespace vt::tray {

int CTolmSysTrayApp::Run(HINSTANCE instance) {
    vt::win::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kTrayMutexName));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return 0;  // another copy runs

    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    InitCommonControlsEx(&icc);

    auto dialog = std::make_unique<CTolmSysTrayDlg>(DeviceManager(), instance);
    if (!dialog->Create()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    dialog.reset();
    return 0;
}

} // namespace vt::tray
