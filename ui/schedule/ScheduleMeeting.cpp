#include "ui/schedule/ScheduleMeeting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "base/Localization.h"
#include "base/Settings.h"
#include "net/MeetingApi.h"
#include "net/ServiceRequest.h"
#include "sdk/ScheduleItems.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"
#include "ui/schedule/DialogParts.h"
#include "ui/schedule/MeetingsContext.h"

using schedule::make;

namespace {

std::function<QDateTime()>& testClock()
{
    static std::function<QDateTime()> c;
    return c;
}

QDateTime now()
{
    return testClock() ? testClock()() : QDateTime::currentDateTime();
}

const char* const kDayKeys[7] = {"ui.plan.sunday",   "ui.plan.monday", "ui.plan.tuesday", "ui.plan.wednesday",
                                 "ui.plan.thursday", "ui.plan.friday", "ui.plan.saturday"};
const char* const kDayButtons[7] = {"btn_sunday",   "btn_monday", "btn_tuesday", "btn_wednesday",
                                    "btn_thursday", "btn_friday", "btn_saturday"};

QString weekdayStyle(bool selected)
{
    const QString base = selected ? QStringLiteral("week_selected") : QStringLiteral("week_noselected");
    return QStringLiteral("QPushButton {color: rgb(%1);border: none;border-radius: 0px;padding: 4px;padding-left: "
                          "5px;padding-right: 5px;font-size:13px;background-image: url(:/UI/res/%2.png);}"
                          "QPushButton:hover {background-image: url(:/UI/res/%2_hover.png);}"
                          "QPushButton:pressed {background-image: url(:/UI/res/%2_down.png);}")
        .arg(selected ? QStringLiteral("255, 255, 255") : QStringLiteral("0, 0, 0"), base);
}

QLabel* lineLabel(QWidget* parent, const char* name, int y)
{
    QLabel* line = make<QLabel>(parent, name, 40, y, 521, 2);
    line->setPixmap(QPixmap(QStringLiteral(":/UI/res/line.png")));
    line->setScaledContents(true);
    return line;
}

constexpr int kCycleAreaHeight = 111;
constexpr int kLowerTop = 255;
// However long its text, the recurrence summary keeps room beside the box.
constexpr int kCycleBoxMaxWidth = 200;
constexpr int kOptionsTop = 140;
constexpr int kPasswordRowHeight = 40;
constexpr int kRecurringShift = 40;

} // namespace

QDateTime defaultMeetingStart(const QDateTime& now)
{
    // Adding to the full date-time carries 23:xx over to the next day.
    const QDateTime hour(now.date(), QTime(now.time().hour(), 0), now.timeSpec());
    return hour.addSecs(3600);
}

void ScheduleMeeting::setClockForTest(std::function<QDateTime()> clockFn)
{
    testClock() = std::move(clockFn);
}

ScheduleMeeting::ScheduleMeeting(CSDKSheduleMeetingUIWorkFlow* workflow,
                                 MeetingsContext* context,
                                 bool bEdit,
                                 quint64 meetingID,
                                 quint64 meeting_JoinID,
                                 const RecurringMeetingInfo* recurringInfo,
                                 bool bRecurring)
    : QDialog(nullptr)
    , m_workflow(workflow)
    , m_context(context)
    , m_bEdit(bEdit)
    , m_meetingID(meetingID)
    , m_meetingJoinID(meeting_JoinID)
    , m_bRecurring(bRecurring || recurringInfo)
    , m_recurringInfo(recurringInfo ? std::make_unique<RecurringMeetingInfo>(*recurringInfo) : nullptr)
{
    buildForm();
    applyTexts();
    schedule::newScheduleItem(m_workflow);

    const quint64 pmi = m_context ? m_context->personalMeetingId() : 0;
    m_usePmi->setText(pmi ? LangFormat("ui.plan.checkBox_usePMI", static_cast<unsigned long long>(pmi))
                          : LangText("ui.plan.checkBox_usePMI0"));
    const QByteArray name = (m_context ? m_context->displayName() : QString()).toUtf8();
    m_topic->setText(LangFormat("ui.plan.default.topic", name.constData()));

    if (!m_bEdit)
        setupNewMeeting();
    else if (m_recurringInfo)
        setupRecurringRecord();
    else if (!m_bRecurring)
        setupEditMeeting();
    updateHeight();
}

