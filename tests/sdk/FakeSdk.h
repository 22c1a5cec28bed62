#pragma once
// An in-memory SDK behind the entry-point table: records every call so tests can check what the
// client layer sent, in which order, and that it sent nothing when it must not.

#include <string>
#include <vector>

#include "orvosdk/orvo_sdk.h"

namespace fakesdk {

struct ConfigurationFake;
struct MeetingServiceFake;
struct AuthServiceFake;
struct PreMeetingServiceFake;
struct NetworkHelperFake;
struct SettingServiceFake;

struct State
{
    std::vector<std::string> calls; // every export and service operation, in order
    ORVOSDK::SDKError initResult = ORVOSDK::SDKERR_SUCCESS;
    ORVOSDK::InitParam lastInit{};
    std::wstring lastInitDomain;
    ORVOSDK::MeetingStatus meetingStatus = ORVOSDK::MEETING_STATUS_IDLE;
    ORVOSDK::SDKError startResult = ORVOSDK::SDKERR_SUCCESS;
    ORVOSDK::SDKError joinResult = ORVOSDK::SDKERR_SUCCESS;
    ORVOSDK::JoinParam lastJoin{};
    std::wstring lastJoinName;
    ORVOSDK::StartParam lastStart{};
    std::vector<std::pair<int, std::wstring>> captions;
    int scheduleItemsAlive = 0;
    int editItemsAlive = 0;
    bool withConfiguration = true;
    bool preMeetingCreatesItems = true;
    ORVOSDK::IAuthServiceEvent* authSink = nullptr;
    ORVOSDK::IMeetingServiceEvent* meetingSink = nullptr;
    ORVOSDK::IPreMeetingServiceEvent* preMeetingSink = nullptr;
    ORVOSDK::INetworkConnectionHandler* connectionHandler = nullptr;
    std::wstring lastAuthKey;
    std::wstring lastLoginUser;
};

State& state();
// Puts the fakes into SDKEntries() and clears the state and the client's process-wide objects.
void install();
// Restores the real exports after the client objects were reset.
void uninstall();
int count(const std::string& call);

} // namespace fakesdk
