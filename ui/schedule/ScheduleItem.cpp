#include "ui/schedule/ScheduleItem.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "ui/MessageBox.h"
#include "ui/schedule/Invitation.h"
#include "ui/schedule/MeetingsContext.h"

namespace {

QLabel* rowLabel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QString rowButtonStyle(bool greyed)
{
    return QStringLiteral("QPushButton {color: rgb(%1);border: none;border-radius: 0px;padding: 4px;padding-left: "
                          "5px;padding-right: 5px;font-size:13px;background-image: "
                          "url(:/UI/res/item_btn_normal.png);}QPushButton:hover {background-image: "
                          "url(:/UI/res/item_btn_hover.png);}QPushButton:pressed {background-image: "
                          "url(:/UI/res/item_btn_down.png);}QPushButton:disabled {background-image: "
                          "url(:/UI/res/item_btn_disabled.png);}")
        .arg(greyed ? QStringLiteral("128, 128, 128") : QStringLiteral("0, 0, 0"));
}

} // namespace

ScheduleItem::ScheduleItem(MeetingsContext* context, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("ScheduleItem"));
    resize(350, 95);
    m_date = rowLabel(this, "label_Date", QRect(10, 8, 180, 32));
    m_time = rowLabel(this, "label_Time", QRect(190, 4, 158, 21));
    m_topicLabel = rowLabel(this, "label_Topic", QRect(10, 30, 340, 21));
    m_number = rowLabel(this, "label_MeetingID", QRect(10, 50, 340, 21));
    QFont dateFont = m_date->font();
    dateFont.setPointSize(12);
    m_date->setFont(dateFont);
    // The grey of the time, topic and number lines comes from the application style sheet.
}

ScheduleItem::~ScheduleItem() = default;