ScheduleMeeting::~ScheduleMeeting() = default;

void ScheduleMeeting::buildForm()
{
    setObjectName(QStringLiteral("ScheduleMeeting"));
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    setStyleSheet(QStringLiteral("QDialog#ScheduleMeeting{background-color:rgb(255,255,255);}"));
    setFixedWidth(600);

    m_title = make<QLabel>(this, "label_ScheduleMeeting", 40, 10, 521, 41);
    QFont titleFont = m_title->font();
    titleFont.setPointSize(16);
    m_title->setFont(titleFont);
    make<QLabel>(this, "label_topic", 40, 70, 105, 31);
    m_topic = make<QLineEdit>(this, "lineEdit_topic", 150, 70, 411, 31);
    lineLabel(this, "label_line1", 115);

    make<QLabel>(this, "label_start", 40, 130, 105, 30);
    m_date = make<QDateTimeEdit>(this, "dateTimeEdit_date", 150, 130, 180, 30);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setCalendarPopup(true);
    m_time = make<QDateTimeEdit>(this, "dateTimeEdit_time", 340, 130, 100, 30);
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));

    make<QLabel>(this, "label_end", 40, 175, 105, 30);
    m_hours = make<QComboBox>(this, "comboBox_hr", 150, 175, 60, 30);
    make<QLabel>(this, "label_hour", 214, 175, 40, 30);
    m_minutes = make<QComboBox>(this, "comboBox_min", 256, 175, 60, 30);
    make<QLabel>(this, "label_minute", 320, 175, 60, 30);
    for (int h = 0; h < 24; ++h)
        m_hours->addItem(QString::number(h));
    for (int m : {0, 15, 30, 45})
        m_minutes->addItem(QString::number(m));

    m_cycleBox = make<QCheckBox>(this, "checkBox_cycle", 150, 222, 90, 20);
    m_summary = make<QLabel>(this, "label_recurring", 242, 209, 351, 41);
    m_summary->setStyleSheet(QStringLiteral("color:rgb(24,144,255)"));
    m_summary->setWordWrap(true);

    // Recurrence rows; hidden rows collapse inside the area.
    m_cycleArea = make<QWidget>(this, "horizontalWidget_cycle", 40, 250, 521, kCycleAreaHeight);
    auto* rows = new QVBoxLayout(m_cycleArea);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    const auto row = [&](const char* name) {
        auto* w = new QWidget(m_cycleArea);
        w->setObjectName(QString::fromLatin1(name));
        auto* layout = new QHBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 0);
        rows->addWidget(w);
        return layout;
    };
    const auto rowLabel = [](QHBoxLayout* layout, const char* name) {
        auto* label = new QLabel;
        label->setObjectName(QString::fromLatin1(name));
        label->setFixedWidth(105);
        layout->addWidget(label);
    };
    const QString comboStyle = styles::field() + QStringLiteral("QComboBox{font-size:14px;}");
    QHBoxLayout* cycleRow = row("horizontalWidget_cyclerow");
    rowLabel(cycleRow, "label_cycle");
    m_cycleCombo = new QComboBox;
    m_cycleCombo->setObjectName(QStringLiteral("comboBox_cycle"));
    m_cycleCombo->setStyleSheet(comboStyle);
    m_cycleCombo->setFixedWidth(140);
    cycleRow->addWidget(m_cycleCombo);
    cycleRow->addStretch();
    QHBoxLayout* slotRow = row("horizontalWidget_slot");
    m_slotRow = slotRow->parentWidget();
    rowLabel(slotRow, "label_slot");
    m_slotCombo = new QComboBox;
    m_slotCombo->setObjectName(QStringLiteral("comboBox_slot"));
    m_slotCombo->setStyleSheet(comboStyle);
    m_slotCombo->setFixedWidth(140);
    slotRow->addWidget(m_slotCombo);
    slotRow->addStretch();
    QHBoxLayout* occurRow = row("horizontalWidget_occur");
    m_occurRow = occurRow->parentWidget();
    rowLabel(occurRow, "label_occur");
    for (int i = 0; i < 7; ++i) {
        auto* b = new QPushButton;
        b->setObjectName(QString::fromLatin1(kDayButtons[i]));
        b->setMaximumSize(40, 28); // room for three Latin letters in the selected look
        b->setStyleSheet(weekdayStyle(false));
        occurRow->addWidget(b);
        m_dayButtons[size_t(i)] = b;
    }
    occurRow->addStretch();
    QHBoxLayout* endRow = row("horizontalWidget_end_date");
    rowLabel(endRow, "label_end_date");
    m_endDate = new QDateTimeEdit;
    m_endDate->setObjectName(QStringLiteral("dateTimeEdit_date_end"));
    m_endDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_endDate->setCalendarPopup(true);
    m_endDate->setFixedWidth(180);
    endRow->addWidget(m_endDate);
    endRow->addStretch();
    rows->addStretch();

    // Everything below the recurrence rows moves down while they are shown.
    m_lower = make<QWidget>(this, "widget_lower", 0, kLowerTop, 600, 375);
    lineLabel(m_lower, "label_line2", 0);
    m_video = std::make_unique<schedule::VideoChoices>(m_lower, 40, 105, 15);
    lineLabel(m_lower, "label_line3", 88);
    make<QLabel>(m_lower, "label_options", 40, 100, 105, 25);
    m_setPwd = make<QCheckBox>(m_lower, "checkBox_set_pwd", 150, 100, 411, 25);
    m_pwdRow = make<QWidget>(m_lower, "horizontalWidget_pwd", 150, 132, 411, 31);
    m_password = make<QLineEdit>(m_pwdRow, "lineEdit_password", 0, 0, 200, 31);
    m_password->setEchoMode(QLineEdit::Normal);
    m_password->setMaxLength(10);
    m_password->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9a-zA-Z]+$")), m_password));

    m_options = make<QWidget>(m_lower, "widget_options", 150, kOptionsTop, 411, 210);
    m_preJoin = make<QCheckBox>(m_options, "checkBox_preJoin", 0, 10, 411, 21);
    m_muteJoin = make<QCheckBox>(m_options, "checkBox_muteJoin", 0, 50, 411, 21);
    m_usePmi = make<QCheckBox>(m_options, "checkBox_usePMI", 0, 90, 411, 21);
    m_autoRecord = make<QCheckBox>(m_options, "checkBox_autoRecord", 0, 130, 411, 21);
    m_cancel = make<QPushButton>(m_options, "pushButton_cancel", 230, 170, 81, 30);
    m_ok = make<QPushButton>(m_options, "pushButton_ok", 320, 170, 81, 30);
    m_errInfo = make<QLabel>(m_options, "label_errInfo", -110, 170, 335, 30);
    m_errInfo->setStyleSheet(QStringLiteral("color:red"));
    m_errInfo->setWordWrap(true);
    m_ok->setStyleSheet(styles::primaryButton());
    m_ok->setDefault(true); // Enter in any field schedules, as in other dialogs
    m_cancel->setStyleSheet(styles::grayButton() + QStringLiteral("QPushButton{color:rgb(0,0,0);}"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_topic, m_password, m_hours, m_minutes})
        w->setStyleSheet(styles::field());

    for (QDateTimeEdit* edit : {m_date, m_endDate}) {
        edit->setMinimumDate(QDate(2019, 10, 24));
        edit->setTimeSpec(Qt::LocalTime);
        edit->setCurrentSection(QDateTimeEdit::YearSection);
    }

    m_cycleCombo->addItem(QString());
    m_cycleCombo->addItem(QString());
    m_cycleCombo->addItem(QString());
    connect(m_date, &QDateTimeEdit::dateChanged, this, &ScheduleMeeting::on_dateChanged);
    connect(m_time, &QDateTimeEdit::timeChanged, this, &ScheduleMeeting::on_timeChanged);
    connect(m_hours, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ScheduleMeeting::on_durationHourChanged);
    connect(m_minutes, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ScheduleMeeting::on_durationMinChanged);
    connect(m_cycleCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ScheduleMeeting::on_cycleChanged);
    connect(m_slotCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ScheduleMeeting::on_slotChanged);
    connect(m_endDate, &QDateTimeEdit::dateChanged, this, &ScheduleMeeting::on_endDateChanged);
    QMetaObject::connectSlotsByName(this);

    m_cycleCombo->setCurrentIndex(1); // fills the interval box through on_cycleChanged
    m_cycleArea->hide();
    m_pwdRow->hide();
}

