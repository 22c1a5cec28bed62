#pragma once
// The personal meeting ID and its meeting's settings: a new number goes to the web service, the
// settings to the SDK as a periodic item that uses the personal meeting ID.

#include <QDialog>
#include <memory>

#include "ui/schedule/DialogParts.h"

class CSDKSheduleMeetingUIWorkFlow;
class MeetingsContext;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class EditMyPMI : public QDialog
{
    Q_OBJECT
public:
    EditMyPMI(CSDKSheduleMeetingUIWorkFlow* workflow, MeetingsContext* context);
    ~EditMyPMI() override;

signals:
    void notifyFillPMI();

private slots:
    void on_editMeetingID(const QString& text);
    void on_checkBox_set_pwd_clicked();
    void on_pushButton_cancel_clicked();
    void on_pushButton_ok_clicked();
    void on_notifyFillPMI();

private:
    void showError(const char* key, bool focus = false);

    CSDKSheduleMeetingUIWorkFlow* m_workflow;
    MeetingsContext* m_context;
    bool m_hasPmiItem = false;

    QLineEdit* m_pmi = nullptr;
    std::unique_ptr<schedule::VideoChoices> m_video;
    QCheckBox* m_setPwd = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_preJoin = nullptr;
    QCheckBox* m_muteJoin = nullptr;
    QCheckBox* m_autoRecord = nullptr;
    QLabel* m_errInfo = nullptr;
};
