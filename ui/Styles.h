#pragma once
// Fixed style sheets set in code on single widgets; they win over the application style sheet.

#include <QString>

class QApplication;
class QPushButton;
class QSize;
class QWidget;

namespace styles {

// The application style sheet and the palette it leaves to Qt: field text black and placeholders
// grey. In Qt 5 a `color` in a line edit's style rule also paints its placeholder, which then reads
// as typed text. Returns false when the style sheet is missing from the resources.
bool applyApplicationLook(QApplication& app);

QString primaryButton();                              // blue push button with normal, hover and pressed pictures
QString grayButton();                                 // secondary push button
QString homeLoginButton();                            // the home page's sign-in button
QString tile(const char* picture, bool withDisabled); // home tab tiles: pic_<name>(_hover|_dis).png
QString toolbarTab(const char* normal, const char* selected, bool selectedState, int languageId);
QString meetingsSwitch(const char* picture); // "mymeeting"/"videolist" + _normal/_sel
QString link(bool enabled);                  // text links: the link colour, grey while disabled
QString errorLabel();
// Framed text fields and boxes of the dialogs, framed blue while they have the focus.
QString field();
QString editLine(); // the red underline marker under a field
QString backLabel();
// The focus tint of a clickable label, for labels whose own sheets would hide the application's.
QString labelFocus();

// The width a styled button needs for its caption, at least the form's own (forms are drawn for the
// shorter Chinese captions) and at most what its window has room for.
int fittedWidth(QPushButton* button, int formWidth, int maxWidth);

// A page's picture, stretched to the page's size.
void pageBackground(QWidget* page, const char* picture, const QSize& size);

} // namespace styles