void ScheduleMeeting::applyTexts()
{
    setWindowTitle(LangText("ui.window"));
    const std::pair<const char*, const char*> texts[] = {
        {"label_ScheduleMeeting", "ui.plan.label_ScheduleMeeting"},
        {"label_topic", "ui.plan.label_topic"},
        {"label_start", "ui.plan.label_start"},
        {"label_end", "ui.plan.label_end"},
        {"label_hour", "ui.plan.label_hour"},
        {"label_minute", "ui.plan.label_minute"},
        {"checkBox_cycle", "ui.plan.cycle"},
        {"label_cycle", "ui.plan.label_cycle"},
        {"label_slot", "ui.plan.label_slot"},
        {"label_occur", "ui.plan.label_occur"},
        {"label_end_date", "ui.plan.label_end_date"},
        {"label_options", "ui.plan.label_options"},
        {"checkBox_set_pwd", "ui.plan.checkBox_set_pwd"},
        {"checkBox_preJoin", "ui.plan.checkBox_preJoin"},
        {"checkBox_muteJoin", "ui.plan.checkBox_muteJoin"},
        {"checkBox_autoRecord", "ui.plan.checkBox_autoRecord"},
        {"pushButton_cancel", "box.cancel"},
        // An edit saves the meeting; "Schedule" would read as making a second one.
        {"pushButton_ok", m_bEdit ? "ui.plan.save" : "ui.plan.btn_ok"},
    };
    for (const auto& [name, key] : texts) {
        QWidget* w = findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(LangText(key));
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(LangText(key));
    }
    for (int i = 0; i < 7; ++i)
        m_dayButtons[size_t(i)]->setText(LangText(kDayKeys[i]));
    m_password->setPlaceholderText(LangText("ui.pwd_pmi"));
    // The summary starts after the box's own text, which is longer in some languages.
    m_cycleBox->adjustSize();
    m_cycleBox->resize(qMin(m_cycleBox->width(), kCycleBoxMaxWidth), m_cycleBox->height());
    const int summaryX = qMax(242, m_cycleBox->x() + m_cycleBox->width() + 8);
    m_summary->setGeometry(summaryX, 209, 593 - summaryX, 41);
    // The buttons grow to the left when a caption needs more than the form's 81 pixels at the
    // button style's padding ("Schedule" does); the message line gives way.
    int left = 401 + 9;
    for (QPushButton* b : {m_ok, m_cancel}) {
        const int width = styles::fittedWidth(b, 81, 160);
        left -= width + 9;
        b->setGeometry(left, b->y(), width, b->height());
    }
    m_errInfo->setGeometry(m_errInfo->x(), m_errInfo->y(), left - 5 - m_errInfo->x(), m_errInfo->height());
    m_video->applyTexts();
    m_cycleCombo->setItemText(0, LangText("ui.plan.daily"));
    m_cycleCombo->setItemText(1, LangText("ui.plan.weekly"));
    m_cycleCombo->setItemText(2, LangText("ui.plan.monthly"));
    applyAccessibleNames();
}

