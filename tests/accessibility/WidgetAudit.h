#pragma once
// Checks over every widget of a page or dialog: what a screen reader would say for each control,
// and whether each pack text fits the widget that shows it.

#include <QString>
#include <QStringList>
#include <ostream>

class QWidget;

namespace audit {

// What a screen reader says for the widget.
QString accessibleName(QWidget* widget);
// "objectName (class)" of every control that takes keyboard focus but has no accessible name.
QStringList unnamedControls(QWidget* root);
// One line per label, button, check box, radio button, placeholder or combo-box entry under root
// whose text is wider (or, for word-wrapped labels, taller) than the room the widget gives it.
QStringList cutTexts(QWidget* root);
// The same for one widget: empty when its text fits.
QString cutText(QWidget* widget);
// Text fields under root whose placeholder is painted in the colour of typed text.
QStringList placeholdersLikeText(QWidget* root);
// Visible controls under root that look the same with and without the keyboard focus. A text
// field counts by its frame, as its caret blinks.
QStringList focusWithoutLook(QWidget* root);
// Visible widgets under root that reach out of their window.
QStringList outsideTheirWindow(QWidget* root);

} // namespace audit

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{\n  " << list.join(QStringLiteral("\n  ")).toStdString() << "\n}";
}
