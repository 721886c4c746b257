#pragma once
// The test program's few conversations with the user, behind one seam so that tests run without
// them: plain message boxes, the profile file dialogs and the colour dialog. The real ones are the
// system's; a test sets its own and restores null (the system's) at the end.
#include <windows.h>
#include <string>

namespace vt::audtest {

class IUserDialogs {
public:
    virtual ~IUserDialogs() = default;
    // A plain message box with an OK button and the text only.
    virtual void Message(HWND owner, const std::wstring& text) = 0;
    // The profile file dialog (open, or save with the overwrite prompt); true with a path on OK.
    virtual bool ChooseProfileFile(HWND owner, bool save, std::wstring* path) = 0;
    // The colour dialog starting at `colour`; true with the chosen colour on OK.
    virtual bool ChooseColour(HWND owner, COLORREF* colour) = 0;
};

IUserDialogs& UserDialogs();
void SetUserDialogs(IUserDialogs* dialogs);

// A failure of the audio manager in a plain message box: "<what> (error 0x8007001F)".
void ReportFailure(HWND owner, const std::wstring& what, HRESULT hr);

} // namespace vt::audtest