void ScheduleMeeting::applyAccessibleNames()
{
    const auto label = [this](const char* name) { return findChild<QLabel*>(QString::fromLatin1(name)); };
    accessible::label(label("label_topic"), m_topic);
    accessible::label(label("label_start"), m_date);
    accessible::name(m_time, label("label_start")->text());
    accessible::label(label("label_end"), m_hours, LangText("ui.plan.label_hour"));
    accessible::name(m_minutes, LangText("ui.plan.label_end"), LangText("ui.plan.label_minute"));
    accessible::label(label("label_cycle"), m_cycleCombo);
    accessible::label(label("label_slot"), m_slotCombo);
    accessible::label(label("label_end_date"), m_endDate);
    for (QPushButton* day : m_dayButtons)
        day->setAccessibleDescription(LangText("ui.plan.label_occur"));
    accessible::name(m_password, LangText("ui.plan.checkBox_set_pwd"), LangText("ui.pwd_pmi"));
}

void ScheduleMeeting::setupNewMeeting()
{
    // The personal meeting's settings are the defaults; the SDK knows it by its unique ID, not by
    // the number people type.
    const std::optional<schedule::ItemInfo> personal =
        m_context ? schedule::itemInfo(m_workflow, m_context->personalMeetingUniqueId()) : std::nullopt;
    if (personal) {
        m_video->setChecked(personal->hostVideo, personal->participantVideo);
        m_preJoin->setChecked(personal->joinBeforeHost.on);
        m_preJoin->setEnabled(personal->joinBeforeHost.modifiable);
        m_muteJoin->setChecked(personal->muteUponEntry.on);
        m_muteJoin->setEnabled(personal->muteUponEntry.modifiable);
        m_autoRecord->setChecked(personal->autoRecording.on);
        m_autoRecord->setEnabled(personal->autoRecording.modifiable);
    } else {
        m_video->setChecked(true, true);
        m_preJoin->setChecked(true);
    }
    m_usePmi->setChecked(settings::readAlwaysUsePmi());

    const QDateTime current = now();
    m_date->setMinimumDateTime(current);
    m_endDate->setMinimumDateTime(current);
    const QDateTime start = defaultMeetingStart(current);
    m_date->setDate(start.date());
    m_time->setTime(start.time());
    m_hours->setCurrentIndex(1);
    m_minutes->setCurrentIndex(0);
    m_endDate->setDate(start.date().addMonths(1));
}

