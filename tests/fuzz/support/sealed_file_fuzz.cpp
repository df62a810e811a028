// ReadSealedFile on arbitrary file contents: a refusal leaves the destination untouched,
// and every payload sealed under the same key opens back whole.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/boost_file_utils.h"
#include "support/sealed_file.h"

namespace {
// One scratch file for the whole run, removed at exit.
struct Scratch {
    std::string path;
    Scratch() {
        char name[] = "/tmp/velkor-sealed-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        path = name;
    }
    ~Scratch() { unlink(path.c_str()); }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    std::string content(reinterpret_cast<const char*>(data), size);
    CBoostFileUtils* files = CBoostFileUtils::GetInstance();
    if (!files->WriteBinaryFile(scratch.path, content)) std::abort();
    std::string payload = "untouched";
    if (!files->ReadSealedFile(scratch.path, "8304364395620975745", payload) &&
        payload != "untouched")
        std::abort();

    std::string opened;
    if (OpenSealed(SealPayload(content, "8304364395620975745"), "8304364395620975745", opened) !=
            SealStatus::Ok ||
        opened != content)
        std::abort();
    return 0;
}
