#include "ui/schedule/EditMyPMI.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "base/Localization.h"
#include "base/MeetingNumber.h"
#include "net/MeetingApi.h"
#include "net/ServiceRequest.h"
#include "sdk/ScheduleItems.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/schedule/DialogParts.h"
#include "ui/schedule/MeetingsContext.h"

using schedule::make;

EditMyPMI::EditMyPMI(CSDKSheduleMeetingUIWorkFlow* workflow, MeetingsContext* context)
    : QDialog(nullptr)
    , m_workflow(workflow)
    , m_context(context)
{
    setObjectName(QStringLiteral("EditMyPMI"));
    setWindowTitle(LangText("ui.PMI.window"));
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    setFixedSize(600, 448);
    setStyleSheet(QStringLiteral("QDialog#EditMyPMI{background-color:rgb(255,255,255);}"));

    auto* pmiLabel = make<QLabel>(this, "label_pmi", 20, 30, 200, 41);
    QFont big = pmiLabel->font();
    big.setPointSize(14);
    pmiLabel->setFont(big);
    m_pmi = make<QLineEdit>(this, "myPMI", 230, 30, 331, 41);
    m_pmi->setFont(big);
    m_pmi->setStyleSheet(QStringLiteral("color:rgb(0,162,232)"));
    m_pmi->setMaxLength(13);
    // Digits with the group dashes; the slot regroups whatever is typed.
    m_pmi->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9-]+$")), m_pmi));
    for (const auto& [name, y] : {std::pair<const char*, int>{"label_line1", 100}, {"label_line2", 190}}) {
        QLabel* line = make<QLabel>(this, name, 20, y, 561, 2);
        line->setPixmap(QPixmap(QStringLiteral(":/UI/res/line.png")));
        line->setScaledContents(true);
    }
    m_video = std::make_unique<schedule::VideoChoices>(this, 20, 120, 115);
    make<QLabel>(this, "label_options", 20, 200, 120, 25);
    m_setPwd = make<QCheckBox>(this, "checkBox_set_pwd", 20, 230, 250, 51);
    m_password = make<QLineEdit>(this, "lineEdit_password", 280, 240, 200, 31);
    m_password->setPlaceholderText(LangText("ui.pwd_pmi"));
    m_password->setMaxLength(10);
    m_password->setStyleSheet(styles::field());
    m_password->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9a-zA-Z]+$")), m_password));
    m_preJoin = make<QCheckBox>(this, "checkBox_preJoin", 20, 290, 440, 21);
    m_muteJoin = make<QCheckBox>(this, "checkBox_muteJoin", 20, 330, 440, 21);
    m_autoRecord = make<QCheckBox>(this, "checkBox_autoRecord", 20, 370, 440, 21);
    m_errInfo = make<QLabel>(this, "label_errInfo", 10, 405, 391, 31);
    m_errInfo->setStyleSheet(QStringLiteral("color:red"));
    m_errInfo->setWordWrap(true);
    auto* cancel = make<QPushButton>(this, "pushButton_cancel", 410, 405, 81, 31);
    auto* ok = make<QPushButton>(this, "pushButton_ok", 504, 405, 81, 31);
    cancel->setStyleSheet(styles::grayButton() + QStringLiteral("QPushButton{color:rgb(0,0,0);}"));
    ok->setStyleSheet(styles::primaryButton());
    ok->setDefault(true);

    pmiLabel->setText(LangText("ui.myselfTag"));
    const std::pair<const char*, const char*> texts[] = {
        {"label_options", "ui.plan.label_options"},
        {"checkBox_set_pwd", "ui.plan.checkBox_set_pwd"},
        {"checkBox_preJoin", "ui.plan.checkBox_preJoin"},
        {"checkBox_muteJoin", "ui.plan.checkBox_muteJoin"},
        {"checkBox_autoRecord", "ui.plan.checkBox_autoRecord"},
        {"pushButton_cancel", "box.cancel"},
        {"pushButton_ok", "ui.plan.save"},
    };
    for (const auto& [name, key] : texts) {
        QWidget* w = findChild<QWidget*>(QString::fromLatin1(name));
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(LangText(key));
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(LangText(key));
    }

    accessible::label(pmiLabel, m_pmi);
    m_video->applyTexts();
    accessible::name(m_password, LangText("ui.plan.checkBox_set_pwd"), LangText("ui.pwd_pmi"));

    connect(this, &EditMyPMI::notifyFillPMI, this, &EditMyPMI::on_notifyFillPMI);
    connect(m_pmi, &QLineEdit::textChanged, this, &EditMyPMI::on_editMeetingID);
    QMetaObject::connectSlotsByName(this);
    m_password->hide();

    schedule::newScheduleItem(m_workflow);
    const quint64 pmi = m_context ? m_context->personalMeetingId() : 0;
    const std::optional<schedule::ItemInfo> item =
        m_context ? schedule::itemInfo(m_workflow, m_context->personalMeetingUniqueId()) : std::nullopt;
    m_hasPmiItem = item.has_value();
    if (item) {
        m_video->setChecked(item->hostVideo, item->participantVideo);
        const bool hasPassword = item->password.on && !item->passwordText.isEmpty();
        m_setPwd->setChecked(hasPassword);
        m_password->setVisible(hasPassword);
        m_password->setText(item->passwordText);
        m_setPwd->setEnabled(item->password.modifiable);
        m_password->setEnabled(item->password.modifiable);
        const std::pair<QCheckBox*, schedule::Option> boxes[] = {
            {m_preJoin, item->joinBeforeHost}, {m_muteJoin, item->muteUponEntry}, {m_autoRecord, item->autoRecording}};
        for (const auto& [box, option] : boxes) {
            box->setChecked(option.on);
            box->setEnabled(option.modifiable);
        }
        if (const std::optional<std::string> password =
                net::queryMeetingPassword(m_context ? m_context->account() : QString(), pmi)) {
            m_setPwd->setChecked(!password->empty());
            m_password->setText(QString::fromStdString(*password));
            m_password->setVisible(!password->empty());
        }
    }
    emit notifyFillPMI();
}

