// Whole-file reading and writing, file CRCs and sealed files.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "support/boost_file_utils.h"

#include <gtest/gtest.h>
#include <openssl/blowfish.h>
#include <sys/resource.h>
#include <zlib.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "support/base64.h"
#include "support/crc_util.h"
#include "support/sealed_file.h"
#include "temp_dir.h"

namespace {
CBoostFileUtils& F() {
    return *CBoostFileUtils::GetInstance();
}

std::string RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = static_cast<char>(rng());
    return s;
}

std::size_t FilesIn(const std::string& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

// A sealed text built with the oracles: zlib's CRC and OpenSSL's Blowfish (halves swapped to
// the file's little-endian order).
std::string OracleSeal(const std::string& payload, const std::string& key) {
    std::uint32_t crc = ~static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(payload.data()), static_cast<uInt>(payload.size())));
    std::string plain(4, '\0');
    for (int i = 0; i < 4; ++i) plain[i] = static_cast<char>(crc >> (8 * i));
    plain += payload;
    BF_KEY bf;
    BF_set_key(&bf, static_cast<int>(key.size()),
               reinterpret_cast<const unsigned char*>(key.data()));
    auto* p = reinterpret_cast<unsigned char*>(plain.data());
    for (std::size_t i = 0; i + 8 <= plain.size(); i += 8) {
        BF_LONG block[2];
        for (int h = 0; h < 2; ++h)
            block[h] = p[i + 4 * h] | p[i + 4 * h + 1] << 8 | p[i + 4 * h + 2] << 16 |
                       static_cast<BF_LONG>(p[i + 4 * h + 3]) << 24;
        BF_encrypt(block, &bf);
        for (int h = 0; h < 2; ++h)
            for (int b = 0; b < 4; ++b)
                p[i + 4 * h + b] = static_cast<unsigned char>(block[h] >> (8 * b));
    }
    return Base64Encode(p, static_cast<std::uint32_t>(plain.size()));
}
}  // namespace

TEST(FileUtils, ExistsForFilesAndFolders) {
    testutil::TempDir dir;
    testutil::WriteFile(dir / "f", "x");
    EXPECT_TRUE(F().Exists(dir / "f"));
    EXPECT_TRUE(F().Exists(dir.path()));
    EXPECT_FALSE(F().Exists(dir / "missing"));
    EXPECT_FALSE(F().Exists(""));
}

TEST(FileUtils, ReadAndWriteWholeFiles) {
    testutil::TempDir dir;
    std::string bytes = RandomBytes(100000, 1);
    ASSERT_TRUE(F().WriteBinaryFile(dir / "f", bytes));
    std::string back = "old";
    EXPECT_EQ(F().ReadBinaryFile(dir / "f", back), bytes.size());
    EXPECT_EQ(back, bytes);
    // A shorter write over a longer file leaves exactly the new bytes, and no temporary.
    ASSERT_TRUE(F().WriteBinaryFile(dir / "f", "short"));
    EXPECT_EQ(testutil::ReadFile(dir / "f"), "short");
    EXPECT_EQ(FilesIn(dir.path()), 1u);
    ASSERT_TRUE(F().WriteBinaryFile(dir / "empty", ""));
    EXPECT_EQ(F().ReadBinaryFile(dir / "empty", back), 0u);
    EXPECT_EQ(back, "");
}

