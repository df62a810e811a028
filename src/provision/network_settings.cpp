#include "provision/network_settings.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "device/passthru_dll.h"
#include "platform/net.h"
#include "platform/registry.h"
#include "support/cipher.h"

namespace provision {
namespace {

constexpr char kKeyPrefix[] = "SOFTWARE\\WOW6432Node\\PassThruSupport.04.04\\";
constexpr const char* kUsbKey = "QVX_USB_J2534";
constexpr const char* kSsdpKeys[] = {"QVX_WIFI_AP_J2534_CAN0", "QVX_WIFI_AP_J2534_CAN1", kUsbKey};
constexpr const char* kMqttKeys[] = {kUsbKey, "QVX_WIFI_MQTT_J2534_CAN0",
                                     "QVX_WIFI_MQTT_J2534_CAN1"};

// One setting command: what it is called in messages, and its Ioctl.
struct Setting {
    const char* what;
    J2534_ULONG ioctl;
};
constexpr Setting kSsid{"Wi-Fi SSID", IOCTL_SET_WIFI_SSID};
constexpr Setting kPassword{"Wi-Fi password", IOCTL_SET_WIFI_PASSWORD};
constexpr Setting kLocalIp{"local IP", IOCTL_SET_LOCAL_IP};
constexpr Setting kGateway{"gateway", IOCTL_SET_GATEWAY};
constexpr Setting kSubnet{"subnet mask", IOCTL_SET_SUBNET};
constexpr Setting kMqttServer{"MQTT server", IOCTL_SET_MQTT_SERVER};
constexpr Setting kMqttPort{"MQTT port", IOCTL_SET_MQTT_PORT};
constexpr Setting kMqttUser{"MQTT user", IOCTL_SET_MQTT_USER};
constexpr Setting kMqttPassword{"MQTT password", IOCTL_SET_MQTT_PASSWORD};

std::string Refused(const char* what, J2534_LONG status) {
    return std::string("The device refused the ") + what + " (status " + std::to_string(status) +
           "). Nothing more was sent.";
}

// Sends one text setting; a refusal is said and answers false.
bool Send(CPassThruDll& dll, J2534_ULONG channel, const Setting& s, const std::string& text,
          const Prompts& prompts) {
    if (text.size() > 0xFFFF) {
        prompts.alert(std::string("The ") + s.what + " is too long.");
        return false;
    }
    J2534_LONG status = dll.SendCommand(channel, s.ioctl, static_cast<std::uint16_t>(text.size()),
                                        reinterpret_cast<const unsigned char*>(text.data()));
    if (status == STATUS_NOERROR) return true;
    prompts.alert(Refused(s.what, status));
    return false;
}

bool SendMode(CPassThruDll& dll, J2534_ULONG channel, NetworkMode mode, const Prompts& prompts) {
    J2534_LONG status = dll.SetNetworkMode(channel, static_cast<std::uint8_t>(mode));
    if (status == STATUS_NOERROR) return true;
    prompts.alert(Refused("network mode", status));
    return false;
}

// An address field must hold a valid IPv4 text (an optional one may be empty).
bool CheckAddress(const char* label, const std::string& text, bool optional,
                  const Prompts& prompts) {
    std::uint32_t address = 0;
    if ((optional && text.empty()) || platform::ParseIpv4(text, address)) return true;
    prompts.alert(std::string(label) + " \"" + text + "\" is not a valid IPv4 address.");
    return false;
}

bool CheckWifi(const NetworkFields& f, const Prompts& prompts) {
    if (f.ssid.empty()) {
        prompts.alert("Please provide Wifi SSID");
        return false;
    }
    if (f.password.empty()) {
        prompts.alert("Please provide Wifi Password");
        return false;
    }
    return true;
}

bool SendWifi(CPassThruDll& dll, J2534_ULONG channel, const NetworkFields& f,
              const Prompts& prompts) {
    return Send(dll, channel, kSsid, f.ssid, prompts) &&
           Send(dll, channel, kPassword, f.password, prompts);
}

bool SendMqtt(CPassThruDll& dll, J2534_ULONG channel, const NetworkFields& f,
              const Prompts& prompts) {
    return Send(dll, channel, kMqttServer, f.mqttServer, prompts) &&
           Send(dll, channel, kMqttPort, f.mqttPort, prompts) &&
           Send(dll, channel, kMqttUser, f.mqttUser, prompts) &&
           Send(dll, channel, kMqttPassword, f.mqttPassword, prompts);
}

// Writes one value to each existing key of `keys` (keys are never created). Keys that are not
// there are passed over; a key that cannot be written, or no key at all, is said.
template <typename Write, std::size_t N>
bool Record(const char* value, const char* const (&keys)[N], Write write, const Prompts& prompts) {
    std::vector<std::string> failed;
    int written = 0;
    for (const char* name : keys) {
        auto key = platform::RegistryKey::Open(std::string(kKeyPrefix) + name,
                                               platform::RegistryKey::Access::Write);
        if (!key) continue;
        if (write(*key))
            ++written;
        else
            failed.push_back(name);
    }
    std::string names;
    for (const std::string& n : failed) names += (names.empty() ? "" : ", ") + n;
    if (!failed.empty())
        prompts.alert(std::string("\"") + value + "\" could not be recorded for " + names + ".");
    else if (written == 0)
        prompts.alert(std::string("\"") + value +
                      "\" was recorded nowhere: no J2534 registration of the device is "
                      "installed.");
    return failed.empty() && written > 0;
}

bool RecordSsdp(std::uint32_t address, const Prompts& prompts) {
    return Record(
        "SSDP", kSsdpKeys,
        [address](platform::RegistryKey& k) { return k.SetDword("SSDP", address); }, prompts);
}

bool RecordMqtt(const std::string& text, const Prompts& prompts) {
    return Record(
        "MQTT", kMqttKeys, [&text](platform::RegistryKey& k) { return k.SetString("MQTT", text); },
        prompts);
}

std::string MqttText(const NetworkFields& f) {
    return MqttConfigText(f.mqttServer, f.mqttPort, f.mqttUser, f.mqttPassword, f.mac);
}

SaveOutcome SaveStaticIp(const NetworkFields& f, J2534_ULONG channel, CPassThruDll& dll,
                         const Prompts& p) {
    SaveOutcome out;
    if (!CheckWifi(f, p) || !CheckAddress("Local IP", f.localIp, false, p) ||
        !CheckAddress("GateWay", f.gateway, true, p) || !CheckAddress("Subnet", f.subnet, true, p))
        return out;
    if (!SendWifi(dll, channel, f, p) || !Send(dll, channel, kLocalIp, f.localIp, p) ||
        (!f.gateway.empty() && !Send(dll, channel, kGateway, f.gateway, p)) ||
        (!f.subnet.empty() && !Send(dll, channel, kSubnet, f.subnet, p)))
        return out;
    out.hexIp = HexIp(f.localIp);
    if (!p.ask("Do you want to connect device with external wifi access point mode?")) return out;
    out.saved =
        SendMode(dll, channel, NetworkMode::kStaticIp, p) && RecordSsdp(Ipv4Number(f.localIp), p);
    return out;
}

SaveOutcome SaveWifiMqtt(const NetworkFields& f, J2534_ULONG channel, CPassThruDll& dll,
                         const Prompts& p) {
    SaveOutcome out;
    if (!CheckWifi(f, p) || !SendWifi(dll, channel, f, p)) return out;
    out.mqttConfig = MqttText(f);
    if (!p.ask("Do you want to WIFI-Mqtt setting?")) return out;
    out.saved = SendMode(dll, channel, NetworkMode::kWifiMqtt, p) && SendMqtt(dll, channel, f, p) &&
                RecordMqtt(out.mqttConfig, p);
    return out;
}

SaveOutcome SaveLte(const NetworkFields& f, J2534_ULONG channel, CPassThruDll& dll,
                    const Prompts& p) {
    SaveOutcome out;
    out.mqttConfig = MqttText(f);
    if (!p.ask("Do you want to use LTE-Mqtt setting?")) return out;
    out.saved = SendMode(dll, channel, NetworkMode::kLte, p) && SendMqtt(dll, channel, f, p) &&
                RecordMqtt(out.mqttConfig, p);
    return out;
}

SaveOutcome SaveAccessPoint(J2534_ULONG channel, CPassThruDll& dll, const Prompts& p) {
    SaveOutcome out;
    if (!p.ask("Do you want to set device in wifi access point mode?")) return out;
    out.saved = SendMode(dll, channel, NetworkMode::kWifiAp, p) &&
                RecordSsdp(Ipv4Number(kAccessPointAddress), p);
    return out;
}

}  // namespace

std::optional<NetworkMode> ModeOfNetworkType(const std::string& text) {
    constexpr NetworkMode kModes[] = {NetworkMode::kWifiAp, NetworkMode::kStaticIp,
                                      NetworkMode::kWifiMqtt, NetworkMode::kLte};
    for (std::size_t i = 0; i < std::size(kNetworkTypes); ++i)
        if (text == kNetworkTypes[i]) return kModes[i];
    return std::nullopt;
}

std::uint32_t Ipv4Number(const std::string& text) {
    std::uint32_t value = 0;
    int pieces = 0;
    for (std::size_t b = 0; b < text.size() && pieces < 4;) {
        std::size_t e = text.find('.', b);
        if (e == std::string::npos) e = text.size();
        if (e > b) {
            std::uint32_t piece = 0;
            for (std::size_t i = b; i < e && text[i] >= '0' && text[i] <= '9'; ++i)
                piece = piece * 10 + static_cast<std::uint32_t>(text[i] - '0');
            value = value << 8 | piece;
            ++pieces;
        }
        b = e + 1;
    }
    return value;
}

std::string HexIp(const std::string& text) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", Ipv4Number(text));
    return hex;
}