void ScheduleMeeting::setupEditMeeting()
{
    m_cycleBox->setEnabled(false);
    m_cycleBox->hide();
    m_summary->hide();
    m_video->setChecked(true, true);
    const std::optional<schedule::ItemInfo> item = schedule::newEditItem(m_workflow, m_meetingID);
    m_hasEditItem = item.has_value();
    if (!item)
        return;
    m_topic->setText(item->topic);
    const QDateTime start = QDateTime::fromSecsSinceEpoch(item->startTime, Qt::LocalTime);
    m_date->setMinimumDateTime(start);
    m_endDate->setMinimumDateTime(start);
    m_date->setDate(start.date());
    m_time->setTime(start.time());
    const int minutes = qBound(0, item->durationMinutes, 23 * 60 + 45);
    m_hours->setCurrentIndex(minutes / 60);
    m_minutes->setCurrentIndex((minutes % 60) / 15);
    m_video->setChecked(item->hostVideo, item->participantVideo);
    const bool hasPassword = item->password.on && !item->passwordText.isEmpty();
    m_setPwd->setChecked(hasPassword);
    m_password->setText(item->passwordText);
    m_setPwd->setEnabled(item->password.modifiable);
    m_password->setEnabled(item->password.modifiable);
    showPasswordRow(hasPassword);
    const std::pair<QCheckBox*, schedule::Option> boxes[] = {{m_preJoin, item->joinBeforeHost},
                                                             {m_muteJoin, item->muteUponEntry},
                                                             {m_usePmi, item->usePmi},
                                                             {m_autoRecord, item->autoRecording}};
    for (const auto& [box, option] : boxes) {
        box->setChecked(option.on);
        box->setEnabled(option.modifiable);
    }

    // The service knows the password the participants were told.
    if (const std::optional<std::string> password =
            net::queryMeetingPassword(m_context ? m_context->account() : QString(), m_meetingID)) {
        m_setPwd->setChecked(!password->empty());
        m_password->setText(QString::fromStdString(*password));
        showPasswordRow(!password->empty());
    }
}

