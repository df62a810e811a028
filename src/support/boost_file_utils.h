// Whole-file reading and writing, file checksums and sealed files. Holds no state: every
// operation may run on any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CBoostFileUtils {
public:
    static CBoostFileUtils* GetInstance();

    // True when the path names an existing file or folder.
    bool Exists(const std::string& path) const;

    // Replaces `content` with the whole file and returns its size; 0 with `content`
    // unchanged when the file cannot be opened or read (an empty file gives 0 and "").
    std::size_t ReadBinaryFile(const std::string& path, std::string& content) const;

    // Replaces the file with `content` atomically: the bytes go to a temporary file in the
    // same folder, which is then renamed over the path, so a failed write leaves any old file
    // whole. No folder is created; false when the file cannot be written.
    bool WriteBinaryFile(const std::string& path, const std::string& content) const;

    // Crc32 of the whole file, read in fixed pieces; 0 when it cannot be read or is empty.
    std::uint32_t GetFileCrc(const std::string& path) const;

    // Opens a sealed file under `keyText`: true with the payload in `payload` when its CRC
    // matches; false with `payload` unchanged otherwise.
    bool ReadSealedFile(const std::string& path, const std::string& keyText,
                        std::string& payload) const;

private:
    CBoostFileUtils() = default;
};
