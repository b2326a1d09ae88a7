#pragma once

#include <QFont>
#include <QPageLayout>
#include <QString>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QTextDocument;

// The report's face at this size: the Song face the program's windows use, with its digits
// left unshaped so that a PDF reader can search and copy every number.
QFont reportFont(qreal pointSize);

// A printed document in parts, each laid out on A4 in its own orientation (a wide table on
// landscape pages between portrait text), every page with a running head and its number
// "第 n 页 共 N 页". Each part starts on a new page; a table that crosses a page boundary
// repeats its header rows as its format asks.
class ReportPages {
  public:
    ReportPages();
    ~ReportPages();
    ReportPages(const ReportPages&) = delete;
    ReportPages& operator=(const ReportPages&) = delete;

    // The running head: `left` at the left of the head line, `right` at its right.
    void setRunningHead(const QString& left, const QString& right);
    void addPart(std::unique_ptr<QTextDocument> document, QPageLayout::Orientation orientation);

    int partCount() const { return int(parts_.size()); }
    const QTextDocument& part(int index) const;
    // Every text the pages show: the running head, the page number's words and the parts.
    QString text() const;

    // Lays out every part for the device's resolution and paints pages `fromPage` to `toPage`
    // (1-based; 0 for either end means the whole document). The device must not be painted
    // on yet; its page layout becomes A4 with the report's margins. False when the device
    // refused to paint or to start a page.
    bool paint(QPagedPaintDevice& device, int fromPage = 0, int toPage = 0);

    // Pages of the last paint.
    int pageCount() const { return pageCount_; }

    // The page layout of a part: A4, this orientation, the report's margins.
    static QPageLayout pageLayout(QPageLayout::Orientation orientation);

  private:
    struct Part {
        std::unique_ptr<QTextDocument> document;
        QPageLayout::Orientation orientation;
        int pages = 0;
    };

    std::vector<Part> parts_;
    QString headLeft_;
    QString headRight_;
    int pageCount_ = 0;
};
