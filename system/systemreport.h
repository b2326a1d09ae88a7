#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/sectioninput.h"
#include "hydraulics/watersystem.h"
#include "platform/outcome.h"
#include "system/reportpages.h"

class QPrinter;

// What the window shows when writing the report to `path` (empty: printing it) failed.
QString reportFailureText(const Outcome& outcome, const QString& path);

// The calculation report (计算书) of a water system: the design conditions, the formulas with
// their symbols, the pipe series and the sizing guidance with their sources, the section table,
// the critical loop, the pump head worked step by step, the balance of parallel branches and
// the notes. A4; the section table on landscape pages with its header on each of them.
class SystemReport {
  public:
    // `result` is computeSystem(sections, settings, catalog); the report keeps none of them.
    SystemReport(const QString& projectTitle, const hydraulics::SystemSettings& settings,
                 const std::vector<hydraulics::SectionInput>& sections,
                 const hydraulics::SystemResult& result, const hydraulics::PipeCatalog& catalog,
                 const QDate& date = QDate::currentDate());
    ~SystemReport();
    SystemReport(const SystemReport&) = delete;
    SystemReport& operator=(const SystemReport&) = delete;

    // The documents of the three parts: the text before the section table, the table, the text
    // after it.
    const ReportPages& pages() const { return pages_; }
    // Every text of the report, the running head included.
    QString text() const;

    // A PDF with its fonts embedded, written to a temporary file in the target's folder and
    // renamed over the target: a failure leaves the old file, or none.
    Outcome writePdf(const QString& path);

    // The same document on a printer chosen in the print dialog, in the page range chosen
    // there. A printer set to print to a PDF file writes it as writePdf does.
    Outcome print(QPrinter& printer);

  private:
    Outcome writePdfPages(const QString& path, int fromPage, int toPage);
    QByteArray pdfBytes(int fromPage, int toPage, bool& painted);

    ReportPages pages_;
    QString title_;
};
