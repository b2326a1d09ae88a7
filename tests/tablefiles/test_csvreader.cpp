#include <QTest>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tablefiles/csvreader.h"

namespace {

constexpr std::size_t Limit = CsvReader::MaxRecordBytes;

// Hands out `data` as a pipe would, in pieces that never cross `edge`.
CsvReader::Source piecesSplitAt(const std::string& data, std::size_t edge) {
    return [&data, edge, at = std::size_t{0}](char* out, std::size_t size) mutable {
        std::size_t end = std::min(data.size(), at + size);
        if (at < edge) end = std::min(end, edge);
        std::copy(data.begin() + at, data.begin() + end, out);
        const auto n = static_cast<std::ptrdiff_t>(end - at);
        at = end;
        return n;
    };
}

struct Outcome {
    std::vector<std::string> firstFields;  // of each record
    std::string error;

    bool operator==(const Outcome&) const = default;
};

Outcome readAll(CsvReader::Source source) {
    CsvReader reader(std::move(source), 4);
    Outcome outcome;
    CsvReader::Status status;
    while ((status = reader.next()) == CsvReader::Status::Record)
        outcome.firstFields.emplace_back(reader.field(0));
    if (status == CsvReader::Status::Error) outcome.error = reader.errorText();
    return outcome;
}

}  // namespace

class TestCsvReader : public QObject {
    Q_OBJECT
  private slots:
    void lineLimitWhereverTheEdgeFalls_data();
    void lineLimitWhereverTheEdgeFalls();
    void plainFieldsAreTheFieldsAsWritten_data();
    void plainFieldsAreTheFieldsAsWritten();
};

// A line of `content` bytes: the limit counts neither its line end nor the byte order mark of
// the first line, whichever read the last of them arrives in.
void TestCsvReader::lineLimitWhereverTheEdgeFalls_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<qlonglong>("content");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("accepted");
    const QByteArray bom = "\xEF\xBB\xBF";
    const qlonglong limit = Limit;
    QTest::newRow("CR LF, at the limit")
        << QByteArray("h\r\n") << limit << QByteArray("\r\n1\r\n") << true;
    QTest::newRow("CR LF, one over")
        << QByteArray("h\r\n") << limit + 1 << QByteArray("\r\n1\r\n") << false;
    QTest::newRow("LF, at the limit") << QByteArray("h\n") << limit << QByteArray("\n1\n") << true;
    QTest::newRow("LF, one over") << QByteArray("h\n") << limit + 1 << QByteArray("\n1\n") << false;
    QTest::newRow("byte order mark and CR LF on line 1, at the limit")
        << bom << limit << QByteArray("\r\n1\r\n") << true;
    QTest::newRow("byte order mark on line 1, one over")
        << bom << limit + 1 << QByteArray("\n1\n") << false;
    QTest::newRow("byte order mark and CR LF, last line, at the limit")
        << bom << limit << QByteArray("\r\n") << true;
    QTest::newRow("a mark on line 2 is content")
        << QByteArray("h\n" + bom) << limit - 2 << QByteArray("\n1\n") << false;
    QTest::newRow("CR without LF at the end of the input")
        << QByteArray("h\n") << limit << QByteArray("\r") << true;
    QTest::newRow("two CRs: one is content")
        << QByteArray("h\n") << limit << QByteArray("\r\r\n1\n") << false;
}

void TestCsvReader::lineLimitWhereverTheEdgeFalls() {
    QFETCH(QByteArray, before);
    QFETCH(qlonglong, content);
    QFETCH(QByteArray, after);
    QFETCH(bool, accepted);
    const std::string data = before.toStdString() + std::string(content, '5') + after.toStdString();
    const Outcome whole = readAll(piecesSplitAt(data, data.size()));
    QCOMPARE(whole.error.empty(), accepted);
    if (accepted)
        QVERIFY(std::count(whole.firstFields.begin(), whole.firstFields.end(),
                           std::string(content, '5')) == 1);

    // Every edge near the start of the line and near its end, where the mark and the line
    // end arrive, and edges at the read size that fall inside the line.
    const std::size_t lineEnd = before.size() + static_cast<std::size_t>(content);
    std::vector<std::size_t> edges{Limit - 1, Limit, Limit + 1};
    for (std::size_t d = 0; d <= 6; ++d) {
        edges.push_back(d);
        edges.push_back(lineEnd + d - 3);
    }
    for (const std::size_t edge : edges) {
        const Outcome split = readAll(piecesSplitAt(data, edge));
        QVERIFY2(split == whole, qPrintable(QStringLiteral("edge at byte %1: %2")
                                                .arg(edge)
                                                .arg(QString::fromStdString(split.error))));
    }
}

void TestCsvReader::plainFieldsAreTheFieldsAsWritten_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("plain");
    QTest::newRow("more fields than asked for") << QByteArray("1,2,3,4\n") << 2 << true;
    QTest::newRow("fewer fields than asked for") << QByteArray("1,2\n") << 3 << true;
    QTest::newRow("empty fields") << QByteArray(",,\r\n") << 3 << true;
    QTest::newRow("blanks kept") << QByteArray(" 1 , 2\n") << 2 << true;
    QTest::newRow("quoted field") << QByteArray("\"1\",2\n") << 2 << false;
    QTest::newRow("a quote in a plain field") << QByteArray("1\"5,2\n") << 2 << false;
    QTest::newRow("a CR inside a line") << QByteArray("1\r5,2\n") << 2 << false;
    QTest::newRow("line after a record of two lines")
        << QByteArray("\"a\nb\",2\n3,4\n") << 2 << true;
}

// What plainFields() gives is what the fields give joined by commas, so that copying it
// writes the same bytes as writing the fields one by one.
void TestCsvReader::plainFieldsAreTheFieldsAsWritten() {
    QFETCH(QByteArray, input);
    QFETCH(int, count);
    QFETCH(bool, plain);
    const std::string data = input.toStdString();
    CsvReader reader(piecesSplitAt(data, data.size()), 3);
    std::optional<std::string_view> last;
    std::string joined;
    while (reader.next() == CsvReader::Status::Record) {
        last = reader.plainFields(count);
        joined.clear();
        const std::size_t n = std::min<std::size_t>(count, reader.fieldCount());
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) joined += ',';
            joined += reader.field(i);
        }
        if (last) QCOMPARE(std::string(*last), joined);
    }
    QCOMPARE(last.has_value(), plain);
}

QTEST_APPLESS_MAIN(TestCsvReader)
#include "test_csvreader.moc"
