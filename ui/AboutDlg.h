#pragma once
// The about box: the program's name and version, and a button that starts the update check.

#include <QDialog>
#include <functional>

class AboutDlg : public QDialog
{
    Q_OBJECT
public:
    // checkUpdate starts the update check; empty when there is none to start.
    explicit AboutDlg(std::function<void()> checkUpdate, QWidget* parent = nullptr);
    ~AboutDlg() override;

private slots:
    void on_checkUpgrade_clicked();

private:
    std::function<void()> m_checkUpdate;
};
