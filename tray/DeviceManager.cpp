#include "tray/DeviceManager.h"
#include <algorithm>

namespace vt::tray {

CDeviceManager::~CDeviceManager() {
    m_clients.clear();
    m_connections.clear();
    m_entries.clear();
}

CDeviceManager& DeviceManager() {
    static CDeviceManager manager;
    return manager;
}

CVtDevice* CDeviceManager::AcquireDevice(int32_t pid) {
    m_clients.push_back(std::make_unique<CVtDevice>(pid));
    return m_clients.back().get();
}

void CDeviceManager::ReleaseDevice(CVtDevice* client) {
    if (!client) return;
    auto it = std::find_if(m_clients.begin(), m_clients.end(), [&](const auto& c) { return c.get() == client; });
    if (it != m_clients.end()) m_clients.erase(it);
    else delete client;
}

void CDeviceManager::FillDeviceMap() {
    for (const DeviceTableEntry& row : TrayDeviceTable()) m_entries[row.pid] = row;
}

bool CDeviceManager::IsDeviceConnected(int32_t pid) const {
    auto it = m_connections.find(pid);
    if (it == m_connections.end()) return false;
    return std::any_of(it->second.begin(), it->second.end(), [](const auto& c) { return c != nullptr; });
}

bool CDeviceManager::ConnectDeviceEvents(int32_t pid, ITrayEventHandlers* handler) {
    if (IsDeviceConnected(pid)) return false;
    auto entry = m_entries.try_emplace(pid, DeviceTableEntry{pid, L"", L"", 0}).first;
    const int32_t mask = entry->second.eventMask;
    ScopedDevice client(*this, pid);
    std::vector<std::unique_ptr<IDeviceCallback>> connections;
    if (mask & kEventDpi) connections.emplace_back(client->ConnectDpiEvents(handler));
    if (mask & kEventProfile) connections.emplace_back(client->ConnectProfileEvents(handler));
    if (mask & kEventLaunchApp) connections.emplace_back(client->ConnectLaunchAppEvents(handler));
    if (mask & kEventMacro) connections.emplace_back(client->ConnectMacroEvents(handler));
    if (mask & kEventAudioSync) connections.emplace_back(client->ConnectAudioSync());
    m_connections[pid] = std::move(connections);
    return true;
}

void CDeviceManager::DisconnectDeviceEvents(int32_t pid) {
    if (!m_entries.count(pid)) return;
    auto it = m_connections.find(pid);
    if (it == m_connections.end()) return;
    auto& list = it->second;
    while (!list.empty()) list.pop_back();  // last to first
    m_connections.erase(it);
}

bool CDeviceManager::ConnectAllDevices(ITrayEventHandlers* handler) {
    for (const auto& [pid, entry] : m_entries)
        if (!IsDeviceConnected(pid)) ConnectDeviceEvents(pid, handler);
    return AllDevicesConnected();
}

bool CDeviceManager::AllDevicesConnected() const {
    for (const auto& [pid, entry] : m_entries)
        if (!IsDeviceConnected(pid)) return false;
    return true;
}

std::vector<int32_t> CDeviceManager::ReconnectLost(ITrayEventHandlers* handler) {
    std::vector<int32_t> lost;
    for (const auto& [pid, list] : m_connections) {
        // All of an id's connections reach the same engine: asking one of them tells for all.
        auto live = std::find_if(list.begin(), list.end(), [](const auto& c) { return c != nullptr; });
        if (live != list.end() && !(*live)->Answers()) lost.push_back(pid);
    }
    for (int32_t pid : lost) {
        DisconnectDeviceEvents(pid);
        ConnectDeviceEvents(pid, handler);
    }
    return lost;
}

void CDeviceManager::DisconnectAll() {
    std::vector<int32_t> ids;
    for (const auto& [pid, entry] : m_entries) ids.push_back(pid);
    for (int32_t pid : ids) DisconnectDeviceEvents(pid);
}

} // namespace vt::tray
