#pragma once
// Shared by the invitation tests: a vtx-service with a running meeting, the English pack, and a
// real QR decoder.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CloudPeer.h"
#include "support/VtxService.h"

// What zbarimg reads from the picture; nullopt when it finds no code.
std::optional<QByteArray> decodeQr(const QImage& image);

// The mails the service wrote, oldest first.
std::vector<std::string> outboxMails(const vtxtest::VtxService& service);

// With a vtx-service of its own, or with none (requests fail at once, as when offline): stopping
// the service takes seconds, so tests that need no answer go without.
class InviteFixture : public ::testing::Test
{
protected:
    explicit InviteFixture(bool withService = true)
        : m_withService(withService)
    {}
    void SetUp() override;
    void TearDown() override;

    // A meeting the demo account is running right now (the short link needs a real meeting).
    quint64 runningMeeting();

    bool m_withService;
    std::unique_ptr<vtxtest::VtxService> m_service;
    std::unique_ptr<CloudPeer> m_peer;
};
