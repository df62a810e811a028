#include "seal/seal_files.h"

#include <filesystem>
#include <system_error>

#include "support/boost_file_utils.h"
#include "support/sealed_file.h"

namespace seal {
namespace {
// Reads a file whole; an empty file is content too, a missing or unreadable one is not.
bool ReadWhole(const std::string& path, std::string& content, std::string& error) {
    std::error_code ec;
    bool emptyFile =
        std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0;
    if (CBoostFileUtils::GetInstance()->ReadBinaryFile(path, content) == 0 && !emptyFile) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}
}  // namespace

bool SealFile(const std::string& in, const std::string& out, const std::string& keyText,
              std::string& error) {
    if (keyText.empty()) {
        error = SealStatusText(SealStatus::NoKey);
        return false;
    }
    std::string payload;
    if (!ReadWhole(in, payload, error)) return false;
    if (!CBoostFileUtils::GetInstance()->WriteBinaryFile(out, SealPayload(payload, keyText))) {
        error = "cannot write " + out;
        return false;
    }
    return true;
}

bool OpenFile(const std::string& in, const std::string& keyText, std::string& payload,
              std::string& error) {
    std::string content;
    if (!ReadWhole(in, content, error)) return false;
    SealStatus status = OpenSealed(content, keyText, payload);
    if (status == SealStatus::Ok) return true;
    if (status != SealStatus::NoKey && !IsWholeBase64(content)) status = SealStatus::NotBase64;
    error = in + ": " + SealStatusText(status);
    return false;
}

}  // namespace seal
