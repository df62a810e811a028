#include "net/curl_util.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include <boost/chrono.hpp>

#include "support/file_log_msg.h"

namespace {

CFileLogMsg* Log() {
    return CFileLogMsg::GetInstance();
}

// How long a caller looks for its outcome before it sleeps: a request on a reused loopback or
// LAN connection is answered well within it. (The worker does not spin for its next request:
// measured, that only took the processor from the program's other threads.)
constexpr std::chrono::microseconds kCallerSpin(400);

}  // namespace

void CPutgetThreadAdapter::operator()() const {
    m_owner->CurlPutgetThread();
}
void CDowloadServiceThreadAdapter::operator()() const {
    m_owner->HttpDowloadService();
}

CCurl_Util::CCurl_Util() {
    net::CurlGlobalInitOnce();
    LoadConfiguration();
    m_workerRunning = true;  // before the thread exists, so a quick destructor stops it
    m_worker = boost::thread(CPutgetThreadAdapter(this));
}

CCurl_Util::~CCurl_Util() {
    m_stopping = true;  // transfers in flight give up instead of running out their time-out
    m_workerRunning = false;
    m_requestEvent.Set();
    m_worker.join();
    if (m_downloadThread.joinable()) m_downloadThread.join();
    m_requestQueue.Clear();
    m_answerQueue.Clear();
    m_errorQueue.Clear();
}

CCurl_Util* CCurl_Util::Instance() {
    static CCurl_Util* instance = new CCurl_Util();
    return instance;
}

void CCurl_Util::SetDataUrl(const std::string& url) {
    boost::lock_guard<boost::mutex> g(m_configLock);
    m_dataUrl = url;
}

std::string CCurl_Util::GetDataUrl() const {
    boost::lock_guard<boost::mutex> g(m_configLock);
    return m_dataUrl;
}

std::string CCurl_Util::GetPostUrl() const {
    boost::lock_guard<boost::mutex> g(m_configLock);
    return m_postUrl;
}

std::string CCurl_Util::GetRespWait() const {
    boost::lock_guard<boost::mutex> g(m_configLock);
    return m_respWaitText;
}

TlsSettings CCurl_Util::CurrentTls() const {
    boost::lock_guard<boost::mutex> g(m_configLock);
    return m_tls;
}

