#include "ModifyPassword.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <algorithm>

#include "base/Localization.h"
#include "base/Settings.h"
#include "net/AccountApi.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"
#include "ui/TipsDlg.h"
#include "ui/WaitWithoutFreezing.h"

namespace {

QFont pointFont(int points)
{
    QFont font(QStringLiteral("Microsoft YaHei UI"));
    if (points > 0)
        font.setPointSize(points);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const QRect& geometry, int points, const QString& text = QString())
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setFont(pointFont(points));
    l->setText(text);
    return l;
}

QLineEdit* passwordField(QWidget* parent, const char* name, int y, int maxLength)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(180, y, 321, 31);
    field->setFont(pointFont(10));
    field->setEchoMode(QLineEdit::Password);
    field->setPlaceholderText(LangText("ui.pwd_length"));
    // The dialog is white: a field without a frame would read as a line of text.
    field->setStyleSheet(styles::field());
    if (maxLength > 0)
        field->setMaxLength(maxLength);
    return field;
}

QLabel* errorMark(QWidget* parent, const char* name, int y)
{
    QLabel* mark = label(parent, name, QRect(180, y, 320, 2), 0);
    mark->setPixmap(QPixmap(QStringLiteral(":/UI/res/editline.png")));
    mark->setScaledContents(true);
    mark->hide();
    return mark;
}

} // namespace

ModifyPassword::ModifyPassword(const QString& account, const QString& userId, QWidget* parent)
    : QDialog(parent)
    , m_account(account)
    , m_userId(userId)
{
    buildForm();
    QMetaObject::connectSlotsByName(this);
}

ModifyPassword::~ModifyPassword() = default;

void ModifyPassword::buildForm()
{
    setObjectName(QStringLiteral("ModifyPassword"));
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    setFont(pointFont(0));
    setFixedSize(680, 420);
    setWindowTitle(LangText("ui.window"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/UI/res/password.png"))
                                                  .scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    setPalette(palette);

    label(this, "label_modify", QRect(180, 20, 291, 51), 19, LangText("ui.menu.pwd"));
    m_markCurrent = errorMark(this, "label_editline_1", 154);
    QLabel* current = label(this, "label_curpwd", QRect(180, 96, 321, 21), 10, LangText("ui.pwd.label_curpwd"));
    QLabel* fresh = label(this, "label_newpwd", QRect(180, 172, 321, 21), 10, LangText("ui.pwd.label_newpwd"));
    QLabel* confirm =
        label(this, "label_comfirmpwd", QRect(180, 250, 321, 21), 10, LangText("ui.pwd.label_comfirmpwd"));
    // The current password may be older than today's rules, so it has no length limit.
    m_current = passwordField(this, "curPassword", 123, 0);
    m_new = passwordField(this, "newPassword", 200, kMaxLength);
    m_confirm = passwordField(this, "comfirmPassword", 278, kMaxLength);
    accessible::label(current, m_current);
    accessible::label(fresh, m_new, LangText("ui.pwd_length"));
    accessible::label(confirm, m_confirm);
    m_markNew = errorMark(this, "label_editline_2", 231);
    m_markConfirm = errorMark(this, "label_editline_3", 309);

    m_errorInfo = label(this, "errorInfo", QRect(180, 320, 470, 20), 0);
    m_errorInfo->setStyleSheet(QStringLiteral("color:red"));
    m_errorInfo->hide();

    auto* ok = new QPushButton(LangText("box.ok"), this);
    ok->setObjectName(QStringLiteral("pushButton_ok"));
    ok->setGeometry(180, 350, 120, 40);
    ok->setStyleSheet(styles::primaryButton());
    ok->setDefault(true);
    auto* cancel = new QPushButton(LangText("box.cancel"), this);
    cancel->setObjectName(QStringLiteral("pushButton_cancel"));
    cancel->setGeometry(310, 350, 120, 40);
    // Dark text: the grey pictures are too light for the shared white caption.
    cancel->setStyleSheet(styles::grayButton() + QStringLiteral("QPushButton{color:rgb(0,0,0);}"));

    m_waitingLabel = label(this, "waiting", QRect(450, 360, 100, 20), 0);
    m_movie = new QMovie(QStringLiteral(":/UI/res/loading.gif"), QByteArray(), this);
    m_waitingLabel->setMovie(m_movie);
    m_waitingLabel->hide();
}

void ModifyPassword::showError(const QString& message, QLabel* mark)
{
    m_errorInfo->setText(message);
    m_errorInfo->show();
    if (mark)
        mark->show();
}

void ModifyPassword::setWaiting(bool waiting)
{
    m_waiting = waiting;
    setEnabled(!waiting);
    m_waitingLabel->setVisible(waiting);
    if (waiting) {
        m_errorInfo->clear();
        m_errorInfo->hide();
        m_movie->start();
    } else {
        m_movie->stop();
    }
}

void ModifyPassword::on_pushButton_ok_clicked()
{
    if (m_waiting)
        return;
    for (QLabel* mark : {m_markCurrent, m_markNew, m_markConfirm})
        mark->hide();
    const QString current = m_current->text();
    const QString newPassword = m_new->text();
    if (newPassword.size() < kMinLength)
        return showError(LangText("ui.pwd.length_err"), m_markNew);
    if (newPassword != m_confirm->text())
        return showError(LangText("ui.pwd.match_err"), m_markConfirm);
    if (current.isEmpty())
        return showError(LangText("ui.pwd.input_empty"), m_markCurrent);

    setWaiting(true);
    // Both requests together get one budget, so a silent service is reported within it.
    QElapsedTimer elapsed;
    elapsed.start();
    const auto remaining = [&elapsed] {
        net::Timeouts limits = net::kAccountRequestLimit;
        limits.totalMs = std::clamp(net::kAccountDialogBudgetMs - long(elapsed.elapsed()), 1000L, limits.totalMs);
        return limits;
    };
    if (m_userId.isEmpty()) {
        const QString account = m_account;
        const net::Timeouts limits = remaining();
        const auto profile = waitWithoutFreezing([=] { return net::fetchUserProfile(account, limits); });
        if (profile && !profile->id.isEmpty()) {
            m_userId = profile->id;
            emit userIdFetched(m_userId);
        } else {
            setWaiting(false);
            return showError(LangText("ui.getuserinfo_err"));
        }
    }
    const QString userId = m_userId;
    const net::Timeouts limits = remaining();
    const net::PasswordChangeResult result =
        waitWithoutFreezing([=] { return net::changePassword(userId, newPassword, current, limits); });
    setWaiting(false);
    if (!result.changed) {
        // The service's own words when it gave any: they say what to correct.
        showError(result.serviceMessage.empty() ? LangText("ui.pwd.post_err")
                                                : QString::fromStdString(result.serviceMessage));
        return;
    }

    emit passwordChanged(newPassword);
    // A password the user did not ask to remember is never written to disk.
    if (settings::readLogin().memory)
        settings::writeLoginPassword(newPassword);
    TipsDlg::showTip(LangText("ui.pwd.success"), true);
    accept();
}

void ModifyPassword::on_pushButton_cancel_clicked()
{
    close();
}

void ModifyPassword::closeEvent(QCloseEvent* event)
{
    // A request in flight finishes first; its answer decides what the settings file says.
    if (m_waiting) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
