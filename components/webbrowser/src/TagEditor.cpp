#include "TagEditor.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

namespace {

constexpr int kMargin = 4;
constexpr int kSpacing = 4;
constexpr int kMinInputWidth = 120;
constexpr int kMaxTagTextWidth = 240;
const char* const kAddressProperty = "address";

bool isSeparator(QChar c)
{
    // The full-width comma is what a Chinese input method types for ','.
    return c == QLatin1Char(',') || c == QChar(0xFF0C) || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

QStringList splitAtSeparators(const QString& text)
{
    QStringList pieces;
    QString piece;
    for (QChar c : text) {
        if (isSeparator(c)) {
            pieces << piece;
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces << piece;
    return pieces;
}

bool isDomainByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c >= 0x80;
}

} // namespace

TagEditor::TagEditor(QWidget* parent, platform::WindowHandle notifyWindow)
    : QFrame(parent)
    , m_notifyWindow(notifyWindow)
{
    setObjectName(QStringLiteral("addressEditor"));
    // One sheet for all tags: a sheet per tag makes hundreds of tags slow to lay out.
    setStyleSheet(QStringLiteral("QFrame#addressEditor{border:1px solid rgb(215,222,241);"
                                 "background-color:rgb(243,244,249);}"
                                 "QFrame#addressTag{background-color:rgb(24,144,255);border-radius:3px;}"
                                 "QFrame#addressTag[valid=\"false\"]{background-color:rgb(245,108,108);}"
                                 "QFrame#addressTag QLabel{color:white;background:transparent;}"
                                 "QFrame#addressTag QToolButton{color:white;background:transparent;border:none;}"
                                 "QLineEdit#addressInput{background:transparent;border:none;}"));
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea,QWidget#addressList{background:transparent;}"));
    m_container = new QWidget;
    m_container->setObjectName(QStringLiteral("addressList"));
    m_container->installEventFilter(this);
    m_scroll->setWidget(m_container);

    m_input = new QLineEdit(m_container);
    m_input->setObjectName(QStringLiteral("addressInput"));
    m_input->setFrame(false);
    m_input->installEventFilter(this);
    connect(m_input, &QLineEdit::textEdited, this, &TagEditor::onTextEdited);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_scroll);
    setFocusProxy(m_input);
}

QStringList TagEditor::addresses() const
{
    QStringList list;
    for (QWidget* tag : m_tags)
        list << tag->property(kAddressProperty).toString();
    const QString pending = m_input->text().trimmed();
    if (!pending.isEmpty())
        list << pending;
    return list;
}

void TagEditor::clear()
{
    qDeleteAll(m_tags);
    m_tags.clear();
    m_keys.clear();
    m_input->clear();
    relayout();
}

bool TagEditor::isEmailAddress(const QByteArray& utf8)
{
    // Sizes of RFC 5321; the form is the usual one of mail programs, with bytes above 127 allowed
    // for internationalised addresses but no separator, quote or blank that could split the list.
    if (utf8.size() < 3 || utf8.size() > 254)
        return false;
    if (QString::fromUtf8(utf8).toUtf8() != utf8 || QString::fromUtf8(utf8).contains(QChar::ReplacementCharacter))
        return false;
    const int at = utf8.indexOf('@');
    if (at <= 0 || at != utf8.lastIndexOf('@') || at > 64)
        return false;
    const QByteArray local = utf8.left(at);
    const QByteArray domain = utf8.mid(at + 1);
    for (char ch : local) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= ' ' || c == 0x7f || QByteArray("\",;:<>()[]\\").contains(ch))
            return false;
    }
    if (local.startsWith('.') || local.endsWith('.') || local.contains(".."))
        return false;
    const QList<QByteArray> labels = domain.split('.');
    if (labels.size() < 2)
        return false;
    for (const QByteArray& label : labels) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith('-') || label.endsWith('-'))
            return false;
        for (char ch : label)
            if (!isDomainByte(static_cast<unsigned char>(ch)))
                return false;
    }
    return true;
}

