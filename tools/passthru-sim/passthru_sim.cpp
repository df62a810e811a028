// The fourteen J2534 04.04 exports of the simulated device.
#include "device/j2534.h"
#include "sim_device.h"

#define SIM_EXPORT extern "C" __attribute__((visibility("default")))

using sim::Device;

SIM_EXPORT J2534_LONG J2534_API PassThruOpen(void* pName, J2534_ULONG* pDeviceID) {
    return Device::Instance().Open(static_cast<const char*>(pName), pDeviceID);
}

SIM_EXPORT J2534_LONG J2534_API PassThruClose(J2534_ULONG DeviceID) {
    return Device::Instance().Close(DeviceID);
}

SIM_EXPORT J2534_LONG J2534_API PassThruConnect(J2534_ULONG DeviceID, J2534_ULONG ProtocolID,
                                                J2534_ULONG Flags, J2534_ULONG BaudRate,
                                                J2534_ULONG* pChannelID) {
    return Device::Instance().Connect(DeviceID, ProtocolID, Flags, BaudRate, pChannelID);
}

SIM_EXPORT J2534_LONG J2534_API PassThruDisconnect(J2534_ULONG ChannelID) {
    return Device::Instance().Disconnect(ChannelID);
}

SIM_EXPORT J2534_LONG J2534_API PassThruReadMsgs(J2534_ULONG, PASSTHRU_MSG*, J2534_ULONG*,
                                                 J2534_ULONG) {
    return Device::Instance().Unsupported("PassThruReadMsgs");
}

SIM_EXPORT J2534_LONG J2534_API PassThruWriteMsgs(J2534_ULONG, PASSTHRU_MSG*, J2534_ULONG*,
                                                  J2534_ULONG) {
    return Device::Instance().Unsupported("PassThruWriteMsgs");
}

SIM_EXPORT J2534_LONG J2534_API PassThruStartPeriodicMsg(J2534_ULONG, PASSTHRU_MSG*, J2534_ULONG*,
                                                         J2534_ULONG) {
    return Device::Instance().Unsupported("PassThruStartPeriodicMsg");
}

SIM_EXPORT J2534_LONG J2534_API PassThruStopPeriodicMsg(J2534_ULONG, J2534_ULONG) {
    return Device::Instance().Unsupported("PassThruStopPeriodicMsg");
}

SIM_EXPORT J2534_LONG J2534_API PassThruStartMsgFilter(J2534_ULONG, J2534_ULONG, PASSTHRU_MSG*,
                                                       PASSTHRU_MSG*, PASSTHRU_MSG*, J2534_ULONG*) {
    return Device::Instance().Unsupported("PassThruStartMsgFilter");
}

SIM_EXPORT J2534_LONG J2534_API PassThruStopMsgFilter(J2534_ULONG, J2534_ULONG) {
    return Device::Instance().Unsupported("PassThruStopMsgFilter");
}

// The second build leaves this export out, for the loader's missing-export case.
#ifndef PASSTHRU_SIM_WITHOUT_PROGRAMMING_VOLTAGE
SIM_EXPORT J2534_LONG J2534_API PassThruSetProgrammingVoltage(J2534_ULONG, J2534_ULONG,
                                                              J2534_ULONG) {
    return Device::Instance().Unsupported("PassThruSetProgrammingVoltage");
}
#endif

SIM_EXPORT J2534_LONG J2534_API PassThruReadVersion(J2534_ULONG DeviceID, char* pFirmwareVersion,
                                                    char* pDllVersion, char* pApiVersion) {
    return Device::Instance().ReadVersion(DeviceID, pFirmwareVersion, pDllVersion, pApiVersion);
}

SIM_EXPORT J2534_LONG J2534_API PassThruGetLastError(char* pErrorDescription) {
    return Device::Instance().GetLastError(pErrorDescription);
}

SIM_EXPORT J2534_LONG J2534_API PassThruIoctl(J2534_ULONG ChannelID, J2534_ULONG IoctlID,
                                              void* pInput, void* pOutput) {
    return Device::Instance().Ioctl(ChannelID, IoctlID, pInput, pOutput);
}
