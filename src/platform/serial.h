// Serial ports: the machine's list of them, and one port opened with the settings the device
// takes as its boot-mode request.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct SerialPortInfo {
    std::string path;         // device node, e.g. "/dev/ttyUSB0"
    std::string description;  // the USB product (and maker) where known, else empty
};

// The serial ports present: USB-serial (ttyUSB) and CDC-ACM (ttyACM) ports first, then the
// others (on-board UARTs that answer as real ports, ...), each group in natural name order
// (ttyUSB2 before ttyUSB10). Taken from udev; where udev cannot be used, from the links of
// /dev/serial/by-id. Ports named in $VELKOR_SERIAL_PORTS (paths separated by ':') follow,
// for ports no enumeration finds, such as pseudo-terminals of a virtual serial line.
std::vector<SerialPortInfo> ListSerialPorts();

// The device node of a port name: a name without '/' is looked up under /dev.
std::string SerialPortPath(const std::string& name);

// One open serial port with one owner; closed by its destructor.
class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the port for reading and writing, for this program alone. False (with the
    // reason in ErrorText()) when it cannot be opened or is not a terminal.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }

    // 1200 baud, 8 data bits, no parity, one stop bit, no hardware or XON/XOFF flow control,
    // raw bytes, then DTR raised. False when the line settings were refused; a port without
    // modem lines (a pseudo-terminal) keeps its line settings and answers true.
    bool ApplyBootSettings();

    // Drops what waits in both directions.
    void Purge();
    // Purges, waits until written bytes are out, and closes.
    void Close();

    const std::string& ErrorText() const { return m_error; }

private:
    int m_fd = -1;
    std::string m_error;
};

}  // namespace platform
