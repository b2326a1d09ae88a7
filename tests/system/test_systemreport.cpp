#include <unistd.h>

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/systemtexts.h"
#include "hydraulics/watersystem.h"
#include "platform/fonts.h"
#include "system/systemreport.h"

namespace h = hydraulics;

namespace {

QString readBack(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Text without blanks and line ends: a reader breaks long lines where the page does.
QString squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

QString fig(double value) { return QString::fromStdString(h::figureText(value)); }

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

h::SectionInput section(const char* id, const char* up, const char* L, const char* Q,
                        const char* zeta, const char* equip) {
    h::SectionInput in;
    in.id = id;
    in.up = up;
    in.L = L;
    in.Q = Q;
    in.zeta = zeta;
    in.equip = equip;
    return in;
}

// A plant main L1 to a riser L2 that feeds two air-handling units, and a fan-coil branch off
// L1 much shorter than the riser's: the critical loop runs through the riser, the fan coil
// needs a balancing valve.
struct SmallSystem {
    h::PipeCatalog catalog = h::shippedCatalog();
    h::SystemSettings settings;
    std::vector<h::SectionInput> sections{
        section("L1", "", "40", "", "2", ""),
        section("L2", "L1", "25", "", "1.5", ""),
        section("AHU-1", "L2", "12", "120", "4", "30"),
        section("AHU-2", "L2", "18", "80", "4", "30"),
        section("FCU-1", "L1", "8", "60", "3", "5"),
    };
    h::SystemResult result;

    explicit SmallSystem(bool open = false) {
        settings.plantKPa = 50;
        if (open) {
            settings.open = true;
            settings.staticLift = 12;
            settings.friction = h::FrictionModel::Screen;
            settings.returnDoubled = true;
        }
        sections[2].fittings = {{"90°弯头", 2, "0.5"}, {"闸阀", 1, "0.1"}};
        sections[2].equipmentName = "组合式空调机组";
        result = h::computeSystem(sections, settings, catalog);
    }
};

}  // namespace

class SystemReportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void initTestCase() {
        installFontSubstitutions();
        QVERIFY(dir_.isValid());
    }

