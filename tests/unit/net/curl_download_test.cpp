// File downloads and the download service against a loopback server: URL forming with and
// without a base, non-200 answers and cut transfers that must leave the old file whole, and
// the service's order, progress, CRC checks and end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client_fixture.h"
#include "loopback_server.h"
#include "net/curl_util.h"
#include "support/crc_util.h"

namespace {

using testutil::ReadFile;
using testutil::WriteFile;

std::uint32_t Crc(const std::string& s) {
    return CCrcUtil::GetInstance()->Crc32(reinterpret_cast<const unsigned char*>(s.data()),
                                          static_cast<std::int32_t>(s.size()));
}

class DownloadTest : public ClientTest {
protected:
    // Entries of the program folder other than AppConfig.ini (leftover temporary files).
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_dir.path()))
            if (e.path().filename() != "AppConfig.ini") names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the service to its end; the progress texts it was seen to report.
    std::vector<std::string> RunService(CCurl_Util& client) {
        std::vector<std::string> progress;
        EXPECT_TRUE(client.StartDownloadService());
        std::string text;
        while (client.GetDownloadProgress(&text))
            if (!text.empty()) progress.push_back(text);
        return progress;
    }

    testutil::LoopbackServer m_server;
};

TEST_F(DownloadTest, BaseIsJoinedWithSlashesAndStaysForLaterCalls) {
    m_server.SetFile("/base//a.bin", "AAA");
    m_server.SetFile("/baseb.bin", "BBB");
    CCurl_Util client;
    std::string error = "untouched";
    ASSERT_TRUE(client.HttpFileDownLoad(50, false, m_server.Url() + "/base", "a.bin", Path("a.bin"),
                                        &error));
    EXPECT_EQ(client.GetDataUrl(), m_server.Url() + "/base");
    ASSERT_TRUE(client.HttpFileDownLoad(50, false, "", "b.bin", Path("b.bin"), &error));
    EXPECT_EQ(ReadFile(Path("a.bin")), "AAA");
    EXPECT_EQ(ReadFile(Path("b.bin")), "BBB");
    EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{"/base//a.bin", "/baseb.bin"}));
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(Files(), (std::vector<std::string>{"a.bin", "b.bin"}));
}

TEST_F(DownloadTest, FailuresLeaveTheOldFileWhole) {
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    WriteFile(Path("keep.bin"), "old copy");
    struct {
        const char* remote;
        const char* error;  // what the error string holds afterwards
    } cases[] = {
        {"/missing", "no such file: /missing"},  // 404: the answer becomes the error
        {"/cut", "before"},                      // connection dropped mid-body: left alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remote);
        std::string error = "before";
        EXPECT_FALSE(client.HttpFileDownLoad(50, true, "", c.remote, Path("keep.bin"), &error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(ReadFile(Path("keep.bin")), "old copy");
        EXPECT_EQ(Files(), std::vector<std::string>{"keep.bin"});
    }
}

TEST_F(DownloadTest, HttpGetFillsOutOrError) {
    m_server.SetFile("/desc.xml", "<root/>");
    CCurl_Util client;
    std::string out, error = "stale";
    EXPECT_TRUE(client.HttpGet(50, false, m_server.Url() + "/desc.xml", &out, &error));
    EXPECT_EQ(out, "<root/>");
    EXPECT_EQ(error, "");
    EXPECT_FALSE(client.HttpGet(50, false, m_server.Url() + "/nope", &out, &error));
    EXPECT_EQ(error, "no such file: /nope");
    error = "kept";
    EXPECT_FALSE(client.HttpGet(50, false, "http://127.0.0.1:1/x", &out, &error));
    EXPECT_EQ(error, "kept");
}

TEST_F(DownloadTest, ServiceStopsAtTheFirstFailure) {
    m_server.SetFile("/d//one", "1");
    m_server.SetFile("/d//three", "3");
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    client.AddDownloadItem("/d//one", DownloadItem{0, "bin", "one", "u1", Path("one")});
    client.AddDownloadItem("/gate", DownloadItem{0, "bin", "two", "u2", Path("two")});
    client.AddDownloadItem("/d//three", DownloadItem{0, "bin", "three", "u3", Path("three")});
    ASSERT_TRUE(client.StartDownloadService());

    // The second answer is held back until both progress texts have been read.
    std::vector<std::string> progress;
    std::string text;
    ASSERT_TRUE(testutil::WaitFor(
        [&] {
            if (client.GetDownloadProgress(&text) && !text.empty()) progress.push_back(text);
            return progress.size() == 2;
        },
        10));
    m_server.OpenGate();
    ASSERT_TRUE(testutil::WaitFor([&] { return !client.GetDownloadProgress(&text); }, 10));

    EXPECT_EQ(progress,
              (std::vector<std::string>{"Download:(3  - 1 = 2)", "Download:(3  - 2 = 1)"}));
    EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{"/d//one", "/gate"}));
    EXPECT_EQ(Files(), std::vector<std::string>{"one"});
    EXPECT_FALSE(client.StartDownloadService());  // the list is empty
}

