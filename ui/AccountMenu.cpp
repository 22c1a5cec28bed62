#include "AccountMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <mutex>
#include <optional>
#include <thread>

#include "base/Lifecycle.h"
#include "base/Localization.h"
#include "base/Settings.h"
#include "net/AccountApi.h"
#include "platform/Process.h"
#include "sdk/MeetingControls.h"
#include "ui/AboutDlg.h"
#include "ui/ClickableLabel.h"
#include "ui/MessageBox.h"
#include "ui/ModifyPassword.h"
#include "ui/ShellHost.h"
#include "ui/TipsDlg.h"
#include "ui/UpgradeDlg.h"

// The worker hands its answer over through this gate. The room closes it when it goes away, so a
// late worker never touches a dead object; the worker emits while holding the lock for the same reason.
struct AccountMenu::CheckGate
{
    std::mutex mutex;
    bool open = true;
    bool running = false;
    std::optional<net::VersionAnswer> answer;
};

AccountMenu::AccountMenu(AccountMenuHost host, QObject* parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_gate(std::make_shared<CheckGate>())
{
    connect(this, &AccountMenu::notifyPopUpgrade, this, &AccountMenu::onPopUpgrade);
    connect(this, &AccountMenu::notifyNoUpdatesAvailable, this, &AccountMenu::onNoUpdatesAvailable);

    m_languageMenu = std::make_unique<QMenu>(LangText("ui.language"));
    m_languageMenu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(m_languageMenu.get());
    const int current = Localization::Instance()->languageId();
    const std::pair<const char*, int> entries[] = {{"ui.menu.chinese", 0}, {"ui.menu.english", 1}};
    for (const auto& [key, id] : entries) {
        QAction* action = m_languageMenu->addAction(LangText(key));
        action->setCheckable(true);
        action->setChecked(id == current);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, id = id] { setLanguage(id); });
    }
}

AccountMenuHost AccountMenu::hostFor(ShellHost& shell, std::function<void()> tearDownForRelaunch)
{
    AccountMenuHost host;
    host.window = shell.shellWidget();
    host.signedIn = [&shell] { return shell.signedIn() && !shell.session().anonymousJoin; };
    host.inMeeting = [] { return meetingsdk::currentMeetingNumber() != 0; };
    host.showUpdateStrip = [window = host.window](bool on) {
        if (QWidget* strip = window->findChild<QWidget*>(QStringLiteral("upgradeWidget")))
            strip->setVisible(on);
    };
    host.account = [&shell] { return shell.session().account; };
    host.userId = [&shell] { return shell.session().userId; };
    host.userIdFetched = [&shell](const QString& id) { shell.session().userId = id; };
    host.passwordChanged = [&shell](const QString& password) { shell.session().password = password; };
    host.tearDownForRelaunch = std::move(tearDownForRelaunch);
    return host;
}

AccountMenu::~AccountMenu()
{
    std::lock_guard<std::mutex> lock(m_gate->mutex);
    m_gate->open = false;
}

void AccountMenu::createMenus()
{
    if (m_userMenu)
        return;
    m_userMenu = std::make_unique<QMenu>();
    m_userMenu->setObjectName(QStringLiteral("userMenu"));
    m_userMenu->addAction(LangText("ui.menu.update"), this, [this] { startUpdateCheck(true); });
    m_userMenu->addAction(LangText("ui.menu.pwd"), this, &AccountMenu::modifyPassword);
    m_userMenu->addAction(LangText("ui.menu.about"), this, &AccountMenu::openAbout);
    m_userMenu->addMenu(m_languageMenu.get());
    m_userMenu->addAction(LangText("ui.menu.exit"), this, &AccountMenu::signOut);

    m_trayIcon = std::make_unique<QSystemTrayIcon>();
    m_trayIcon->setIcon(QIcon::fromTheme(QStringLiteral("vtx-tray"), QIcon(QStringLiteral(":/UI/res/logo.png"))));
    m_trayIcon->setToolTip(LangText("ui.window"));
    m_trayIcon->setContextMenu(m_userMenu.get());
}

