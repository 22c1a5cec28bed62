#pragma once
// The parts the three invite pages share: page frame, tip, tab marker, buttons, notice line.

#include <QFont>
#include <QRect>
#include <QString>

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace invitepage {

QFont font(int pointSize);
// 590 x 303, frameless, the dialog's font family.
void setUpPage(QWidget* page);
QLabel* tipsLabel(QWidget* page, const QString& text);
// The marker under the page's tab label.
QLabel* flagLabel(QWidget* page, int x);
QPushButton* button(QWidget* page, const char* name, const QRect& geometry, const QString& text, const QString& style);
// Grey push button with black text, for the page's secondary action.
QString secondaryButtonStyle();
// "errorInfo": red, hidden.
QLabel* errorLabel(QWidget* page);
// Keeps a button clear of the grown button to its right; the notice line gives way.
void placeBefore(QPushButton* left, QPushButton* right, QLabel* errorInfo);
// Asks the dialog to close (it hides), after the current click has been handled.
void closeDialog(QDialog* dialog);

} // namespace invitepage
