#pragma once
// A client test: the English pack, an empty data folder, a vtx-service of its own that the web
// requests and the meeting SDK talk to, and message boxes and relaunches caught instead of shown.

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/Startup.h"
#include "base/Localization.h"
#include "base/Settings.h"
#include "platform/Paths.h"
#include "recordings/FolderTree.h"
#include "sdk/OrvoAuth.h"
#include "sdk/SDKInterfaceWrap.h"
#include "support/VtxService.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"

class ClientFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        removeFolderTree(settings::dataFolder().toStdString());
        m_service = std::make_unique<vtxtest::VtxService>();
        ASSERT_TRUE(m_service->Ok()) << m_service->Error();
        qputenv("VTX_SERVICE_HOST", QByteArray::fromStdString(m_service->HostPort()));
        qputenv("VTX_SDK_DOMAIN", QByteArray::fromStdString(m_service->BaseUrl()));
        qputenv("VTX_SDK_POLL_MS", "100");
        Localization::Instance()->resetForTest();
        ASSERT_EQ(Localization::Instance()->Load(1, platform::programFolder() + "en_US.ini"), 0);
        startup::setRestarting(false);
        startup::setRelaunchHandler([this](const QStringList& args) {
            m_relaunches << args.join(' ');
            return true;
        });
    }
    void TearDown() override
    {
        m_window.reset();
        // A window closed before the SDK authenticated leaves the SDK running for the process's
        // end; the next test has a service of its own, so the SDK starts again for it.
        OrvoAuth::Instance()->Shutdown();
        SDKInterfaceWrap::Instance().Shutdown();
        MessageBox::clearAutoAnswer();
        startup::setRelaunchHandler(nullptr);
        startup::setRestarting(false);
    }

    MainWindow& window()
    {
        if (!m_window) {
            m_window = std::make_unique<MainWindow>();
            m_window->show();
        }
        return *m_window;
    }
    template <typename T> T* child(const char* name)
    {
        T* w = window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QWidget* page(const char* name) { return child<QWidget>(name); }
    QStringList visiblePages()
    {
        QStringList pages;
        for (const char* name : {"homeWidget", "loginWidget", "verificationWidget", "joinWidget", "mainWidget"})
            if (page(name)->isVisible())
                pages << name;
        return pages;
    }
    // Waits until the SDK has authenticated the application and the home page offers its buttons.
    bool waitForAuthentication()
    {
        QWidget* join = child<QWidget>("joinButton");
        return QTest::qWaitFor([&] { return join->isVisible() && join->isEnabled(); }, 20000);
    }

    std::unique_ptr<vtxtest::VtxService> m_service;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_relaunches;
};
