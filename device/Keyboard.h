#pragma once
// The keyboard device object: opens the keyboard through the engine and reads its profiles and key
// list into the keyboard configuration, writes the configuration back on its worker thread from a
// copy of the model, reads it again, imports and exports profiles and macros through the engine,
// and passes the keyboard's mode and layout number through.
#include "device/DeviceBase.h"
#include "device/GenDevice.h"
#include "device/KeyboardTransfer.h"
#include <cstdint>
#include <string>

namespace vt::device {

class CKeyboard : public IKeyboardDevice, public CBaseDevice<IKeyboardConfig*, IKeyboardProfile*, CKeyboard> {
public:
    explicit CKeyboard(const DeviceDescription* description = &kKeyboardDescription);
    ~CKeyboard() override;

    bool Open(IKeyboardConfig* config) override;
    void Close() override { ResetDevice(); }
    bool IsBusy() override { return DeviceCore::IsBusy(); }
    bool ImportMacro(const wchar_t* path, IKeyboardConfig* config) override { return BaseImportMacro(path, config); }
    bool ExportMacro(const wchar_t* path, CMacro* macro) override { return BaseExportMacro(path, macro); }
    bool HasEngineMacro(CMacro* macro) override { return BaseHasEngineMacro(macro); }
    bool ImportProfile(const wchar_t* path, IKeyboardConfig* config) override;
    bool ExportProfile(const wchar_t* path, IKeyboardProfile* profile) override { return BaseExportProfile(path, profile); }
    bool HasEngineProfile(IKeyboardProfile* profile) override { return BaseHasEngineProfile(profile); }
    bool SelectMode2() override { return SelectMode(2); }
    bool SelectMode1() override { return SelectMode(1); }
    // The keyboard's layout number.
    bool QueryKeyboardValue(ULONG* value) override;
    bool TransferProfiles(IKeyboardConfig* config, int32_t mode, uint32_t mask) override;
    bool IsConnected() override { return DeviceCore::IsConnected(); }
    bool GetFirmwareVersion(std::wstring& text) override { text = m_firmware; return true; }
    bool GetDriverVersion(std::wstring& text) override { text = m_driver; return true; }
    int32_t GetProductId() override { return int32_t(ProductId()); }
    int32_t GetProfileCount() override { return BaseGetProfileCount(); }
    int32_t GetLastWriteResult() override { return LastWriteResult(); }

    // The configuration's key entries, read from the engine when first needed (see
    // CBaseDevice::BaseReadKeyEntries).
    bool ReadKeyEntries(IKeyboardConfig* config) { return BaseReadKeyEntries(config); }

private:
    bool SelectMode(ULONG mode);
};

} // namespace vt::device
