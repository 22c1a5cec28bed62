#pragma once

#include <QFrame>
#include <QSet>
#include <QStringList>

#include "platform/WindowMessage.h"

class QLineEdit;
class QScrollArea;

// The address field: each entered address is a tag, text being typed sits after the last one.
class TagEditor : public QFrame
{
    Q_OBJECT
public:
    // Duplicates are reported to notifyWindow with message 1424.
    TagEditor(QWidget* parent, platform::WindowHandle notifyWindow);

    // Tags in order, then the trimmed text still in the input when there is any.
    QStringList addresses() const;
    void clear();

    static bool isEmailAddress(const QByteArray& utf8);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onTextEdited(const QString& text);
    void commitInput();
    // Adds the non-empty trimmed pieces; one layout pass for the lot.
    void addAddresses(const QStringList& pieces);
    void removeTag(QWidget* tag);
    void relayout();

    platform::WindowHandle m_notifyWindow;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_container = nullptr;
    QLineEdit* m_input = nullptr;
    QList<QWidget*> m_tags;
    QSet<QString> m_keys; // case-folded addresses, for the duplicate test
};
