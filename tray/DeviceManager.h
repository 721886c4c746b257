#pragma once
// The one holder of the tray's device clients and event connections. Clients are made for a
// single action and given back at once; the event connections of each product id live here from
// the device's connection to its disconnection. GUI thread only.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>
#include "tray/DeviceTable.h"
#include "tray/EventConnections.h"
#include "tray/VtDevice.h"

namespace vt::tray {

class CDeviceManager {
public:
    CDeviceManager() = default;
    ~CDeviceManager();
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    // A new client, kept until ReleaseDevice.
    CVtDevice* AcquireDevice(int32_t pid);
    // Deletes the client (also one not handed out here); null is ignored.
    void ReleaseDevice(CVtDevice* client);

    // Enters the tray's device table (an entry already there is overwritten).
    void FillDeviceMap();
    // True when the id has at least one live connection.
    bool IsDeviceConnected(int32_t pid) const;
    // Connects the events of the id's table mask; false when it was already connected. A device
    // that is absent gets only empty slots and so still counts as not connected.
    bool ConnectDeviceEvents(int32_t pid, ITrayEventHandlers* handler);
    void DisconnectDeviceEvents(int32_t pid);
    // Connects every id of the table that is not connected yet; true when all are connected after.
    bool ConnectAllDevices(ITrayEventHandlers* handler);
    bool AllDevicesConnected() const;
    void DisconnectAll();
    // Makes again the connections of every connected id whose engine no longer answers (its process
    // ended under the tray; a fresh engine knows none of the old subscriptions). One engine call per
    // connected id. Returns the ids connected again.
    std::vector<int32_t> ReconnectLost(ITrayEventHandlers* handler);

    size_t ClientCount() const { return m_clients.size(); }

private:
    std::map<int32_t, DeviceTableEntry> m_entries;
    std::map<int32_t, std::vector<std::unique_ptr<IDeviceCallback>>> m_connections;
    std::vector<std::unique_ptr<CVtDevice>> m_clients;
};

// The program's device manager.
CDeviceManager& DeviceManager();

// A client given back on every path.
class ScopedDevice {
public:
    ScopedDevice(CDeviceManager& manager, int32_t pid) : m_manager(manager), m_client(manager.AcquireDevice(pid)) {}
    ~ScopedDevice() { m_manager.ReleaseDevice(m_client); }
    ScopedDevice(const ScopedDevice&) = delete;
    ScopedDevice& operator=(const ScopedDevice&) = delete;
    CVtDevice* operator->() const { return m_client; }
    explicit operator bool() const { return m_client != nullptr; }
private:
    CDeviceManager& m_manager;
    CVtDevice* m_client;
};

} // namespace vt::tray
