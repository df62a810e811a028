#include "sim_variant.h"

#include <cctype>

#include "support/cipher.h"

namespace sim {
namespace {

constexpr char kMqttVariant[] = "QVX_WIFI_MQTT_J2534";

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The suffix after "QVX_WIFI_MQTT_J2534-": the sealed text and the MAC it names.
bool ConnectionSuffixChecks(const std::string& suffix, const std::string& mac) {
    std::size_t semi = suffix.rfind(';');
    if (semi == std::string::npos || semi == 0) return false;
    std::string sealed = suffix.substr(0, semi), named = suffix.substr(semi + 1);
    if (!EqualNoCase(named, mac)) return false;
    std::string plain = Cipher::GetInstance()->DecryptText(sealed, named.c_str());
    std::string tail = ";" + named;
    return plain.size() > tail.size() &&
           plain.compare(plain.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

J2534_LONG MatchVariant(const std::string& name, const std::string& mac, std::string& variant) {
    for (const char* v :
         {"QVX_USB_J2534", "QVX_USB_J2534_UDS_SIM", "QVX_WIFIAP_J2534", kMqttVariant}) {
        if (name == v) {
            variant = v;
            return STATUS_NOERROR;
        }
    }
    const std::string prefix = std::string(kMqttVariant) + "-";
    if (name.compare(0, prefix.size(), prefix) != 0) return ERR_INVALID_DEVICE_ID;
    if (!ConnectionSuffixChecks(name.substr(prefix.size()), mac)) return ERR_FAILED;
    variant = kMqttVariant;
    return STATUS_NOERROR;
}

}  // namespace sim