TEST(FileUtils, FailuresLeaveEverythingAsItWas) {
    testutil::TempDir dir;
    std::string dest = "kept";
    EXPECT_EQ(F().ReadBinaryFile(dir / "missing", dest), 0u);
    EXPECT_EQ(F().ReadBinaryFile(dir.path(), dest), 0u);
    EXPECT_EQ(dest, "kept");
    EXPECT_FALSE(F().WriteBinaryFile(dir / "no/such/folder/f", "x"));
    std::filesystem::create_directory(dir / "sub");
    EXPECT_FALSE(F().WriteBinaryFile(dir / "sub", "x"));  // a folder is not replaced
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(FileUtils, InterruptedWriteKeepsTheOldFileWhole) {
    testutil::TempDir dir;
    std::string old = RandomBytes(3000, 2);
    testutil::WriteFile(dir / "f", old);
    // The disk "fills up" after 4 KiB: the write fails part way.
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    bool written = F().WriteBinaryFile(dir / "f", RandomBytes(100000, 3));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(testutil::ReadFile(dir / "f"), old);
    EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(FileUtils, FileCrcEqualsTheCrcOfTheWholeContent) {
    testutil::TempDir dir;
    EXPECT_EQ(F().GetFileCrc(dir / "missing"), 0u);
    testutil::WriteFile(dir / "empty", "");
    EXPECT_EQ(F().GetFileCrc(dir / "empty"), 0u);
    // Small files are read in one go, large ones in two halves joined afterwards.
    for (std::size_t n : {1u, 9u, 262144u, 262145u, 3u * 262144u + 77u, 8u << 20,
                          (8u << 20) + 262144u + 5u, (17u << 20) + 3u}) {
        std::string bytes = RandomBytes(n, static_cast<unsigned>(n));
        testutil::WriteFile(dir / "f", bytes);
        std::uint32_t want = ~static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n)));
        EXPECT_EQ(F().GetFileCrc(dir / "f"), want) << n;
    }
}

TEST(SealedFile, OpensWhatTheOraclesSealed) {
    testutil::TempDir dir;
    for (std::size_t n : {0u, 1u, 4u, 5u, 12u, 1000u}) {
        std::string payload = RandomBytes(n, 10 + static_cast<unsigned>(n));
        std::string sealed = OracleSeal(payload, "1234567890123456789");
        EXPECT_EQ(SealPayload(payload, "1234567890123456789"), sealed) << n;
        testutil::WriteFile(dir / "f.dfu", sealed);
        std::string out;
        ASSERT_TRUE(F().ReadSealedFile(dir / "f.dfu", "1234567890123456789", out)) << n;
        EXPECT_EQ(out, payload);
    }
}

TEST(SealedFile, RefusalsLeaveTheDestinationUntouched) {
    testutil::TempDir dir;
    std::string sealed = SealPayload("{\"Velkor\":{}}", "key");
    std::string damaged = sealed;
    damaged[10] = damaged[10] == 'A' ? 'B' : 'A';
    struct Case {
        const char* name;
        std::string content;
        std::string key;
    };
    const Case cases[] = {
        {"wrong key", sealed, "other key"}, {"damaged", damaged, "key"}, {"empty key", sealed, ""},
        {"one group", "QUJD", "key"},       {"empty file", "", "key"},   {"garbage", "!!!!", "key"},
    };
    for (const Case& c : cases) {
        testutil::WriteFile(dir / "f", c.content);
        std::string out = "untouched";
        EXPECT_FALSE(F().ReadSealedFile(dir / "f", c.key, out)) << c.name;
        EXPECT_EQ(out, "untouched") << c.name;
    }
    std::string out = "untouched";
    EXPECT_FALSE(F().ReadSealedFile(dir / "missing", "key", out));
    EXPECT_EQ(OpenSealed(damaged, "key", out), SealStatus::CrcMismatch);
    EXPECT_EQ(OpenSealed("QUJD", "key", out), SealStatus::TooShort);  // one group: three bytes
    EXPECT_EQ(OpenSealed("QUJDRA==", "key", out), SealStatus::CrcMismatch);
}

TEST(SealedFile, WholeBase64Check) {
    for (const char* good : {"QUJD", "QUI=", "QQ==", "QUJD\n", "QUJD\r\n"})
        EXPECT_TRUE(IsWholeBase64(good)) << good;
    for (const char* bad : {"", "QUJ", "QUJD QUJD", "QQ===", "Q=Q=", "QUJD\n\n", "QU-D"})
        EXPECT_FALSE(IsWholeBase64(bad)) << bad;
}

TEST(SealedFile, OpensOnManyThreadsAtOnce) {
    testutil::TempDir dir;
    std::vector<std::string> payloads;
    for (int t = 0; t < 4; ++t) {
        payloads.push_back(RandomBytes(5000 + t, 20 + t));
        testutil::WriteFile(dir / std::to_string(t),
                            SealPayload(payloads[t], "key" + std::to_string(t)));
    }
    std::vector<int> opened(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i) {
                std::string out;
                if (F().ReadSealedFile(dir / std::to_string(t), "key" + std::to_string(t), out) &&
                    out == payloads[t])
                    ++opened[t];
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(opened[t], 20) << t;
}
