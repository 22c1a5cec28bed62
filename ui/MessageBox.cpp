#include "MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <optional>

namespace {
std::optional<int> g_autoAnswer;
QStringList g_answered;
MessageBox::TestHandler g_testHandler;
} // namespace

int MessageBox::show(
    QWidget* parent, Icon icon, const QString& title, const QString& text, const QString& first, const QString& second)
{
    if (g_autoAnswer) {
        g_answered << text;
        return *g_autoAnswer;
    }
    if (g_testHandler)
        return g_testHandler(icon, title, text);

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
void MessageBox::setTestHandler(TestHandler handler)
{
    g_testHandler = std::move(handler);
}
QStringList MessageBox::answeredTexts()
{
    return g_answered;
}