void AccountMenu::tearDown()
{
    m_trayIcon.reset();
    std::lock_guard<std::mutex> lock(m_gate->mutex);
    m_gate->open = false;
}

bool AccountMenu::startUpdateCheck(bool userAsked)
{
    {
        std::lock_guard<std::mutex> lock(m_gate->mutex);
        if (!m_gate->open)
            return false;
        if (m_gate->running) {
            // The running check answers this request too.
            m_userAsked = m_userAsked || userAsked;
            return false;
        }
        m_gate->running = true;
        m_gate->answer.reset();
    }
    m_userAsked = userAsked;
    m_updateAvailable = false;
    std::thread([gate = m_gate, self = this] {
        std::optional<net::VersionAnswer> answer = net::checkVersion();
        std::lock_guard<std::mutex> lock(gate->mutex);
        gate->running = false;
        if (!gate->open)
            return;
        const bool newer = answer && net::isNewerVersion(answer->version, net::clientVersion());
        gate->answer = std::move(answer);
        if (newer)
            emit self->notifyPopUpgrade();
        else
            emit self->notifyNoUpdatesAvailable();
    }).detach();
    return true;
}

bool AccountMenu::updateCheckRunning() const
{
    std::lock_guard<std::mutex> lock(m_gate->mutex);
    return m_gate->running;
}

void AccountMenu::onNoUpdatesAvailable()
{
    bool answered = false;
    {
        std::lock_guard<std::mutex> lock(m_gate->mutex);
        answered = m_gate->answer.has_value();
        if (answered && m_gate->answer->mandatory)
            m_mandatory = *m_gate->answer->mandatory;
    }
    // A failed check is not news of the latest version: the user hears which of the two it was.
    if (m_userAsked && isSignedIn())
        TipsDlg::showTip(LangText(answered ? "msg.noupdate" : "msg.update_check_failed"), answered);
    emit updateCheckFinished();
}

void AccountMenu::onPopUpgrade()
{
    {
        std::lock_guard<std::mutex> lock(m_gate->mutex);
        if (!m_gate->answer)
            return;
        m_downloadUrl = m_gate->answer->url;
        m_tips = m_gate->answer->tips;
        if (m_gate->answer->mandatory)
            m_mandatory = *m_gate->answer->mandatory;
    }
    m_updateAvailable = true;
    if (isSignedIn()) {
        if (m_host.showUpdateStrip)
            m_host.showUpdateStrip(true);
        bringToFront(m_host.window, false);
    } else if (!m_mandatory) {
        showUpgradeDialog();
    }
    if (m_mandatory) {
        // A browser link may have started a meeting before the answer came; it is not ended for this.
        if (m_host.inMeeting && m_host.inMeeting())
            m_mandatoryWaiting = true;
        else
            runMandatoryUpdate();
    }
    emit updateCheckFinished();
}

void AccountMenu::meetingEnded()
{
    if (!m_mandatoryWaiting)
        return;
    m_mandatoryWaiting = false;
    runMandatoryUpdate();
}

void AccountMenu::runMandatoryUpdate()
{
    if (m_mandatoryRunning)
        return;
    m_mandatoryRunning = true;
    bringToFront(m_host.window, true);
    MessageBox::show(m_host.window, MessageBox::Warning, LangText("ui.window"), LangText("msg.forcedupgrade"),
                     LangText("box.ok"));
    if (m_upgradeDialog)
        m_upgradeDialog->close();
    // The user is sent to the download, and this version ends once the dialog is closed.
    UpgradeDlg dialog(m_downloadUrl, m_tips);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (m_dialogSetup)
        m_dialogSetup(dialog);
    dialog.show();
    dialog.download();
    if (dialog.isVisible())
        dialog.exec();
    startup::setRestarting(true);
    if (m_host.window)
        m_host.window->close();
}

