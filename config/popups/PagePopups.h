#pragma once
// The popups the device pages open, behind one seam: the program runs the skinned popups modally
// (PagePopups.cpp); tests answer from a script. Every call answers 1 for OK and 2 for Cancel and
// writes its results only on OK.
#include <windows.h>
#include <string>
#include <vector>
#include "profile/ConfigInterfaces.h"
#include "skin/KeyEvents.h"

namespace vt::config {

class IPagePopups {
public:
    virtual ~IPagePopups() = default;
    // A warning or confirmation page file; message (may be null) replaces its heading, appended
    // (may be null) follows the heading.
    virtual INT_PTR Warning(HWND parent, const wchar_t* pageFile, const wchar_t* message, const wchar_t* appended) = 0;
    // A name of at most 20 characters ("MacroNamePopup.xml", "ProfileNamePopup.xml",
    // "ProfileRenamePopup.xml" with the current name appended to its heading).
    virtual INT_PTR NameEntry(HWND parent, const wchar_t* pageFile, std::wstring& name, const wchar_t* appended) = 0;
    // A signed decimal number ("MacroRepeatEntryPopup.xml").
    virtual INT_PTR NumberEntry(HWND parent, const wchar_t* pageFile, int& number) = 0;
    // One of the choices ("SelectProfilePopup.xml").
    virtual INT_PTR Select(HWND parent, const wchar_t* pageFile, const std::vector<std::wstring>& choices,
                           std::wstring& chosen) = 0;
    // A macro and its play mode (1 once, 2 a number of times, 3 until pressed again, 4 while pressed).
    virtual INT_PTR MacroAssignment(HWND parent, unsigned& mode, const std::vector<std::wstring>& names,
                                    std::wstring& chosen) = 0;
    // A predefined key sequence's name.
    virtual INT_PTR PredefinedMacro(HWND parent, std::wstring& chosen) = 0;
    // The read-only summary of a mouse profile; title follows the popup's heading.
    virtual INT_PTR Preview(HWND parent, IMouseProfile* profile, IMouseConfig* config, const std::wstring& title) = 0;
    // One key (scan code, virtual key, extended flag); the record holds the key shown at first.
    virtual INT_PTR SingleKey(HWND parent, vt::skin::KeyEventRecord& key) = 0;
};

class PagePopups : public IPagePopups {
public:
    INT_PTR Warning(HWND parent, const wchar_t* pageFile, const wchar_t* message, const wchar_t* appended) override;
    INT_PTR NameEntry(HWND parent, const wchar_t* pageFile, std::wstring& name, const wchar_t* appended) override;
    INT_PTR NumberEntry(HWND parent, const wchar_t* pageFile, int& number) override;
    INT_PTR Select(HWND parent, const wchar_t* pageFile, const std::vector<std::wstring>& choices,
                   std::wstring& chosen) override;
    INT_PTR MacroAssignment(HWND parent, unsigned& mode, const std::vector<std::wstring>& names,
                            std::wstring& chosen) override;
    INT_PTR PredefinedMacro(HWND parent, std::wstring& chosen) override;
    INT_PTR Preview(HWND parent, IMouseProfile* profile, IMouseConfig* config, const std::wstring& title) override;
    INT_PTR SingleKey(HWND parent, vt::skin::KeyEventRecord& key) override;
};

} // namespace vt::config
