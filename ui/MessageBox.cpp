#include "MessageBox.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <optional>

namespace {
std::optional<int> g_autoAnswer;
QStringList g_answered;

// A child process under test cannot be reached by setAutoAnswer; this variable names a file that
// collects the boxes it would have shown, each answered with its first button.
bool answeredThroughLogFile(const QString& title, const QString& text)
{
    const QByteArray path = qgetenv("VTX_TEST_MESSAGEBOX_LOG");
    if (path.isEmpty())
        return false;
    QFile log(QString::fromLocal8Bit(path));
    if (log.open(QIODevice::Append))
        log.write((title + '\t' + text + '\n').toUtf8());
    return true;
}
} // namespace

int MessageBox::show(
    QWidget* parent, Icon icon, const QString& title, const QString& text, const QString& first, const QString& second)
{
    if (g_autoAnswer) {
        g_answered << text;
        return *g_autoAnswer;
    }
    if (answeredThroughLogFile(title, text))
        return FirstButton;

    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    QPushButton* firstButton = box.addButton(first, QMessageBox::AcceptRole);
    QPushButton* secondButton = second.isEmpty() ? nullptr : box.addButton(second, QMessageBox::RejectRole);
    box.setDefaultButton(firstButton);
    if (secondButton)
        box.setEscapeButton(secondButton);
    box.exec();
    if (box.clickedButton() == firstButton)
        return FirstButton;
    if (secondButton && box.clickedButton() == secondButton)
        return SecondButton;
    return Closed;
}

void MessageBox::setAutoAnswer(int answer)
{
    g_autoAnswer = answer;
}
void MessageBox::clearAutoAnswer()
{
    g_autoAnswer.reset();
    g_answered.clear();
}
QStringList MessageBox::answeredTexts()
{
    return g_answered;
}
