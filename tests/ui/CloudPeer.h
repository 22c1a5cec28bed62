#pragma once
// The other people in a test meeting, played through the service's HTTP API: a host who starts
// and ends meetings, and phone verification done on a tester's behalf.

#include <QtGlobal>
#include <string>

#include "service/ServiceClient.h"

class CloudPeer
{
public:
    explicit CloudPeer(const vtxtest::VtxService& service);

    // Signs in as a temporary account made for this phone number.
    bool signInAsGuest(const std::string& phone);
    void signInAsDemo();
    // The temporary account of a phone, as the verification answer gives it.
    bool verifyPhone(const std::string& phone, std::string& account, std::string& password);

    // Starts an instant meeting hosted by this peer; 0 on failure.
    quint64 startMeeting();
    // Schedules a meeting whose guests must wait for the host; 0 on failure.
    quint64 scheduleWaitingMeeting();
    bool endMeeting();
    // The envelope code of joining that meeting as a guest: "200" while it runs.
    std::string joinCode(quint64 number);

private:
    const vtxtest::VtxService& m_service;
    servicetest::Client m_client;
    httplib::Headers m_headers;
    quint64 m_number = 0;
    std::string m_participant;
};
