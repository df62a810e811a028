#include "sim_variant.h"

namespace sim {

J2534_LONG MatchVariant(const std::string& name, const std::string& /*mac*/, std::string& variant) {
    for (const char* v :
         {"QVX_USB_J2534", "QVX_USB_J2534_UDS_SIM", "QVX_WIFIAP_J2534", "QVX_WIFI_MQTT_J2534"}) {
        if (name == v) {
            variant = v;
            return STATUS_NOERROR;
        }
    }
    return ERR_INVALID_DEVICE_ID;
}

}  // namespace sim
