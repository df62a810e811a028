// The service's SQLite database: a small pool of guarded connections to one file (WAL), the
// tool's schema created on open, and one lock that keeps writers in line.
#pragma once

#include <sqlite3.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "schema.h"
#include "sql_guard.h"

class Database {
public:
    struct Connection {
        sqlite3* db = nullptr;
        std::unique_ptr<SqlGuard> guard;
    };

    // A connection borrowed for one request; returned when the lease ends.
    class Lease {
    public:
        Lease(Database& owner, Connection* connection) : m_owner(owner), m_c(connection) {}
        ~Lease() { m_owner.Release(m_c); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        sqlite3* db() const { return m_c->db; }
        SqlGuard& guard() const { return *m_c->guard; }

    private:
        Database& m_owner;
        Connection* m_c;
    };

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens (creating when missing) the file with `connections` pooled connections.
    bool Open(const std::string& path, int connections, std::string& error);

    // Waits for a free connection.
    std::unique_ptr<Lease> Acquire();

    // Held around every modifying statement, so writers never wait on SQLite's busy lock.
    std::mutex& WriteLock() { return m_writeLock; }

    // Columns of a tool table as read when the database was opened; null for other names.
    const std::vector<ColumnInfo>* Columns(const std::string& table) const;

private:
    void Release(Connection* connection);

    std::vector<std::unique_ptr<Connection>> m_all;
    std::vector<Connection*> m_free;
    std::mutex m_poolLock;
    std::condition_variable m_poolFree;
    std::mutex m_writeLock;
    std::map<std::string, std::vector<ColumnInfo>> m_columns;
};

namespace webservice {

// Opens `path` for administration (no guard): schema created, WAL on. Null with `error` on
// failure; close with sqlite3_close.
sqlite3* OpenAdminDatabase(const std::string& path, std::string& error);

}  // namespace webservice
