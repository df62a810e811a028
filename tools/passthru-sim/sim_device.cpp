#include "sim_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <thread>

#include "sim_variant.h"
#include "support/base64.h"

namespace sim {
namespace {

constexpr J2534_ULONG kDeviceId = 1;
constexpr J2534_ULONG kChannelId = 0x101;
constexpr std::size_t kBlockLimit = 1024;
constexpr std::size_t kHwInfoReplyBlock = 4096 * 200;  // what the caller provides
constexpr long kHwInfoSizeCap = 600000;                // its Base64 still fits the block

const char* IoctlName(J2534_ULONG id) {
    switch (id) {
        case IOCTL_FW_TRANSFER_END:
            return "fw_transfer_end";
        case IOCTL_FW_BLOCK:
            return "fw_block";
        case IOCTL_FW_BLOCK_V2:
            return "fw_block_v2";
        case IOCTL_READ_HW_INFO:
            return "read_hw_info";
        case IOCTL_SET_WIFI_SSID:
            return "wifi_ssid";
        case IOCTL_SET_WIFI_PASSWORD:
            return "wifi_password";
        case IOCTL_SET_LOCAL_IP:
            return "local_ip";
        case IOCTL_SET_GATEWAY:
            return "gateway";
        case IOCTL_SET_SUBNET:
            return "subnet";
        case IOCTL_SET_NETWORK_MODE:
            return "network_mode";
        case IOCTL_SET_MQTT_SERVER:
            return "mqtt_server";
        case IOCTL_SET_MQTT_PORT:
            return "mqtt_port";
        case IOCTL_SET_MQTT_USER:
            return "mqtt_user";
        case IOCTL_SET_MQTT_PASSWORD:
            return "mqtt_password";
        default:
            return nullptr;
    }
}

bool Printable(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out(bytes.size() * 2, '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = digits[static_cast<unsigned char>(bytes[i]) >> 4];
        out[2 * i + 1] = digits[static_cast<unsigned char>(bytes[i]) & 15];
    }
    return out;
}

// Journal fields of a decoded payload: its length and its bytes (hex) or text.
std::string PayloadFields(const std::string& payload, bool asText) {
    std::string f = ",\"length\":" + std::to_string(payload.size());
    if (asText && Printable(payload)) return f + ",\"text\":" + JsonQuote(payload);
    return f + ",\"bytes\":\"" + Hex(payload) + "\"";
}

}  // namespace

Device& Device::Instance() {
    static Device device;
    return device;
}

// Follows the state folder named by the environment and reads the faults.
void Device::Refresh() {
    std::string folder = StateFolder();
    if (folder != m_folder) {
        if (m_journal >= 0) ::close(m_journal);
        m_journal = -1;
        m_folder = folder;
        ::mkdir(folder.c_str(), 0755);
    }
    struct stat st;
    if (m_journal >= 0 && (::fstat(m_journal, &st) != 0 || st.st_nlink == 0)) {
        ::close(m_journal);  // removed by a reset: start a new one
        m_journal = -1;
    }
    if (m_journal < 0)
        m_journal = ::open((m_folder + "/journal").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    m_faults = ReadFaults(m_folder);  // every call: a fault set a moment ago counts at once
}

J2534_LONG Device::Record(const std::string& call, const std::string& fields, J2534_LONG status) {
    std::string line =
        "{\"call\":\"" + call + "\"" + fields + ",\"status\":" + std::to_string(status) + "}\n";
    if (m_journal >= 0 && ::write(m_journal, line.data(), line.size()) < 0) {
        m_lastError = "journal not written";
    }
    if (status != STATUS_NOERROR)
        m_lastError = call + " failed with status " + std::to_string(status);
    return status;
}

J2534_LONG Device::Open(const char* name, J2534_ULONG* deviceId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    if (!name || !deviceId) return Record("PassThruOpen", "", ERR_NULL_PARAMETER);
    std::string fields = ",\"name\":" + JsonQuote(name);
    if (m_faults.unplugged) return Record("PassThruOpen", fields, ERR_NOT_SUPPORTED);
    if (m_deviceId != 0) return Record("PassThruOpen", fields, ERR_DEVICE_IN_USE);
    std::string variant;
    J2534_LONG status = CheckVariant(name, variant);
    if (status == STATUS_NOERROR) {
        m_deviceId = kDeviceId;
        m_variant = variant;
        *deviceId = kDeviceId;
        fields += ",\"variant\":" + JsonQuote(variant) + ",\"device\":" + std::to_string(kDeviceId);
    }
    return Record("PassThruOpen", fields, status);
}

J2534_LONG Device::CheckVariant(const std::string& name, std::string& variant) const {
    return MatchVariant(name, m_faults.mac, variant);
}

J2534_LONG Device::Close(J2534_ULONG deviceId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    std::string fields = ",\"device\":" + std::to_string(deviceId);
    if (deviceId == 0 || deviceId != m_deviceId)
        return Record("PassThruClose", fields, ERR_INVALID_DEVICE_ID);
    m_deviceId = 0;
    m_channelId = 0;
    ResetTransfer();
    return Record("PassThruClose", fields, STATUS_NOERROR);
}

J2534_LONG Device::Connect(J2534_ULONG deviceId, J2534_ULONG protocolId, J2534_ULONG flags,
                           J2534_ULONG baudRate, J2534_ULONG* channelId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    std::string fields =
        ",\"device\":" + std::to_string(deviceId) + ",\"protocol\":" + std::to_string(protocolId) +
        ",\"flags\":" + std::to_string(flags) + ",\"baud\":" + std::to_string(baudRate);
    if (deviceId == 0 || deviceId != m_deviceId)
        return Record("PassThruConnect", fields, ERR_INVALID_DEVICE_ID);
    if (!channelId) return Record("PassThruConnect", fields, ERR_NULL_PARAMETER);
    if (protocolId != PROTOCOL_DEVICE_MGMT)
        return Record("PassThruConnect", fields, ERR_INVALID_PROTOCOL_ID);
    m_channelId = kChannelId;
    *channelId = kChannelId;
    return Record("PassThruConnect", fields + ",\"channel\":" + std::to_string(kChannelId),
                  STATUS_NOERROR);
}

J2534_LONG Device::Disconnect(J2534_ULONG channelId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    std::string fields = ",\"channel\":" + std::to_string(channelId);
    if (channelId == 0 || channelId != m_channelId)
        return Record("PassThruDisconnect", fields, ERR_INVALID_CHANNEL_ID);
    m_channelId = 0;
    ResetTransfer();
    return Record("PassThruDisconnect", fields, STATUS_NOERROR);
}

J2534_LONG Device::Ioctl(J2534_ULONG channelId, J2534_ULONG ioctlId, void* input, void* output) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    const char* name = IoctlName(ioctlId);
    std::string fields = ",\"channel\":" + std::to_string(channelId) +
                         ",\"ioctl\":" + std::to_string(ioctlId) +
                         ",\"command\":" + JsonQuote(name ? name : "unknown");
    if (channelId == 0 || channelId != m_channelId)
        return Record("PassThruIoctl", fields, ERR_INVALID_CHANNEL_ID);
    if (m_faults.unplugged) return Record("PassThruIoctl", fields, ERR_DEVICE_NOT_CONNECTED);
    if (!name) return Record("PassThruIoctl", fields, ERR_INVALID_IOCTL_ID);
    if (ioctlId == IOCTL_READ_HW_INFO) {
        J2534_LONG status = ReadHwInfo(output, fields);
        return Record("PassThruIoctl", fields, status);
    }
    if (!input) return Record("PassThruIoctl", fields, ERR_NULL_PARAMETER);
    const char* text = static_cast<const char*>(input);
    std::string payload = Base64Decode(text);
    fields += ",\"input_chars\":" + std::to_string(std::strlen(text));
    if (ioctlId == IOCTL_FW_TRANSFER_END) {
        fields += PayloadFields(payload, false);
        J2534_LONG status = TransferEnd(fields);
        return Record("PassThruIoctl", fields, status);
    }
    bool block = ioctlId == IOCTL_FW_BLOCK || ioctlId == IOCTL_FW_BLOCK_V2;
    fields += PayloadFields(payload, !block);
    if (block) return Record("PassThruIoctl", fields, Block(ioctlId, payload));
    if (("," + m_faults.refuseSettings + ",").find(std::string(",") + name + ",") !=
        std::string::npos)
        return Record("PassThruIoctl", fields, ERR_FAILED);
    J2534_LONG status = WriteSetting(m_folder, name, payload) ? STATUS_NOERROR : ERR_FAILED;
    return Record("PassThruIoctl", fields, status);
}

std::string Device::HardwareInfo() const {
    std::string doc =
        "{\"mcu_info\":\"ESP32-S3,rev 0.2\",\"version\":" + JsonQuote(m_faults.version) +
        ",\"device_id\":" + JsonQuote(m_faults.mac + "_S3") +
        ",\"variant\":" + JsonQuote(m_variant) + "}";
    std::size_t want = static_cast<std::size_t>(
        m_faults.hwInfoSize > kHwInfoSizeCap ? kHwInfoSizeCap : m_faults.hwInfoSize);
    const std::size_t padMember = std::strlen(",\"pad\":\"\"");
    if (want == 0 || want == doc.size()) return doc;
    if (want < doc.size() + padMember) return doc.substr(0, want);
    doc.pop_back();
    return doc + ",\"pad\":\"" + std::string(want - doc.size() - padMember - 1, 'x') + "\"}";
}

J2534_LONG Device::ReadHwInfo(void* output, std::string& fields) {
    if (!output) return ERR_NULL_PARAMETER;
    if (m_faults.hwInfoReplySet) {
        std::string text = m_faults.hwInfoReply.substr(0, kHwInfoReplyBlock - 1);
        fields += ",\"reply\":" + JsonQuote(text);
        std::memcpy(output, text.c_str(), text.size() + 1);
        return STATUS_NOERROR;
    }
    std::string doc = HardwareInfo();
    std::string text = Base64Encode(reinterpret_cast<const unsigned char*>(doc.data()),
                                    static_cast<std::uint32_t>(doc.size()));
    fields += ",\"length\":" + std::to_string(doc.size());
    if (text.size() + 1 > kHwInfoReplyBlock) return ERR_BUFFER_OVERFLOW;
    std::memcpy(output, text.c_str(), text.size() + 1);
    return STATUS_NOERROR;
}

J2534_LONG Device::Block(J2534_ULONG ioctlId, const std::string& payload) {
    ++m_blocks;
    bool refused = m_faults.refuseBlocksAfter >= 0 && m_blocks > m_faults.refuseBlocksAfter;
    bool outOfOrder =
        m_shortSeen || payload.size() > kBlockLimit || (m_blockId != 0 && m_blockId != ioctlId);
    if (m_faults.blockDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_faults.blockDelayMs));
    if (refused || outOfOrder) {
        m_broken = true;
        return ERR_FAILED;
    }
    m_blockId = ioctlId;
    m_image += payload;
    if (payload.size() < kBlockLimit) m_shortSeen = true;
    return STATUS_NOERROR;
}

