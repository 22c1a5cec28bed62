#pragma once
// Everything the service keeps on disk: accounts, schedule items, SMS codes, short links.
// Each method takes the database lock itself, so callers never hold it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "service/Database.h"

namespace vtxsvc {

struct Account
{
    int64_t id = 0;
    std::string email;
    std::string firstName;
    std::string lastName;
    std::string displayName;
    std::string phone;
    int64_t pmi = 0;
    std::string tempPhone; // set for temporary accounts made by phone validation
    std::string tempPassword;
};

enum ModifiableBit : int
{
    kModPassword = 1,
    kModHostVideo = 2,
    kModParticipantVideo = 4,
    kModJoinBeforeHost = 8,
    kModMuteUponEntry = 16,
    kModUsePmi = 32,
    kModAutoRecording = 64,
    kModAll = 127
};

struct Item
{
    int64_t id = 0;
    int64_t hostId = 0;
    int64_t number = 0;
    std::string topic;
    int64_t startTime = 0;
    int64_t duration = 60;
    std::string timezone = "Asia/Shanghai";
    bool isPmi = false;
    bool recurring = false;
    std::string recurrence; // JSON object text for recurring items
    std::string password;
    bool passwordEnabled = false;
    bool hostVideo = true;
    bool participantVideo = true;
    bool joinBeforeHost = true;
    bool muteUponEntry = false;
    bool usePmi = false;
    bool autoRecording = false;
    int modifiable = kModAll;
};

enum class CodeCheck
{
    Ok,
    Wrong,
    Expired,
    Missing,
    Error // the attempt could not be recorded
};

// True when a number is taken outside the database (a running instant meeting).
using NumberFilter = std::function<bool(int64_t)>;

class Store
{
public:
    bool Open(const std::string& path, std::string& error);

    // Creates the account with a fresh PMI and its personal item; returns false when the e-mail exists.
    bool CreateAccount(Account& account, const std::string& password);
    std::optional<Account> AccountByEmail(const std::string& email);
    std::optional<Account> AccountById(int64_t id);
    std::optional<Account> AccountByTempPhone(const std::string& phone);
    bool CheckPassword(int64_t accountId, const std::string& password);
    bool SetPassword(int64_t accountId, const std::string& password);
    bool BindPhone(int64_t accountId, const std::string& phone);
    // Returns the phone's temporary account, creating it on first use.
    std::optional<Account> TemporaryAccountForPhone(const std::string& phone, const std::string& domain);
    bool IsEmpty();

    bool StoreCode(const std::string& phone, const std::string& code, int64_t expires);
    CodeCheck CheckCode(const std::string& phone, const std::string& code, int maxAttempts);

    std::optional<Item> ItemById(int64_t id);
    // The item people join with |number|: the personal item when it is a PMI, else the newest item.
    std::optional<Item> ItemByNumber(int64_t number);
    std::optional<Item> PmiItem(int64_t hostId);
    // The item of the account |email| whose ID is |key|, else its item numbered |key| (the
    // personal one first). One query, as the password look-up is the busiest call.
    std::optional<Item> HostItemByIdOrNumber(const std::string& email, int64_t key);
    // One page of the host's items (personal item first, then by start time), and their number.
    std::vector<Item> ItemsOfHostPage(int64_t hostId, int64_t offset, int64_t limit);
    int64_t ItemCount(int64_t hostId);
    bool InsertItem(Item& item);
    bool UpdateItem(const Item& item);
    bool DeleteItem(int64_t id);
    bool NumberInUse(int64_t number);
    // A number of |digits| digits not used by any PMI or item and not rejected by |reserved|.
    int64_t NewNumber(int digits, const NumberFilter& reserved);
    // 0 ok, 404 unknown account, 409 taken.
    int ChangePmi(int64_t accountId, int64_t newPmi, const NumberFilter& reserved);

    std::string ShortLinkFor(int64_t number);
    std::optional<int64_t> ShortLinkTarget(const std::string& code);

    void SetCommitFault(bool fail, int commitsFirst) { m_db.SetCommitFault(fail, commitsFirst); }

private:
    bool NumberInUseLocked(int64_t number);
    int64_t NewNumberLocked(int digits, const NumberFilter& reserved);
    Database m_db;
};

} // namespace vtxsvc
