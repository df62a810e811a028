// passthru-sim: registers the simulated device and looks after its state folder.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/registry.h"
#include "sim_announce.h"
#include "sim_state.h"

namespace {

constexpr char kUsage[] =
    "usage: passthru-sim COMMAND\n"
    "  register [--name NAME] [--dir DIR] [--lib PATH] [--force]\n"
    "                     write DIR/NAME.json (NAME QVX_USB_J2534, DIR $PASSTHRU_DIR or\n"
    "                     ~/.passthru, PATH the library beside this program)\n"
    "  fault KEY [VALUE]  set a fault (no VALUE removes it): unplugged, refuse_blocks_after,\n"
    "                     refuse_end, block_delay_ms, hw_info_size, hw_info_reply,\n"
    "                     refuse_setting (names, e.g. wifi_ssid,network_mode),\n"
    "                     mac, version\n"
    "  faults             print the fault settings\n"
    "  journal [--clear]  print (or empty) the journal of calls\n"
    "  image OUT          copy the last received firmware image to OUT\n"
    "  settings           print the network settings received\n"
    "  reset              remove faults, journal, settings and image\n"
    "  mqtt [TEXT]        open an MQTT connection text (default: the \"MQTT\" value of the\n"
    "                     QVX_USB_J2534 registration) as the Wi-Fi/MQTT variant does\n"
    "  announce [--name NAME] [--interface ADDR] [--port N] [--every MS]\n"
    "                     the Wi-Fi variant on the network until ended: SSDP NOTIFY and\n"
    "                     answers on ADDR (127.0.0.1) port N (1900), its description over\n"
    "                     HTTP; NAME QVX_WIFIAP_J2534-<MAC>\n"
    "The state folder is $PASSTHRU_SIM_STATE, else ~/.passthru-sim.\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "passthru-sim: %s\n", message.c_str());
    return 1;
}

std::string Option(std::vector<std::string>& args, const std::string& name,
                   const std::string& def) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            std::string v = args[i + 1];
            args.erase(args.begin() + i, args.begin() + i + 2);
            return v;
        }
    }
    return def;
}

// Refuses to replace a registration of another library unless forced.
int Register(std::vector<std::string> args) {
    bool force = false;
    for (auto it = args.begin(); it != args.end();)
        if (*it == "--force")
            it = args.erase(it), force = true;
        else
            ++it;
    std::string name = Option(args, "--name", "QVX_USB_J2534");
    std::string dir = Option(args, "--dir", platform::PassThruStoreFolder());
    std::string lib = Option(args, "--lib", platform::ModuleDirectory() + "/libpassthru-sim.so");
    if (!args.empty()) return Fail("unknown argument " + args[0]);
    ::mkdir(dir.c_str(), 0755);
    std::string file = dir + "/" + name + ".json";
    std::string old;
    if (!force && sim::ReadWholeFile(file, old) && old.find("passthru-sim") == std::string::npos)
        return Fail(file + " registers another library; use --force to replace it");
    std::string text = "{\n  \"NAME\": " + sim::JsonQuote(name) +
                       ",\n  \"VENDOR\": \"Velkor simulated device\",\n  \"FUNCTION_LIB\": " +
                       sim::JsonQuote(lib) + ",\n  \"CONFIG_APP\": \"\"\n}\n";
    if (!sim::ReplaceFile(file, text)) return Fail("cannot write " + file);
    std::printf("%s\n", file.c_str());
    return 0;
}

int Print(const std::string& path) {
    std::string text;
    if (sim::ReadWholeFile(path, text)) std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

int Image(const std::string& folder, const std::vector<std::string>& args) {
    if (args.size() != 1) return Fail("image needs one output path");
    std::string image;
    if (!sim::ReadWholeFile(folder + "/image.bin", image)) return Fail("no image received yet");
    if (!sim::ReplaceFile(args[0], image)) return Fail("cannot write " + args[0]);
    std::printf("%zu bytes\n", image.size());
    return 0;
}

// Prints the plain MQTT connection text; fails when it does not open.
int Mqtt(const std::vector<std::string>& args) {
    std::string text;
    if (args.size() == 1) {
        text = args[0];
    } else {
        auto key = platform::RegistryKey::Open(
            "SOFTWARE\\WOW6432Node\\PassThruSupport.04.04\\QVX_USB_J2534");
        if (!key || !key->QueryString("MQTT", text)) return Fail("no MQTT value registered");
    }
    std::string plain;
    if (!sim::OpenMqttConfig(text, plain)) return Fail("the MQTT text does not open");
    std::printf("%s\n", plain.c_str());
    return 0;
}

volatile sig_atomic_t g_ended = 0;

// Announces until SIGINT or SIGTERM.
int Announce(const std::string& folder, std::vector<std::string> args) {
    sim::AnnounceOptions options;
    options.name = Option(args, "--name", "QVX_WIFIAP_J2534-" + sim::ReadFaults(folder).mac);
    options.interfaceAddress = Option(args, "--interface", "127.0.0.1");
    options.ssdpPort = std::atoi(Option(args, "--port", "1900").c_str());
    options.notifyPeriodMs = std::atoi(Option(args, "--every", "10000").c_str());
    if (!args.empty()) return Fail("unknown argument " + args[0]);
    struct sigaction sa {};
    sa.sa_handler = [](int) { g_ended = 1; };
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sim::SsdpAnnouncer announcer;
    std::string error;
    if (!announcer.Start(options, &error)) return Fail(error);
    std::printf("%s at %s\n", options.name.c_str(), announcer.Location().c_str());
    std::fflush(stdout);
    while (!g_ended) pause();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return std::fputs(kUsage, stderr), 2;
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    std::string folder = sim::StateFolder();
    if (cmd == "register") return Register(args);
    ::mkdir(folder.c_str(), 0755);
    if (cmd == "fault" && (args.size() == 1 || args.size() == 2)) {
        if (!sim::WriteFault(folder, args[0], args.size() == 2 ? args[1] : "", args.size() == 1))
            return Fail("cannot write " + folder + "/faults");
        return 0;
    }
    if (cmd == "faults") return Print(folder + "/faults");
    if (cmd == "journal" && args.empty()) return Print(folder + "/journal");
    if (cmd == "journal" && args.size() == 1 && args[0] == "--clear")
        return ::truncate((folder + "/journal").c_str(), 0) == 0 || errno == ENOENT
                   ? 0
                   : Fail("cannot clear the journal");
    if (cmd == "image") return Image(folder, args);
    if (cmd == "announce") return Announce(folder, args);
    if (cmd == "mqtt" && args.size() <= 1) return Mqtt(args);
    if (cmd == "settings") {
        for (const auto& [k, v] : sim::ReadSettings(folder))
            std::printf("%s=%s\n", k.c_str(), v.c_str());
        return 0;
    }
    if (cmd == "reset") {
        for (const char* f : {"faults", "journal", "settings", "image.bin"})
            std::remove((folder + "/" + f).c_str());
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
