#pragma once

#include <QString>
#include <QWidget>
#include <string>

class InviteDialog;
struct InvitationParts;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The dialog's meeting as the invitation the link page copies: it ends with the link.
InvitationParts invitationParts(const InviteDialog& dialog);

// The link page of the invite dialog: the meeting link to copy, or the whole invitation.
class UrlInvite : public QWidget
{
    Q_OBJECT
public:
    explicit UrlInvite(InviteDialog* dialog);
    ~UrlInvite() override;

    // Hides the notice and shows the dialog's current link.
    void refresh();

    static constexpr int kNoticeMs = 2000;

private slots:
    void on_pushButton_copy_clicked();
    void on_pushButton_copyInvitation_clicked();
    void on_pushButton_ok_clicked();

private:
    void showNotice(const QString& text);

    InviteDialog* m_dialog;
    QLabel* m_tips = nullptr;
    QLabel* m_flag = nullptr;
    QPushButton* m_ok = nullptr;
    QLineEdit* m_url = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_copyInvitation = nullptr;
    QLabel* m_errorInfo = nullptr;
    QTimer* m_timer = nullptr;
};
