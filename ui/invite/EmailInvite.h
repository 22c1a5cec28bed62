#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class InviteDialog;
class QLabel;
class QPushButton;
class QTimer;
class WebBrowserBinding;

// The e-mail page of the invite dialog: addresses go into the tag field of libWebBrowser.so, the
// service mails the invitation to each. Without the component the page cannot send.
class EmailInvite : public QWidget
{
    Q_OBJECT
public:
    // componentFolder: where libWebBrowser.so lies, with a trailing '/'; the program folder when empty.
    explicit EmailInvite(InviteDialog* dialog, const QString& componentFolder = QString());
    ~EmailInvite() override;

    // Empties the address field and the notice line.
    void reset();
    // Closes the address field and unloads the component; safe to call twice.
    void releaseComponent();

    // The field's tokens in order, or the reason to refuse them: every token must be one address
    // that the component accepts and that cannot split into two on the way to the service.
    enum class Check
    {
        Ok,
        NoInput,
        BadForm
    };
    Check checkAddresses(const std::string& list, std::vector<std::string>& addresses) const;

    static constexpr int kRevealMs = 500;
    static constexpr int kNoticeMs = 2000;

signals:
    void tagExist();

protected:
    bool event(QEvent* event) override;

private slots:
    void on_pushButton_invite_clicked();
    void on_pushButton_cancel_clicked();
    void on_tagExist();

private:
    void onTimer();
    void showNotice(const QString& text);
    bool send(const std::vector<std::string>& addresses);

    InviteDialog* m_dialog;
    QTimer* m_timer = nullptr;
    std::unique_ptr<WebBrowserBinding> m_browser;
    QLabel* m_tips = nullptr;
    QLabel* m_flag = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_invite = nullptr;
    QLabel* m_errorInfo = nullptr;
};
