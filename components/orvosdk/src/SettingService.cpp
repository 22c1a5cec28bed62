// Settings kept by the SDK, and its settings dialog.
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <mutex>

#include "Services.h"

using namespace ORVOSDK;

namespace orvo {

namespace {

std::mutex g_folderLock;
QString g_folder;
bool g_folderLoaded = false;

// The SDK's own settings file: a folder chosen once is used again after a restart.
QString SettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Orvo/sdk.ini");
}

const QString kFolderKey = QStringLiteral("Recording/folder");

} // namespace

QString RecordingFolder()
{
    std::lock_guard<std::mutex> lock(g_folderLock);
    if (!g_folderLoaded) {
        g_folderLoaded = true;
        const QString saved = QSettings(SettingsFile(), QSettings::IniFormat).value(kFolderKey).toString();
        if (!saved.isEmpty() && !QDir::isRelativePath(saved))
            g_folder = saved;
    }
    if (!g_folder.isEmpty())
        return g_folder;
    const QString overridden = qEnvironmentVariable("VTX_SDK_RECORDING_DIR");
    return overridden.isEmpty() ? QDir::homePath() + QStringLiteral("/Documents/Orvo") : overridden;
}

void SetRecordingFolder(const QString& folder)
{
    std::lock_guard<std::mutex> lock(g_folderLock);
    g_folder = folder;
    g_folderLoaded = true;
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    settings.setValue(kFolderKey, folder);
    settings.sync();
}

const char* GeneralSettings::Label(int index, bool chinese)
{
    static const char* const english[kCount] = {
        "Use dual monitors",
        "Fit shared content to the window",
        "Enter full screen when a meeting starts",
        "Split screen while viewing a share",
        "Ask before leaving a meeting",
        "Show my meeting's elapsed time",
        "Use the graphics card while sharing",
        "Allow remote control of all applications",
        "Copy the invitation link when a meeting starts",
    };
    static const char* const chineseText[kCount] = {
        "使用双显示器",       "共享内容适合窗口",         "会议开始时进入全屏",
        "查看共享时使用分屏", "离开会议前确认",           "显示会议已进行的时间",
        "共享时使用显卡加速", "允许远程控制所有应用程序", "会议开始时复制邀请链接",
    };
    return index >= 0 && index < kCount ? (chinese ? chineseText[index] : english[index]) : "";
}

SDKError GeneralSettings::SetReactionSkinTone(int skinTone)
{
    if (skinTone < 1 || skinTone > 6)
        return SDKERR_INVALID_PARAMETER;
    m_skinTone = skinTone;
    return SDKERR_SUCCESS;
}

SDKError AudioSettings::EnableAutoJoinAudio(bool b)
{
    m_autoJoin = b;
    return SDKERR_SUCCESS;
}

SDKError VideoSettings::EnableVideoMirrorEffect(bool b)
{
    m_mirror = b;
    return SDKERR_SUCCESS;
}

SDKError RecordingSettings::SetRecordingPath(const wchar_t* szPath)
{
    const QString path = FromWide(szPath).trimmed();
    if (path.isEmpty() || QDir::isRelativePath(path))
        return SDKERR_INVALID_PARAMETER;
    SetRecordingFolder(QDir::cleanPath(path));
    return SDKERR_SUCCESS;
}

const wchar_t* RecordingSettings::GetRecordingPath()
{
    m_path = RecordingFolder().toStdWString();
    return m_path.c_str();
}

SDKError RecordingSettings::EnableSelectRecordFileLocationAfterMeeting(bool b)
{
    m_selectAfter = b;
    return SDKERR_SUCCESS;
}

SDKError StatisticSettings::QueryOverallStatisticInfo(int& cpuUsage, int& memoryUsage)
{
    cpuUsage = 0;
    memoryUsage = 0;
    return SDKERR_SUCCESS;
}

SDKError AccessibilitySettings::EnableAlwaysShowMeetingControls(bool b)
{
    m_always = b;
    return SDKERR_SUCCESS;
}

// --- dialog ---

SettingService::~SettingService()
{
    delete m_dialog.data();
}

