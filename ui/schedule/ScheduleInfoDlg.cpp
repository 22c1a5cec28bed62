#include "ui/schedule/ScheduleInfoDlg.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include "base/Localization.h"
#include "platform/Clipboard.h"
#include "ui/Accessible.h"
#include "ui/MessageBox.h"
#include "ui/Styles.h"
#include "ui/schedule/Invitation.h"

ScheduleInfoDlg::ScheduleInfoDlg(const QString& displayName, int mode)
    : QDialog(nullptr)
    , m_displayName(displayName)
{
    setObjectName(QStringLiteral("ScheduleInfoDlg"));
    setWindowTitle(LangText("ui.window"));
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFixedSize(511, 411);
    setStyleSheet(QStringLiteral("QDialog#ScheduleInfoDlg{background-color:rgb(255,255,255);}"));

    QFont font = this->font();
    font.setPointSize(18);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("label_ScheduleSuccess"));
    m_title->setGeometry(20, 10, 471, 41);
    m_title->setFont(font);
    font.setPointSize(10);
    auto* tips = new QLabel(this);
    tips->setObjectName(QStringLiteral("label_tips"));
    tips->setGeometry(20, 50, 471, 21);
    tips->setFont(font);
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("textEdit"));
    m_text->setGeometry(20, 80, 471, 281);
    m_text->setFont(font);
    m_text->setReadOnly(true);
    m_text->setAcceptRichText(false);
    auto* copy = new QPushButton(this);
    copy->setObjectName(QStringLiteral("pushButton_copy"));
    copy->setGeometry(120, 370, 131, 32);
    copy->setFont(font);
    copy->setStyleSheet(styles::primaryButton());
    m_calendar = new QPushButton(this);
    m_calendar->setObjectName(QStringLiteral("pushButton_calendar"));
    m_calendar->setGeometry(260, 370, 131, 32);
    m_calendar->setFont(font);
    m_calendar->setStyleSheet(styles::grayButton() + QStringLiteral("QPushButton{color:rgb(0,0,0);}"));

    const char* titleKey = mode == 0   ? "ui.schedule.label_ScheduleSuccess"
                           : mode == 1 ? "ui.schedule.label_CopySchedule"
                                       : "ui.schedule.label_EditPMISchedule";
    m_title->setText(LangText(titleKey));
    tips->setText(LangText("ui.schedule.label_tips"));
    copy->setText(LangText("ui.schedule.pushButton_copy"));
    m_calendar->setText(LangText("ui.plan.calendar"));
    // The pair stays centred when a caption needs more than the form's width.
    const int widest = (width() - 9) / 2 - 10;
    const int copyWidth = styles::fittedWidth(copy, 131, widest);
    const int calendarWidth = styles::fittedWidth(m_calendar, 131, widest);
    const int left = (width() - copyWidth - 9 - calendarWidth) / 2;
    copy->setGeometry(left, 370, copyWidth, 32);
    m_calendar->setGeometry(left + copyWidth + 9, 370, calendarWidth, 32);
    accessible::label(tips, m_text);
    QMetaObject::connectSlotsByName(this);
}

ScheduleInfoDlg::~ScheduleInfoDlg() = default;

void ScheduleInfoDlg::setMeetingInfo(const schedule::ItemInfo& item,
                                     bool useGivenPassword,
                                     const QString& password,
                                     bool copyAndClose)
{
    m_item = item;
    m_password = useGivenPassword ? password : (item.password.on ? item.passwordText : QString());
    // The box shows paragraphs and would hand back LF only; the exact text with CR LF is kept aside.
    m_invitation += invitationText(m_displayName, item.topic, item.startTime, item.number, m_password);
    m_text->setPlainText(m_invitation);
    m_calendar->setVisible(item.startTime > 0);
    if (copyAndClose)
        on_pushButton_copy_clicked();
}

QString ScheduleInfoDlg::text() const
{
    return m_invitation;
}

void ScheduleInfoDlg::on_pushButton_copy_clicked()
{
    platform::setClipboardText(text());
    close();
}

bool ScheduleInfoDlg::saveCalendar(const QString& path) const
{
    return m_item.startTime > 0 && ical::saveCalendarFile(path, ical::meetingEvent(m_item, text()));
}

void ScheduleInfoDlg::on_pushButton_calendar_clicked()
{
    const QString path =
        QFileDialog::getSaveFileName(this, LangText("ui.plan.calendar"), ical::suggestedCalendarPath(m_item.number),
                                     QStringLiteral("iCalendar (*.ics)"));
    if (!path.isEmpty() && !saveCalendar(path))
        MessageBox::show(this, MessageBox::Warning, LangText("ui.window"), LangText("msg.calendar_err"),
                         LangText("box.ok"));
}