TEST_F(DownloadTest, ServiceFetchesOnlyWhatItsCrcAsksFor) {
    const std::string good = "fresh content";
    m_server.SetFile("/same", good);
    m_server.SetFile("/zero", "new zero");
    m_server.SetFile("/stale", good);
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    WriteFile(Path("same"), good);        // matches its CRC: left alone
    WriteFile(Path("zero"), "old zero");  // CRC 0: always fetched again
    WriteFile(Path("stale"), "damaged");  // CRC differs: fetched again
    client.AddDownloadItem("/same", DownloadItem{Crc(good), "", "", "", Path("same")});
    client.AddDownloadItem("/zero", DownloadItem{0, "", "", "", Path("zero")});
    client.AddDownloadItem("/stale", DownloadItem{Crc(good), "", "", "", Path("stale")});
    RunService(client);
    EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{"/zero", "/stale"}));
    EXPECT_EQ(ReadFile(Path("zero")), "new zero");
    EXPECT_EQ(ReadFile(Path("stale")), good);
}

TEST_F(DownloadTest, CorruptedFreshDownloadIsRefusedAndEndsTheService) {
    m_server.SetFile("/fw", "corrupted on the way");
    m_server.SetFile("/later", "L");
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    WriteFile(Path("fw"), "old firmware");
    client.AddDownloadItem("/fw", DownloadItem{Crc("the real firmware"), "", "", "", Path("fw")});
    client.AddDownloadItem("/later", DownloadItem{0, "", "", "", Path("later")});
    RunService(client);
    EXPECT_EQ(ReadFile(Path("fw")), "old firmware");
    EXPECT_EQ(Files(), std::vector<std::string>{"fw"});
    EXPECT_EQ(m_server.Requests(), std::vector<std::string>{"/fw"});
}

// Files are written while the next one is fetched; a file that cannot be written still ends
// the run, and nothing after it reaches the disk.
TEST_F(DownloadTest, ServiceEndsWhenAFileCannotBeWritten) {
    m_server.SetFile("/a", "A");
    m_server.SetFile("/b", "B");
    m_server.SetFile("/c", "C");
    m_server.SetFile("/d", "D");
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    client.AddDownloadItem("/a", DownloadItem{0, "", "", "", Path("a")});
    client.AddDownloadItem("/b", DownloadItem{0, "", "", "", Path("no-such-folder/b")});
    client.AddDownloadItem("/c", DownloadItem{0, "", "", "", Path("c")});
    client.AddDownloadItem("/d", DownloadItem{0, "", "", "", Path("d")});
    RunService(client);
    EXPECT_EQ(Files(), std::vector<std::string>{"a"});
    EXPECT_EQ(ReadFile(Path("a")), "A");
    EXPECT_LE(m_server.Requests().size(), 3u);  // at most the one after it was fetched
}

TEST_F(DownloadTest, FileListedTwiceIsCheckedAfterItsFirstCopyIsWritten) {
    const std::string content(4 << 20, 'x');  // long enough to be still on its way to disk
    m_server.SetFile("/first", content);
    m_server.SetFile("/again", "must not be fetched");
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    client.AddDownloadItem("/first", DownloadItem{0, "", "", "", Path("same")});
    client.AddDownloadItem("/again", DownloadItem{Crc(content), "", "", "", Path("same")});
    RunService(client);
    EXPECT_EQ(m_server.Requests(), std::vector<std::string>{"/first"});
    EXPECT_EQ(ReadFile(Path("same")), content);
}

// A CRC-0 file is always fetched, but a local copy that already holds those bytes is not
// written again (same inode); one of the same size with other bytes is replaced.
TEST_F(DownloadTest, CopyHoldingTheFetchedBytesIsLeftAsItIs) {
    m_server.SetFile("/same", "unchanged");
    m_server.SetFile("/other", "new bytes");
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    WriteFile(Path("same"), "unchanged");
    WriteFile(Path("other"), "old bytes");
    auto inode = [&](const char* name) {
        struct stat st {};
        return ::stat(Path(name).c_str(), &st) == 0 ? st.st_ino : 0;
    };
    const auto sameBefore = inode("same"), otherBefore = inode("other");
    client.AddDownloadItem("/same", DownloadItem{0, "", "", "", Path("same")});
    client.AddDownloadItem("/other", DownloadItem{0, "", "", "", Path("other")});
    RunService(client);
    EXPECT_EQ(m_server.Requests(), (std::vector<std::string>{"/same", "/other"}));
    EXPECT_EQ(inode("same"), sameBefore);
    EXPECT_NE(inode("other"), otherBefore);
    EXPECT_EQ(ReadFile(Path("other")), "new bytes");
}

// A client going away with the download service on a file whose answer is held back: the
// transfer is aborted, not waited out to its 5000 s limit.
TEST_F(DownloadTest, DestructionDoesNotWaitOutADownloadInFlight) {
    auto client = std::make_unique<CCurl_Util>();
    client->SetDataUrl(m_server.Url());
    client->AddDownloadItem("/gate", DownloadItem{0, "", "", "", Path("held")});
    ASSERT_TRUE(client->StartDownloadService());
    ASSERT_TRUE(testutil::WaitFor([&] { return !m_server.Requests().empty(); }, 10));
    // Should the transfer not be aborted, the answer comes after 3 s rather than never.
    std::thread valve([&] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        m_server.OpenGate();
    });
    const auto start = std::chrono::steady_clock::now();
    client.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    valve.join();
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

TEST_F(DownloadTest, ServiceWorksThroughALongList) {
    CCurl_Util client;
    client.SetDataUrl(m_server.Url());
    for (int i = 0; i < 30; ++i) {
        const std::string name = "f" + std::to_string(i);
        m_server.SetFile("/" + name, std::string(5000 + i, 'a' + i % 26));
        client.AddDownloadItem("/" + name, DownloadItem{0, "", "", "", Path(name)});
    }
    RunService(client);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(ReadFile(Path("f" + std::to_string(i))), std::string(5000 + i, 'a' + i % 26));
}

}  // namespace
