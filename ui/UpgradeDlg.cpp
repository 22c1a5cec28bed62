#include "UpgradeDlg.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextEdit>
#include <QUrl>

#include "base/Localization.h"
#include "base/Text.h"
#include "components/httpdl/include/httpdl/HttpDL.h"
#include "net/CHTTPUtil.h"
#include "platform/Shell.h"
#include "ui/Accessible.h"
#include "ui/Styles.h"

namespace {

QFont tenPoint()
{
    QFont font(QStringLiteral("Microsoft YaHei UI"));
    font.setPointSize(10);
    return font;
}

bool isWebAddress(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    return parsed.isValid() &&
           (parsed.scheme() == QLatin1String("https") || parsed.scheme() == QLatin1String("http")) &&
           !parsed.host().isEmpty();
}

} // namespace

UpgradeDlg::UpgradeDlg(const std::string& url, const std::string& tips, QWidget* parent)
    : QDialog(parent)
    , m_url(url)
    , m_folder(defaultDownloadFolder())
    , m_opener(&platform::shellOpen)
{
    setObjectName(QStringLiteral("UpgradeDlg"));
    setFont(QFont(QStringLiteral("Microsoft YaHei UI")));
    setFixedSize(530, 334);
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    setWindowTitle(LangText("ui.window"));

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("label_logo"));
    logo->setGeometry(20, 20, 64, 64);
    logo->setPixmap(QPixmap(QStringLiteral(":/UI/res/about.png")));
    auto* title = new QLabel(LangText("ui.label_title"), this);
    title->setObjectName(QStringLiteral("label_title"));
    title->setGeometry(110, 11, 351, 31);
    title->setFont(tenPoint());
    auto* readme = new QLabel(LangText("ui.label_readme"), this);
    readme->setObjectName(QStringLiteral("label_readme"));
    readme->setGeometry(110, 50, 351, 31);
    readme->setFont(tenPoint());

    m_notes = new QTextEdit(this);
    m_notes->setObjectName(QStringLiteral("textEdit"));
    m_notes->setGeometry(110, 80, 401, 201);
    m_notes->setFont(tenPoint());
    m_notes->setReadOnly(true);
    // Plain text: notes holding markup are shown as written, never rendered or fetched.
    m_notes->setAcceptRichText(false);
    m_notes->setPlainText(splitReleaseNotes(tips).join(QLatin1Char('\n')));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setGeometry(110, 288, 275, 10);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("label_status"));
    m_status->setGeometry(110, 298, 280, 34);
    m_status->setWordWrap(true);
    m_status->hide();

    m_button = new QPushButton(LangText("ui.downloadNow"), this);
    m_button->setObjectName(QStringLiteral("downloadNow"));
    m_button->setGeometry(400, 290, 111, 31);
    m_button->setFont(tenPoint());
    m_button->setStyleSheet(styles::primaryButton());
    accessible::label(readme, m_notes);

    m_handle = platform::registerWindow(this);
    QMetaObject::connectSlotsByName(this);
}

UpgradeDlg::~UpgradeDlg()
{
    stopDownload();
    platform::unregisterWindow(m_handle);
}

QStringList UpgradeDlg::splitReleaseNotes(const std::string& tips)
{
    return QString::fromStdString(tips).split(QStringLiteral("\\n"), Qt::SkipEmptyParts);
}

QString UpgradeDlg::packageFileName(const std::string& url)
{
    const QString path = QUrl(QString::fromStdString(url)).path();
    const QString segment = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_+-][A-Za-z0-9._+-]{0,127}$"));
    if (plain.match(segment).hasMatch())
        return segment;
    return QStringLiteral("VTX-update");
}

QString UpgradeDlg::defaultDownloadFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void UpgradeDlg::setDownloadFolder(const QString& folder)
{
    m_folder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString UpgradeDlg::packagePath() const
{
    return m_folder + packageFileName(m_url);
}

void UpgradeDlg::setOpener(std::function<bool(const QString&)> opener)
{
    m_opener = std::move(opener);
}

void UpgradeDlg::on_downloadNow_clicked()
{
    switch (m_state) {
    case State::Downloading:
        return;
    case State::Done:
        m_opener(m_folder);
        close();
        return;
    case State::Idle:
    case State::Failed:
        download();
        return;
    }
}

void UpgradeDlg::download()
{
    if (m_state == State::Downloading)
        return;
    const QString url = QString::fromStdString(m_url);
    if (url.isEmpty()) {
        close();
        return;
    }
    // Without the download component the browser fetches the package, as it always did.
    if (!CHTTPUtil::Instance()->CanDownload() || !isWebAddress(url)) {
        m_opener(url);
        close();
        return;
    }
    startDownload();
}

void UpgradeDlg::startDownload()
{
    if (m_state == State::Downloading || m_url.empty())
        return;
    QDir().mkpath(m_folder);
    m_download = CHTTPUtil::Instance()->StartDownload(m_url, WideToAnsi(packagePath()), m_handle);
    if (!m_download) {
        finishDownload(false);
        return;
    }
    m_state = State::Downloading;
    m_progress->setValue(0);
    m_progress->show();
    m_status->hide();
    m_button->setEnabled(false);
}

void UpgradeDlg::stopDownload()
{
    if (m_download) {
        CHTTPUtil::Instance()->StopDownload(m_download);
        m_download = 0;
    }
}

void UpgradeDlg::finishDownload(bool ok)
{
    stopDownload(); // frees the finished download; a failed one has already removed its partial file
    m_state = ok ? State::Done : State::Failed;
    m_button->setEnabled(true);
    m_progress->setVisible(ok);
    if (ok) {
        m_progress->setValue(100);
        m_status->setStyleSheet(QString());
        m_status->setText(LangText("msg.download_done"));
        m_status->setToolTip(QDir::toNativeSeparators(packagePath()));
        m_button->setText(LangText("ui.download_open"));
    } else {
        m_status->setStyleSheet(styles::errorLabel());
        m_status->setText(LangText("msg.download_failed"));
        m_button->setText(LangText("ui.downloadNow"));
    }
    m_status->show();
}

bool UpgradeDlg::event(QEvent* event)
{
    if (event->type() == platform::WindowMessageEvent::eventType()) {
        const auto* message = static_cast<platform::WindowMessageEvent*>(event);
        if (message->message() == platform::kMsgDownloadProgress && m_state == State::Downloading) {
            if (message->lParam() == kDownloadFailed)
                finishDownload(false);
            else if (message->wParam() > 100)
                finishDownload(true);
            else
                m_progress->setValue(int(message->wParam()));
        }
        return true;
    }
    return QDialog::event(event);
}

void UpgradeDlg::closeEvent(QCloseEvent* event)
{
    // Nobody would see the progress of a hidden dialog: closing abandons the download.
    if (m_state == State::Downloading) {
        stopDownload();
        m_state = State::Idle;
        m_progress->hide();
        m_button->setEnabled(true);
    }
    QDialog::closeEvent(event);
}