    // The written PDF read back: the formulas, the rows, the worked head, the balance and the
    // sources, in Chinese that searches as typed.
    void pdfReadsBack_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("friction");  // the formula of the project's model
        QTest::addColumn<QString>("other");     // that of the other model
        const QString colebrook = QStringLiteral("1/√λ = −2·lg[K/(3.7·d) + 2.51/(Re·√λ)]");
        const QString screen = QStringLiteral("λ = 0.0055·[1 + (20000·K/d + 10");
        QTest::newRow("closed, Colebrook") << false << colebrook << screen;
        QTest::newRow("open with lift, screen model, return doubled")
            << true << screen << colebrook;
    }

    void pdfReadsBack() {
        QFETCH(bool, open);
        QFETCH(QString, friction);
        QFETCH(QString, other);
        SmallSystem s(open);
        QVERIFY(s.result.complete);
        QVERIFY(!s.result.unbalanced.empty());
        SystemReport report(QStringLiteral("某办公楼空调冷水系统"), s.settings, s.sections,
                            s.result, s.catalog, QDate(2026, 12, 7));
        const QString path = dir_.filePath(QStringLiteral("计算书.pdf"));
        const Outcome outcome = report.writePdf(path);
        QVERIFY2(outcome.ok(), qPrintable(outcome.reason()));
        QCOMPARE(QDir(dir_.path()).entryList({"*.pdf*"}, QDir::Files), QStringList{"计算书.pdf"});

        const QString text = readBack("pdftotext", {path, "-"});
        const QString flat = squeezed(text);
        for (const char* words :
             {"水系统水力计算书", "某办公楼空调冷水系统", "2026-12-07", "最不利环路",
              "水泵流量与扬程", "G = 3600·Q / (c·ρ·Δt)", "Re = v·d / ν", "Darcy–Weisbach",
              "组合式空调机组", "90°弯头 2 × 0.5"})
            QVERIFY2(flat.contains(squeezed(QString::fromUtf8(words))), words);
        QVERIFY(flat.contains(squeezed(friction)));
        QVERIFY(!flat.contains(squeezed(other)));
        QCOMPARE(flat.contains(QStringLiteral("k=2；至管段末阻力")), open);

        // Every figure of a section's row, in the order of the table's columns.
        const QString layout = readBack("pdftotext", {"-layout", path, "-"});
        for (std::size_t i = 0; i < s.sections.size(); ++i) {
            const h::SectionResult& r = s.result.sections[i];
            QStringList cells{QString::fromStdString(s.sections[i].id)};
            for (double value : {r.G, double(*r.size), r.d, r.v, r.R, r.Py, r.zeta, r.Pd, r.Pj,
                                 r.equip, r.P, r.Pend})
                cells.append(QRegularExpression::escape(fig(value)));
            const QRegularExpression row(QStringLiteral("^\\s*") + cells.join(".*"),
                                         QRegularExpression::MultilineOption);
            QVERIFY2(row.match(layout).hasMatch(), qPrintable(cells.join(' ')));
        }

        QVERIFY(flat.contains(squeezed(QStringLiteral("冷热源 → L1 → L2 → AHU-2"))));

        // The head worked in numbers that add up, and are the engine's.
        const QString lines = text.simplified();
        const QRegularExpressionMatch head =
            QRegularExpression(
                QStringLiteral("H = β·\\(ΔPmax \\+ ΔPs\\)(?: \\+ ρ·g·h)? = ([0-9.]+) × "
                               "\\(([0-9.]+) \\+ ([0-9.]+)\\)(?: \\+ ([0-9.]+))? = "
                               "([0-9.]+) Pa = ([0-9.]+) kPa"))
                .match(lines);
        QVERIFY2(head.hasMatch(), qPrintable(lines));
        const double safety = head.captured(1).toDouble();
        const double critical = head.captured(2).toDouble();
        const double plant = head.captured(3).toDouble();
        const double lift = head.captured(4).toDouble();
        const double pascals = head.captured(5).toDouble();
        QCOMPARE(safety, 1.1);
        QCOMPARE(plant, 50000.0);
        QCOMPARE(head.captured(2), fig(s.result.criticalPa));
        QCOMPARE(head.captured(6), fig(s.result.headKPa));
        // 7 significant digits on every figure.
        QVERIFY(std::abs(safety * (critical + plant) + lift - pascals) < 1e-6 * pascals);
        QVERIFY(std::abs(pascals / 1000 - head.captured(6).toDouble()) < 1e-6 * pascals / 1000);
        const QRegularExpressionMatch statics =
            QRegularExpression(
                QStringLiteral("ρ·g·h = ([0-9.]+) × ([0-9.]+) × ([0-9.]+) = ([0-9.]+) Pa"))
                .match(lines);
        QCOMPARE(statics.hasMatch(), open);
        if (open) {
            QCOMPARE(statics.captured(3).toDouble(), 12.0);
            QCOMPARE(statics.captured(4), head.captured(4));
            const double rhoGh = statics.captured(1).toDouble() * statics.captured(2).toDouble() *
                                 statics.captured(3).toDouble();
            QVERIFY(std::abs(rhoGh - lift) < 1e-6 * lift);
        }
        QVERIFY(flat.contains(squeezed(QStringLiteral("= %1 m").arg(fig(s.result.headM)))));

        // The balancing valve: its pressure and Kv on the branch's row, Kv = G/√(ΔP/100 kPa).
        const h::UnbalancedBranch& branch = s.result.unbalanced.front();
        QCOMPARE(branch.branchId, std::string("FCU-1"));
        const QRegularExpressionMatch valve =
            QRegularExpression(QStringLiteral("^\\s*L1\\s+FCU-1\\s+(.*)$"),
                               QRegularExpression::MultilineOption)
                .match(layout);
        QVERIFY(valve.hasMatch());
        const QStringList figures = valve.captured(1).split(' ', Qt::SkipEmptyParts);
        QCOMPARE(figures.size(), 6);
        QCOMPARE(figures[3], fig(branch.extraPa));
        QCOMPARE(figures[5], fig(branch.kv));
        const double kv = figures[4].toDouble() / std::sqrt(figures[3].toDouble() / 100000);
        QVERIFY(std::abs(kv - figures[5].toDouble()) < 1e-5 * kv);

        // Sources of the figures used, with whether they were seen.
        const h::PipeSeries* series = s.catalog.find(s.settings.series);
        QVERIFY(series);
        QVERIFY(flat.contains(squeezed(QString::fromStdString(series->source))));
        QVERIFY(
            flat.contains(squeezed(QString::fromStdString(s.catalog.closedVelocity[0].source))));
        QVERIFY(flat.contains(QStringLiteral("已见原文")));
        QVERIFY(flat.contains(QStringLiteral("未核原文")));

        // Its pages as pictures beside the windows' screenshots, to be looked at.
        const QString pictures = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
        if (!pictures.isEmpty() && QDir().mkpath(pictures)) {
            for (const QString& old : QDir(pictures).entryList({"system-report-*.png"}))
                QFile::remove(pictures + '/' + old);
            readBack("pdftoppm", {"-png", "-r", "90", path, pictures + "/system-report"});
        }

        const QStringList fonts =
            readBack("pdffonts", {path}).split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts) {
            const QStringList columns = font.split(' ', Qt::SkipEmptyParts);
            QVERIFY2(columns.size() >= 5 && columns[columns.size() - 5] == "yes", qPrintable(font));
        }
    }

    // The section table of a long system spans several landscape pages, each with the header.
    void headerOnEveryPage() {
        SmallSystem s;
        s.sections.clear();
        for (int i = 0; i < 150; ++i) {
            const QByteArray id = "S" + QByteArray::number(i);
            const QByteArray up = i == 0 ? QByteArray() : "S" + QByteArray::number((i - 1) / 2);
            s.sections.push_back(
                section(id.constData(), up.constData(), "10", i >= 75 ? "20" : "", "2", ""));
        }
        s.result = h::computeSystem(s.sections, s.settings, s.catalog);
        QVERIFY(s.result.complete);
        SystemReport report(QString(), s.settings, s.sections, s.result, s.catalog);
        const QString path = dir_.filePath(QStringLiteral("long.pdf"));
        QVERIFY(report.writePdf(path).ok());

        const QString info = readBack("pdfinfo", {"-f", "1", "-l", "99", path});
        const QRegularExpression size(QStringLiteral("Page +(\\d+) size: +([0-9.]+) x ([0-9.]+)"));
        QList<int> landscape;
        for (auto it = size.globalMatch(info); it.hasNext();) {
            const QRegularExpressionMatch page = it.next();
            if (page.captured(2).toDouble() > page.captured(3).toDouble())
                landscape.append(page.captured(1).toInt());
        }
        QVERIFY2(landscape.size() >= 3, qPrintable(info));
        QString rows;
        for (const int page : landscape) {
            const QString number = QString::number(page);
            const QString text =
                readBack("pdftotext", {"-layout", "-f", number, "-l", number, path, "-"});
            QVERIFY2(
                text.contains(QRegularExpression(QStringLiteral("管段编号 +上游管段 +长度 L"))),
                qPrintable(text));
            QVERIFY(text.contains(QRegularExpression(QStringLiteral("m/s +Pa/m"))));
            QVERIFY(text.contains(QStringLiteral("未命名")));
            rows += text;
        }
        // No row lost at a page break.
        for (const h::SectionInput& in : s.sections)
            QVERIFY2(rows.contains(QRegularExpression(
                         QStringLiteral("(^|\\s)%1(\\s|$)").arg(QString::fromStdString(in.id)))),
                     in.id.c_str());
    }

    // A path that cannot take the file: a failure naming it, and what was there stays.
    void unwritable_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("kept");  // a file whose bytes must survive
        QTest::newRow("missing folder") << "missing/报告.pdf" << QString();
        QTest::newRow("a folder") << "folder"
                                  << "folder/old.pdf";
        QTest::newRow("folder is a file") << "old.pdf/报告.pdf"
                                          << "old.pdf";
        if (geteuid() != 0)
            QTest::newRow("read-only folder") << "locked/old.pdf"
                                              << "locked/old.pdf";
    }

    void unwritable() {
        QFETCH(QString, target);
        QFETCH(QString, kept);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("folder"));
        QDir(dir.path()).mkpath(QStringLiteral("locked"));
        for (const char* name : {"old.pdf", "folder/old.pdf", "locked/old.pdf"}) {
            QFile old(dir.filePath(QString::fromUtf8(name)));
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        }
        QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);

        SmallSystem s;
        SystemReport report(QString(), s.settings, s.sections, s.result, s.catalog);
        const QString path = dir.filePath(target);
        const Outcome outcome = report.writePdf(path);
        QVERIFY(!outcome.ok());
        QVERIFY(!outcome.reason().isEmpty());
        const QString shown = reportFailureText(outcome, path);
        QVERIFY(shown.contains(QDir::toNativeSeparators(path)));
        QVERIFY(shown.contains(outcome.reason()));
        if (!kept.isEmpty()) QCOMPARE(bytesOf(dir.filePath(kept)), QByteArray("old"));
        QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner |
                                                                          QFileDevice::WriteOwner |
                                                                          QFileDevice::ExeOwner);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.pdf"});
    }

    // Systems the engine cannot compute in whole or in part still give a report, which says
    // why where the figures would be.
    void failedSystems_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("no sections") << 0;
        QTest::newRow("temperature outside the water tables") << 1;
        QTest::newRow("unknown series") << 2;
        QTest::newRow("loop in the links") << 3;
    }

    void failedSystems() {
        QFETCH(int, kind);
        SmallSystem s;
        switch (kind) {
            case 0:
                s.sections.clear();
                break;
            case 1:
                s.settings.t = 150;
                break;
            case 2:
                s.settings.series = "no-such-series";
                break;
            case 3:
                s.sections[0].up = "AHU-2";
                break;
        }
        s.result = h::computeSystem(s.sections, s.settings, s.catalog);
        SystemReport report(QString(), s.settings, s.sections, s.result, s.catalog);
        const QString path = dir_.filePath(QStringLiteral("failed.pdf"));
        const Outcome outcome = report.writePdf(path);
        QVERIFY2(outcome.ok(), qPrintable(outcome.reason()));
        const QString text = squeezed(readBack("pdftotext", {path, "-"}));
        QVERIFY(text.contains(QStringLiteral("没有可计算的环路")));
        std::vector<h::SectionError> errors;
        if (s.result.settingsError) errors.push_back(*s.result.settingsError);
        for (const h::SectionResult& r : s.result.sections)
            errors.insert(errors.end(), r.errors.begin(), r.errors.end());
        QCOMPARE(errors.empty(), kind == 0);
        for (const h::SectionError& error : errors)
            QVERIFY(text.contains(squeezed(QString::fromStdString(h::errorText(error)))));
    }

    // A result of other sections (an empty one here) does not put figures on the wrong rows:
    // the report is that of the sections given.
    void resultOfOtherSections() {
        SmallSystem s;
        const h::SystemResult stale;
        SystemReport report(QString(), s.settings, s.sections, stale, s.catalog);
        const QString text = report.text();
        QVERIFY(text.contains(fig(s.result.headKPa)));
        QVERIFY(text.contains(fig(s.result.sections.back().Pend)));
    }

    // A printer that prints to a PDF file writes the pages chosen in the dialog, atomically.
    void printerRange() {
        SmallSystem s;
        SystemReport report(QStringLiteral("范围"), s.settings, s.sections, s.result, s.catalog);
        const QString all = dir_.filePath(QStringLiteral("all.pdf"));
        QVERIFY(report.writePdf(all).ok());
        const int pages = QRegularExpression(QStringLiteral("Pages: +(\\d+)"))
                              .match(readBack("pdfinfo", {all}))
                              .captured(1)
                              .toInt();
        QVERIFY(pages >= 3);

        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString part = dir_.filePath(QStringLiteral("part.pdf"));
        printer.setOutputFileName(part);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, pages - 1);
        const Outcome outcome = report.print(printer);
        QVERIFY2(outcome.ok(), qPrintable(outcome.reason()));
        QCOMPARE(readBack("pdfinfo", {part})
                     .contains(QRegularExpression(QStringLiteral("Pages: +%1\\n").arg(pages - 2))),
                 true);
        QVERIFY(squeezed(readBack("pdftotext", {part, "-"})).contains(QStringLiteral("第2页")));

        // Back to all pages in the dialog: the range left on the printer does not count.
        printer.setPrintRange(QPrinter::AllPages);
        QVERIFY(report.print(printer).ok());
        QVERIFY(readBack("pdfinfo", {part})
                    .contains(QRegularExpression(QStringLiteral("Pages: +%1\\n").arg(pages))));
    }
};

QTEST_MAIN(SystemReportTest)
#include "test_systemreport.moc"
