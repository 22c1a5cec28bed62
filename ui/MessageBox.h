#pragma once
// Every message box of the client goes through here, so tests can answer boxes without showing them.

#include <QString>
#include <functional>

class QWidget;

class MessageBox
{
public:
    enum Icon
    {
        Information,
        Warning,
        Critical,
        Question
    };
    enum Answer
    {
        FirstButton = 0,
        SecondButton = 1,
        Closed = -1
    };

    // Modal box with one or two buttons; returns which one was chosen.
    static int show(QWidget* parent,
                    Icon icon,
                    const QString& title,
                    const QString& text,
                    const QString& first,
                    const QString& second = QString());

    // Tests: answer the next boxes with this value instead of showing them (until cleared).
    static void setAutoAnswer(int answer);
    static void clearAutoAnswer();
    // Tests: the texts of the boxes answered automatically, oldest first.
    static QStringList answeredTexts();
    // Tests: answers every box that no auto-answer took, instead of showing it; an empty handler
    // shows real boxes again. Only code can set it: an installed VTX never answers by itself.
    using TestHandler = std::function<int(Icon icon, const QString& title, const QString& text)>;
    static void setTestHandler(TestHandler handler);
};
