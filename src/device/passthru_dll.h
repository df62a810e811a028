// The process-wide PassThru library: the J2534 registrations found in the registry, loading
// one library with all fourteen entry points, guarded calls, and the device commands of the
// management channel.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "device/j2534.h"
#include "platform/dynlib.h"

// One registered J2534 interface, named after the registry values it is read from.
struct PassThruInfo {
    std::string Vendor;
    std::string Name;  // lookup key; records order by it, byte-wise
    std::string FunctionLibrary;
    std::string ConfigApplication;

    bool operator<(const PassThruInfo& o) const { return Name < o.Name; }
};

// The hardware-information document the device answers IOCTL_READ_HW_INFO with is one JSON
// object shorter than kHwInfoBufferSize bytes. Members:
//   "mcu_info"  microcontroller description, e.g. "ESP32-S3,rev 0.2"
//   "version"   firmware version, e.g. "2.1.0"
//   "device_id" the device's MAC identifier (12 hex digits), optionally followed by "_" and
//               more text, e.g. "A0B1C2D3E4F5_QVX": the part before the first "_" is the MAC.
inline constexpr char kHwInfoDeviceIdMember[] = "device_id";
inline constexpr std::size_t kHwInfoBufferSize = 4096;

class CPassThruDll {
public:
    static CPassThruDll* GetInstance();

    // Empties `list`, then fills it with the registrations of the registry; the first of two
    // with the same Name wins.
    static void ListInterfaces(std::set<PassThruInfo>& list);

    // Loads the library at `path` and resolves all fourteen entry points; a library held
    // before is released first. On failure nothing stays loaded and LastError() says
    // "error loading J2534 DLL" (the file cannot be loaded) or "error loading J2534 DLL
    // function pointers" (an export is missing).
    bool LoadDll(const std::string& path);
    bool IsLoaded() const { return m_lib.IsLoaded(); }
    void FreeDll();

    // Text of the last loading failure; a later success does not clear it.
    const std::string& LastError() const { return m_lastError; }
    // The loader's own reason for the last failure (for logs).
    const std::string& LastErrorDetail() const { return m_lastErrorDetail; }

    // Guarded entry points: ERR_DEVICE_NOT_CONNECTED (8) while nothing is loaded, else the
    // library's status for the unchanged arguments.
    J2534_LONG Open(const char* name, J2534_ULONG* deviceId);
    J2534_LONG Close(J2534_ULONG deviceId);
    J2534_LONG Connect(J2534_ULONG deviceId, J2534_ULONG protocolId, J2534_ULONG flags,
                       J2534_ULONG baudRate, J2534_ULONG* channelId);
    J2534_LONG Ioctl(J2534_ULONG channelId, J2534_ULONG ioctlId, void* input, void* output);

    // Device commands of the management channel (device_commands.cpp). Payloads travel as
    // Base64 text at the start of a zero-filled block of count x 200 bytes.
    J2534_LONG SendCommand(J2534_ULONG channel, J2534_ULONG ioctlId, std::uint16_t count,
                           const unsigned char* bytes);
    J2534_LONG SetWifiSsid(J2534_ULONG channel, std::uint16_t count, const unsigned char* bytes);
    J2534_LONG SetWifiPassword(J2534_ULONG channel, std::uint16_t count,
                               const unsigned char* bytes);
    J2534_LONG SetLocalIp(J2534_ULONG channel, std::uint16_t count, const unsigned char* bytes);
    J2534_LONG SetGateway(J2534_ULONG channel, std::uint16_t count, const unsigned char* bytes);
    J2534_LONG SetSubnetMask(J2534_ULONG channel, std::uint16_t count, const unsigned char* bytes);
    // Sends the mode as three decimal digits ("003" for 3).
    J2534_LONG SetNetworkMode(J2534_ULONG channel, std::uint8_t mode);

    // Reads the hardware-information document into `buffer` (kHwInfoBufferSize bytes, zeroed
    // by the caller). The buffer is written only on success with a non-empty document. A
    // document of kHwInfoBufferSize bytes or more does not fit with its NUL: the buffer stays
    // untouched and the result is ERR_BUFFER_OVERFLOW.
    J2534_LONG ReadHardwareInfo(J2534_ULONG channel, char* buffer);

    // One firmware block of 0 to 1024 bytes (IOCTL_FW_BLOCK_V2 when useV2, else
    // IOCTL_FW_BLOCK). The status is not examined: only the transfer end tells whether the
    // device took the image.
    void SendFirmwareBlock(J2534_ULONG channel, std::uint16_t count, const unsigned char* bytes,
                           bool useV2);
    // The transfer end; true exactly when the device accepted it.
    bool SendTransferEnd(J2534_ULONG channel, std::uint16_t count, const unsigned char* bytes);

private:
    CPassThruDll() = default;

    platform::DynamicLibrary m_lib;
    std::string m_lastError;
    std::string m_lastErrorDetail;
    PTOPEN m_open = nullptr;
    PTCLOSE m_close = nullptr;
    PTCONNECT m_connect = nullptr;
    PTIOCTL m_ioctl = nullptr;
    void* m_exports[14] = {};  // every entry point, in kPassThruExports order
};
