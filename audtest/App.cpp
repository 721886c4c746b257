// VtAudTestApp: the audio manager's test program. One modal property sheet with seven pages, each
// driving one group of the audio manager's interfaces through COM.
#include "audtest/ApiSheet.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, 0xFF};
    InitCommonControlsEx(&icc);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        vt::audtest::CVtAudApiSheet sheet(instance);
        sheet.OpenAudioManager();
        sheet.RunModal();
    }  // the sheet has released the audio manager's objects; the pages go with it
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
