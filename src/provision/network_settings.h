// The device's network connection: the four network modes, the commands that set each on the
// management channel, and the registry values the Wi-Fi variants' J2534 libraries read to
// reach the device afterwards ("SSDP": its IPv4 address, "MQTT": its sealed MQTT text).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/j2534.h"

class CPassThruDll;

namespace provision {

enum class NetworkMode : std::uint8_t { kStaticIp = 0, kWifiAp = 1, kLte = 2, kWifiMqtt = 3 };

// The network type texts, in the dialog's list order.
inline constexpr const char* kNetworkTypes[] = {"Wifi AP mode", "Exten Wifi AP(Static IP)",
                                                "Exten Wifi AP(Mqtt)", "LTE 4G(Mqtt)"};

// The mode a network type text names; nothing for any other text.
std::optional<NetworkMode> ModeOfNetworkType(const std::string& text);

// The address the device takes in access point mode.
inline constexpr char kAccessPointAddress[] = "192.168.20.1";

// IPv4 number of a dotted text as the J2534 libraries store it: each of the first four
// '.'-separated pieces (empty pieces skipped) shifted in from the right, by its leading
// decimal digits. "192.168.1.80" gives 0xC0A80150, "10.1" gives 0x0A01.
std::uint32_t Ipv4Number(const std::string& text);
// "%08X" of Ipv4Number: "C0A80150".
std::string HexIp(const std::string& text);

// The MQTT connection text: server:port;user;password;MAC sealed under the key text MAC,
// then ";" and MAC.
std::string MqttConfigText(const std::string& server, const std::string& port,
                           const std::string& user, const std::string& password,
                           const std::string& mac);

// What MQTT Cfg shows while no MQTT text is stored.
inline constexpr char kNoMqttConfig[] = "None";

// The "MQTT" value of the USB registration, or "None" when it has none.
std::string StoredMqttConfig();

// The dialog's fields, as typed.
struct NetworkFields {
    std::string ssid, password;
    std::string localIp, gateway, subnet;
    std::string mac, mqttServer, mqttPort, mqttUser, mqttPassword;
};

// How the work talks to the user: alerts and Yes/No questions.
struct Prompts {
    std::function<void(const std::string&)> alert;
    std::function<bool(const std::string&)> ask;
};

struct SaveOutcome {
    bool saved = false;      // the device took the mode and its values were recorded
    std::string hexIp;       // for HEX IP, when the static address was read
    std::string mqttConfig;  // for MQTT Cfg, when the MQTT text was built
};

// Saves `mode`: checks the fields it needs (an empty SSID or password, an address that is
// not a valid IPv4 text: a message, nothing sent), sends the mode's settings, asks, then sends
// the mode and writes its registry values. A command the device refuses is named in a message
// and ends the save; the registry values are written only when the device took the mode.
SaveOutcome SaveNetworkSettings(NetworkMode mode, const NetworkFields& fields, J2534_ULONG channel,
                                CPassThruDll& dll, const Prompts& prompts);

// Mqtt Update: records `mqttConfig` as "MQTT" (an empty text, or "None" shown while nothing
// is stored, records nothing). False when nothing was recorded (a failure is said).
bool RecordMqttConfig(const std::string& mqttConfig, const Prompts& prompts);

}  // namespace provision