void ScheduleMeeting::setupRecurringRecord()
{
    m_cycleBox->setEnabled(false);
    const RecurringMeetingInfo& r = *m_recurringInfo;
    m_topic->setText(QString::fromStdString(r.topic));
    m_video->setChecked(r.hostVideo == 1, r.participantVideo == 1);
    if (!r.password.empty()) {
        m_setPwd->setChecked(true);
        m_password->setText(QString::fromStdString(r.password));
        showPasswordRow(true);
    }
    m_preJoin->setChecked(r.joinBeforeHost);
    m_muteJoin->setChecked(r.muteUponEntry);
    m_usePmi->setChecked(r.usePmi);
    m_autoRecord->setChecked(r.autoRecording);
}

void ScheduleMeeting::updateHeight()
{
    const bool cycleOn = m_cycleBox->isChecked();
    const bool pwdOn = m_setPwd->isChecked();
    setFixedHeight(630 + (cycleOn ? kCycleAreaHeight : 0) + (pwdOn ? kPasswordRowHeight : 0));
    // The lower part is the rest of the window, the options pushed down by the password row included.
    m_lower->setGeometry(0, kLowerTop + (cycleOn ? kCycleAreaHeight : 0), 600,
                         height() - kLowerTop - (cycleOn ? kCycleAreaHeight : 0));
    m_options->move(m_options->x(), kOptionsTop + (pwdOn ? kPasswordRowHeight : 0));
}

void ScheduleMeeting::showPasswordRow(bool on)
{
    m_pwdRow->setVisible(on);
    updateHeight();
}

QDateTime ScheduleMeeting::startDateTime() const
{
    return QDateTime(m_date->date(), QTime(m_time->time().hour(), m_time->time().minute()), Qt::LocalTime);
}

recurrence::Cycle ScheduleMeeting::cycle() const
{
    switch (m_cycleCombo->currentIndex()) {
    case 0:
        return recurrence::Cycle::Daily;
    case 2:
        return recurrence::Cycle::Monthly;
    default:
        return recurrence::Cycle::Weekly;
    }
}

int ScheduleMeeting::interval() const
{
    return cycle() == recurrence::Cycle::Monthly ? 1 : qMax(0, m_slotCombo->currentIndex()) + 1;
}

int ScheduleMeeting::durationMinutes() const
{
    return m_hours->currentText().toInt() * 60 + m_minutes->currentText().toInt();
}

void ScheduleMeeting::updateSummary()
{
    if (!m_cycleBox->isChecked())
        return;
    m_meetingCount = recurrence::occurrenceCount(cycle(), interval(), m_weekDays, startDateTime(), m_endDate->date());
    const QDateTime end(m_endDate->date(), QTime(23, 59, 59), Qt::LocalTime);
    if (startDateTime() >= end) {
        m_summary->clear();
        return;
    }
    m_summary->setText(recurrence::summaryText(cycle(), interval(), m_weekDays, m_meetingCount));
}

void ScheduleMeeting::on_dateChanged(const QDate&)
{
    updateSummary();
}

