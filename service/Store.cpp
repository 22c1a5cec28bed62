#include "service/Store.h"

#include "service/Language.h"
#include "service/Util.h"

namespace vtxsvc {
namespace {

const char* const kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS accounts(
    id INTEGER PRIMARY KEY,
    email TEXT NOT NULL UNIQUE,
    password_hash TEXT NOT NULL,
    first_name TEXT NOT NULL DEFAULT '',
    last_name TEXT NOT NULL DEFAULT '',
    display_name TEXT NOT NULL,
    phone TEXT NOT NULL DEFAULT '',
    pmi INTEGER NOT NULL UNIQUE,
    temp_phone TEXT UNIQUE,
    temp_password TEXT NOT NULL DEFAULT '',
    created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS items(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    host_id INTEGER NOT NULL REFERENCES accounts(id),
    number INTEGER NOT NULL,
    topic TEXT NOT NULL,
    start_time INTEGER NOT NULL,
    duration INTEGER NOT NULL,
    timezone TEXT NOT NULL,
    is_pmi INTEGER NOT NULL,
    recurring INTEGER NOT NULL,
    recurrence TEXT NOT NULL,
    password TEXT NOT NULL,
    password_enabled INTEGER NOT NULL,
    host_video INTEGER NOT NULL,
    participant_video INTEGER NOT NULL,
    join_before_host INTEGER NOT NULL,
    mute_upon_entry INTEGER NOT NULL,
    use_pmi INTEGER NOT NULL,
    auto_recording INTEGER NOT NULL,
    modifiable INTEGER NOT NULL,
    created INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS items_host ON items(host_id);
CREATE INDEX IF NOT EXISTS items_number ON items(number);
CREATE INDEX IF NOT EXISTS items_host_number ON items(host_id, number);
CREATE TABLE IF NOT EXISTS sms_codes(
    phone TEXT PRIMARY KEY,
    code TEXT NOT NULL,
    expires INTEGER NOT NULL,
    attempts INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS short_links(
    code TEXT PRIMARY KEY,
    number INTEGER NOT NULL UNIQUE,
    created INTEGER NOT NULL);
)SQL";

const char* const kAccountColumns =
    "SELECT id, email, first_name, last_name, display_name, phone, pmi, COALESCE(temp_phone, ''), temp_password "
    "FROM accounts ";

Account ReadAccount(const Statement& s)
{
    Account a;
    a.id = s.Int(0);
    a.email = s.Text(1);
    a.firstName = s.Text(2);
    a.lastName = s.Text(3);
    a.displayName = s.Text(4);
    a.phone = s.Text(5);
    a.pmi = s.Int(6);
    a.tempPhone = s.Text(7);
    a.tempPassword = s.Text(8);
    return a;
}

#define ITEM_COLUMNS                                                                                                   \
    "SELECT id, host_id, number, topic, start_time, duration, timezone, is_pmi, recurring, recurrence, password, "     \
    "password_enabled, host_video, participant_video, join_before_host, mute_upon_entry, use_pmi, "                    \
    "auto_recording, modifiable FROM items "

Item ReadItem(const Statement& s)
{
    Item i;
    i.id = s.Int(0);
    i.hostId = s.Int(1);
    i.number = s.Int(2);
    i.topic = s.Text(3);
    i.startTime = s.Int(4);
    i.duration = s.Int(5);
    i.timezone = s.Text(6);
    i.isPmi = s.Int(7) != 0;
    i.recurring = s.Int(8) != 0;
    i.recurrence = s.Text(9);
    i.password = s.Text(10);
    i.passwordEnabled = s.Int(11) != 0;
    i.hostVideo = s.Int(12) != 0;
    i.participantVideo = s.Int(13) != 0;
    i.joinBeforeHost = s.Int(14) != 0;
    i.muteUponEntry = s.Int(15) != 0;
    i.usePmi = s.Int(16) != 0;
    i.autoRecording = s.Int(17) != 0;
    i.modifiable = static_cast<int>(s.Int(18));
    return i;
}

int64_t LowestNumber(int digits)
{
    int64_t low = 1;
    for (int i = 1; i < digits; ++i)
        low *= 10;
    return low;
}

} // namespace

bool Store::Open(const std::string& path, std::string& error)
{
    if (!m_db.Open(path, error))
        return false;
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    if (!m_db.Exec(kSchema)) {
        error = "cannot create the database schema";
        return false;
    }
    return true;
}

bool Store::IsEmpty()
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = "SELECT COUNT(*) FROM accounts";
    Statement s(m_db, sql);
    return s.Step() == SQLITE_ROW && s.Int(0) == 0;
}

bool Store::NumberInUseLocked(int64_t number)
{
    static const char* const sqlPmi = "SELECT 1 FROM accounts WHERE pmi = ?";
    static const char* const sqlItem = "SELECT 1 FROM items WHERE number = ? LIMIT 1";
    {
        Statement s(m_db, sqlPmi);
        if (s.Bind(1, number).Step() == SQLITE_ROW)
            return true;
    }
    Statement s(m_db, sqlItem);
    return s.Bind(1, number).Step() == SQLITE_ROW;
}

bool Store::NumberInUse(int64_t number)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    return NumberInUseLocked(number);
}

int64_t Store::NewNumberLocked(int digits, const NumberFilter& reserved)
{
    const int64_t low = LowestNumber(digits);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int64_t n = RandomInRange(low, low * 10 - 1);
        if (!NumberInUseLocked(n) && !(reserved && reserved(n)))
            return n;
    }
    return 0;
}