QString ScheduleItem::dateText(const QDate& date, const QDate& today)
{
    if (date == today)
        return LangText("ui.plan.today");
    static const char* const kWeek[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const kMonth[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QByteArray weekKey = QByteArray("week.") + kWeek[date.dayOfWeek() - 1];
    const QByteArray monthKey = QByteArray("month.") + kMonth[date.month() - 1];
    return QStringLiteral("%1, %2 %3, %4")
        .arg(LangText(weekKey.constData()), LangText(monthKey.constData()))
        .arg(date.day())
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

void ScheduleItem::setMeeting(const schedule::ItemInfo& item, quint64 meetingID)
{
    m_item = item;
    m_meetingID = meetingID;
    m_meetingJoinID = item.number;
    m_topic = item.topic;
    m_topicLabel->setText(LangText("ui.plan.topic") + m_topic);
    m_number->setText(LangText("ui.plan.pmi") + formatMeetingNumber(QString::number(m_meetingJoinID)));
    if (item.startTime <= 0) {
        m_bRecurring = true;
        m_date->setText(LangText("ui.plan.PeriodicMeeting"));
    } else {
        const QDateTime start = QDateTime::fromSecsSinceEpoch(item.startTime, Qt::LocalTime);
        const QDateTime end = start.addSecs(qint64(qMax(0, item.durationMinutes)) * 60);
        m_date->setText(dateText(start.date(), QDate::currentDate()));
        m_time->setText(start.toString(QStringLiteral("HH:mm")) + QLatin1Char(' ') + LangText("ui.plan.duration") +
                        QLatin1Char(' ') + end.toString(QStringLiteral("HH:mm")));
    }
    if (m_context && m_meetingID == m_context->startedMeetingId())
        setGreyed(true);
}

void ScheduleItem::createButtons()
{
    // Only the current row shows its buttons, so they are made when a row first becomes current.
    m_ctrl = new QWidget(this);
    m_ctrl->setObjectName(QStringLiteral("ctrlWidget"));
    m_ctrl->setGeometry(8, 70, 335, 24);
    auto* layout = new QHBoxLayout(m_ctrl);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    const std::tuple<QPushButton**, const char*, const char*> buttons[] = {
        {&m_start, "start", "ui.plan.start"},
        {&m_edit, "edit", "ui.plan.edit"},
        {&m_remove, "remove", "ui.plan.remove"},
        {&m_copy, "copy", "ui.plan.copy"},
        {&m_calendar, "calendar", "ui.plan.calendar_short"}};
    for (const auto& [button, name, key] : buttons) {
        *button = new QPushButton(LangText(key), m_ctrl);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->setFixedWidth(60);
        (*button)->setMaximumHeight(24);
        (*button)->setStyleSheet(rowButtonStyle(false));
        layout->addWidget(*button);
    }
    m_calendar->setFixedWidth(70);
    layout->addStretch();
    if (m_bRecurring) {
        m_edit->hide();
        m_remove->hide();
        m_calendar->hide();
    }
    QMetaObject::connectSlotsByName(this);
    applyGreyed();
}

void ScheduleItem::showButtons(bool show)
{
    if (show && !m_ctrl)
        createButtons();
    if (m_ctrl)
        m_ctrl->setVisible(show);
}

void ScheduleItem::resetButtons()
{
    setGreyed(false);
}

void ScheduleItem::setGreyed(bool greyed)
{
    m_greyed = greyed;
    applyGreyed();
}

void ScheduleItem::applyGreyed()
{
    if (!m_ctrl)
        return;
    for (QPushButton* b : {m_start, m_edit, m_remove}) {
        b->setEnabled(!m_greyed);
        b->setStyleSheet(rowButtonStyle(m_greyed));
    }
}

bool ScheduleItem::buttonsGreyed() const
{
    return m_greyed;
}

void ScheduleItem::on_start_clicked()
{
    if (!m_context || m_context->startMeetingByNumber(m_meetingJoinID) != 0)
        return;
    m_context->setStartedMeetingId(m_meetingID);
    setGreyed(true);
}

void ScheduleItem::on_edit_clicked()
{
    if (m_context)
        m_context->editMeeting(m_meetingID, m_meetingJoinID);
}

void ScheduleItem::on_copy_clicked()
{
    if (m_context)
        m_context->readMeetingInfo(m_meetingID, false);
}

void ScheduleItem::on_remove_clicked()
{
    const int answer =
        MessageBox::show(window(), MessageBox::Question, LangText("ui.window"), LangText("msg.remove_schedule_request"),
                         LangText("box.ok"), LangText("box.cancel"));
    if (answer != MessageBox::FirstButton || m_bRecurring)
        return;
    if (schedule::deleteMeeting(m_meetingID) == 0 && m_context)
        m_context->removePlanRow(this);
}

bool ScheduleItem::saveCalendar(const QString& path) const
{
    if (m_bRecurring)
        return false;
    const QString invitation =
        invitationText(m_context ? m_context->displayName() : QString(), m_topic, m_item.startTime, m_meetingJoinID,
                       m_item.password.on ? m_item.passwordText : QString());
    return ical::saveCalendarFile(path, ical::meetingEvent(m_item, invitation));
}

void ScheduleItem::on_calendar_clicked()
{
    const QString path =
        QFileDialog::getSaveFileName(window(), LangText("ui.plan.calendar"),
                                     ical::suggestedCalendarPath(m_meetingJoinID), QStringLiteral("iCalendar (*.ics)"));
    if (!path.isEmpty() && !saveCalendar(path))
        MessageBox::show(window(), MessageBox::Warning, LangText("ui.window"), LangText("msg.calendar_err"),
                         LangText("box.ok"));
}

MuItemDelegate::MuItemDelegate(int height, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_height(height)
{}

void MuItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid())
        return;
    painter->save();
    QRectF rect(option.rect);
    painter->setPen(QColor(QStringLiteral("#B9D7FC")));
    painter->setBrush(QColor(QStringLiteral("#B9D7FC")));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    rect.setTop(rect.top() + 1);
    QPainterPath path;
    path.addRect(rect);
    const auto fill = [&](const char* colour) {
        const QColor c(QString::fromLatin1(colour));
        painter->setPen(c);
        painter->setBrush(c);
        painter->drawPath(path);
    };
    if (option.state & QStyle::State_MouseOver)
        fill("#F9FCFF");
    if (option.state & QStyle::State_Selected)
        fill("#E2EFFF");
    painter->restore();
}

QSize MuItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(option.rect.width(), m_height);
}
