// Wire form of device command payloads: Base64 text at the start of a zero-filled block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace device {

// Bytes of an input or setting-reply block for a payload of `count` bytes: count x 200, at
// least one.
inline std::size_t BlockSize(std::uint16_t count) {
    return count == 0 ? 1 : static_cast<std::size_t>(count) * 200;
}

// Size of the reply block of IOCTL_READ_HW_INFO.
inline constexpr std::size_t kHwInfoReplyBlock = 4096 * 200;

// The input block of a command: BlockSize(count) zero bytes with the Base64 text of the
// `count` bytes at its start (the zero fill terminates the text).
std::vector<char> MakeInputBlock(std::uint16_t count, const unsigned char* bytes);

}  // namespace device
