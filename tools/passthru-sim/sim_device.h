// The simulated device behind the exported entry points: one device, one management channel,
// a firmware transfer in progress and the journal of every call.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "device/j2534.h"
#include "sim_state.h"

namespace sim {

class Device {
public:
    static Device& Instance();

    J2534_LONG Open(const char* name, J2534_ULONG* deviceId);
    J2534_LONG Close(J2534_ULONG deviceId);
    J2534_LONG Connect(J2534_ULONG deviceId, J2534_ULONG protocolId, J2534_ULONG flags,
                       J2534_ULONG baudRate, J2534_ULONG* channelId);
    J2534_LONG Disconnect(J2534_ULONG channelId);
    J2534_LONG Ioctl(J2534_ULONG channelId, J2534_ULONG ioctlId, void* input, void* output);
    J2534_LONG ReadVersion(J2534_ULONG deviceId, char* fw, char* dll, char* api);
    J2534_LONG GetLastError(char* text);
    // The calls a management-only device does not support; journaled all the same.
    J2534_LONG Unsupported(const char* call);

private:
    Device() = default;
    void Refresh();
    J2534_LONG Record(const std::string& call, const std::string& fields, J2534_LONG status);
    J2534_LONG CheckVariant(const std::string& name, std::string& variant) const;
    std::string HardwareInfo() const;
    J2534_LONG ReadHwInfo(void* output, std::string& fields);
    J2534_LONG Block(J2534_ULONG ioctlId, const std::string& payload);
    J2534_LONG TransferEnd(std::string& fields);
    void ResetTransfer();

    std::mutex m_mutex;
    std::string m_folder;
    Faults m_faults;
    int m_journal = -1;
    std::string m_lastError;

    J2534_ULONG m_deviceId = 0;
    J2534_ULONG m_channelId = 0;
    std::string m_variant;

    std::string m_image;
    long m_blocks = 0;
    bool m_broken = false;     // a block was refused or out of order: the image is incomplete
    bool m_shortSeen = false;  // a block under 1024 bytes ends the image
    J2534_ULONG m_blockId = 0;
};

}  // namespace sim
