// The program's HTTP(S) client. Request/answer calls (HttpPutGet) are posted by a worker
// thread of the object and the caller waits for its own outcome with a time-out; file
// downloads and plain GETs run on the caller's thread; the download service fetches a list of
// files on a thread of its own, checking each against its CRC-32.
//
// AppConfig.ini, beside the executable:
//   [HTTP_SERVER]       HttpURL, PostMsg (sealed), HttpSSL, HttpRespWait  - request address
//   [HTTP_SERVER_DATA]  HttpURL, DataFolder (sealed)                     - file downloads
// Missing settings are written on the first run: both HttpURL = "http://127.0.0.1:8080",
// PostMsg "//api//example//jsondata", DataFolder "//Pelmar", HttpSSL "true" and
// HttpRespWait "1000" (a caller waits HttpRespWait x 100 ms, here 100 s).
// Two optional keys of [HTTP_SERVER] govern TLS for every transfer of the object:
//   HttpSSLVerify = false   accept any server certificate and host name (a server with a
//                           self-signed certificate); anything else, or no key: verify both
//   HttpCAFile = <path>     PEM file of the certificate authorities to trust instead of the
//                           system's (e.g. the server's own self-signed certificate)
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/recursive_mutex.hpp>
#include <boost/thread/thread.hpp>

#include "config/fltf_db_util.h"
#include "net/curl_event.h"
#include "net/curl_transfer.h"
#include "net/safe_queue.h"

struct RequestRecord {
    bool secure = false;
    std::string url;
    std::string body;  // sent as POST data
    int timeout = 0;
    std::uint64_t tag = 0;  // which caller waits for this request's outcome
};

struct DownloadItem {
    std::uint32_t crc = 0;  // expected CRC-32 of the file; 0: unknown, always fetched
    std::string fileType;
    std::string remoteFileName;
    std::string appUuid;
    std::string localPath;  // full path of the local copy
};

// An answer or error text with the tag of the request it belongs to.
struct TaggedText {
    std::uint64_t tag = 0;
    std::string text;
};

class CCurl_Util;

class CPutgetThreadAdapter {
public:
    explicit CPutgetThreadAdapter(CCurl_Util* owner) : m_owner(owner) {}
    virtual ~CPutgetThreadAdapter() = default;
    void operator()() const;

private:
    CCurl_Util* m_owner;
};

class CDowloadServiceThreadAdapter {
public:
    explicit CDowloadServiceThreadAdapter(CCurl_Util* owner) : m_owner(owner) {}
    virtual ~CDowloadServiceThreadAdapter() = default;
    void operator()() const;

private:
    CCurl_Util* m_owner;
};

class CCurl_Util : public CFltfDBUtil {
public:
    CCurl_Util();
    virtual ~CCurl_Util();
    CCurl_Util(const CCurl_Util&) = delete;
    CCurl_Util& operator=(const CCurl_Util&) = delete;

    // The process-wide instance (device discovery), created on first call, never destroyed.
    static CCurl_Util* Instance();

    // Posts `body` to `url` on the worker and waits up to timeout x 100 ms (0: 2000) for this
    // call's own outcome: the answer (true), or "timeout", libcurl's error text or the error
    // page's text (false) in *answer.
    bool HttpPutGet(int timeout, bool secure, std::string url, std::string body,
                    std::string* answer);

    // Fetches base + "//" + remote (the base then stays as data address) or, with an empty
    // base, data address + remote, into localPath; the file is replaced only by a complete
    // 200 answer. A non-200 answer goes to *error; a failed transfer leaves *error alone.
    bool HttpFileDownLoad(int timeout, bool secure, std::string base, std::string remoteName,
                          std::string localPath, std::string* error);

    // GETs url into *out (error cleared) on 200; otherwise false, the answer in *error.
    bool HttpGet(int timeout, bool secure, std::string url, std::string* out, std::string* error);

    void SetDataUrl(const std::string& url);
    std::string GetDataUrl() const;
    std::string GetPostUrl() const;
    std::string GetRespWait() const;
    // Lower-cases the HttpSSL text in place; true when it reads "true".
    bool IsSSL();

    // Queues one file for the next download service run; `key` is its remote name.
    void AddDownloadItem(std::string key, DownloadItem item);
    // Starts the service on the queued files; false (nothing started) when there are none
    // or a run is still going.
    bool StartDownloadService();
    // While the service runs: the oldest progress text (or "") in *text, true.
    bool GetDownloadProgress(std::string* text);

    static std::size_t CurlWriteCallback(void* data, std::size_t size, std::size_t count,
                                         std::string* sink);

    void CurlPutgetThread();
    void HttpDowloadService();

private:
    void LoadConfiguration();
    void WriteDefaultConfiguration(const std::string& file);
    void Http_PutGet(CurlEasy& handle, const RequestRecord& request);
    void Deliver(std::uint64_t tag, bool ok, std::string text);
    bool TakeOutcome(std::uint64_t tag, bool& ok, std::string& text);
    bool IsAbandoned(std::uint64_t tag);
    bool FetchFile(CurlEasy& handle, int timeout, const std::string& url,
                   const std::string& localPath, std::uint32_t crc, std::string* error);
    bool FetchBody(CurlEasy& handle, int timeout, const std::string& url,
                   const std::string& localPath, std::uint32_t crc, std::string& body,
                   std::string* error);
    std::string DownloadUrl(const std::string& base, const std::string& remoteName);
    bool NeedsDownload(const DownloadItem& item);
    TlsSettings CurrentTls() const;

    mutable boost::mutex m_configLock;  // the addresses (the data address changes at run time)
    std::string m_dataUrl;
    std::string m_postUrl;
    std::string m_sslText;
    std::string m_respWaitText;
    TlsSettings m_tls;

    boost::recursive_mutex m_transferLock;  // held by the worker around each transfer
    CEvent m_requestEvent;
    boost::mutex m_outcomeLock;  // hand-off of outcomes to their callers
    boost::condition_variable m_answerEvent;
    std::atomic<std::uint64_t> m_delivered{0};  // outcomes queued so far, for spinning callers
    std::set<std::uint64_t> m_abandoned;  // tags whose callers gave up waiting
    std::atomic<std::uint64_t> m_nextTag{0};
    std::atomic<bool> m_workerRunning{false};
    std::atomic<bool> m_stopping{false};  // aborts transfers in flight at destruction
    boost::thread m_worker;
    CSafeQueue<RequestRecord> m_requestQueue;
    CSafeQueue<TaggedText> m_answerQueue;
    CSafeQueue<TaggedText> m_errorQueue;

    std::atomic<bool> m_downloadRunning{false};
    CSafeQueue<std::string> m_progressQueue;
    boost::thread m_downloadThread;
    boost::mutex m_listLock;
    std::vector<std::pair<std::string, DownloadItem>> m_downloadList;
};