void ScheduleMeeting::on_timeChanged(const QTime&)
{
    updateSummary();
}

void ScheduleMeeting::on_durationHourChanged(int)
{
    updateSummary();
}

void ScheduleMeeting::on_durationMinChanged(int)
{
    updateSummary();
}

void ScheduleMeeting::on_slotChanged(int)
{
    updateSummary();
}

void ScheduleMeeting::on_endDateChanged(const QDate&)
{
    updateSummary();
}

void ScheduleMeeting::on_cycleChanged(int index)
{
    const QSignalBlocker block(m_slotCombo);
    m_slotCombo->clear();
    if (index == 0 || index == 1) {
        const QString unit = LangText(index == 0 ? "ui.plan.slot.day" : "ui.plan.slot.week");
        for (int i = 1; i <= (index == 0 ? 15 : 12); ++i)
            m_slotCombo->addItem(QStringLiteral("%1 %2").arg(i).arg(unit));
    } else {
        for (int i = 1; i <= 3; ++i)
            m_slotCombo->addItem(QString::number(i));
    }
    m_slotCombo->setCurrentIndex(0);
    m_slotRow->setVisible(index != 2);
    m_occurRow->setVisible(index == 1);
    const QDate start = m_date->date();
    m_endDate->setDate(index == 0 ? start.addDays(7) : index == 1 ? start.addMonths(1) : start.addMonths(6));
    updateSummary();
}

void ScheduleMeeting::toggleWeekday(int index)
{
    bool& day = m_weekDays[size_t(index)];
    day = !day;
    m_dayButtons[size_t(index)]->setStyleSheet(weekdayStyle(day));
    updateSummary();
}

void ScheduleMeeting::on_btn_sunday_clicked()
{
    toggleWeekday(0);
}

void ScheduleMeeting::on_btn_monday_clicked()
{
    toggleWeekday(1);
}

void ScheduleMeeting::on_btn_tuesday_clicked()
{
    toggleWeekday(2);
}

void ScheduleMeeting::on_btn_wednesday_clicked()
{
    toggleWeekday(3);
}

void ScheduleMeeting::on_btn_thursday_clicked()
{
    toggleWeekday(4);
}

void ScheduleMeeting::on_btn_friday_clicked()
{
    toggleWeekday(5);
}

void ScheduleMeeting::on_btn_saturday_clicked()
{
    toggleWeekday(6);
}

void ScheduleMeeting::moveLowerOptions(int dy)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_cancel, m_ok, m_errInfo})
        w->move(w->x(), w->y() + dy);
}

void ScheduleMeeting::on_checkBox_cycle_clicked()
{
    const bool on = m_cycleBox->isChecked();
    if (on) {
        updateSummary();
        // A recurring meeting never uses the personal meeting ID.
        m_usePmi->setChecked(false);
        m_usePmi->setEnabled(false);
        m_usePmi->hide();
        m_autoRecord->move(m_autoRecord->x(), m_usePmi->y());
        moveLowerOptions(-kRecurringShift);
    } else {
        m_summary->clear();
        m_usePmi->setEnabled(true);
        m_usePmi->show();
        m_autoRecord->move(m_autoRecord->x(), m_usePmi->y() + kRecurringShift);
        moveLowerOptions(kRecurringShift);
    }
    m_cycleArea->setVisible(on);
    updateHeight();
}

void ScheduleMeeting::on_checkBox_set_pwd_clicked()
{
    showPasswordRow(m_setPwd->isChecked());
}

void ScheduleMeeting::on_pushButton_cancel_clicked()
{
    reject();
}

void ScheduleMeeting::showError(const QString& text, bool focus)
{
    m_errInfo->setText(text);
    if (focus)
        m_errInfo->setFocus();
}

