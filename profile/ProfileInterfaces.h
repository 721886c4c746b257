#pragma once
// The abstract profile interfaces the configurations hand out to the pages and the device layer.
// Slot order is part of the contract: keep every slot, reserved ones included, in its place.
// Profiles are owned by their configuration; nobody deletes one through these interfaces.
#include "profile/Records.h"
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class IMouseProfile {
public:
    virtual bool SetMaxDpiStageCount(uint32_t count) = 0;                   // 0
    virtual uint32_t GetMaxDpiStageCount() = 0;
    virtual uint32_t GetDpiStageCount() = 0;
    virtual uint32_t GetAltButtonCount() = 0;
    virtual void SetDpiStageCount(uint32_t count) = 0;
    virtual void Reserved5() = 0;                                           // 5: does nothing
    virtual const wchar_t* GetName() = 0;
    virtual GUID* GetId(GUID* out) = 0;
    virtual bool HasStoredFile() = 0;
    virtual void SetName(const wchar_t* name) = 0;
    virtual void SetId(GUID id) = 0;                                        // 10
    virtual const wchar_t* GetFileName() = 0;
    virtual void SetFileName(const wchar_t* name) = 0;
    virtual const wchar_t* GetStoredFilePath() = 0;
    virtual const wchar_t* GetProfilePath() = 0;
    virtual void SetProfilePath(const wchar_t* path) = 0;                   // 15
    virtual void SetProfileFlag(uint8_t flag) = 0;
    virtual uint8_t GetProfileFlag() = 0;
    virtual void SetDpiOsdEnabled(uint8_t on) = 0;
    virtual uint8_t GetDpiOsdEnabled() = 0;
    virtual void SetProfileOsdEnabled(uint8_t on) = 0;                      // 20
    virtual uint8_t GetProfileOsdEnabled() = 0;
    virtual void SetDpiStageSeparateXY(uint32_t stage, uint8_t on) = 0;
    virtual uint8_t GetDpiStageSeparateXY(uint32_t stage) = 0;
    virtual void SetActiveDpiStage(uint32_t stage) = 0;
    virtual int32_t GetActiveDpiStage() = 0;                                // 25
    virtual void SetDpiStageValue(uint32_t stage, uint32_t dpi) = 0;
    virtual uint32_t GetDpiStageValue(uint32_t stage) = 0;
    virtual void SetDpiStageValueX(uint32_t stage, uint32_t dpi) = 0;
    virtual uint32_t GetDpiStageValueX(uint32_t stage) = 0;
    virtual void SetDpiStageValueY(uint32_t stage, uint32_t dpi) = 0;       // 30
    virtual uint32_t GetDpiStageValueY(uint32_t stage) = 0;
    virtual void SetDpi(int32_t dpi) = 0;
    virtual int32_t GetDpi() = 0;
    virtual void SetDpiX(int32_t dpi) = 0;
    virtual int32_t GetDpiX() = 0;                                          // 35
    virtual void SetDpiY(int32_t dpi) = 0;
    virtual int32_t GetDpiY() = 0;
    virtual void SetSeparateXY(uint8_t on) = 0;
    virtual uint8_t GetSeparateXY() = 0;
    virtual void SetDpiRange(int32_t min, int32_t max, int32_t step) = 0;   // 40
    virtual bool GetDpiRange(int32_t* min, int32_t* max, int32_t* step) = 0;
    virtual void SetLightOn(int32_t zone, uint8_t on) = 0;
    virtual uint8_t GetLightOn(int32_t zone) = 0;
    virtual void SetLightColor(int32_t zone, int32_t colour) = 0;
    virtual int32_t GetLightColor(int32_t zone) = 0;                        // 45
    virtual void SetLightFlag(int32_t zone, uint8_t effect) = 0;
    virtual uint8_t GetLightFlag(int32_t zone) = 0;
    virtual void Reserved48(int32_t) = 0;                                   // does nothing
    virtual int32_t Reserved49() = 0;                                       // answers 0
    virtual void SetButtonAssignment(int32_t button, AssignmentRecord record) = 0;  // 50
    virtual AssignmentRecord GetButtonAssignment(int32_t button) = 0;
    virtual bool HasLeftClickAssigned() = 0;
    virtual void SetAssignment(int32_t id, AssignmentRecord record) = 0;
    virtual AssignmentRecord GetAssignment(int32_t id) = 0;
    virtual void SetAltButtonsEnabled(uint8_t on) = 0;                      // 55
    virtual uint8_t GetAltButtonsEnabled() = 0;
    virtual bool IsActionAllowedForButton(int32_t kind, int32_t button) = 0;
    virtual bool Reserved58(int32_t) = 0;                                   // answers false
    virtual void GetAllowedActionsForButton(std::vector<int32_t>& out, int32_t button) = 0;
    virtual void Reserved60(int32_t, int32_t) = 0;                          // 60: does nothing
    virtual bool IsAssignmentTypeAllowed(int32_t kind) = 0;
    virtual bool SaveToFile(std::wstring* writtenPath, const wchar_t* folder, const wchar_t* extension) = 0;
    virtual bool LoadFromFile(const wchar_t* fileName, const wchar_t* folder, const wchar_t* extension) = 0;

protected:
    ~IMouseProfile() = default;
};

