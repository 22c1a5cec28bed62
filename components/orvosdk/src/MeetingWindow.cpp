#include "MeetingWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "Services.h"

using namespace ORVOSDK;

namespace orvo {

QString GroupedNumber(unsigned long long number)
{
    const QString digits = QString::number(number);
    if (digits.size() < 4)
        return digits;
    const int second = digits.size() <= 10 ? 6 : 7;
    QString out = digits.left(3) + '-' + digits.mid(3, second - 3);
    if (digits.size() > second)
        out += '-' + digits.mid(second);
    return out;
}

MeetingWindow::MeetingWindow(MeetingService* service)
    : m_service(service)
{
    setObjectName(QStringLiteral("OrvoMeetingWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    m_app = new QLabel(this);
    m_app->setObjectName(QStringLiteral("label_app"));
    m_topic = new QLabel(this);
    m_topic->setObjectName(QStringLiteral("label_topic"));
    m_topic->setStyleSheet(QStringLiteral("font-size:16px;font-weight:bold;"));
    m_number = new QLabel(this);
    m_number->setObjectName(QStringLiteral("label_number"));
    m_elapsed = new QLabel(this);
    m_elapsed->setObjectName(QStringLiteral("label_elapsed"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("label_status"));
    m_people = new QListWidget(this);
    m_people->setObjectName(QStringLiteral("list_participants"));
    layout->addWidget(m_app);
    layout->addWidget(m_topic);
    layout->addWidget(m_number);
    layout->addWidget(m_elapsed);
    layout->addWidget(m_people, 1);
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout;
    auto makeButton = [this, buttons](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b);
        return b;
    };
    m_invite = makeButton("button_invite", Tr("Invite", "邀请"));
    m_share = makeButton("button_share", Tr("Share", "共享屏幕"));
    m_record = makeButton("button_record", Tr("Record", "录制"));
    m_leave = makeButton("button_leave", Tr("Leave", "离开会议"));
    m_end = makeButton("button_end", Tr("End", "结束会议"));
    layout->addLayout(buttons);

    connect(m_invite, &QPushButton::clicked, this, [this] { m_service->InviteClicked(); });
    connect(m_share, &QPushButton::clicked, this, [this] {
        if (m_service->SharingOut())
            m_service->m_share.StopShare();
        else
            m_service->m_share.StartShare();
    });
    connect(m_record, &QPushButton::clicked, this, [this] { m_service->SetRecording(!m_service->Recording()); });
    connect(m_leave, &QPushButton::clicked, this, [this] { m_service->Leave(LEAVE_MEETING); });
    connect(m_end, &QPushButton::clicked, this, [this] {
        if (m_service->m_ui.m_event)
            m_service->m_ui.m_event->onEndMeetingBtnClicked();
        m_service->Leave(END_MEETING);
    });

    m_clock = new QTimer(this);
    connect(m_clock, &QTimer::timeout, this, [this] { UpdateElapsed(); });
    m_clock->start(1000);
    resize(480, 360);
    Refresh();
}

void MeetingWindow::Refresh()
{
    SdkCore& core = SdkCore::Get();
    const MeetingInfo& info = m_service->Info();
    QString title = core.Caption(SDK_Customized_Title_OrvoVideo);
    if (title.isEmpty())
        title = Tr("%1 Meeting", "%1 会议").arg(core.BrandName());
    setWindowTitle(title);
    m_app->setText(core.Caption(SDK_Customized_Title_App));
    m_app->setVisible(!m_app->text().isEmpty());
    m_topic->setText(QString::fromStdWString(info.m_topic));
    m_number->setText(Tr("Meeting ID: %1", "会议号：%1").arg(GroupedNumber(info.m_number)));
    m_people->clear();
    for (const Participant& p : m_service->Participants()) {
        QString line = QString::fromStdWString(p.name);
        if (p.host)
            line += Tr(" (Host)", "（主持人）");
        if (p.self)
            line += Tr(" (Me)", "（我）");
        m_people->addItem(line);
    }
    m_share->setText(m_service->SharingOut() ? Tr("Stop Share", "停止共享") : Tr("Share", "共享屏幕"));
    m_share->setEnabled(m_service->IsHost() || !m_service->ShareLocked() || m_service->SharingOut());
    m_record->setText(m_service->Recording() ? Tr("Stop Recording", "停止录制") : Tr("Record", "录制"));
    m_invite->setVisible(static_cast<MeetingConfiguration*>(m_service->GetMeetingConfiguration())->inviteButton);
    m_end->setVisible(m_service->IsHost());
    QStringList notes;
    if (m_service->Recording())
        notes << Tr("Recording", "录制中");
    if (m_service->SharingOut())
        notes << Tr("You are sharing your screen", "正在共享屏幕");
    if (m_service->IsMeetingLocked())
        notes << Tr("Meeting locked", "会议已锁定");
    m_status->setText(notes.join(QStringLiteral(" · ")));
    UpdateElapsed();
}

void MeetingWindow::UpdateElapsed()
{
    const QDateTime start = m_service->StartedAt();
    const qint64 secs = start.isValid() ? std::max<qint64>(0, start.secsTo(QDateTime::currentDateTime())) : 0;
    m_elapsed->setText(QStringLiteral("%1:%2:%3")
                           .arg(secs / 3600, 2, 10, QLatin1Char('0'))
                           .arg((secs / 60) % 60, 2, 10, QLatin1Char('0'))
                           .arg(secs % 60, 2, 10, QLatin1Char('0')));
}

void MeetingWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window is leaving the meeting; the service hides the window when it has ended.
    if (m_service->InMeeting()) {
        event->ignore();
        m_service->Leave(LEAVE_MEETING);
        return;
    }
    event->accept();
}

} // namespace orvo