bool TagEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_container && event->type() == QEvent::Resize) {
        relayout();
    } else if (watched == m_container && event->type() == QEvent::MouseButtonPress) {
        // A click anywhere in the field is a click into the input, as in a text box.
        m_input->setFocus(Qt::MouseFocusReason);
    } else if (watched == m_input && event->type() == QEvent::FocusOut) {
        // Leaving the field keeps what was typed, as a tag.
        commitInput();
    } else if (watched == m_input && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Consumed: a dialog around the field would take Enter as its default button's click.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            commitInput();
            return true;
        }
        if (key->key() == Qt::Key_Backspace && m_input->text().isEmpty() && !m_tags.isEmpty()) {
            removeTag(m_tags.last());
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TagEditor::onTextEdited(const QString& text)
{
    QStringList pieces = splitAtSeparators(text);
    if (pieces.size() < 2)
        return;
    const QString rest = pieces.takeLast();
    m_input->setText(rest);
    addAddresses(pieces);
}

void TagEditor::commitInput()
{
    const QString text = m_input->text();
    if (text.trimmed().isEmpty())
        return;
    m_input->clear();
    addAddresses(splitAtSeparators(text));
}

void TagEditor::addAddresses(const QStringList& pieces)
{
    bool duplicate = false;
    for (const QString& raw : pieces) {
        const QString address = raw.trimmed();
        if (address.isEmpty())
            continue;
        const QString key = address.toCaseFolded();
        if (m_keys.contains(key)) {
            duplicate = true;
            continue;
        }
        m_keys.insert(key);

        auto* tag = new QFrame(m_container);
        tag->setObjectName(QStringLiteral("addressTag"));
        tag->setProperty(kAddressProperty, address);
        tag->setProperty("valid", isEmailAddress(address.toUtf8()));
        auto* layout = new QHBoxLayout(tag);
        layout->setContentsMargins(6, 2, 2, 2);
        layout->setSpacing(2);
        auto* text = new QLabel(tag);
        text->setObjectName(QStringLiteral("tagText"));
        // A very long address would otherwise make one tag wider than the field.
        text->setText(text->fontMetrics().elidedText(address, Qt::ElideMiddle, kMaxTagTextWidth));
        text->setToolTip(address);
        auto* remove = new QToolButton(tag);
        remove->setObjectName(QStringLiteral("tagRemove"));
        remove->setText(QStringLiteral("\u00d7"));
        remove->setCursor(Qt::PointingHandCursor);
        // Removing a tag must not take the focus, which would turn half-typed text into a tag.
        remove->setFocusPolicy(Qt::NoFocus);
        connect(remove, &QToolButton::clicked, this, [this, tag] { removeTag(tag); });
        layout->addWidget(text);
        layout->addWidget(remove);
        tag->show();
        m_tags << tag;
    }
    relayout();
    if (duplicate)
        platform::postMessage(m_notifyWindow, platform::kMsgEmailDuplicate, 0, 0);
}

void TagEditor::removeTag(QWidget* tag)
{
    if (!m_tags.removeOne(tag))
        return;
    m_keys.remove(tag->property(kAddressProperty).toString().toCaseFolded());
    // Deferred: the tag's own remove button may be the sender.
    tag->hide();
    tag->deleteLater();
    relayout();
}

void TagEditor::relayout()
{
    const int width = qMax(m_container->width(), kMinInputWidth + 2 * kMargin);
    const int lineHeight = qMax(m_input->sizeHint().height(), 24);
    int x = kMargin;
    int y = kMargin;
    for (QWidget* tag : m_tags) {
        const int w = qMin(tag->sizeHint().width(), width - 2 * kMargin);
        if (x > kMargin && x + w > width - kMargin) {
            x = kMargin;
            y += lineHeight + kSpacing;
        }
        tag->setGeometry(x, y, w, lineHeight);
        x += w + kSpacing;
    }
    if (x > kMargin && width - kMargin - x < kMinInputWidth) {
        x = kMargin;
        y += lineHeight + kSpacing;
    }
    m_input->setGeometry(x, y, width - kMargin - x, lineHeight);
    const int contentHeight = y + lineHeight + kMargin;
    if (m_container->minimumHeight() != contentHeight)
        m_container->setMinimumHeight(contentHeight);
    m_scroll->ensureWidgetVisible(m_input, 0, kMargin);
}
