#include "platform/serial.h"

#include <dirent.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {
namespace {

// USB-serial and CDC-ACM ports list before every other kind.
int Rank(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0 ? 0 : 1;
}

// Natural order: the digit runs of two names compare as numbers.
bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            std::string na = a.substr(i, ei - i), nb = b.substr(j, ej - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei, j = ej;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i, ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

void SortPorts(std::vector<SerialPortInfo>& ports) {
    std::stable_sort(ports.begin(), ports.end(), [](const auto& x, const auto& y) {
        int rx = Rank(x.path), ry = Rank(y.path);
        return rx != ry ? rx < ry : NaturalLess(x.path, y.path);
    });
}

// An on-board UART node exists whether or not a port is behind it; only a port whose
// driver names a UART type is real.
bool IsRealUart(const char* devnode) {
    int fd = ::open(devnode, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    serial_struct info{};
    bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return real;
}

std::string Attribute(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? value : "";
}

// "maker product" of the USB device a port belongs to, or empty.
std::string UsbDescription(udev_device* port) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(port, "usb", "usb_device");
    std::string maker = Attribute(usb, "manufacturer"), product = Attribute(usb, "product");
    if (product.empty()) {
        const char* model = udev_device_get_property_value(port, "ID_MODEL_FROM_DATABASE");
        product = model ? model : "";
    }
    if (maker.empty() || product.rfind(maker, 0) == 0) return product;
    return product.empty() ? maker : maker + " " + product;
}

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
};

// false when udev cannot be used at all.
bool ListFromUdev(std::vector<SerialPortInfo>& ports) {
    std::unique_ptr<udev, UdevDeleter> u(udev_new());
    if (!u) return false;
    std::unique_ptr<udev_enumerate, UdevDeleter> e(udev_enumerate_new(u.get()));
    if (!e || udev_enumerate_add_match_subsystem(e.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(e.get()) < 0)
        return false;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(e.get())) {
        udev_device* dev = udev_device_new_from_syspath(u.get(), udev_list_entry_get_name(entry));
        if (!dev) continue;
        const char* node = udev_device_get_devnode(dev);
        udev_device* parent = udev_device_get_parent(dev);  // virtual terminals have none
        const char* driver = parent ? udev_device_get_driver(parent) : nullptr;
        bool uart = driver && std::strcmp(driver, "serial8250") == 0;
        if (node && parent && (!uart || IsRealUart(node)))
            ports.push_back({node, UsbDescription(dev)});
        udev_device_unref(dev);
    }
    return true;
}

void ListFromById(std::vector<SerialPortInfo>& ports) {
    const std::string folder = "/dev/serial/by-id";
    DIR* d = ::opendir(folder.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.') continue;
        char real[PATH_MAX];
        if (!::realpath((folder + "/" + e->d_name).c_str(), real)) continue;
        std::string description = e->d_name;  // usb-<maker>_<product>_<serial>-if00...
        std::replace(description.begin(), description.end(), '_', ' ');
        ports.push_back({real, description});
    }
    ::closedir(d);
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts() {
    std::vector<SerialPortInfo> ports;
    if (!ListFromUdev(ports)) ListFromById(ports);
    SortPorts(ports);
    if (const char* extra = std::getenv("VELKOR_SERIAL_PORTS")) {
        std::string list = extra;
        for (std::size_t b = 0; b <= list.size();) {
            std::size_t e = std::min(list.find(':', b), list.size());
            if (e > b) ports.push_back({list.substr(b, e - b), ""});
            b = e + 1;
        }
    }
    return ports;
}

std::string SerialPortPath(const std::string& name) {
    return name.find('/') == std::string::npos ? "/dev/" + name : name;
}

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const std::string& path) {
    Close();
    m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = std::strerror(errno);
        return false;
    }
    if (!::isatty(m_fd)) {
        m_error = "not a serial port";
    } else if (::ioctl(m_fd, TIOCEXCL) != 0) {  // no sharing, as the port is ours for now
        m_error = std::strerror(errno);
    } else {
        return true;
    }
    ::close(m_fd);
    m_fd = -1;
    return false;
}

bool SerialPort::ApplyBootSettings() {
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0) {
        m_error = std::strerror(errno);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B1200);
    ::cfsetospeed(&tio, B1200);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        m_error = std::strerror(errno);
        return false;
    }
    int dtr = TIOCM_DTR;
    if (::ioctl(m_fd, TIOCMBIS, &dtr) != 0 && errno != ENOTTY && errno != EINVAL) {
        m_error = std::strerror(errno);
        return false;
    }
    return true;
}

void SerialPort::Purge() {
    if (m_fd >= 0) ::tcflush(m_fd, TCIOFLUSH);
}

void SerialPort::Close() {
    if (m_fd < 0) return;
    Purge();
    ::tcdrain(m_fd);
    ::close(m_fd);
    m_fd = -1;
}

}  // namespace platform
