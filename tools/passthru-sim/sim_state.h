// The simulated device's state folder, shared by the library and its control program:
//   faults    key=value lines the device reads before every call (see README.md)
//   journal   one JSON line per entry-point call
//   settings  the network settings received, name=Base64 lines
//   image.bin the firmware image of the last accepted transfer
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace sim {

// $PASSTHRU_SIM_STATE when set and not empty, else ~/.passthru-sim.
std::string StateFolder();

struct Faults {
    bool unplugged = false;
    long refuseBlocksAfter = -1;  // blocks after this many are refused; -1 never
    bool refuseEnd = false;
    long blockDelayMs = 0;
    long hwInfoSize = 0;          // pad (or cut) the hardware information to this size; 0 off
    bool hwInfoReplySet = false;  // answer the hardware information with this raw text
    std::string hwInfoReply;
    std::string refuseSettings;  // setting commands refused (7): names separated by ','
    std::string mac = "A0B1C2D3E4F5";
    std::string version = "2.1.0";
};

// The fault settings of `folder`, read from its "faults" file (defaults when absent).
Faults ReadFaults(const std::string& folder);

// Sets (or removes) one fault key; false when the file cannot be written.
bool WriteFault(const std::string& folder, const std::string& key, const std::string& value,
                bool remove = false);

// All settings of `folder` and one update of them.
std::map<std::string, std::string> ReadSettings(const std::string& folder);
bool WriteSetting(const std::string& folder, const std::string& name, const std::string& value);

// Writes `content` to folder/name through a temporary file, so readers never see half of it.
bool ReplaceFile(const std::string& path, const std::string& content);
bool ReadWholeFile(const std::string& path, std::string& content);

// Opens an MQTT connection text "<sealed>;MAC" as the Wi-Fi/MQTT variant does: the sealed
// part under the key text MAC. False when it does not open to a text that ends in ";MAC".
bool OpenMqttConfig(const std::string& text, std::string& plain);

// JSON string literal of `text`.
std::string JsonQuote(const std::string& text);

}  // namespace sim
