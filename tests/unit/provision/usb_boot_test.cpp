// The USB boot switch on a pseudo-terminal pair: the tool holds one end, the test watches the
// line settings from the other.
#include "provision/usb_boot.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/serial.h"

namespace {

class UsbBoot : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::openpty(&m_master, &m_slave, m_name, nullptr, nullptr), 0);
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(m_slave, TCSANOW, &tio);
        ::close(m_slave);  // the switch opens the port by its name
    }
    void TearDown() override {
        ::close(m_master);
        unsetenv("VELKOR_SERIAL_PORTS");
    }
    speed_t SeenSpeed() const {
        termios tio{};
        ::tcgetattr(m_master, &tio);
        return ::cfgetospeed(&tio);
    }

    int m_master = -1, m_slave = -1;
    char m_name[128] = {};
};

TEST_F(UsbBoot, HoldsThePortAt1200BaudAndClosesIt) {
    speed_t during = 0;
    int heldFor = 0;
    std::string problem = provision::SwitchToUsbBoot(m_name, 5000, [&](int ms) {
        heldFor = ms;
        during = SeenSpeed();
    });
    EXPECT_EQ(problem, "");
    EXPECT_EQ(heldFor, 5000);
    EXPECT_EQ(during, static_cast<speed_t>(B1200));

    termios tio{};  // 8N1, raw, no flow control
    ::tcgetattr(m_master, &tio);
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

    // Closed again: the port can be opened for this program alone once more.
    platform::SerialPort again;
    EXPECT_TRUE(again.Open(m_name)) << again.ErrorText();
}

TEST_F(UsbBoot, APortThatCannotBeUsedIsSaidAndNotHeld) {
    struct Case {
        std::string port;
        std::string problem;
    } cases[] = {
        {"", "Please choose the COM port of the device."},
        {"/dev/ttyVELKOR-none", "Could not open /dev/ttyVELKOR-none: No such file or directory"},
        {"ttyVELKOR-none", "Could not open /dev/ttyVELKOR-none: No such file or directory"},
        {"/dev/null", "Could not open /dev/null: not a serial port"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        bool held = false;
        EXPECT_EQ(provision::SwitchToUsbBoot(c.port, 5000, [&](int) { held = true; }), c.problem);
        EXPECT_FALSE(held);
    }
}

TEST_F(UsbBoot, PortsNamedByTheEnvironmentFollowTheEnumeratedOnes) {
    const auto before = provision::SerialPortEntries();
    setenv("VELKOR_SERIAL_PORTS", (std::string(m_name) + "::/dev/ttyVELKOR9").c_str(), 1);
    const auto entries = provision::SerialPortEntries();
    ASSERT_EQ(entries.size(), before.size() + 2);
    EXPECT_EQ(entries[before.size()].text, m_name);
    EXPECT_EQ(entries[before.size()].port, m_name);
    EXPECT_EQ(entries.back().port, "/dev/ttyVELKOR9");
    for (const auto& e : entries) EXPECT_EQ(provision::PortOfText(e.text, entries), e.port);
    EXPECT_EQ(provision::PortOfText("/dev/ttyS7", entries), "/dev/ttyS7");
}

}  // namespace