void AccountMenu::showUpgradeDialog()
{
    if (!m_upgradeDialog) {
        m_upgradeDialog = new UpgradeDlg(m_downloadUrl, m_tips);
        m_upgradeDialog->setAttribute(Qt::WA_DeleteOnClose);
        m_upgradeDialog->setModal(false);
        m_upgradeDialog->setWindowFlag(Qt::WindowStaysOnTopHint);
        if (m_dialogSetup)
            m_dialogSetup(*m_upgradeDialog);
    }
    m_upgradeDialog->show();
    bringToFront(m_upgradeDialog, false);
}

UpgradeDlg* AccountMenu::upgradeDialog() const
{
    return m_upgradeDialog.data();
}

void AccountMenu::openUpgradeFromStrip()
{
    if (m_host.showUpdateStrip)
        m_host.showUpdateStrip(false);
    showUpgradeDialog();
}

ClickableLabel* AccountMenu::createLanguageLink(QWidget* page, const QRect& geometry)
{
    auto* link = new ClickableLabel(page);
    link->setObjectName(QStringLiteral("label_language"));
    link->setGeometry(geometry);
    link->setText(LangText("ui.language"));
    link->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(link, &ClickableLabel::clicked, this,
            [this, link] { popUpLanguageMenu(link->mapToGlobal(QPoint(0, link->height()))); });
    return link;
}

void AccountMenu::popUpUserMenu(const QPoint& windowPos)
{
    if (m_userMenu && m_host.window)
        m_userMenu->popup(m_host.window->mapToGlobal(windowPos));
}

void AccountMenu::popUpUserMenu()
{
    if (!m_host.window)
        return;
    const QWidget* name = m_host.window->findChild<QWidget*>(QStringLiteral("myDisplayName"));
    const QWidget* icon = m_host.window->findChild<QWidget*>(QStringLiteral("accountIcon"));
    if (name && icon)
        popUpUserMenu(QPoint(name->mapTo(m_host.window, QPoint()).x(), icon->mapTo(m_host.window, QPoint()).y() + 42));
}

void AccountMenu::popUpLanguageMenu(const QPoint& globalPos)
{
    m_languageMenu->popup(globalPos);
}

void AccountMenu::modifyPassword()
{
    ModifyPassword dialog(m_host.account ? m_host.account() : QString(), m_host.userId ? m_host.userId() : QString(),
                          m_host.window);
    if (m_host.userIdFetched)
        connect(&dialog, &ModifyPassword::userIdFetched, this, m_host.userIdFetched);
    if (m_host.passwordChanged)
        connect(&dialog, &ModifyPassword::passwordChanged, this, m_host.passwordChanged);
    dialog.exec();
}

void AccountMenu::openAbout()
{
    AboutDlg about([this] { startUpdateCheck(true); }, m_host.window);
    about.exec();
}

void AccountMenu::signOut()
{
    bringToFront(m_host.window, true);
    const int answer = MessageBox::show(m_host.window, MessageBox::Warning, LangText("ui.window"),
                                        LangText("msg.reset_request"), LangText("box.yes"), LangText("box.no"));
    if (answer != MessageBox::FirstButton)
        return;
    if (m_host.window)
        m_host.window->hide();
    relaunch({QStringLiteral("goto_login_ui"), QString::number(platform::currentProcessId())});
}

void AccountMenu::setLanguage(int languageId)
{
    // Written before asking: the choice holds for the next start even if the user says no now.
    settings::writeLanguageId(languageId);
    bringToFront(m_host.window, true);
    const int answer = MessageBox::show(m_host.window, MessageBox::Warning, LangText("ui.window"),
                                        LangText("msg.changed_language"), LangText("box.yes"), LangText("box.no"));
    if (answer == MessageBox::FirstButton)
        relaunch({});
}

void AccountMenu::relaunch(const QStringList& arguments)
{
    startup::setRestarting(true);
    startup::releaseInstanceLock();
    if (m_host.tearDownForRelaunch)
        m_host.tearDownForRelaunch();
    m_trayIcon.reset();
    startup::relaunch(arguments);
    if (m_host.window)
        m_host.window->close();
}
