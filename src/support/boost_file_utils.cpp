#include "support/boost_file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>
#include <thread>

#include "support/crc_util.h"
#include "support/sealed_file.h"

namespace {
// Bytes per read of GetFileCrc: large enough to keep the CRC busy, small enough to sit in
// the cache and keep the memory flat whatever the file size.
constexpr std::size_t kCrcPiece = 1024 * 1024;
// Files from this size on are read in two halves at once.
constexpr std::uint64_t kSplitBytes = 8ull * 1024 * 1024;
constexpr std::uint64_t kToEnd = ~0ull;

// A file descriptor closed with its owner.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// Reads up to `length` bytes, retrying short reads; -1 on an error.
ssize_t ReadFully(int fd, char* data, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::read(fd, data + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// The Crc32 register over a range of a file and the bytes it covered.
struct RangeCrc {
    std::uint32_t crc;
    std::uint64_t bytes = 0;
};

// Runs `range.crc` over up to `length` bytes of `fd` from `offset` (fewer at the end of the
// file), in pieces of kCrcPiece; false on a read error.
bool CrcOfRange(int fd, std::uint64_t offset, std::uint64_t length, RangeCrc& range) {
    std::unique_ptr<unsigned char[]> piece(new unsigned char[kCrcPiece]);
    const CCrcUtil* crc = CCrcUtil::GetInstance();
    while (range.bytes < length) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCrcPiece, length - range.bytes));
        ssize_t n = ::pread(fd, piece.get(), want, static_cast<off_t>(offset + range.bytes));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        range.crc = crc->Crc32Update(range.crc, piece.get(), static_cast<std::size_t>(n));
        range.bytes += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool WriteFully(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        ssize_t n = ::write(fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `content` to a new temporary file beside `path` and returns its name ("" on failure).
std::string WriteTemporary(const std::string& path, const std::string& content) {
    std::string temp = path + ".tmp-XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0) return std::string();
    struct stat old {};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd.get(), mode) == 0 &&
              WriteFully(fd.get(), content.data(), content.size()) && ::fsync(fd.get()) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return std::string();
    }
    return temp;
}
}  // namespace

CBoostFileUtils* CBoostFileUtils::GetInstance() {
    static CBoostFileUtils* instance = new CBoostFileUtils();
    return instance;
}

bool CBoostFileUtils::Exists(const std::string& path) const {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

std::size_t CBoostFileUtils::ReadBinaryFile(const std::string& path, std::string& content) const {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    ssize_t n = ReadFully(fd.get(), bytes.data(), bytes.size());
    if (n < 0) return 0;
    bytes.resize(static_cast<std::size_t>(n));  // the file may have shrunk meanwhile
    content.swap(bytes);
    return content.size();
}

bool CBoostFileUtils::WriteBinaryFile(const std::string& path, const std::string& content) const {
    if (path.empty()) return false;
    std::string temp = WriteTemporary(path, content);
    if (temp.empty()) return false;
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::uint32_t CBoostFileUtils::GetFileCrc(const std::string& path) const {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    const CCrcUtil* crc = CCrcUtil::GetInstance();

    RangeCrc first{0xFFFFFFFFu};
    if (size < kSplitBytes) {
        // To the end of the file, whatever its size is by now.
        if (!CrcOfRange(fd.get(), 0, kToEnd, first)) return 0;
        return first.bytes == 0 ? 0 : first.crc;
    }
    // A large file is read by two threads at once, each half on a core of its own: copying
    // out of the page cache costs more than the CRC itself. The halves are joined by
    // Crc32Combine.
    const std::uint64_t half = size / 2 / kCrcPiece * kCrcPiece;
    RangeCrc second{0};
    bool secondOk = false;
    auto readSecond = [&] { secondOk = CrcOfRange(fd.get(), half, kToEnd, second); };
    std::thread helper;
    try {
        helper = std::thread(readSecond);
    } catch (const std::system_error&) {
        readSecond();  // no thread to be had: the same work on this one
    }
    const bool firstOk = CrcOfRange(fd.get(), 0, half, first);
    if (helper.joinable()) helper.join();
    if (!firstOk || !secondOk) return 0;
    if (first.bytes < half) return first.bytes == 0 ? 0 : first.crc;  // shrank meanwhile
    return crc->Crc32Combine(first.crc, second.crc, second.bytes);
}

bool CBoostFileUtils::ReadSealedFile(const std::string& path, const std::string& keyText,
                                     std::string& payload) const {
    std::string content;
    if (ReadBinaryFile(path, content) == 0) return false;
    return OpenSealed(content, keyText, payload) == SealStatus::Ok;
}
