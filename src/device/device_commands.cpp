// The vendor commands of the management channel, sent through the guarded Ioctl.
#include <cstdio>
#include <cstring>
#include <vector>

#include "device/passthru_dll.h"
#include "device/payload.h"
#include "support/base64.h"

namespace device {

std::vector<char> MakeInputBlock(std::uint16_t count, const unsigned char* bytes) {
    std::vector<char> block(BlockSize(count));
    std::string text = Base64Encode(bytes, count);
    std::memcpy(block.data(), text.data(), text.size());  // 4*ceil(n/3) < 200*n always
    return block;
}

}  // namespace device

J2534_LONG CPassThruDll::SendCommand(J2534_ULONG channel, J2534_ULONG ioctlId, std::uint16_t count,
                                     const unsigned char* bytes) {
    if (!IsLoaded()) return ERR_DEVICE_NOT_CONNECTED;
    std::vector<char> input = device::MakeInputBlock(count, bytes);
    std::vector<char> output(input.size());
    return Ioctl(channel, ioctlId, input.data(), output.data());
}

J2534_LONG CPassThruDll::SetWifiSsid(J2534_ULONG channel, std::uint16_t count,
                                     const unsigned char* bytes) {
    return SendCommand(channel, IOCTL_SET_WIFI_SSID, count, bytes);
}

J2534_LONG CPassThruDll::SetWifiPassword(J2534_ULONG channel, std::uint16_t count,
                                         const unsigned char* bytes) {
    return SendCommand(channel, IOCTL_SET_WIFI_PASSWORD, count, bytes);
}

J2534_LONG CPassThruDll::SetLocalIp(J2534_ULONG channel, std::uint16_t count,
                                    const unsigned char* bytes) {
    return SendCommand(channel, IOCTL_SET_LOCAL_IP, count, bytes);
}

J2534_LONG CPassThruDll::SetGateway(J2534_ULONG channel, std::uint16_t count,
                                    const unsigned char* bytes) {
    return SendCommand(channel, IOCTL_SET_GATEWAY, count, bytes);
}

J2534_LONG CPassThruDll::SetSubnetMask(J2534_ULONG channel, std::uint16_t count,
                                       const unsigned char* bytes) {
    return SendCommand(channel, IOCTL_SET_SUBNET, count, bytes);
}

J2534_LONG CPassThruDll::SetNetworkMode(J2534_ULONG channel, std::uint8_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%.3d", mode);
    return SendCommand(channel, IOCTL_SET_NETWORK_MODE, 3,
                       reinterpret_cast<const unsigned char*>(text));
}

J2534_LONG CPassThruDll::ReadHardwareInfo(J2534_ULONG channel, char* buffer) {
    if (!IsLoaded()) return ERR_DEVICE_NOT_CONNECTED;
    // One byte more than the library is told about, so its text always ends inside the block.
    std::vector<char> output(device::kHwInfoReplyBlock + 1);
    J2534_LONG status = Ioctl(channel, IOCTL_READ_HW_INFO, nullptr, output.data());
    if (status != STATUS_NOERROR) return status;
    output.back() = '\0';
    std::string document = Base64Decode(std::string(output.data()));
    if (document.size() >= kHwInfoBufferSize) return ERR_BUFFER_OVERFLOW;
    if (!document.empty()) std::memcpy(buffer, document.data(), document.size());
    return status;
}

void CPassThruDll::SendFirmwareBlock(J2534_ULONG channel, std::uint16_t count,
                                     const unsigned char* bytes, bool useV2) {
    if (!IsLoaded()) return;
    std::vector<char> input = device::MakeInputBlock(count, bytes);
    Ioctl(channel, useV2 ? IOCTL_FW_BLOCK_V2 : IOCTL_FW_BLOCK, input.data(), nullptr);
}

bool CPassThruDll::SendTransferEnd(J2534_ULONG channel, std::uint16_t count,
                                   const unsigned char* bytes) {
    std::string text = Base64Encode(bytes, count);
    return Ioctl(channel, IOCTL_FW_TRANSFER_END, text.data(), nullptr) == STATUS_NOERROR;
}