class IKeyboardProfile {
public:
    virtual const wchar_t* GetName() = 0;                                   // 0
    virtual GUID* GetId(GUID* out) = 0;
    virtual void ResetAssignmentsToDefault() = 0;
    virtual bool HasStoredFile() = 0;
    virtual void SetName(const wchar_t* name) = 0;
    virtual void SetId(GUID id) = 0;                                        // 5
    virtual const wchar_t* GetFileName() = 0;
    virtual void SetFileName(const wchar_t* name) = 0;
    virtual const wchar_t* GetStoredFilePath() = 0;
    virtual const wchar_t* GetProfilePath() = 0;
    virtual void SetProfilePath(const wchar_t* path) = 0;                   // 10
    virtual void SetAssignment(int32_t id, AssignmentRecord record) = 0;
    virtual AssignmentRecord GetAssignment(int32_t id) = 0;
    virtual bool IsAssignmentTypeAllowed(int32_t kind) = 0;
    virtual void GetAllowedAssignmentTypes(std::vector<int32_t>& out) = 0;
    virtual void SetProfileFlag(uint8_t flag) = 0;                          // 15
    virtual uint8_t GetProfileFlag() = 0;
    virtual void SetProfileOsdEnabled(uint8_t on) = 0;
    virtual uint8_t GetProfileOsdEnabled() = 0;
    virtual void Reserved19(int32_t) = 0;                                   // does nothing
    virtual bool Reserved20() = 0;                                          // 20: answers false
    virtual void SetLightOn(int32_t zone, uint8_t on) = 0;
    virtual uint8_t GetLightOn(int32_t zone) = 0;
    virtual void SetLightColor(int32_t zone, int32_t colour) = 0;
    virtual int32_t GetLightColor(int32_t zone) = 0;
    virtual void SetLightFlag(int32_t zone, uint8_t effect) = 0;            // 25
    virtual uint8_t GetLightFlag(int32_t zone) = 0;
    virtual bool SaveToFile(std::wstring* writtenPath, const wchar_t* folder, const wchar_t* extension) = 0;
    virtual bool LoadFromFile(const wchar_t* fileName, const wchar_t* folder, const wchar_t* extension) = 0;

protected:
    ~IKeyboardProfile() = default;
};

using BandGains = std::map<int32_t, int16_t>;

class IAudioProfile {
public:
    virtual const wchar_t* GetName() = 0;                                   // 0
    virtual GUID* GetId(GUID* out) = 0;
    virtual void Reserved2() = 0;                                           // does nothing
    virtual bool HasStoredFile() = 0;
    virtual void SetName(const wchar_t* name) = 0;
    virtual void SetId(GUID id) = 0;                                        // 5
    virtual uint32_t GetBandCount() = 0;
    virtual bool InitBands(const std::vector<int32_t>& bands, int32_t min, int32_t max, int32_t scale) = 0;
    virtual bool SetAllBandGains(const BandGains& gains) = 0;
    virtual bool SetBandGain(int32_t band, int16_t gain) = 0;
    virtual bool GetAllBandGains(BandGains& out) = 0;                       // 10
    virtual int16_t GetBandGain(int32_t band) = 0;
    virtual void GetGainRange(int32_t* min, int32_t* max, int32_t* scale) = 0;
    virtual int32_t GetBandIdAt(uint32_t position) = 0;
    virtual void SetEqualizerEnabled(uint8_t on) = 0;
    virtual uint8_t GetEqualizerEnabled() = 0;                              // 15
    virtual void SetLightOn(int32_t zone, uint8_t on) = 0;
    virtual uint8_t GetLightOn(int32_t zone) = 0;
    virtual void SetLightColor(int32_t zone, int32_t colour) = 0;
    virtual int32_t GetLightColor(int32_t zone) = 0;
    virtual void SetLightFlag(int32_t zone, uint8_t effect) = 0;            // 20
    virtual uint8_t GetLightFlag(int32_t zone) = 0;

protected:
    ~IAudioProfile() = default;
};
