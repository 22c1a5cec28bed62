#pragma once
// The password change of the signed-in account: checks the entries, asks the service, and only
// after the service agreed updates the remembered password.

#include <QDialog>

class QLabel;
class QLineEdit;
class QMovie;
class QPushButton;

class ModifyPassword : public QDialog
{
    Q_OBJECT
public:
    // account: the signed-in account, used to fetch the user id when userId is still empty.
    ModifyPassword(const QString& account, const QString& userId, QWidget* parent = nullptr);
    ~ModifyPassword() override;

    QString userId() const { return m_userId; }

    static constexpr int kMinLength = 6;
    static constexpr int kMaxLength = 16;

signals:
    // The user id fetched on the way, for the main window to keep.
    void userIdFetched(const QString& userId);
    // The service accepted the new password; the main window remembers it from now on.
    void passwordChanged(const QString& newPassword);

private slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildForm();
    void showError(const QString& message, QLabel* mark = nullptr);
    void setWaiting(bool waiting);

    QString m_account;
    QString m_userId;
    bool m_waiting = false;

    QLabel* m_errorInfo = nullptr;
    QLabel* m_waitingLabel = nullptr;
    QLabel* m_markCurrent = nullptr;
    QLabel* m_markNew = nullptr;
    QLabel* m_markConfirm = nullptr;
    QLineEdit* m_current = nullptr;
    QLineEdit* m_new = nullptr;
    QLineEdit* m_confirm = nullptr;
    QMovie* m_movie = nullptr;
};
