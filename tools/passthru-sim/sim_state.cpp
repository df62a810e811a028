#include "sim_state.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/base64.h"
#include "support/cipher.h"

namespace sim {
namespace {

std::vector<std::pair<std::string, std::string>> ReadPairs(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pairs.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return pairs;
}

bool SetPair(const std::string& path, const std::string& key, const std::string& value,
             bool remove) {
    std::string out;
    bool done = false;
    for (auto& [k, v] : ReadPairs(path)) {
        if (k == key) {
            if (done || remove) continue;
            v = value;
            done = true;
        }
        out += k + "=" + v + "\n";
    }
    if (!done && !remove) out += key + "=" + value + "\n";
    return ReplaceFile(path, out);
}

long ToLong(const std::string& v, long def) {
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    return end && end != v.c_str() ? n : def;
}

}  // namespace

std::string StateFolder() {
    const char* dir = std::getenv("PASSTHRU_SIM_STATE");
    if (dir && *dir) return dir;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.passthru-sim";
}

Faults ReadFaults(const std::string& folder) {
    Faults f;
    for (const auto& [k, v] : ReadPairs(folder + "/faults")) {
        if (k == "unplugged")
            f.unplugged = ToLong(v, 0) != 0;
        else if (k == "refuse_blocks_after")
            f.refuseBlocksAfter = ToLong(v, -1);
        else if (k == "refuse_end")
            f.refuseEnd = ToLong(v, 0) != 0;
        else if (k == "block_delay_ms")
            f.blockDelayMs = ToLong(v, 0);
        else if (k == "hw_info_size")
            f.hwInfoSize = ToLong(v, 0);
        else if (k == "hw_info_reply")
            f.hwInfoReplySet = true, f.hwInfoReply = v;
        else if (k == "refuse_setting")
            f.refuseSettings = v;
        else if (k == "mac" && !v.empty())
            f.mac = v;
        else if (k == "version" && !v.empty())
            f.version = v;
    }
    return f;
}

bool WriteFault(const std::string& folder, const std::string& key, const std::string& value,
                bool remove) {
    return SetPair(folder + "/faults", key, value, remove);
}

std::map<std::string, std::string> ReadSettings(const std::string& folder) {
    std::map<std::string, std::string> settings;
    for (const auto& [k, v] : ReadPairs(folder + "/settings")) settings[k] = Base64Decode(v);
    return settings;
}

bool WriteSetting(const std::string& folder, const std::string& name, const std::string& value) {
    std::string encoded = Base64Encode(reinterpret_cast<const unsigned char*>(value.data()),
                                       static_cast<std::uint32_t>(value.size()));
    return SetPair(folder + "/settings", name, encoded, false);
}

bool ReplaceFile(const std::string& path, const std::string& content) {
    std::string tmp = path + ".tmp" + std::to_string(getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(tmp.c_str(), path.c_str()) == 0) return true;
    std::remove(tmp.c_str());
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    content = ss.str();
    return true;
}

bool OpenMqttConfig(const std::string& text, std::string& plain) {
    std::size_t semi = text.rfind(';');
    if (semi == std::string::npos || semi == 0) return false;
    const std::string mac = text.substr(semi + 1);
    plain = Cipher::GetInstance()->DecryptText(text.substr(0, semi), mac.c_str());
    const std::string tail = ";" + mac;
    return plain.size() > tail.size() &&
           plain.compare(plain.size() - tail.size(), tail.size(), tail) == 0;
}

std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace sim
