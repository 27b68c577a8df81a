#include "settings/LinkHealthBadge.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

// The circle, as tall as a lower-case letter is wide-ish: it scales with the font.
class LinkHealthBadge::Mark : public QWidget {
public:
    explicit Mark(QWidget *parent)
        : QWidget(parent) {
        setObjectName(QStringLiteral("HealthMark"));
        const int side = fontMetrics().height() * 2 / 3;
        setFixedSize(side, side);
    }
    QColor colour;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

// A label that shows the look's short words where the whole do not fit, and ends those in "…"
// where even they do not, rather than cutting a letter in half.
class LinkHealthBadge::Words : public QLabel {
public:
    explicit Words(QWidget *parent)
        : QLabel(parent) {
        setObjectName(QStringLiteral("HealthWords"));
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    QSize minimumSizeHint() const override { return QSize(0, QLabel::minimumSizeHint().height()); }
    QString shortText;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QRect area = contentsRect();
        const bool fits = fontMetrics().horizontalAdvance(text()) <= area.width();
        painter.drawText(
            area, Qt::AlignVCenter | Qt::AlignLeft,
            fontMetrics().elidedText(fits || shortText.isEmpty() ? text() : shortText, Qt::ElideRight, area.width()));
    }
};

LinkHealthBadge::LinkHealthBadge(QWidget *parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("LinkHealth"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    row->setSpacing(5);
    m_mark = new Mark(this);
    m_words = new Words(this);
    row->addWidget(m_mark, 0, Qt::AlignVCenter);
    row->addWidget(m_words, 1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    showLook(LinkHealthLook{});
}

void LinkHealthBadge::showLook(const LinkHealthLook &look) {
    const bool first = m_words->text().isEmpty();
    if (look == m_look && !first) {
        return;
    }
    m_look = look;
    m_words->shortText = look.shortText;
    m_words->setText(look.text);
    setToolTip(look.toolTip);
    m_mark->setToolTip(look.toolTip);
    m_words->setToolTip(look.toolTip);
    // For screen readers: the colour alone says nothing to them.
    setAccessibleName(look.text);
    recolour();
}

QColor LinkHealthBadge::markColour() const {
    return m_mark->colour;
}

QColor LinkHealthBadge::wordsColour() const {
    return m_words->palette().color(m_words->foregroundRole());
}

void LinkHealthBadge::changeEvent(QEvent *event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_recolouring) {
        recolour();
    }
}

void LinkHealthBadge::recolour() {
    m_recolouring = true;
    const LinkHealthColours colours = LinkHealthColoursOn(m_look.health, palette().color(backgroundRole()));
    m_mark->colour = colours.mark;
    QPalette words = m_words->palette();
    words.setColor(QPalette::WindowText, colours.words);
    m_words->setPalette(words);
    m_mark->update();
    m_words->update();
    m_recolouring = false;
}
