#pragma once
// For test programs that link the client: a message box that no test answered fails the running
// test at once and is answered "closed", instead of waiting for a click that never comes.

#include <gtest/gtest.h>

#include "ui/MessageBox.h"

namespace vtxtest {

inline void failOnUnansweredBoxes()
{
    MessageBox::setTestHandler([](MessageBox::Icon, const QString& title, const QString& text) {
        ADD_FAILURE() << "message box nobody answered: " << title.toStdString() << ": " << text.toStdString();
        return int(MessageBox::Closed);
    });
}

} // namespace vtxtest
