#pragma once
// The generic device interface of the mouse and keyboard device objects and of their do-nothing
// objects. Pages and the main window reach a device only through it.
#include "profile/ConfigInterfaces.h"
#include <windows.h>
#include <cstdint>
#include <string>

template <class ConfigT, class ProfileT>
class IGenDevice {
public:
    virtual bool Open(ConfigT config) = 0;                                      // 0
    virtual void Close() = 0;                                                   // 1
    virtual bool IsBusy() = 0;                                                  // 2
    virtual bool ImportMacro(const wchar_t* path, ConfigT config) = 0;          // 3
    virtual bool ExportMacro(const wchar_t* path, CMacro* macro) = 0;           // 4
    virtual bool HasEngineMacro(CMacro* macro) = 0;                             // 5
    virtual bool ImportProfile(const wchar_t* path, ConfigT config) = 0;        // 6
    virtual bool ExportProfile(const wchar_t* path, ProfileT profile) = 0;      // 7
    virtual bool HasEngineProfile(ProfileT profile) = 0;                        // 8
    virtual bool SelectMode2() = 0;                                             // 9
    virtual bool SelectMode1() = 0;                                             // 10
    virtual bool QueryKeyboardValue(ULONG* value) = 0;                          // 11
    // mode 0: write the model to the device on the worker thread (answers whether it started);
    // mode 1: read the device into the model now; other modes: false.
    virtual bool TransferProfiles(ConfigT config, int32_t mode, uint32_t mask) = 0;  // 12
    virtual bool IsConnected() = 0;                                             // 13
    virtual bool GetFirmwareVersion(std::wstring& text) = 0;                    // 14
    virtual bool GetDriverVersion(std::wstring& text) = 0;                      // 15
    virtual int32_t GetProductId() = 0;                                         // 16
    virtual int32_t GetProfileCount() = 0;                                      // 17
    // How the last write (mode 0) ended once IsBusy went false: -1 none yet, 0 failed,
    // 1 succeeded. The main window warns on 0.
    virtual int32_t GetLastWriteResult() = 0;                                   // 18

    virtual ~IGenDevice() = default;
};

using IMouseDevice = IGenDevice<IMouseConfig*, IMouseProfile*>;
using IKeyboardDevice = IGenDevice<IKeyboardConfig*, IKeyboardProfile*>;
