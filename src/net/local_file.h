// The local side of a download: replacing a file in one step and checksumming one.
#pragma once

#include <cstdint>
#include <string>

// Writes `content` to a temporary file beside `path` and renames it over `path`, so readers
// see the old file or the new one, never a part. False with a reason in *why on failure.
bool ReplaceFileAtomically(const std::string& path, const std::string& content, std::string* why);

// True when `path` is a regular file holding exactly `content`: a download that brought the
// same bytes again need not be written at all.
bool HoldsContent(const std::string& path, const std::string& content);

// Crc32 (no final inversion) of the file's bytes; false when it cannot be read.
bool FileCrc32(const std::string& path, std::uint32_t& crc);
