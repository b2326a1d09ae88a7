#include "system/reportpages.h"

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>

namespace {

// Millimetres; the wider left margin leaves room to bind the sheets.
const QMarginsF PageMargins(20, 12, 15, 12);
// Points: the running head and the page number.
constexpr qreal HeadPoints = 8;
const QString PageNumber = QStringLiteral("第 %1 页  共 %2 页");

// Dots per inch of text laid out with no device: the pixel size of a 72-point face.
qreal textResolution() {
    QFont inch = reportFont(72);
    return QFontInfo(inch).pixelSize();
}

}  // namespace

QFont reportFont(qreal pointSize) {
    // 宋体 is substituted by the Song face installed; the families after it serve where that
    // substitution was never installed.
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(pointSize);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

ReportPages::ReportPages() = default;
ReportPages::~ReportPages() = default;

void ReportPages::setRunningHead(const QString& left, const QString& right) {
    headLeft_ = left;
    headRight_ = right;
}

void ReportPages::addPart(std::unique_ptr<QTextDocument> document,
                          QPageLayout::Orientation orientation) {
    document->setDocumentMargin(0);
    document->setUseDesignMetrics(true);
    parts_.push_back({std::move(document), orientation});
}

const QTextDocument& ReportPages::part(int index) const { return *parts_.at(index).document; }

QString ReportPages::text() const {
    QString all = headLeft_ + QLatin1Char('\n') + headRight_ + QLatin1Char('\n') + PageNumber +
                  QLatin1Char('\n');
    for (const Part& part : parts_) all += part.document->toPlainText() + QLatin1Char('\n');
    return all;
}

QPageLayout ReportPages::pageLayout(QPageLayout::Orientation orientation) {
    return QPageLayout(QPageSize(QPageSize::A4), orientation, PageMargins, QPageLayout::Millimeter);
}

bool ReportPages::paint(QPagedPaintDevice& device, int fromPage, int toPage) {
    const int dpi = device.logicalDpiY();
    const QFont headFont = reportFont(HeadPoints);
    const QFontMetricsF head(headFont, &device);
    // A line of head text and half a line below it to the rule; the same for the foot.
    const qreal band = head.height() * 1.8;

    auto bodySize = [&](QPageLayout::Orientation orientation) {
        const QSizeF paint = pageLayout(orientation).paintRectPixels(dpi).size();
        return QSizeF(paint.width(), paint.height() - 2 * band);
    };

    // The documents are laid out once, at the resolution text has without a device, in
    // design metrics, and drawn scaled: laying a document out for the device would lay it out
    // again with every change of device, size or margin, and a table of thousands of rows
    // takes seconds each time.
    const qreal layoutDpi = textResolution();
    const qreal scale = dpi / layoutDpi;
    auto layoutSize = [&](QPageLayout::Orientation orientation) {
        return bodySize(orientation) / scale;
    };

    pageCount_ = 0;
    for (Part& part : parts_) {
        QTextDocument& document = *part.document;
        const QSizeF size = layoutSize(part.orientation);
        if (document.pageSize() != size) document.setPageSize(size);
        part.pages = document.pageCount();
        pageCount_ += part.pages;
    }
    if (fromPage <= 0) fromPage = 1;
    if (toPage <= 0 || toPage > pageCount_) toPage = pageCount_;

    QPainter painter;
    int number = 0;
    for (Part& part : parts_) {
        const QSizeF body = bodySize(part.orientation);
        const QSizeF page = layoutSize(part.orientation);
        for (int i = 0; i < part.pages; ++i) {
            ++number;
            if (number < fromPage || number > toPage) continue;
            if (!painter.isActive()) {
                device.setPageLayout(pageLayout(part.orientation));
                if (!painter.begin(&device)) return false;
            } else {
                if (device.pageLayout().orientation() != part.orientation)
                    device.setPageLayout(pageLayout(part.orientation));
                if (!device.newPage()) return false;
            }

            painter.setPen(Qt::black);
            painter.setFont(headFont);
            const qreal width = body.width();
            const QRectF headRect(0, 0, width, head.height());
            painter.drawText(headRect, Qt::AlignLeft | Qt::AlignVCenter, headLeft_);
            painter.drawText(headRect, Qt::AlignRight | Qt::AlignVCenter, headRight_);
            const qreal rule = dpi / 254.0;  // 0.1 mm
            painter.fillRect(QRectF(0, band * 0.75, width, rule), Qt::black);
            const qreal footTop = band + body.height();
            painter.fillRect(QRectF(0, footTop + band * 0.25, width, rule), Qt::black);
            painter.drawText(QRectF(0, footTop + band - head.height(), width, head.height()),
                             Qt::AlignHCenter | Qt::AlignVCenter,
                             PageNumber.arg(number).arg(pageCount_));

            painter.save();
            painter.translate(0, band);
            painter.scale(scale, scale);
            painter.setClipRect(QRectF(QPointF(0, 0), page));
            painter.translate(0, -i * page.height());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(QPointF(0, i * page.height()), page);
            context.palette.setColor(QPalette::Text, Qt::black);
            part.document->documentLayout()->draw(&painter, context);
            painter.restore();
        }
    }
    return painter.isActive() ? painter.end() : true;
}
