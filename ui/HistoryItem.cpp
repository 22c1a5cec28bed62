#include "HistoryItem.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLabel>

#include "base/Localization.h"
#include "base/MeetingNumber.h"

namespace {

// Scripts whose characters are drawn one glyph each, so a text's width is the sum of its
// characters' advances (kerning aside, which narrows Latin text by a pixel at most).
bool drawnCharByChar(const QString& text)
{
    for (const QChar c : text) {
        if (c.isSurrogate())
            return false;
        switch (c.script()) {
        case QChar::Script_Common:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
        case QChar::Script_Bopomofo:
            break;
        default:
            return false;
        }
    }
    return true;
}

// Character advances of the measuring font, kept across rows: a popup of a long history elides
// hundreds of names made of the same few dozen characters, and asking the font engine (or
// shaping every name) was most of the popup's opening time. GUI thread only, like the rows.
class AdvanceCache
{
public:
    static AdvanceCache& forFont(const QFont& font)
    {
        static AdvanceCache cache;
        if (font.family() != cache.m_family || font.pointSizeF() != cache.m_pointSize) {
            cache.m_family = font.family();
            cache.m_pointSize = font.pointSizeF();
            cache.m_advances.clear();
        }
        return cache;
    }

    qreal advance(const QFontMetricsF& metrics, QChar c)
    {
        auto it = m_advances.constFind(c.unicode());
        if (it != m_advances.constEnd())
            return *it;
        const qreal width = metrics.horizontalAdvance(c);
        m_advances.insert(c.unicode(), width);
        return width;
    }

private:
    QString m_family;
    qreal m_pointSize = 0;
    QHash<ushort, qreal> m_advances;
};

// The name cut at the right with an ellipsis so that it fits the width, as
// QFontMetrics::elidedText(Qt::ElideRight) does; texts in scripts that combine glyphs go to Qt.
QString elideRight(const QFont& font, const QString& text, int width)
{
    if (!drawnCharByChar(text))
        return QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
    // Fractional advances: whole pixels per character would add up to a wider text than drawn.
    const QFontMetricsF metrics(font);
    AdvanceCache& cache = AdvanceCache::forFont(font);
    const QChar ellipsis(0x2026);
    const qreal available = width - cache.advance(metrics, ellipsis);
    qreal total = 0;
    int fitting = -1; // characters that fit beside the ellipsis
    for (int i = 0; i < text.size(); ++i) {
        total += cache.advance(metrics, text.at(i));
        if (fitting < 0 && total > available)
            fitting = i;
        if (total > width)
            return fitting > 0 ? text.left(fitting) + ellipsis : (available >= 0 ? QString(ellipsis) : QString());
    }
    return text;
}

} // namespace

HistoryItem::HistoryItem(const QString& id, const QString& name, QWidget* parent)
    : QWidget(parent)
    , m_id(id)
    , m_name(name)
{
    resize(318, kRowHeight);

    // Set on the row before the labels exist, so they inherit font and colour as they are made
    // (a style sheet per row would make a long history slow to open). Rows made inside the
    // popup's list inherit both from it; setting them again on each row of a long history
    // costs as much as making its labels.
    const QFont font = rowFont();
    if (this->font().family() != font.family() || this->font().pointSize() != font.pointSize())
        setFont(font);
    if (palette().color(QPalette::WindowText) != textColour()) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::WindowText, textColour());
        setPalette(palette);
    }

    m_labelMeetingId = new QLabel(this);
    m_labelMeetingId->setObjectName(QStringLiteral("label_meetingid"));
    m_labelMeetingId->setGeometry(12, 0, 110, kRowHeight);
    m_labelMeetingId->setTextFormat(Qt::PlainText);
    m_labelMeetingId->setText(formatMeetingNumber(stripMeetingNumber(id)));

    // Measured one point smaller than it is drawn, which leaves room for the ellipsis.
    QFont measureFont(font.family());
    measureFont.setPointSize(9);
    const QString shown = elideRight(measureFont, name, kTopicWidth);
    m_labelTopic = new QLabel(this);
    m_labelTopic->setObjectName(QStringLiteral("label_topic"));
    m_labelTopic->setGeometry(122, 0, 194, kRowHeight);
    // Names come from meeting hosts: markup in them is shown, never interpreted.
    m_labelTopic->setTextFormat(Qt::PlainText);
    m_labelTopic->setText(shown);
    if (shown != name)
        m_labelTopic->setToolTip(name);
}

HistoryItem::~HistoryItem() = default;

QFont HistoryItem::rowFont()
{
    QFont font(LangText("ui.font"));
    font.setPointSize(10);
    return font;
}

QColor HistoryItem::textColour()
{
    return QColor(10, 10, 10);
}
