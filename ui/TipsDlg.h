#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// A small frameless notice that stays on top and closes and deletes itself after three seconds.
class TipsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TipsDlg(const QString& text, bool secondPicture = false, QWidget* parent = nullptr);
    ~TipsDlg() override;

    QString text() const;

    // How every caller shows a tip: new, non-modal, shown, brought to the front without forcing.
    static TipsDlg* showTip(const QString& text, bool secondPicture = false);

private slots:
    void onTimeout();

private:
    QWidget* m_background = nullptr;
    QLabel* m_tipsLabel = nullptr;
    QTimer* m_timer = nullptr;
};

// Restores a minimised window and brings it to the top. Without force a window does not take the
// focus from another program.
void bringToFront(QWidget* window, bool force);