bool CCurl_Util::IsSSL() {
    boost::lock_guard<boost::mutex> g(m_configLock);
    std::transform(m_sslText.begin(), m_sslText.end(), m_sslText.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return m_sslText == "true";
}

std::size_t CCurl_Util::CurlWriteCallback(void* data, std::size_t size, std::size_t count,
                                          std::string* sink) {
    const std::size_t bytes = size * count;
    Log()->WriteLog(LOG_INFO, "CurlWriteCallback::%ld", static_cast<long>(bytes));
    sink->append(static_cast<const char*>(data), bytes);
    return bytes;
}

bool CCurl_Util::HttpPutGet(int timeout, bool secure, std::string url, std::string body,
                            std::string* answer) {
    Log()->WriteLog(LOG_INFO, "CCurl_Util::HttpPutGet::%s,\r\n\r\n %s \r\n\r\n", "Enter",
                    body.c_str());
    const std::uint64_t tag = ++m_nextTag;
    const std::uint64_t deliveredBefore = m_delivered.load(std::memory_order_acquire);
    m_requestQueue.Push(RequestRecord{secure, std::move(url), std::move(body), timeout, tag});
    m_requestEvent.Set();

    const long long waitMs = static_cast<long long>(timeout == 0 ? 2000 : timeout) * 100;
    const auto deadline = boost::chrono::steady_clock::now() + boost::chrono::milliseconds(waitMs);
    net::SpinUntil([&] { return m_delivered.load(std::memory_order_acquire) != deliveredBefore; },
                   kCallerSpin);
    bool ok = false;
    std::string text;
    boost::unique_lock<boost::mutex> lock(m_outcomeLock);
    // Only this call's own outcome ends the wait; others' stay for their callers.
    bool got = TakeOutcome(tag, ok, text);
    while (!got) {
        const auto now = boost::chrono::steady_clock::now();
        if (now >= deadline) break;
        m_answerEvent.wait_for(lock, deadline - now);
        got = TakeOutcome(tag, ok, text);
    }
    if (got) {
        *answer = std::move(text);
    } else {
        m_abandoned.insert(tag);  // its outcome, if it ever comes, is dropped
        // A transfer nobody waits for would hold the worker up to libcurl's own limit (the
        // time-out in seconds, ten times this wait), and every later request behind it.
        if (m_inFlight == tag) m_inFlightGivenUp = true;
        *answer = "timeout";
        ok = false;
    }
    lock.unlock();
    Log()->WriteLog(LOG_INFO, "CCurl_Util::HttpPutGet::%s", "Exit");
    return ok;
}

// Called with m_outcomeLock held.
bool CCurl_Util::TakeOutcome(std::uint64_t tag, bool& ok, std::string& text) {
    auto mine = [tag](const TaggedText& t) { return t.tag == tag; };
    TaggedText found;
    if (m_answerQueue.TakeFirst(mine, found)) {
        ok = true;
    } else if (m_errorQueue.TakeFirst(mine, found)) {
        ok = false;
    } else {
        return false;
    }
    text = std::move(found.text);
    return true;
}

void CCurl_Util::Deliver(std::uint64_t tag, bool ok, std::string text) {
    boost::lock_guard<boost::mutex> g(m_outcomeLock);
    m_inFlight = 0;
    if (m_abandoned.erase(tag)) {
        Log()->WriteLog(LOG_INFO, "CCurl_Util::Http_PutGet::late outcome of request %llu dropped",
                        static_cast<unsigned long long>(tag));
        return;
    }
    (ok ? m_answerQueue : m_errorQueue).Push(TaggedText{tag, std::move(text)});
    m_delivered.fetch_add(1, std::memory_order_release);
    m_answerEvent.notify_all();
}

// Marks `tag` as the transfer in flight; false (nothing to send) when its caller has already
// given up.
bool CCurl_Util::BeginTransfer(std::uint64_t tag) {
    boost::lock_guard<boost::mutex> g(m_outcomeLock);
    if (m_abandoned.erase(tag) != 0) return false;
    m_inFlight = tag;
    m_inFlightGivenUp = false;
    return true;
}

void CCurl_Util::CurlPutgetThread() {
    CurlEasy handle;  // this worker's one handle: its connections serve every request
    while (m_workerRunning) {
        m_requestEvent.Wait();
        m_requestEvent.Reset();
        RequestRecord request;
        // Every queued request is served, so none waits for a later signal.
        while (m_workerRunning && m_requestQueue.TryPop(request)) {
            Log()->WriteLog(LOG_INFO, "CCurl_Util::CurlPutgetThread::%s", "Request -IN");
            if (!BeginTransfer(request.tag)) {
                Log()->WriteLog(LOG_INFO, "CCurl_Util::CurlPutgetThread::%s",
                                "request given up by its caller, not sent");
                continue;
            }
            boost::lock_guard<boost::recursive_mutex> g(m_transferLock);
            Http_PutGet(handle, request);
            Log()->WriteLog(LOG_INFO, "CCurl_Util::CurlPutgetThread::%s", "Request-OUT");
        }
    }
    Log()->WriteLog(LOG_INFO, "CCurl_Util::CurlPutgetThread::%s", "!Thread Terminated");
}

void CCurl_Util::Http_PutGet(CurlEasy& handle, const RequestRecord& request) {
    if (!handle) {
        Deliver(request.tag, false, "failed to create a transfer handle");
        return;
    }
    Log()->WriteLog(LOG_INFO, "CCurl_Util::Http_PutGet::%s", "Enter");
    Log()->WriteLog(LOG_NOTICE, " CCurl_Util::HttpPutGet:URL:%s\r\n\r\n", request.url.c_str());
    TransferResult result;
    const TlsSettings tls = CurrentTls();
    const AbortFlags abort{&m_stopping, &m_inFlightGivenUp};
    net::PrepareTransfer(handle.get(), request.timeout, request.url, tls, &abort, result,
                         &request.body);
    net::PerformTransfer(handle.get(), result);
    if (result.code != CURLE_OK) {
        Deliver(request.tag, false, curl_easy_strerror(result.code));
    } else if (result.status == 200) {
        Deliver(request.tag, true, std::move(result.body));
    } else {
        Log()->WriteLog(LOG_INFO, " CCurl_Util::HttpPutGet(200)::%s\r\n\r\n", result.body.c_str());
        Deliver(request.tag, false, net::ErrorTextFromPage(result.body));
    }
    Log()->WriteLog(LOG_INFO, "CCurl_Util::HttpPutGet::%s", "Exit");
}
