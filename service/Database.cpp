#include "service/Database.h"

#include <cstdio>

namespace vtxsvc {

Database::~Database()
{
    for (auto& entry : m_statements)
        sqlite3_finalize(entry.second);
    if (m_db)
        sqlite3_close(m_db);
}

bool Database::Open(const std::string& path, std::string& error)
{
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        error = m_db ? sqlite3_errmsg(m_db) : "cannot open database";
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    sqlite3_commit_hook(m_db, &Database::OnCommit, this);
    if (!Exec("PRAGMA journal_mode=WAL;") || !Exec("PRAGMA synchronous=NORMAL;") || !Exec("PRAGMA foreign_keys=ON;")) {
        error = sqlite3_errmsg(m_db);
        return false;
    }
    return true;
}

int Database::OnCommit(void* self)
{
    auto* db = static_cast<Database*>(self);
    if (!db->m_failCommits || db->m_commitsFirst-- > 0)
        return 0;
    return 1; // turns the commit into a rollback
}

bool Database::Exec(const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "vtx-service: sql error: %s\n", message ? message : "?");
        sqlite3_free(message);
        return false;
    }
    return true;
}

sqlite3_stmt* Database::Prepared(const char* sql)
{
    auto it = m_statements.find(sql);
    if (it != m_statements.end())
        return it->second;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "vtx-service: cannot prepare %s: %s\n", sql, sqlite3_errmsg(m_db));
        return nullptr;
    }
    m_statements.emplace(sql, stmt);
    return stmt;
}

Transaction::Transaction(Database& db)
    : m_db(db)
    , m_open(db.Exec("BEGIN IMMEDIATE"))
{}

Transaction::~Transaction()
{
    if (m_open)
        Rollback();
}

bool Transaction::Commit()
{
    if (!m_open)
        return false;
    m_open = false;
    if (m_db.Exec("COMMIT"))
        return true;
    Rollback();
    return false;
}

void Transaction::Rollback()
{
    m_open = false;
    // A failed COMMIT may have ended the transaction already (SQLITE_FULL does, SQLITE_BUSY does not).
    if (!sqlite3_get_autocommit(m_db.Handle()))
        m_db.Exec("ROLLBACK");
}

Statement::Statement(Database& db, const char* sql)
    : m_stmt(db.Prepared(sql))
{}

Statement::~Statement()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

Statement& Statement::Bind(int index, int64_t value)
{
    if (m_stmt)
        sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement& Statement::Bind(int index, const std::string& value)
{
    if (m_stmt)
        sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindNull(int index)
{
    if (m_stmt)
        sqlite3_bind_null(m_stmt, index);
    return *this;
}

int Statement::Step()
{
    if (!m_stmt)
        return SQLITE_ERROR;
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        std::fprintf(stderr, "vtx-service: sql step failed: %s\n", sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
    return rc;
}

int64_t Statement::Int(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string Statement::Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return text ? std::string(text, static_cast<size_t>(size)) : std::string();
}

} // namespace vtxsvc
