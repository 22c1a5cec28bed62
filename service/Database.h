#pragma once
// One SQLite connection in WAL mode, used under one mutex; statements are prepared once and reused.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <string>

namespace vtxsvc {

class Database
{
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool Open(const std::string& path, std::string& error);
    bool Exec(const char* sql); // schema and transactions only, never with user data
    sqlite3* Handle() const { return m_db; }
    std::mutex& Mutex() { return m_mutex; }
    sqlite3_stmt* Prepared(const char* sql); // cached by the SQL text's address
    // Test switch: after |commitsFirst| more commits succeed, every commit fails as on a full disk
    // (its transaction is rolled back).
    void SetCommitFault(bool fail, int commitsFirst = 0)
    {
        m_commitsFirst = commitsFirst;
        m_failCommits = fail;
    }

private:
    static int OnCommit(void* self);
    sqlite3* m_db = nullptr;
    std::atomic<bool> m_failCommits{false};
    std::atomic<int> m_commitsFirst{0};
    std::mutex m_mutex;
    std::map<const char*, sqlite3_stmt*> m_statements;
};

// BEGIN IMMEDIATE .. COMMIT; rolled back unless Commit() succeeds. The caller holds the lock.
class Transaction
{
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Began() const { return m_open; }
    bool Commit(); // false when the commit failed; nothing of the transaction is kept then

private:
    void Rollback();
    Database& m_db;
    bool m_open;
};

// A use of a cached statement: binds, steps, and resets it when it goes out of scope.
class Statement
{
public:
    Statement(Database& db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Valid() const { return m_stmt != nullptr; }
    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, const std::string& value);
    Statement& BindNull(int index);
    int Step(); // SQLITE_ROW, SQLITE_DONE or an error
    bool Run() { return Step() == SQLITE_DONE; }

    int64_t Int(int column) const;
    std::string Text(int column) const;

private:
    sqlite3_stmt* m_stmt;
};

} // namespace vtxsvc