QWidget* SettingService::BuildDialog(QWidget* parent)
{
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("OrvoSettingsDialog"));
    dialog->setWindowTitle(Tr("Settings", "设置"));
    auto* layout = new QVBoxLayout(dialog);
    auto* tabs = new QTabWidget(dialog);
    tabs->setObjectName(QStringLiteral("tabs"));
    layout->addWidget(tabs);
    const bool chinese = SdkCore::Get().Chinese();
    const SettingDlgShowTabPageOption& pages = m_strategy.m_pages;

    if (pages.bShowGeneral) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_general"));
        auto* v = new QVBoxLayout(page);
        for (int i = 0; i < GeneralSettings::kCount; ++i) {
            if (i == 8 && m_strategy.m_hideAutoCopy)
                continue;
            if (m_strategy.m_noAdvanced && (i == 6 || i == 7))
                continue;
            auto* box = new QCheckBox(QString::fromUtf8(GeneralSettings::Label(i, chinese)), page);
            box->setObjectName(QStringLiteral("general_%1").arg(i));
            box->setChecked(m_general.m_flags[i]);
            QObject::connect(box, &QCheckBox::toggled, [this, i](bool on) { m_general.m_flags[i] = on; });
            v->addWidget(box);
        }
        v->addStretch();
        tabs->addTab(page, Tr("General", "常规"));
    }
    if (pages.bShowVideo) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_video"));
        auto* v = new QVBoxLayout(page);
        auto* box = new QCheckBox(Tr("Mirror my video", "镜像我的视频"), page);
        box->setChecked(m_video.m_mirror);
        QObject::connect(box, &QCheckBox::toggled, [this](bool on) { m_video.m_mirror = on; });
        v->addWidget(box);
        v->addStretch();
        tabs->addTab(page, Tr("Video", "视频"));
    }
    if (pages.bShowAudio) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_audio"));
        auto* v = new QVBoxLayout(page);
        auto* box =
            new QCheckBox(Tr("Join audio by computer when joining a meeting", "加入会议时自动连接电脑音频"), page);
        box->setChecked(m_audio.m_autoJoin);
        QObject::connect(box, &QCheckBox::toggled, [this](bool on) { m_audio.m_autoJoin = on; });
        v->addWidget(box);
        v->addStretch();
        tabs->addTab(page, Tr("Audio", "音频"));
    }
    if (pages.bShowVirtualBackGround) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_background"));
        auto* v = new QVBoxLayout(page);
        v->addWidget(new QLabel(Tr("No virtual background", "无虚拟背景"), page));
        v->addStretch();
        tabs->addTab(page, Tr("Background", "虚拟背景"));
    }
    if (pages.bShowRecording) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_recording"));
        auto* v = new QVBoxLayout(page);
        v->addWidget(new QLabel(Tr("Store my recordings at:", "录制文件保存位置："), page));
        auto* row = new QHBoxLayout;
        auto* edit = new QLineEdit(RecordingFolder(), page);
        edit->setObjectName(QStringLiteral("lineEdit_recordingFolder"));
        edit->setReadOnly(true);
        auto* change = new QPushButton(Tr("Change", "更改"), page);
        change->setObjectName(QStringLiteral("button_changeFolder"));
        auto* open = new QPushButton(Tr("Open", "打开"), page);
        open->setObjectName(QStringLiteral("button_openFolder"));
        row->addWidget(edit, 1);
        row->addWidget(change);
        row->addWidget(open);
        v->addLayout(row);
        QObject::connect(change, &QPushButton::clicked, [dialog, edit] {
            const QString folder = QFileDialog::getExistingDirectory(dialog, QString(), RecordingFolder());
            if (!folder.isEmpty()) {
                SetRecordingFolder(QDir::cleanPath(folder));
                edit->setText(RecordingFolder());
            }
        });
        QObject::connect(open, &QPushButton::clicked, [] {
            QDir().mkpath(RecordingFolder());
            QDesktopServices::openUrl(QUrl::fromLocalFile(RecordingFolder()));
        });
        v->addStretch();
        tabs->addTab(page, Tr("Recording", "录制"));
    }
    if (pages.bShowStatistics) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_statistics"));
        auto* v = new QVBoxLayout(page);
        v->addWidget(new QLabel(Tr("No meeting in progress", "当前没有会议"), page));
        v->addStretch();
        tabs->addTab(page, Tr("Statistics", "统计信息"));
    }
    if (pages.bShowKeyboardShortcuts) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_shortcuts"));
        auto* v = new QVBoxLayout(page);
        v->addWidget(new QLabel(QStringLiteral("Alt+A  ") + Tr("Mute or unmute", "静音/解除静音"), page));
        v->addWidget(new QLabel(QStringLiteral("Alt+S  ") + Tr("Share screen", "共享屏幕"), page));
        v->addWidget(new QLabel(QStringLiteral("Alt+R  ") + Tr("Record", "录制"), page));
        v->addStretch();
        tabs->addTab(page, Tr("Keyboard Shortcuts", "快捷键"));
    }
    if (pages.bShowFeedback) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page_feedback"));
        auto* v = new QVBoxLayout(page);
        v->addWidget(new QLabel(Tr("Tell us what you think.", "欢迎提出您的意见。"), page));
        v->addStretch();
        tabs->addTab(page, Tr("Feedback", "反馈"));
    }

    // Support links given through the customised-resource helper.
    auto* links = new QHBoxLayout;
    const char* const names[3][2] = {{"Help", "帮助"}, {"Feedback", "反馈"}, {"Home page", "主页"}};
    for (int kind = 0; kind < 3; ++kind) {
        const QString url = SdkCore::Get().supportUrls[kind];
        if (url.isEmpty())
            continue;
        auto* link = new QLabel(
            QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), Tr(names[kind][0], names[kind][1])),
            dialog);
        link->setObjectName(QStringLiteral("link_support_%1").arg(kind));
        link->setOpenExternalLinks(true);
        links->addWidget(link);
    }
    links->addStretch();
    layout->addLayout(links);
    dialog->resize(560, 420);
    return dialog;
}

