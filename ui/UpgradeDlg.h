#pragma once
// Tells the user about a newer version, shows the release notes and downloads the package through
// the download component, with a progress bar. The package appears under its name only once
// complete; a failed download leaves no partial file and can be tried again.

#include <QDialog>
#include <functional>
#include <string>

#include "platform/WindowMessage.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTextEdit;

class UpgradeDlg : public QDialog
{
    Q_OBJECT
public:
    // url and tips as the version check delivered them (UTF-8).
    UpgradeDlg(const std::string& url, const std::string& tips, QWidget* parent = nullptr);
    ~UpgradeDlg() override;

    enum class State
    {
        Idle,
        Downloading,
        Done,
        Failed
    };
    State state() const { return m_state; }

    // The release notes as the service writes them: lines separated by the two characters
    // backslash and n; empty lines dropped.
    static QStringList splitReleaseNotes(const std::string& tips);
    // The file name the package is saved under: the last segment of the address when it is a plain
    // name, else a fixed one, so an address can never place the file outside the folder.
    static QString packageFileName(const std::string& url);
    // The user's download folder (home when there is none), with a trailing '/'.
    static QString defaultDownloadFolder();

    void setDownloadFolder(const QString& folder);
    QString packagePath() const;
    // How addresses and folders are opened; tests replace it so no browser starts.
    void setOpener(std::function<bool(const QString&)> opener);

    // What the download button does before a download ran: fetches the package, or hands the
    // address to the browser when there is no download component or no web address. The mandatory
    // update calls it without waiting for the button.
    void download();

private slots:
    void on_downloadNow_clicked();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void startDownload();
    void stopDownload();
    void finishDownload(bool ok);

    std::string m_url;
    QString m_folder;
    std::function<bool(const QString&)> m_opener;
    State m_state = State::Idle;
    std::uintptr_t m_download = 0;
    platform::WindowHandle m_handle = 0;

    QTextEdit* m_notes = nullptr;
    QPushButton* m_button = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
};
