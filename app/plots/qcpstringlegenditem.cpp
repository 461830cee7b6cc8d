#include "qcpstringlegenditem.h"

#include <QFontMetrics>

#include <algorithm>

QCPStringLegendItem::QCPStringLegendItem(QCPLegend* parent, const QString& text)
    : QCPAbstractLegendItem(parent)
    , itsText(text) {}

QCPStringLegendItem::~QCPStringLegendItem() = default;

QString QCPStringLegendItem::text() const {
    return itsText;
}

void QCPStringLegendItem::setText(const QString& text) {
    itsText = text;
}

void QCPStringLegendItem::draw(QCPPainter* painter) {
    painter->setFont(mFont);
    painter->setPen(QPen(mTextColor));
    const QRect textRect =
        painter->fontMetrics().boundingRect(0, 0, 0, 0, Qt::TextDontClip, itsText);
    const QRect target(mRect.left() + mMargins.left(), mRect.top(), textRect.width(),
                       textRect.height());
    painter->drawText(target, Qt::TextDontClip | Qt::AlignHCenter, itsText);
}

QSize QCPStringLegendItem::minimumOuterSizeHint() const {
    const QFontMetrics metrics(mFont);
    const QRect textRect = metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip, itsText);
    // The plot clips every element one pixel row above its rectangle: without a row to spare,
    // the descenders of the text's last line would be cut off.
    const int textHeight = std::max(textRect.height(), metrics.height()) + 1;
    return {textRect.width() + mMargins.left() + mMargins.right(),
            textHeight + mMargins.top() + mMargins.bottom()};
}
