#pragma once
// Names for screen readers. Each page calls these where it sets its pack texts, so a reader says
// the same words a sighted user reads, in the running language.

#include <QString>

class QLabel;
class QWidget;

namespace accessible {

// For controls that show a picture instead of text: the caption shown with it, or a pack text.
void name(QWidget* control, const QString& name, const QString& description = QString());
// The label is what a reader says for the field. A buddy follows later changes of the label's text;
// a label in another parent cannot be found from the field, so the field is named outright then.
void label(QLabel* label, QWidget* field, const QString& description = QString());

} // namespace accessible
