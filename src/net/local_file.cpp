#include "net/local_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "support/crc_util.h"

namespace {

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content, std::string* why) {
    std::string temp = path + ".partXXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        if (why) *why = "cannot create " + std::string(name.data()) + ": " + std::strerror(errno);
        return false;
    }
    temp = name.data();
    // mkstemp makes the file private; a downloaded file is an ordinary one. No fsync per file:
    // the rename alone keeps the old copy whole if the process dies, and an fsync for each of
    // hundreds of files cost four times the transfer itself.
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, content);
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        if (why) *why = "cannot write " + path + ": " + std::strerror(error);
        ::unlink(temp.c_str());
    }
    return ok;
}

bool HoldsContent(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool same = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                static_cast<std::uint64_t>(st.st_size) == content.size();
    std::vector<char> buffer(same ? std::min<std::size_t>(content.size(), 1 << 16) : 0);
    for (std::size_t done = 0; same && done < content.size();) {
        const ssize_t n = ::read(fd, buffer.data(), std::min(buffer.size(), content.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || std::memcmp(buffer.data(), content.data() + done,
                                  static_cast<std::size_t>(n)) != 0) {
            same = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return same;
}

bool FileCrc32(const std::string& path, std::uint32_t& crc) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::vector<unsigned char> buffer(1 << 16);
    std::uint32_t value = 0xFFFFFFFFu;
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        value =
            CCrcUtil::GetInstance()->Crc32Update(value, buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (ok) crc = value;
    return ok;
}