int64_t Store::NewNumber(int digits, const NumberFilter& reserved)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    return NewNumberLocked(digits, reserved);
}

bool Store::CreateAccount(Account& account, const std::string& password)
{
    const std::string hash = HashPassword(password);
    if (hash.empty())
        return false;
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sqlExists = "SELECT 1 FROM accounts WHERE email = ?";
    {
        Statement s(m_db, sqlExists);
        if (s.Bind(1, account.email).Step() != SQLITE_DONE)
            return false;
    }
    static const char* const sqlNextId = "SELECT COALESCE(MAX(id), 10000) + 1 FROM accounts";
    int64_t id = 0;
    {
        Statement s(m_db, sqlNextId);
        if (s.Step() != SQLITE_ROW)
            return false;
        id = s.Int(0);
    }
    const int64_t pmi = NewNumberLocked(10, nullptr);
    if (pmi == 0)
        return false;
    Transaction transaction(m_db);
    if (!transaction.Began())
        return false;
    static const char* const sqlInsert =
        "INSERT INTO accounts(id, email, password_hash, first_name, last_name, display_name, phone, pmi, temp_phone, "
        "temp_password, created) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    bool ok = false;
    {
        Statement s(m_db, sqlInsert);
        s.Bind(1, id).Bind(2, account.email).Bind(3, hash).Bind(4, account.firstName).Bind(5, account.lastName);
        s.Bind(6, account.displayName).Bind(7, account.phone).Bind(8, pmi);
        if (account.tempPhone.empty())
            s.BindNull(9);
        else
            s.Bind(9, account.tempPhone);
        s.Bind(10, account.tempPassword).Bind(11, NowSeconds());
        ok = s.Run();
    }
    if (ok) {
        // The personal room waits for its host unless the owner allows joining before.
        static const char* const sqlItem =
            "INSERT INTO items(host_id, number, topic, start_time, duration, timezone, is_pmi, recurring, recurrence, "
            "password, password_enabled, host_video, participant_video, join_before_host, mute_upon_entry, use_pmi, "
            "auto_recording, modifiable, created) VALUES(?, ?, ?, 0, 0, 'Asia/Shanghai', 1, 0, '', '', 0, 1, 1, 0, 0, "
            "1, 0, 127, ?)";
        Statement s(m_db, sqlItem);
        ok = s.Bind(1, id)
                 .Bind(2, pmi)
                 .Bind(3, DefaultTopicText(DefaultTopic::PersonalRoom, account.displayName, Language::English))
                 .Bind(4, NowSeconds())
                 .Run();
    }
    // A failed commit (full disk) keeps nothing, so the caller must not hand out the account.
    ok = ok && transaction.Commit();
    if (ok) {
        account.id = id;
        account.pmi = pmi;
    }
    return ok;
}

