#include "CloudPeer.h"

#include <cmath>

CloudPeer::CloudPeer(const vtxtest::VtxService& service)
    : m_service(service)
    , m_client(service)
{}

bool CloudPeer::verifyPhone(const std::string& phone, std::string& account, std::string& password)
{
    if (m_client.PostJson("/api/orvo/user/GetVerificationCode.do", "{\"phoneNumber\":\"" + phone + "\"}").Code() !=
        "200")
        return false;
    const std::string code = m_service.LatestSmsCode(phone);
    const servicetest::Answer a = m_client.PostJson(
        "/api/orvo/user/Validation.do", "{\"phoneNumber\":\"" + phone + "\",\"verification_code\":\"" + code + "\"}");
    account = a.DataStr("account_name");
    password = a.DataStr("password");
    return a.Code() == "200" && !account.empty() && !password.empty();
}

bool CloudPeer::signInAsGuest(const std::string& phone)
{
    std::string account, password;
    if (!verifyPhone(phone, account, password))
        return false;
    m_headers = m_client.SignIn(account, password);
    return true;
}

void CloudPeer::signInAsDemo()
{
    m_headers = m_client.SignInDemo();
}

quint64 CloudPeer::startMeeting()
{
    const servicetest::Answer a = m_client.PostJson("/sdk/meetings/start", "{\"number\":0,\"kind\":1}", m_headers);
    const double number = a.DataNum("number");
    if (a.Code() != "200" || std::isnan(number))
        return 0;
    m_number = quint64(number);
    m_participant = a.DataStr("participant_id");
    return m_number;
}

quint64 CloudPeer::scheduleWaitingMeeting()
{
    const servicetest::Answer a = m_client.PostJson(
        "/sdk/items", "{\"topic\":\"Later\",\"join_before_host\":false,\"start_time\":4102444800}", m_headers);
    const double number = a.DataNum("meeting_number");
    return a.Code() == "200" && !std::isnan(number) ? quint64(number) : 0;
}

bool CloudPeer::endMeeting()
{
    const std::string path = "/sdk/meetings/" + std::to_string(m_number) + "/end";
    return m_client.PostJson(path, "{\"participant\":\"" + m_participant + "\"}", m_headers).Code() == "200";
}

std::string CloudPeer::joinCode(quint64 number)
{
    return m_client
        .PostJson("/sdk/meetings/join", "{\"number\":" + std::to_string(number) + ",\"display_name\":\"Peer\"}",
                  m_headers)
        .Code();
}
