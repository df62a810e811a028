#include "seal/seal_cli.h"

#include <functional>
#include <map>

#include "seal/manifest.h"
#include "seal/seal_files.h"
#include "support/boost_file_utils.h"
#include "support/cipher.h"
#include "support/key_text.h"

namespace seal {
namespace {
constexpr const char* kUsage =
    "usage:\n"
    "  seal seal --key TEXT IN OUT         seal the file IN under the key text into OUT\n"
    "  seal open --key TEXT IN [OUT]       open a sealed file (to OUT, else the standard output)\n"
    "  seal keytext TEXT                   print the key text (decimal Crc64) of TEXT\n"
    "  seal manifest DESCRIPTION OUTDIR    publish application files and their sealed manifest\n"
    "  seal encrypt --keytext K TEXT       print TEXT sealed by the text cipher under K\n"
    "  seal makekey TEXT                   print the cipher's key text of TEXT\n";

using Args = std::vector<std::string>;

// Takes "--name VALUE" out of args; false when the option is missing or has no value.
bool TakeOption(Args& args, const std::string& name, std::string& value) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i),
                       args.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return false;
}

int Fail(std::ostream& err, const std::string& reason) {
    err << "seal: " << reason << "\n";
    return 1;
}

int Seal(Args args, std::ostream& out, std::ostream& err) {
    std::string key, error;
    if (!TakeOption(args, "--key", key) || args.size() != 2) return 2;
    if (!SealFile(args[0], args[1], key, error)) return Fail(err, error);
    out << "sealed " << args[0] << " -> " << args[1] << "\n";
    return 0;
}

int Open(Args args, std::ostream& out, std::ostream& err) {
    std::string key, payload, error;
    if (!TakeOption(args, "--key", key) || args.empty() || args.size() > 2) return 2;
    if (!OpenFile(args[0], key, payload, error)) return Fail(err, error);
    if (args.size() == 1) {
        out << payload;
    } else if (!CBoostFileUtils::GetInstance()->WriteBinaryFile(args[1], payload)) {
        return Fail(err, "cannot write " + args[1]);
    }
    return 0;
}

int KeyText(Args args, std::ostream& out, std::ostream&) {
    if (args.size() != 1) return 2;
    out << Crc64KeyText(args[0]) << "\n";
    return 0;
}

int Manifest(Args args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return 2;
    ManifestDescription description;
    std::string error;
    if (!ReadDescription(args[0], description, error) ||
        !BuildManifest(description, args[1], error))
        return Fail(err, error);
    out << "published " << args[1] << "/" << description.manifestPath << "\n";
    return 0;
}

int Encrypt(Args args, std::ostream& out, std::ostream& err) {
    std::string key;
    if (!TakeOption(args, "--keytext", key) || args.size() != 1) return 2;
    if (args[0].empty()) return Fail(err, "nothing to seal: the text is empty");
    out << Cipher::GetInstance()->EncryptText(args[0], key.c_str()) << "\n";
    return 0;
}

int MakeKey(Args args, std::ostream& out, std::ostream&) {
    if (args.size() != 1) return 2;
    out << Cipher::MakeKeyText(args[0]) << "\n";
    return 0;
}
}  // namespace

int RunSealTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    using Command = std::function<int(Args, std::ostream&, std::ostream&)>;
    static const std::map<std::string, Command> commands = {
        {"seal", Seal},         {"open", Open},       {"keytext", KeyText},
        {"manifest", Manifest}, {"encrypt", Encrypt}, {"makekey", MakeKey},
    };
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    auto command = args.empty() ? commands.end() : commands.find(args[0]);
    int rc = command == commands.end()
                 ? 2
                 : command->second(Args(args.begin() + 1, args.end()), out, err);
    if (rc == 2) err << kUsage;
    return rc;
}

}  // namespace seal