std::optional<Account> Store::AccountByEmail(const std::string& email)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const std::string sql = std::string(kAccountColumns) + "WHERE email = ?";
    Statement s(m_db, sql.c_str());
    if (s.Bind(1, email).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadAccount(s);
}

std::optional<Account> Store::AccountById(int64_t id)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const std::string sql = std::string(kAccountColumns) + "WHERE id = ?";
    Statement s(m_db, sql.c_str());
    if (s.Bind(1, id).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadAccount(s);
}

std::optional<Account> Store::AccountByTempPhone(const std::string& phone)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const std::string sql = std::string(kAccountColumns) + "WHERE temp_phone = ?";
    Statement s(m_db, sql.c_str());
    if (s.Bind(1, phone).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadAccount(s);
}

std::optional<Account> Store::TemporaryAccountForPhone(const std::string& phone, const std::string& domain)
{
    if (auto existing = AccountByTempPhone(phone))
        return existing;
    Account a;
    a.email = "guest" + phone + "@" + domain;
    a.displayName = "Guest " + phone.substr(phone.size() - 4);
    a.phone = phone;
    a.tempPhone = phone;
    a.tempPassword = RandomToken(8);
    if (!CreateAccount(a, a.tempPassword))
        return AccountByTempPhone(phone); // a parallel validation may have created it first
    return a;
}

bool Store::CheckPassword(int64_t accountId, const std::string& password)
{
    std::string stored;
    {
        std::lock_guard<std::mutex> lock(m_db.Mutex());
        static const char* const sql = "SELECT password_hash FROM accounts WHERE id = ?";
        Statement s(m_db, sql);
        if (s.Bind(1, accountId).Step() != SQLITE_ROW)
            return false;
        stored = s.Text(0);
    }
    return VerifyPassword(password, stored);
}

bool Store::SetPassword(int64_t accountId, const std::string& password)
{
    const std::string hash = HashPassword(password);
    if (hash.empty())
        return false;
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    // A temporary account keeps handing out its current password, so it follows the change.
    static const char* const sql =
        "UPDATE accounts SET password_hash = ?, temp_password = CASE WHEN temp_phone IS NULL THEN '' ELSE ? END "
        "WHERE id = ?";
    Statement s(m_db, sql);
    return s.Bind(1, hash).Bind(2, password).Bind(3, accountId).Run() && sqlite3_changes(m_db.Handle()) == 1;
}

bool Store::BindPhone(int64_t accountId, const std::string& phone)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = "UPDATE accounts SET phone = ? WHERE id = ?";
    Statement s(m_db, sql);
    return s.Bind(1, phone).Bind(2, accountId).Run();
}

bool Store::StoreCode(const std::string& phone, const std::string& code, int64_t expires)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql =
        "INSERT OR REPLACE INTO sms_codes(phone, code, expires, attempts) VALUES(?, ?, ?, 0)";
    Statement s(m_db, sql);
    return s.Bind(1, phone).Bind(2, code).Bind(3, expires).Run();
}

CodeCheck Store::CheckCode(const std::string& phone, const std::string& code, int maxAttempts)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sqlGet = "SELECT code, expires, attempts FROM sms_codes WHERE phone = ?";
    static const char* const sqlDelete = "DELETE FROM sms_codes WHERE phone = ?";
    static const char* const sqlAttempt = "UPDATE sms_codes SET attempts = attempts + 1 WHERE phone = ?";
    std::string stored;
    int64_t expires = 0, attempts = 0;
    {
        Statement s(m_db, sqlGet);
        if (s.Bind(1, phone).Step() != SQLITE_ROW)
            return CodeCheck::Missing;
        stored = s.Text(0);
        expires = s.Int(1);
        attempts = s.Int(2);
    }
    if (expires < NowSeconds()) {
        Statement(m_db, sqlDelete).Bind(1, phone).Run();
        return CodeCheck::Expired;
    }
    if (stored != code) {
        // Too many wrong guesses burn the code, so six digits cannot be walked through. A guess
        // that cannot be counted is refused, or a failing disk would allow endless guessing.
        const bool counted = attempts + 1 >= maxAttempts ? Statement(m_db, sqlDelete).Bind(1, phone).Run()
                                                         : Statement(m_db, sqlAttempt).Bind(1, phone).Run();
        return counted ? CodeCheck::Wrong : CodeCheck::Error;
    }
    // Single use: a code that cannot be struck off is not accepted.
    return Statement(m_db, sqlDelete).Bind(1, phone).Run() ? CodeCheck::Ok : CodeCheck::Error;
}

