#include "device/passthru_dll.h"

#include <cstring>
#include <memory>

#include "platform/registry.h"

namespace {
constexpr char kPassThruRoot[] = "Software\\PassThruSupport.04.04";
}  // namespace

CPassThruDll* CPassThruDll::GetInstance() {
    static CPassThruDll* instance = new CPassThruDll();
    return instance;
}

void CPassThruDll::ListInterfaces(std::set<PassThruInfo>& list) {
    list.clear();
    auto root = platform::RegistryKey::Open(kPassThruRoot);
    if (!root) return;
    for (const std::string& name : root->SubKeyNames()) {
        auto key = platform::RegistryKey::Open(std::string(kPassThruRoot) + "\\" + name);
        if (!key) continue;  // vanished or became unreadable since the listing
        PassThruInfo info;
        key->QueryString("Vendor", info.Vendor);
        key->QueryString("Name", info.Name);
        key->QueryString("FunctionLibrary", info.FunctionLibrary);
        key->QueryString("ConfigApplication", info.ConfigApplication);
        list.insert(info);  // a second record of the same Name is dropped
    }
}

bool CPassThruDll::LoadDll(const std::string& path) {
    FreeDll();
    if (!m_lib.Load(path)) {
        m_lastError = "error loading J2534 DLL";
        m_lastErrorDetail = m_lib.ErrorText();
        return false;
    }
    for (int i = 0; i < 14; ++i) {
        m_exports[i] = m_lib.Symbol(kPassThruExports[i]);
        if (!m_exports[i]) {
            m_lastError = "error loading J2534 DLL function pointers";
            m_lastErrorDetail = m_lib.ErrorText();
            FreeDll();
            return false;
        }
    }
    m_open = reinterpret_cast<PTOPEN>(m_exports[0]);
    m_close = reinterpret_cast<PTCLOSE>(m_exports[1]);
    m_connect = reinterpret_cast<PTCONNECT>(m_exports[2]);
    m_ioctl = reinterpret_cast<PTIOCTL>(m_exports[13]);
    return true;
}

void CPassThruDll::FreeDll() {
    m_lib.Free();
    std::memset(m_exports, 0, sizeof m_exports);
    m_open = nullptr;
    m_close = nullptr;
    m_connect = nullptr;
    m_ioctl = nullptr;
}

J2534_LONG CPassThruDll::Open(const char* name, J2534_ULONG* deviceId) {
    if (!IsLoaded()) return ERR_DEVICE_NOT_CONNECTED;
    return m_open(const_cast<char*>(name), deviceId);
}

J2534_LONG CPassThruDll::Close(J2534_ULONG deviceId) {
    if (!IsLoaded()) return ERR_DEVICE_NOT_CONNECTED;
    return m_close(deviceId);
}

J2534_LONG CPassThruDll::Connect(J2534_ULONG deviceId, J2534_ULONG protocolId, J2534_ULONG flags,
                                 J2534_ULONG baudRate, J2534_ULONG* channelId) {
    if (!IsLoaded()) return ERR_DEVICE_NOT_CONNECTED;
    return m_connect(deviceId, protocolId, flags, baudRate, channelId);
}

J2534_LONG CPassThruDll::Ioctl(J2534_ULONG channelId, J2534_ULONG ioctlId, void* input,
                               void* output) {
    if (!IsLoaded()) return ERR_DEVICE_NOT_CONNECTED;
    return m_ioctl(channelId, ioctlId, input, output);
}
