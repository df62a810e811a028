// Our side of the J2534 04.04 PassThru contract: the fourteen entry points a PassThru library
// exports, the calling convention they use, and the status codes, protocol and Ioctl IDs this
// tool relies on. IDs, flags and counts are 32-bit unsigned, statuses 32-bit signed (the
// sizes of `unsigned long` and `long` on Windows), so libraries built by others for this
// convention load as they are.
#pragma once

#include <cstdint>

#include "platform/dynlib.h"

// Calling convention of the exports (WINAPI on Windows, nothing here).
#define J2534_API PLATFORM_API_CALL

using J2534_ULONG = std::uint32_t;
using J2534_LONG = std::int32_t;

// A message of the vehicle protocols; this tool never sends one, the type completes the
// signatures.
struct PASSTHRU_MSG {
    J2534_ULONG ProtocolID;
    J2534_ULONG RxStatus;
    J2534_ULONG TxFlags;
    J2534_ULONG Timestamp;
    J2534_ULONG DataSize;
    J2534_ULONG ExtraDataIndex;
    unsigned char Data[4128];
};

extern "C" {
typedef J2534_LONG(J2534_API* PTOPEN)(void* pName, J2534_ULONG* pDeviceID);
typedef J2534_LONG(J2534_API* PTCLOSE)(J2534_ULONG DeviceID);
typedef J2534_LONG(J2534_API* PTCONNECT)(J2534_ULONG DeviceID, J2534_ULONG ProtocolID,
                                         J2534_ULONG Flags, J2534_ULONG BaudRate,
                                         J2534_ULONG* pChannelID);
typedef J2534_LONG(J2534_API* PTDISCONNECT)(J2534_ULONG ChannelID);
typedef J2534_LONG(J2534_API* PTREADMSGS)(J2534_ULONG ChannelID, PASSTHRU_MSG* pMsg,
                                          J2534_ULONG* pNumMsgs, J2534_ULONG Timeout);
typedef J2534_LONG(J2534_API* PTWRITEMSGS)(J2534_ULONG ChannelID, PASSTHRU_MSG* pMsg,
                                           J2534_ULONG* pNumMsgs, J2534_ULONG Timeout);
typedef J2534_LONG(J2534_API* PTSTARTPERIODICMSG)(J2534_ULONG ChannelID, PASSTHRU_MSG* pMsg,
                                                  J2534_ULONG* pMsgID, J2534_ULONG TimeInterval);
typedef J2534_LONG(J2534_API* PTSTOPPERIODICMSG)(J2534_ULONG ChannelID, J2534_ULONG MsgID);
typedef J2534_LONG(J2534_API* PTSTARTMSGFILTER)(J2534_ULONG ChannelID, J2534_ULONG FilterType,
                                                PASSTHRU_MSG* pMaskMsg, PASSTHRU_MSG* pPatternMsg,
                                                PASSTHRU_MSG* pFlowControlMsg,
                                                J2534_ULONG* pFilterID);
typedef J2534_LONG(J2534_API* PTSTOPMSGFILTER)(J2534_ULONG ChannelID, J2534_ULONG FilterID);
typedef J2534_LONG(J2534_API* PTSETPROGRAMMINGVOLTAGE)(J2534_ULONG DeviceID, J2534_ULONG PinNumber,
                                                       J2534_ULONG Voltage);
typedef J2534_LONG(J2534_API* PTREADVERSION)(J2534_ULONG DeviceID, char* pFirmwareVersion,
                                             char* pDllVersion, char* pApiVersion);
typedef J2534_LONG(J2534_API* PTGETLASTERROR)(char* pErrorDescription);
typedef J2534_LONG(J2534_API* PTIOCTL)(J2534_ULONG ChannelID, J2534_ULONG IoctlID, void* pInput,
                                       void* pOutput);
}

// The export names, in the order the loader resolves them.
inline constexpr const char* kPassThruExports[14] = {"PassThruOpen",
                                                     "PassThruClose",
                                                     "PassThruConnect",
                                                     "PassThruDisconnect",
                                                     "PassThruReadMsgs",
                                                     "PassThruWriteMsgs",
                                                     "PassThruStartPeriodicMsg",
                                                     "PassThruStopPeriodicMsg",
                                                     "PassThruStartMsgFilter",
                                                     "PassThruStopMsgFilter",
                                                     "PassThruSetProgrammingVoltage",
                                                     "PassThruReadVersion",
                                                     "PassThruGetLastError",
                                                     "PassThruIoctl"};

// Statuses.
constexpr J2534_LONG STATUS_NOERROR = 0;
// Also this device's answer to PassThruOpen while it cannot be reached (unplugged).
constexpr J2534_LONG ERR_NOT_SUPPORTED = 1;
constexpr J2534_LONG ERR_INVALID_CHANNEL_ID = 2;
constexpr J2534_LONG ERR_INVALID_PROTOCOL_ID = 3;
constexpr J2534_LONG ERR_NULL_PARAMETER = 4;
constexpr J2534_LONG ERR_FAILED = 7;
constexpr J2534_LONG ERR_DEVICE_NOT_CONNECTED = 8;
constexpr J2534_LONG ERR_INVALID_IOCTL_ID = 0x0F;
constexpr J2534_LONG ERR_BUFFER_OVERFLOW = 0x12;
constexpr J2534_LONG ERR_DEVICE_IN_USE = 0x0E;
constexpr J2534_LONG ERR_INVALID_DEVICE_ID = 0x1A;

// The vendor's management protocol: the channel every device command travels on.
constexpr J2534_ULONG PROTOCOL_DEVICE_MGMT = 0xF001;

// Vendor Ioctl IDs of the management channel.
constexpr J2534_ULONG IOCTL_FW_TRANSFER_END = 0xA005;
constexpr J2534_ULONG IOCTL_FW_BLOCK = 0xA006;
constexpr J2534_ULONG IOCTL_FW_BLOCK_V2 = 0xA009;
constexpr J2534_ULONG IOCTL_READ_HW_INFO = 0xA102;
constexpr J2534_ULONG IOCTL_SET_WIFI_SSID = 0xF1001;
constexpr J2534_ULONG IOCTL_SET_WIFI_PASSWORD = 0xF1002;
constexpr J2534_ULONG IOCTL_SET_LOCAL_IP = 0xF1003;
constexpr J2534_ULONG IOCTL_SET_GATEWAY = 0xF1004;
constexpr J2534_ULONG IOCTL_SET_SUBNET = 0xF1005;
constexpr J2534_ULONG IOCTL_SET_NETWORK_MODE = 0xF1011;
constexpr J2534_ULONG IOCTL_SET_MQTT_SERVER = 0xF1030;
constexpr J2534_ULONG IOCTL_SET_MQTT_PORT = 0xF1031;
constexpr J2534_ULONG IOCTL_SET_MQTT_USER = 0xF1032;
constexpr J2534_ULONG IOCTL_SET_MQTT_PASSWORD = 0xF1033;
