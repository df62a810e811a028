// The part of the system registry this tool uses: the J2534 interface registrations under
// HKEY_LOCAL_MACHINE\Software\PassThruSupport.04.04 (the 32-bit view
// Software\WOW6432Node\PassThruSupport.04.04 is one and the same key).
//
// The store follows the convention other J2534 tools on this system already read: one JSON
// object per interface in <folder>/<name>.json, <folder> being $PASSTHRU_DIR or ~/.passthru.
// Value names map Name <-> "NAME", Vendor <-> "VENDOR", FunctionLibrary <-> "FUNCTION_LIB" (a
// leading ~ is expanded on reading) and ConfigApplication <-> "CONFIG_APP"; every other value
// ("SSDP", "MQTT", ...) is a member under its own name. Key and value names compare without
// regard to letter case, as in the registry. A file that is not a JSON object, or has no
// "NAME" string, is no key at all. Writes change one member and keep every other byte of the
// file, and replace the file atomically.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The folder the interface files live in: $PASSTHRU_DIR when set and not empty, else
// ~/.passthru.
std::string PassThruStoreFolder();

class RegistryKey {
public:
    enum class Access { Read, Write };

    // Opens HKEY_LOCAL_MACHINE\<path>, where path is the J2534 root
    // ("Software\PassThruSupport.04.04", also with "WOW6432Node\" after "Software") or one
    // interface below it. Null when the key does not exist; no key is ever created. Write
    // access to the root is refused.
    static std::unique_ptr<RegistryKey> Open(const std::string& path, Access access = Access::Read);

    // Interface key names below the root, in registry order (case-insensitive by name);
    // empty for an interface key.
    std::vector<std::string> SubKeyNames() const;

    // A value as text: strings unescaped, numbers and literals as written. False when the
    // value is absent (or this is the root).
    bool QueryString(const std::string& valueName, std::string& out) const;

    // A numeric value in 0 .. 2^32-1. False when absent or not such a number.
    bool QueryDword(const std::string& valueName, std::uint32_t& out) const;

    // Sets a value (REG_SZ / REG_DWORD). False for a key opened for reading, the root, a key
    // whose file has gone or become unreadable, or a failed write.
    bool SetString(const std::string& valueName, const std::string& value);
    bool SetDword(const std::string& valueName, std::uint32_t value);

    const std::string& Name() const { return m_name; }

private:
    RegistryKey(std::string file, std::string name, Access access)
        : m_file(std::move(file)), m_name(std::move(name)), m_access(access) {}
    bool SetRaw(const std::string& valueName, const std::string& jsonText);

    std::string m_file;  // empty for the root
    std::string m_name;
    Access m_access;
    std::string m_text;  // the file as read at opening
};

}  // namespace platform
