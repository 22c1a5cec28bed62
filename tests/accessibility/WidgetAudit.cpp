#include "WidgetAudit.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTextDocument>

namespace audit {

namespace {

QString describe(const QWidget* w)
{
    return QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
}

// Parts of compound widgets (a spin box's editor, a list's viewport and scroll bars) are named by their owner.
bool isPartOfAnother(const QWidget* w, const QWidget* root)
{
    if (qobject_cast<const QScrollBar*>(w))
        return true;
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(w->parentWidget()))
        if (area->viewport() == w)
            return true;
    for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p))
            return true;
    return false;
}

QString plainText(const QLabel* label)
{
    const QString text = label->text();
    if (label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument doc;
        doc.setHtml(text);
        return doc.toPlainText();
    }
    return text;
}

// One line: the advance across, and the ink from the highest to the lowest glyph; a font's line
// height includes room above and below that a 20-pixel label may clip without cutting a glyph.
QSize inkSize(const QFontMetrics& fm, const QString& text)
{
    int width = 0;
    int height = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        width = qMax(width, fm.horizontalAdvance(line));
        height += fm.lineSpacing();
    }
    height = height - fm.lineSpacing() + fm.tightBoundingRect(lines.last()).height();
    return QSize(width, height);
}

QString tooSmall(const QWidget* w, const QString& text, QSize needed, QSize room)
{
    return QStringLiteral("%1 %7x%8: \"%2\" needs %3x%4, has %5x%6")
        .arg(describe(w), text.left(60))
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height())
        .arg(w->width())
        .arg(w->height());
}

void checkLabel(const QLabel* label, QStringList& cut)
{
    if (!label->pixmap(Qt::ReturnByValue).isNull() || label->movie())
        return;
    const QString text = plainText(label);
    if (text.trimmed().isEmpty())
        return;
    const int m = label->margin();
    const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
    const QFontMetrics fm = label->fontMetrics();
    if (label->wordWrap()) {
        // The last line's leading may fall outside: it holds no ink.
        const QSize needed = fm.boundingRect(room, int(label->alignment()) | Qt::TextWordWrap, text).size();
        if (needed.width() > room.width() || needed.height() - fm.leading() - 1 > room.height())
            cut << tooSmall(label, text, needed, room.size());
        return;
    }
    const QSize needed = inkSize(fm, text);
    if (needed.width() > room.width() || needed.height() > room.height())
        cut << tooSmall(label, text, needed, room.size());
}

void checkButton(const QAbstractButton* button, QStringList& cut)
{
    const QString text = button->text();
    if (text.isEmpty())
        return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    QRect room = button->style()->subElementRect(contents, &option, button);
    if (contents == QStyle::SE_PushButtonContents && !option.icon.isNull())
        room.setWidth(room.width() - option.iconSize.width() - 4);
    const QSize needed = inkSize(button->fontMetrics(), text);
    if (needed.width() > room.width() || needed.height() > room.height())
        cut << tooSmall(button, text, needed, room.size());
}

// QLineEdit keeps two pixels free on either side of its text.
const int kLineEditMargin = 2;

void checkPlaceholder(const QLineEdit* edit, QStringList& cut)
{
    const QString text = edit->placeholderText();
    if (text.isEmpty())
        return;
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QMargins margins = edit->textMargins();
    const QRect room = edit->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                           .adjusted(margins.left() + kLineEditMargin, margins.top(),
                                     -margins.right() - kLineEditMargin, -margins.bottom());
    const QSize needed = inkSize(edit->fontMetrics(), text);
    if (needed.width() > room.width())
        cut << tooSmall(edit, text, needed, room.size());
}

void checkCombo(const QComboBox* combo, QStringList& cut)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.subControls = QStyle::SC_All;
    const QRect room =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    for (int i = 0; i < combo->count(); ++i) {
        const QSize needed = inkSize(combo->fontMetrics(), combo->itemText(i));
        if (needed.width() > room.width())
            cut << tooSmall(combo, combo->itemText(i), needed, room.size());
    }
}

} // namespace

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QStringList unnamedControls(QWidget* root)
{
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->window() != root->window() || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() ||
            isPartOfAnother(w, root))
            continue;
        if (accessibleName(w).trimmed().isEmpty())
            unnamed << describe(w);
    }
    return unnamed;
}

QString cutText(QWidget* w)
{
    w->ensurePolished();
    QStringList cut;
    if (auto* label = qobject_cast<QLabel*>(w))
        checkLabel(label, cut);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        checkButton(button, cut);
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        checkPlaceholder(edit, cut);
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        checkCombo(combo, cut);
    return cut.join(QLatin1Char('\n'));
}

QStringList cutTexts(QWidget* root)
{
    root->ensurePolished();
    QStringList cut;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->window() != root->window() || isPartOfAnother(w, root))
            continue;
        const QString problem = cutText(w);
        if (!problem.isEmpty())
            cut << problem;
    }
    return cut;
}

QStringList placeholdersLikeText(QWidget* root)
{
    QStringList alike;
    for (QLineEdit* edit : root->findChildren<QLineEdit*>()) {
        if (edit->placeholderText().isEmpty())
            continue;
        edit->ensurePolished();
        if (edit->palette().color(QPalette::PlaceholderText) == edit->palette().color(QPalette::Text))
            alike << describe(edit);
    }
    return alike;
}

QStringList focusWithoutLook(QWidget* root)
{
    QStringList plain;
    root->window()->activateWindow();
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->window() != root->window() || !w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus) ||
            w->focusProxy() || isPartOfAnother(w, root))
            continue;
        w->clearFocus();
        QCoreApplication::processEvents();
        const QImage before = w->grab().toImage();
        w->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        if (!w->hasFocus()) {
            plain << describe(w) + QStringLiteral(" takes no focus");
            continue;
        }
        const QImage after = w->grab().toImage();
        const bool ringOnly = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        bool differs = false;
        for (int y = 0; y < before.height() && !differs; ++y)
            for (int x = 0; x < before.width() && !differs; ++x) {
                const bool ring = x < 2 || y < 2 || x >= before.width() - 2 || y >= before.height() - 2;
                differs = (ring || !ringOnly) && before.pixel(x, y) != after.pixel(x, y);
            }
        if (!differs)
            plain << describe(w);
    }
    return plain;
}

QStringList outsideTheirWindow(QWidget* root)
{
    QStringList outside;
    const QRect window = root->window()->rect();
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->window() != root->window() || !w->isVisible() || isPartOfAnother(w, root))
            continue;
        const QRect area(w->mapTo(root->window(), QPoint(0, 0)), w->size());
        if (!window.contains(area))
            outside << QStringLiteral("%1 at %2,%3 %4x%5")
                           .arg(describe(w))
                           .arg(area.x())
                           .arg(area.y())
                           .arg(area.width())
                           .arg(area.height());
    }
    return outside;
}

} // namespace audit