EditMyPMI::~EditMyPMI() = default;

void EditMyPMI::on_notifyFillPMI()
{
    const quint64 pmi = m_context ? m_context->personalMeetingId() : 0;
    m_pmi->setText(pmi ? formatMeetingNumber(QString::number(pmi)) : QString());
}

void EditMyPMI::on_editMeetingID(const QString& text)
{
    static const QRegularExpression kAllowed(QStringLiteral("^[0-9-]*$"));
    if (!kAllowed.match(text).hasMatch()) {
        m_pmi->clear();
        return;
    }
    if (text.size() < 4)
        return;
    const QString grouped = formatMeetingNumber(stripMeetingNumber(text));
    if (grouped != text)
        m_pmi->setText(grouped); // comes back here once with text that is already grouped
}

void EditMyPMI::on_checkBox_set_pwd_clicked()
{
    m_password->setVisible(m_setPwd->isChecked());
}

void EditMyPMI::on_pushButton_cancel_clicked()
{
    reject();
}

void EditMyPMI::showError(const char* key, bool focus)
{
    m_errInfo->setText(LangText(key));
    if (focus)
        m_errInfo->setFocus();
}

void EditMyPMI::on_pushButton_ok_clicked()
{
    const bool wantPassword = m_setPwd->isEnabled() && m_setPwd->isChecked();
    if (wantPassword && m_password->text().isEmpty())
        return showError("ui.plan.pwd_empty", true);
    static const QRegularExpression kPassword(QStringLiteral("^[0-9a-zA-Z]{1,10}$"));
    if (wantPassword && !kPassword.match(m_password->text()).hasMatch())
        return showError("ui.pwd_pmi", true);

    const QString digits = stripMeetingNumber(m_pmi->text());
    bool parsed = false;
    const quint64 value = digits.toULongLong(&parsed);
    const quint64 current = m_context ? m_context->personalMeetingId() : 0;
    if (!parsed || value != current) {
        if (!parsed || digits.size() <= 9 || value == 0)
            return showError("msg.input_pmi_err");
        if (!net::updatePersonalMeetingId(m_context ? m_context->account() : QString(), value).ok)
            return showError("msg.update_pmi_err");
        if (m_context)
            m_context->setPendingPersonalMeetingId(value);
    }

    schedule::ItemWrite values;
    values.writeSchedule = false;
    values.periodic = true;
    values.hostVideo = m_video->hostVideo();
    values.participantVideo = m_video->participantVideo();
    values.newMeeting = true;
    values.passwordOn = m_setPwd->isChecked();
    values.password = m_password->text();
    values.joinBeforeHost = m_preJoin->isChecked();
    values.muteUponEntry = m_muteJoin->isChecked();
    values.usePmi = true;
    values.alwaysWriteUsePmi = true;
    values.autoRecording = m_autoRecord->isChecked();
    if (!schedule::fillItem(m_workflow, schedule::ItemKind::Schedule, values) ||
        schedule::submitSchedule(m_workflow) != 0)
        return showError("msg.edit_pmi_error");
    accept();
}
