#include "support/boost_file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "support/crc_util.h"
#include "support/sealed_file.h"

namespace {
// Bytes per read of GetFileCrc: large enough to keep the CRC busy, small enough to sit in
// the cache and keep the memory flat whatever the file size.
constexpr std::size_t kCrcPiece = 256 * 1024;

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
    std::unique_ptr<char[]> piece(new char[kCrcPiece]);
    const CCrcUtil* crc = CCrcUtil::GetInstance();
    std::uint32_t value = 0xFFFFFFFFu;
    std::size_t total = 0;
    for (;;) {
        ssize_t n = ReadFully(fd.get(), piece.get(), kCrcPiece);
        if (n < 0) return 0;
        if (n == 0) break;
        value = crc->Crc32Update(value, reinterpret_cast<unsigned char*>(piece.get()),
                                 static_cast<std::size_t>(n));
        total += static_cast<std::size_t>(n);
    }
    return total == 0 ? 0 : value;
}

bool CBoostFileUtils::ReadSealedFile(const std::string& path, const std::string& keyText,
                                     std::string& payload) const {
    std::string content;
    if (ReadBinaryFile(path, content) == 0) return false;
    return OpenSealed(content, keyText, payload) == SealStatus::Ok;
}