std::string MqttConfigText(const std::string& server, const std::string& port,
                           const std::string& user, const std::string& password,
                           const std::string& mac) {
    const std::string plain = server + ":" + port + ";" + user + ";" + password + ";" + mac;
    return Cipher::GetInstance()->EncryptText(plain, mac.c_str()) + ";" + mac;
}

std::string StoredMqttConfig() {
    auto key = platform::RegistryKey::Open(std::string(kKeyPrefix) + kUsbKey);
    std::string value;
    if (!key || !key->QueryString("MQTT", value)) return kNoMqttConfig;
    return value;
}

SaveOutcome SaveNetworkSettings(NetworkMode mode, const NetworkFields& fields, J2534_ULONG channel,
                                CPassThruDll& dll, const Prompts& prompts) {
    switch (mode) {
        case NetworkMode::kStaticIp:
            return SaveStaticIp(fields, channel, dll, prompts);
        case NetworkMode::kWifiMqtt:
            return SaveWifiMqtt(fields, channel, dll, prompts);
        case NetworkMode::kLte:
            return SaveLte(fields, channel, dll, prompts);
        case NetworkMode::kWifiAp:
            return SaveAccessPoint(channel, dll, prompts);
    }
    return {};
}

bool RecordMqttConfig(const std::string& mqttConfig, const Prompts& prompts) {
    return !mqttConfig.empty() && mqttConfig != kNoMqttConfig && RecordMqtt(mqttConfig, prompts);
}

}  // namespace provision