SDKError SettingService::ShowSettingDlg(ShowSettingDlgParam& param)
{
    QWidget* parent = param.hParent ? QWidget::find(WId(param.hParent)) : nullptr;
    if (param.hParent && !parent)
        return SDKERR_INVALID_PARAMETER;
    // A new parent or changed page options rebuild the dialog.
    delete m_dialog.data();
    m_dialog = BuildDialog(parent);
    m_dialog->move(param.left, param.top);
    // Shown in every case: the application asks for the dialog to centre it afterwards.
    m_dialog->show();
    m_dialog->raise();
    param.hSettingWnd = static_cast<unsigned long long>(m_dialog->winId());
    return SDKERR_SUCCESS;
}

SDKError SettingService::HideSettingDlg()
{
    if (!m_dialog)
        return SDKERR_WRONG_USAGE;
    m_dialog->hide();
    return SDKERR_SUCCESS;
}

// --- customised resources ---

SDKError CustomizedResourceHelper::AddCustomizedPictureResource(const wchar_t* strPNGID, const wchar_t* absolutePath)
{
    if (!strPNGID || !absolutePath || !*strPNGID || !QFileInfo::exists(FromWide(absolutePath)))
        return SDKERR_INVALID_PARAMETER;
    m_pictures[strPNGID] = absolutePath;
    return SDKERR_SUCCESS;
}

SDKError CustomizedResourceHelper::AddCustomizedStringResource(const wchar_t* strStringID, const wchar_t* text)
{
    if (!strStringID || !*strStringID || !text)
        return SDKERR_INVALID_PARAMETER;
    m_strings[strStringID] = text;
    return SDKERR_SUCCESS;
}

SDKError CustomizedResourceHelper::SetSupportUrl(SupportUrlType type, const wchar_t* url)
{
    if (type < SupportUrl_Help || type > SupportUrl_Homepage)
        return SDKERR_INVALID_PARAMETER;
    const QString text = FromWide(url).trimmed();
    const QUrl parsed(text);
    if (!text.isEmpty() &&
        (!parsed.isValid() || (parsed.scheme() != QLatin1String("https") && parsed.scheme() != QLatin1String("http"))))
        return SDKERR_INVALID_PARAMETER;
    m_urls[type] = text.toStdWString();
    SdkCore::Get().supportUrls[type] = text;
    return SDKERR_SUCCESS;
}

const wchar_t* CustomizedResourceHelper::GetSupportUrl(SupportUrlType type)
{
    return type >= SupportUrl_Help && type <= SupportUrl_Homepage ? m_urls[type].c_str() : L"";
}

} // namespace orvo
