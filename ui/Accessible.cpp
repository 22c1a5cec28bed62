#include "Accessible.h"

#include <QLabel>

namespace accessible {

void name(QWidget* control, const QString& name, const QString& description)
{
    control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

void label(QLabel* label, QWidget* field, const QString& description)
{
    label->setBuddy(field);
    if (label->parentWidget() != field->parentWidget())
        field->setAccessibleName(label->text());
    if (!description.isEmpty())
        field->setAccessibleDescription(description);
}

} // namespace accessible
