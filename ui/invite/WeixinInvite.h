#pragma once

#include <QWidget>

class InviteDialog;
class QLabel;
class QPushButton;

// The WeChat page of the invite dialog: the meeting link as a QR code to scan.
class WeixinInvite : public QWidget
{
    Q_OBJECT
public:
    explicit WeixinInvite(InviteDialog* dialog);
    ~WeixinInvite() override;

    // Draws the dialog's current link, or says there is none.
    void refresh();
    // Renders text into "label_qrcode" with a side of size pixels; clears it when that fails.
    void drawQrCode(const QByteArray& text, int size);

    static constexpr int kQrSide = 178;

private slots:
    void on_pushButton_ok_clicked();

private:
    InviteDialog* m_dialog;
    QPushButton* m_ok = nullptr;
    QLabel* m_tips = nullptr;
    QLabel* m_flag = nullptr;
    QLabel* m_errorInfo = nullptr;
    QLabel* m_qrcode = nullptr;
};
