// A temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <string>

namespace testutil {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// Polls `predicate` every 10 ms for up to `seconds`; true as soon as it holds.
template <typename Predicate>
bool WaitFor(Predicate predicate, double seconds);

}  // namespace testutil

#include <chrono>
#include <thread>

template <typename Predicate>
bool testutil::WaitFor(Predicate predicate, double seconds) {
    auto end = std::chrono::steady_clock::now() +
               std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    while (std::chrono::steady_clock::now() < end) {
        if (predicate()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return predicate();
}
