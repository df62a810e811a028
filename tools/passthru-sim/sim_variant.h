// The device names the simulated device answers to in PassThruOpen.
#pragma once

#include <string>

#include "device/j2534.h"

namespace sim {

// STATUS_NOERROR with `variant` set to the plain variant name when `name` is one of
// "QVX_USB_J2534", "QVX_USB_J2534_UDS_SIM", "QVX_WIFIAP_J2534", "QVX_WIFI_MQTT_J2534", or the
// Wi-Fi/MQTT connection name "QVX_WIFI_MQTT_J2534-" + E + ";" + MAC where MAC is this
// device's (`mac`, letter case aside) and E opens under the key text MAC to
// "<server configuration>;" + MAC. ERR_FAILED for a connection name that does not check out,
// ERR_INVALID_DEVICE_ID for any other name.
J2534_LONG MatchVariant(const std::string& name, const std::string& mac, std::string& variant);

}  // namespace sim
