#include "database.h"

#include <algorithm>

namespace {

sqlite3* OpenFile(const std::string& path, std::string& error) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 5000);
    // WAL lets readers run beside the one writer; NORMAL keeps every commit across a crash of
    // the service (only a power loss may drop the last commits).
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                 nullptr);
    return db;
}

}  // namespace

sqlite3* webservice::OpenAdminDatabase(const std::string& path, std::string& error) {
    sqlite3* db = OpenFile(path, error);
    if (db && !webservice::CreateSchema(db, error)) {
        error = "cannot create the tables in " + path + ": " + error;
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

Database::~Database() {
    for (auto& c : m_all) {
        c->guard.reset();
        sqlite3_close(c->db);
    }
}

bool Database::Open(const std::string& path, int connections, std::string& error) {
    sqlite3* first = webservice::OpenAdminDatabase(path, error);
    if (!first) return false;
    for (const char* table : {kUsersTable, kDeviceTable, kMqttTable}) {
        if (!webservice::ReadColumns(first, table, m_columns[table], error)) {
            sqlite3_close(first);
            return false;
        }
    }
    for (int i = 0; i < std::max(1, connections); ++i) {
        auto c = std::make_unique<Connection>();
        c->db = i == 0 ? first : OpenFile(path, error);
        if (!c->db) return false;
        c->guard = std::make_unique<SqlGuard>(c->db);
        m_free.push_back(c.get());
        m_all.push_back(std::move(c));
    }
    return true;
}

std::unique_ptr<Database::Lease> Database::Acquire() {
    std::unique_lock<std::mutex> lock(m_poolLock);
    m_poolFree.wait(lock, [this] { return !m_free.empty(); });
    Connection* c = m_free.back();
    m_free.pop_back();
    return std::make_unique<Lease>(*this, c);
}

void Database::Release(Connection* connection) {
    {
        std::lock_guard<std::mutex> lock(m_poolLock);
        m_free.push_back(connection);
    }
    m_poolFree.notify_one();
}

const std::vector<ColumnInfo>* Database::Columns(const std::string& table) const {
    const auto it = m_columns.find(webservice::ToolTableName(table));
    return it == m_columns.end() ? nullptr : &it->second;
}