std::optional<Item> Store::ItemById(int64_t id)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = ITEM_COLUMNS "WHERE id = ?";
    Statement s(m_db, sql);
    if (s.Bind(1, id).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadItem(s);
}

std::optional<Item> Store::ItemByNumber(int64_t number)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = ITEM_COLUMNS "WHERE number = ? ORDER BY is_pmi DESC, id DESC LIMIT 1";
    Statement s(m_db, sql);
    if (s.Bind(1, number).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadItem(s);
}

std::optional<Item> Store::PmiItem(int64_t hostId)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = ITEM_COLUMNS "WHERE host_id = ? AND is_pmi = 1";
    Statement s(m_db, sql);
    if (s.Bind(1, hostId).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadItem(s);
}

std::optional<Item> Store::HostItemByIdOrNumber(const std::string& email, int64_t key)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    // Two indexed look-ups: an "id OR number" condition made SQLite walk all of the host's items.
    static const char* const sqlById =
        ITEM_COLUMNS "WHERE id = ? AND host_id = (SELECT id FROM accounts WHERE email = ?)";
    static const char* const sqlByNumber = ITEM_COLUMNS "WHERE host_id = (SELECT id FROM accounts WHERE email = ?) AND "
                                                        "number = ? ORDER BY is_pmi DESC, id DESC LIMIT 1";
    {
        Statement s(m_db, sqlById);
        if (s.Bind(1, key).Bind(2, email).Step() == SQLITE_ROW)
            return ReadItem(s);
    }
    Statement s(m_db, sqlByNumber);
    if (s.Bind(1, email).Bind(2, key).Step() != SQLITE_ROW)
        return std::nullopt;
    return ReadItem(s);
}

std::vector<Item> Store::ItemsOfHostPage(int64_t hostId, int64_t offset, int64_t limit)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql =
        ITEM_COLUMNS "WHERE host_id = ? ORDER BY is_pmi DESC, start_time, id LIMIT ? OFFSET ?";
    std::vector<Item> items;
    Statement s(m_db, sql);
    s.Bind(1, hostId).Bind(2, limit).Bind(3, offset);
    while (s.Step() == SQLITE_ROW)
        items.push_back(ReadItem(s));
    return items;
}

int64_t Store::ItemCount(int64_t hostId)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = "SELECT COUNT(*) FROM items WHERE host_id = ?";
    Statement s(m_db, sql);
    return s.Bind(1, hostId).Step() == SQLITE_ROW ? s.Int(0) : 0;
}

bool Store::InsertItem(Item& item)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql =
        "INSERT INTO items(host_id, number, topic, start_time, duration, timezone, is_pmi, recurring, recurrence, "
        "password, password_enabled, host_video, participant_video, join_before_host, mute_upon_entry, use_pmi, "
        "auto_recording, modifiable, created) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    Statement s(m_db, sql);
    s.Bind(1, item.hostId).Bind(2, item.number).Bind(3, item.topic).Bind(4, item.startTime).Bind(5, item.duration);
    s.Bind(6, item.timezone).Bind(7, int64_t(item.isPmi)).Bind(8, int64_t(item.recurring)).Bind(9, item.recurrence);
    s.Bind(10, item.password).Bind(11, int64_t(item.passwordEnabled)).Bind(12, int64_t(item.hostVideo));
    s.Bind(13, int64_t(item.participantVideo)).Bind(14, int64_t(item.joinBeforeHost));
    s.Bind(15, int64_t(item.muteUponEntry)).Bind(16, int64_t(item.usePmi)).Bind(17, int64_t(item.autoRecording));
    s.Bind(18, int64_t(item.modifiable)).Bind(19, NowSeconds());
    if (!s.Run())
        return false;
    item.id = sqlite3_last_insert_rowid(m_db.Handle());
    return true;
}

