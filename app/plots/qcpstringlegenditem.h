#ifndef ZYRAPP_PLOTS_QCPSTRINGLEGENDITEM_H
#define ZYRAPP_PLOTS_QCPSTRINGLEGENDITEM_H

#include <qcustomplot.h>

#include <QString>

// A legend row that shows a line of text and no plottable.
class QCPStringLegendItem : public QCPAbstractLegendItem {
    Q_OBJECT

public:
    QCPStringLegendItem(QCPLegend* parent, const QString& text);
    ~QCPStringLegendItem() override;

    QString text() const;
    // Shown from the next replot on.
    void setText(const QString& text);

protected:
    void draw(QCPPainter* painter) override;
    QSize minimumOuterSizeHint() const override;

private:
    QString itsText;
};

#endif // ZYRAPP_PLOTS_QCPSTRINGLEGENDITEM_H
