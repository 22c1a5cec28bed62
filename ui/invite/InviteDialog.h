#pragma once

#include <QDialog>
#include <QString>
#include <string>

class ClickableLabel;
class EmailInvite;
class QLabel;
class UrlInvite;
class WeixinInvite;

// The meeting an invitation is about, as the main window gathers it.
struct InviteMeeting
{
    quint64 number = 0;
    QString joinUrl;
    QString topic;
    std::string password;   // UTF-8
    std::string startTime;  // "YYYY-MM-DD HH:MM:SS", passed on unchanged
    int duration = 60;      // minutes
    bool scheduled = false; // start and duration are the schedule's, not guesses
    QString inviter;        // who invites, for the copied invitation text; may be empty
};

// The invite dialog: e-mail, WeChat and link pages under three tabs. Made once and kept; closing
// only hides it, and every later invite re-initialises it.
class InviteDialog : public QDialog
{
    Q_OBJECT
public:
    InviteDialog(QWidget* parent, const InviteMeeting& meeting);
    ~InviteDialog() override;

    // Takes another meeting (or the same one again): every page shows it, the e-mail tab is chosen.
    void reinit(const InviteMeeting& meeting);

    // What the pages read; they keep no copies.
    quint64 meetingNumber() const { return m_number; }
    const QString& link() const { return m_link; } // the short link when the service gave one
    const QString& topic() const { return m_topic; }
    const std::string& password() const { return m_password; }
    const std::string& startTime() const { return m_startTime; }
    int duration() const { return m_duration; }
    bool scheduled() const { return m_scheduled; }
    const QString& inviter() const { return m_inviter; }

    // The SDK vendor's name in a topic becomes ours.
    static QString brandedTopic(const QString& topic);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_label_email_clicked();
    void on_label_weixin_clicked();
    void on_label_link_clicked();

private:
    enum class Tab
    {
        Email,
        Weixin,
        Link
    };
    void store(const InviteMeeting& meeting);
    void requestShortLink();
    void select(Tab tab);

    QLabel* m_labelInvite = nullptr;
    ClickableLabel* m_labelEmail = nullptr;
    ClickableLabel* m_labelWeixin = nullptr;
    ClickableLabel* m_labelLink = nullptr;
    EmailInvite* m_emailPage = nullptr;
    WeixinInvite* m_weixinPage = nullptr;
    UrlInvite* m_urlPage = nullptr;

    quint64 m_number = 0;
    QString m_link;
    QString m_topic;
    std::string m_password;
    std::string m_startTime;
    int m_duration = 60;
    bool m_scheduled = false;
    QString m_inviter;
};