bool Store::UpdateItem(const Item& item)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql =
        "UPDATE items SET number = ?, topic = ?, start_time = ?, duration = ?, timezone = ?, recurrence = ?, "
        "password = ?, password_enabled = ?, host_video = ?, participant_video = ?, join_before_host = ?, "
        "mute_upon_entry = ?, use_pmi = ?, auto_recording = ?, modifiable = ? WHERE id = ?";
    Statement s(m_db, sql);
    s.Bind(1, item.number).Bind(2, item.topic).Bind(3, item.startTime).Bind(4, item.duration).Bind(5, item.timezone);
    s.Bind(6, item.recurrence).Bind(7, item.password).Bind(8, int64_t(item.passwordEnabled));
    s.Bind(9, int64_t(item.hostVideo)).Bind(10, int64_t(item.participantVideo));
    s.Bind(11, int64_t(item.joinBeforeHost)).Bind(12, int64_t(item.muteUponEntry)).Bind(13, int64_t(item.usePmi));
    s.Bind(14, int64_t(item.autoRecording)).Bind(15, int64_t(item.modifiable)).Bind(16, item.id);
    return s.Run() && sqlite3_changes(m_db.Handle()) == 1;
}

bool Store::DeleteItem(int64_t id)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = "DELETE FROM items WHERE id = ? AND is_pmi = 0";
    Statement s(m_db, sql);
    return s.Bind(1, id).Run() && sqlite3_changes(m_db.Handle()) == 1;
}

int Store::ChangePmi(int64_t accountId, int64_t newPmi, const NumberFilter& reserved)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sqlGet = "SELECT pmi FROM accounts WHERE id = ?";
    int64_t oldPmi = 0;
    {
        Statement s(m_db, sqlGet);
        if (s.Bind(1, accountId).Step() != SQLITE_ROW)
            return 404;
        oldPmi = s.Int(0);
    }
    if (oldPmi == newPmi)
        return 0;
    if (NumberInUseLocked(newPmi) || (reserved && reserved(newPmi)))
        return 409;
    Transaction transaction(m_db);
    if (!transaction.Began())
        return 500;
    static const char* const sqlAccount = "UPDATE accounts SET pmi = ? WHERE id = ?";
    // Items that used the old PMI follow it, so they keep meeting in the personal room.
    static const char* const sqlItems = "UPDATE items SET number = ? WHERE host_id = ? AND number = ?";
    bool ok = Statement(m_db, sqlAccount).Bind(1, newPmi).Bind(2, accountId).Run();
    ok = ok && Statement(m_db, sqlItems).Bind(1, newPmi).Bind(2, accountId).Bind(3, oldPmi).Run();
    return ok && transaction.Commit() ? 0 : 500;
}

std::string Store::ShortLinkFor(int64_t number)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sqlGet = "SELECT code FROM short_links WHERE number = ?";
    static const char* const sqlInsert = "INSERT INTO short_links(code, number, created) VALUES(?, ?, ?)";
    {
        Statement s(m_db, sqlGet);
        if (s.Bind(1, number).Step() == SQLITE_ROW)
            return s.Text(0);
    }
    for (int attempt = 0; attempt < 10; ++attempt) {
        const std::string code = RandomToken(4);
        if (Statement(m_db, sqlInsert).Bind(1, code).Bind(2, number).Bind(3, NowSeconds()).Run())
            return code;
    }
    return std::string();
}

std::optional<int64_t> Store::ShortLinkTarget(const std::string& code)
{
    std::lock_guard<std::mutex> lock(m_db.Mutex());
    static const char* const sql = "SELECT number FROM short_links WHERE code = ?";
    Statement s(m_db, sql);
    if (s.Bind(1, code).Step() != SQLITE_ROW)
        return std::nullopt;
    return s.Int(0);
}

} // namespace vtxsvc
