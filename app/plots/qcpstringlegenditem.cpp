#include "qcpstringlegenditem.h"

#include <QFontMetrics>

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
    const QRect textRect = QFontMetrics(mFont).boundingRect(0, 0, 0, 0, Qt::TextDontClip, itsText);
    return {textRect.width() + mMargins.left() + mMargins.right(),
            textRect.height() + mMargins.top() + mMargins.bottom()};
}
