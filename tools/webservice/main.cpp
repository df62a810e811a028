// webservice: the reference web service and its administration commands.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "admin.h"
#include "database.h"
#include "publish.h"
#include "web_service.h"

namespace {

const char* const kUsage =
    "usage:\n"
    "  webservice serve --db FILE --data DIR [--host H] [--port P] [--cert PEM --key PEM]\n"
    "                   [--path //api//example//jsondata] [--port-file FILE] [--threads N]\n"
    "                   [--statement-ms N] [--body-limit BYTES] [--answer-limit BYTES] [--quiet]\n"
    "  webservice init --db FILE\n"
    "  webservice adduser --db FILE --name NAME --password TEXT [--email E] [--mobile M]\n"
    "                     [--folder URL] [--cfg TEXT]        (prints the new user_id)\n"
    "  webservice seed --db FILE --user-id N [--rows N] [--mqtt N]\n"
    "  webservice publish --data DIR --folder ACCOUNT_FOLDER --description FILE\n"
    "                     (the description format: tools/seal/README.md)\n";

using Args = std::map<std::string, std::string>;

// "--name value" pairs; a flag without a value ("--quiet") maps to "1".
bool ParseArgs(int argc, char** argv, Args& args) {
    for (int i = 2; i < argc; ++i) {
        std::string key = argv[i];
        if (key.rfind("--", 0) != 0) return false;
        key = key.substr(2);
        const bool hasValue = i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0;
        args[key] = hasValue ? argv[++i] : "1";
    }
    return true;
}

std::string Get(const Args& args, const std::string& key, const std::string& fallback = "") {
    const auto it = args.find(key);
    return it == args.end() ? fallback : it->second;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "webservice: %s\n", message.c_str());
    return 1;
}

int Serve(const Args& args) {
    ServiceOptions options;
    options.database = Get(args, "db");
    options.dataFolder = Get(args, "data");
    if (options.database.empty() || options.dataFolder.empty()) return Fail("serve needs --db and --data");
    options.host = Get(args, "host", options.host);
    options.port = std::atoi(Get(args, "port", "0").c_str());
    options.certFile = Get(args, "cert");
    options.keyFile = Get(args, "key");
    if (options.certFile.empty() != options.keyFile.empty()) return Fail("--cert and --key go together");
    options.requestPath = Get(args, "path", options.requestPath);
    options.threads = std::atoi(Get(args, "threads", std::to_string(options.threads)).c_str());
    options.limits.statementMs =
        std::atoi(Get(args, "statement-ms", std::to_string(options.limits.statementMs)).c_str());
    options.bodyLimit = std::strtoul(Get(args, "body-limit", std::to_string(options.bodyLimit)).c_str(), nullptr, 10);
    options.limits.answerBytes = std::strtoul(
        Get(args, "answer-limit", std::to_string(options.limits.answerBytes)).c_str(), nullptr, 10);
    options.quiet = args.count("quiet") != 0;

    // The request threads inherit this mask, so only sigwait below sees the stop signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    WebService service(options);
    std::string error;
    if (!service.Start(error)) return Fail(error);
    std::printf("webservice: listening on %s (requests at %s)\n", service.BaseUrl().c_str(),
                options.requestPath.c_str());
    std::fflush(stdout);
    const std::string portFile = Get(args, "port-file");
    if (!portFile.empty()) std::ofstream(portFile) << service.Port() << "\n";
    int signal = 0;
    sigwait(&stopSignals, &signal);
    service.Stop();
    return 0;
}

// Runs `work` on an administration connection of --db.
template <typename Work>
int WithDatabase(const Args& args, Work work) {
    const std::string path = Get(args, "db");
    if (path.empty()) return Fail("--db FILE is needed");
    std::string error;
    sqlite3* db = webservice::OpenAdminDatabase(path, error);
    if (!db) return Fail(error);
    const bool ok = work(db, error);
    sqlite3_close(db);
    return ok ? 0 : Fail(error);
}

int AddUserCommand(const Args& args) {
    NewUser user{Get(args, "name"),   Get(args, "password"), Get(args, "email"),
                 Get(args, "mobile"), Get(args, "folder"),   Get(args, "cfg")};
    if (user.name.empty()) return Fail("adduser needs --name");
    return WithDatabase(args, [&](sqlite3* db, std::string& error) {
        uint64_t userId = 0;
        if (!webservice::AddUser(db, user, userId, error)) return false;
        std::printf("%llu\n", static_cast<unsigned long long>(userId));
        return true;
    });
}

int SeedCommand(const Args& args) {
    const uint64_t userId = std::strtoull(Get(args, "user-id", "0").c_str(), nullptr, 10);
    if (userId == 0) return Fail("seed needs --user-id");
    const int rows = std::atoi(Get(args, "rows", "25").c_str());
    const int mqtt = std::atoi(Get(args, "mqtt", "3").c_str());
    return WithDatabase(args, [&](sqlite3* db, std::string& error) {
        return webservice::SeedDeviceRows(db, userId, rows, 1, error) &&
               webservice::SeedMqttRows(db, userId, mqtt, error);
    });
}

int PublishCommand(const Args& args) {
    const std::string data = Get(args, "data"), folder = Get(args, "folder"),
                      description = Get(args, "description");
    if (data.empty() || folder.empty() || description.empty())
        return Fail("publish needs --data, --folder and --description");
    std::string error;
    if (!webservice::PublishApplicationFiles(data, folder, description, error)) return Fail(error);
    std::printf("published %s into %s/%s\n", description.c_str(), data.c_str(), folder.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Args args;
    if (argc < 2 || !ParseArgs(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "serve") return Serve(args);
    if (command == "init") return WithDatabase(args, [](sqlite3*, std::string&) { return true; });
    if (command == "adduser") return AddUserCommand(args);
    if (command == "seed") return SeedCommand(args);
    if (command == "publish") return PublishCommand(args);
    std::fputs(kUsage, stderr);
    return 2;
}
