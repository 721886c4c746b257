// Entry point of window-test executables: COM and common controls for the whole run.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include "TestRun.h"

int main(int argc, char** argv) {
    HRESULT hr = E_FAIL;
    return vt::test::RunTests(argc, argv, [&] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }, [&] {
        if (SUCCEEDED(hr)) CoUninitialize();
    });
}