void ScheduleMeeting::on_pushButton_ok_clicked()
{
    if (m_topic->text().isEmpty())
        return showError(LangText("ui.plan.topic_empty"), true);
    const bool wantPassword = m_setPwd->isEnabled() && m_setPwd->isChecked();
    if (wantPassword && m_password->text().isEmpty())
        return showError(LangText("ui.plan.pwd_empty"), true);
    // Text put into the field by a service or a record bypasses the validator.
    static const QRegularExpression kPassword(QStringLiteral("^[0-9a-zA-Z]{1,10}$"));
    if (wantPassword && !kPassword.match(m_password->text()).hasMatch())
        return showError(LangText("ui.pwd_pmi"), true);
    if (now() >= startDateTime())
        return showError(LangText("ui.plan.start_date.early"));

    if (m_bEdit) {
        if (m_context)
            m_context->setEditingMeeting(m_meetingID);
        if (!m_hasEditItem || !fillItem(true) || schedule::submitEdit(m_workflow) != 0)
            return showError(LangText("ui.plan.schedule_edit_failed"));
        accept();
        return;
    }
    if (m_cycleBox->isChecked()) {
        if (submitRecurring() != 0)
            return;
        schedule::listMeetings(m_workflow);
        accept();
        return;
    }
    if (!fillItem(false) || schedule::submitSchedule(m_workflow) != 0)
        return showError(LangText("ui.plan.schedule_add_failed"));
    accept();
}

bool ScheduleMeeting::fillItem(bool editing)
{
    schedule::ItemWrite values;
    values.topic = m_topic->text();
    values.startTime = startDateTime().toSecsSinceEpoch();
    values.durationMinutes = durationMinutes();
    values.periodic = false;
    values.hostVideo = m_video->hostVideo();
    values.participantVideo = m_video->participantVideo();
    values.newMeeting = !editing;
    values.passwordOn = m_setPwd->isChecked();
    values.password = m_password->text();
    values.joinBeforeHost = m_preJoin->isChecked();
    values.muteUponEntry = m_muteJoin->isChecked();
    values.usePmi = m_usePmi->isChecked();
    values.autoRecording = m_autoRecord->isChecked();
    return schedule::fillItem(m_workflow, editing ? schedule::ItemKind::Edit : schedule::ItemKind::Schedule, values);
}

int ScheduleMeeting::submitRecurring()
{
    const QDateTime start = startDateTime();
    const QDateTime end(m_endDate->date(), QTime(23, 59), Qt::LocalTime);
    if (start >= end) {
        showError(LangText("ui.plan.recurring_range"));
        return -1;
    }
    if (m_meetingCount <= 0) {
        showError(LangText("ui.plan.nomeeting"));
        return -1;
    }
    const QString userId = m_context ? m_context->serviceUserId() : QString();
    if (userId.isEmpty()) {
        showError(LangText("ui.plan.schedule_add_failed"));
        return -1;
    }
    if (!m_setPwd->isChecked())
        m_password->clear();

    net::ArrangeRequest request;
    request.userId = userId.toStdString();
    request.topic = m_topic->text();
    request.startTime = recurrence::startTimeText(m_date->date(), m_time->time());
    request.durationMinutes = durationMinutes();
    request.password = m_password->text().toStdString();
    request.recurrence =
        recurrence::requestRecurrence(cycle(), interval(), m_weekDays, m_date->date(), m_endDate->date());
    request.hostVideo = m_video->hostVideo();
    request.participantVideo = m_video->participantVideo();
    request.joinBeforeHost = m_preJoin->isChecked();
    request.muteUponEntry = m_muteJoin->isChecked();
    request.usePmi = m_usePmi->isChecked();
    request.autoRecording = m_autoRecord->isChecked();

    const net::ServiceResult result = net::arrangeMeeting(request);
    if (result.ok) {
        TipsDlg::showTip(LangText("ui.plan.recurring_success"), true);
        return 0;
    }
    showError(result.msg.empty() ? LangText("ui.plan.recurring_post_err") : QString::fromStdString(result.msg));
    return -1;
}