// Takes the image when every block arrived in order; the image is kept in image.bin.
J2534_LONG Device::TransferEnd(std::string& fields) {
    fields += ",\"blocks\":" + std::to_string(m_blocks) +
              ",\"image_length\":" + std::to_string(m_image.size());
    J2534_LONG status = STATUS_NOERROR;
    if (m_faults.refuseEnd || m_blocks == 0 || m_broken ||
        !ReplaceFile(m_folder + "/image.bin", m_image))
        status = ERR_FAILED;
    ResetTransfer();
    return status;
}

void Device::ResetTransfer() {
    m_image.clear();
    m_blocks = 0;
    m_broken = false;
    m_shortSeen = false;
    m_blockId = 0;
}

J2534_LONG Device::ReadVersion(J2534_ULONG deviceId, char* fw, char* dll, char* api) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    std::string fields = ",\"device\":" + std::to_string(deviceId);
    if (deviceId == 0 || deviceId != m_deviceId)
        return Record("PassThruReadVersion", fields, ERR_INVALID_DEVICE_ID);
    if (!fw || !dll || !api) return Record("PassThruReadVersion", fields, ERR_NULL_PARAMETER);
    std::snprintf(fw, 80, "%s", m_faults.version.c_str());
    std::snprintf(dll, 80, "%s", "1.0.28");
    std::snprintf(api, 80, "%s", "04.04");
    return Record("PassThruReadVersion", fields, STATUS_NOERROR);
}

J2534_LONG Device::GetLastError(char* text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!text) return ERR_NULL_PARAMETER;
    std::snprintf(text, 80, "%s", m_lastError.c_str());  // the standard's 80-byte buffer
    return STATUS_NOERROR;
}

J2534_LONG Device::Unsupported(const char* call) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Refresh();
    return Record(call, "", ERR_NOT_SUPPORTED);
}

}  // namespace sim
