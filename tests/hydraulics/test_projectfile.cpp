#include <QTest>

#include "hydraulics/projectfile.h"

using namespace hydraulics;

Q_DECLARE_METATYPE(ProjectFailure)

namespace {

Project sample() {
    Project p;
    p.title = "某办公楼 空调冷水系统";
    p.settings.t = 12.5;
    p.settings.dt = 6;
    p.settings.series = "copper-B";
    p.settings.roughness = 0.0015;
    p.settings.friction = FrictionModel::Screen;
    p.settings.rMax = 250;
    p.settings.open = true;
    p.settings.staticLift = 3.3;
    p.settings.returnDoubled = true;
    p.settings.plantKPa = 85;
    p.settings.safety = 1.15;
    p.settings.balancePercent = 10;
    SectionInput a;
    a.id = "干管 1";
    a.L = "0.1";  // a text that no double spells back the same way
    a.Q = "1e3";
    a.zeta = " 2.50 ";
    a.fittings = {{"90°弯头", 4, "0.3"}, {"闸阀", 1, "0.08"}};
    SectionInput b;
    b.id = "FCU-\"3\"";
    b.up = "干管 1";
    b.L = "12";
    b.G = "abc";  // kept as typed, even when the engine will refuse it
    b.d = "40";
    b.equip = "35";
    b.equipmentName = "风机盘管";
    p.sections = {a, b};
    return p;
}

}  // namespace

class TestProjectFile : public QObject {
    Q_OBJECT
  private slots:
    void roundTripKeepsEveryText();
    void defaultsWhereAnOlderFileIsSilent();
    void refused_data();
    void refused();
    void tooLargeAndTooDeep();
};

void TestProjectFile::roundTripKeepsEveryText() {
    const Project p = sample();
    const std::string bytes = writeProject(p);
    const ProjectReadOutcome read = readProject(bytes);
    QVERIFY2(read.ok(), read.reason().c_str());
    QVERIFY(*read.project == p);
    // Written the same way twice, and again after a round trip: saving is deterministic.
    QCOMPARE(writeProject(*read.project), bytes);
    // With a byte order mark, as an editor may save it.
    QVERIFY(readProject("\xEF\xBB\xBF" + bytes).ok());
    // No roughness given: the series' default.
    Project q = p;
    q.settings.roughness.reset();
    QVERIFY(!readProject(writeProject(q)).project->settings.roughness);
}

void TestProjectFile::defaultsWhereAnOlderFileIsSilent() {
    const ProjectReadOutcome read = readProject(
        R"({"format":"quorvel-system","version":1,"sections":[{"id":"a"}],"later":{"x":1}})");
    QVERIFY(read.ok());
    const SystemSettings defaults;
    QCOMPARE(read.project->settings.t, defaults.t);
    QCOMPARE(read.project->settings.series, defaults.series);
    QCOMPARE(read.project->sections.at(0).L, std::string());
}

void TestProjectFile::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ProjectFailure>("failure");
    QTest::addColumn<QString>("detail");
    const QByteArray head = R"({"format":"quorvel-system","version":1,)";
    QTest::newRow("empty") << QByteArray() << ProjectFailure::NotJson << "";
    QTest::newRow("truncated") << QByteArray(writeProject(sample()).substr(0, 200).c_str())
                               << ProjectFailure::NotJson << "";
    QTest::newRow("not UTF-8") << QByteArray("{\"format\":\"quorvel-system\",\"title\":\"\xC4\"}")
                               << ProjectFailure::NotJson << "";
    QTest::newRow("an array") << QByteArray("[1,2]") << ProjectFailure::NotAProject << "";
    QTest::newRow("another format")
        << QByteArray(R"({"format":"x","version":1})") << ProjectFailure::NotAProject << "";
    QTest::newRow("newer") << QByteArray(R"({"format":"quorvel-system","version":2})")
                           << ProjectFailure::NewerVersion << "2";
    QTest::newRow("version as text") << QByteArray(R"({"format":"quorvel-system","version":"1"})")
                                     << ProjectFailure::BadVersion << "";
    QTest::newRow("version 0") << QByteArray(R"({"format":"quorvel-system","version":0})")
                               << ProjectFailure::BadVersion << "";
    QTest::newRow("length as a number") << head + R"("sections":[{"id":"a"},{"id":"b","L":12}]})"
                                        << ProjectFailure::WrongType << "sections[1].L";
    QTest::newRow("settings as text")
        << head + R"("settings":"hot"})" << ProjectFailure::WrongType << "settings";
    QTest::newRow("temperature as text")
        << head + R"("settings":{"t":"7"}})" << ProjectFailure::WrongType << "settings.t";
    QTest::newRow("unknown friction model") << head + R"("settings":{"friction":"moody"}})"
                                            << ProjectFailure::WrongType << "settings.friction";
    QTest::newRow("fractional count")
        << head + R"("sections":[{"fittings":[{"name":"x","count":1.5}]}]})"
        << ProjectFailure::WrongType << "sections[0].fittings[0].count";
    QTest::newRow("title as number")
        << head + R"("title":5})" << ProjectFailure::WrongType << "title";
}

void TestProjectFile::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(ProjectFailure, failure);
    QFETCH(QString, detail);
    const ProjectReadOutcome read = readProject(std::string_view(bytes.data(), bytes.size()));
    QVERIFY(!read.ok());
    QCOMPARE(read.failure, failure);
    QCOMPARE(QString::fromStdString(read.detail), detail);
    QVERIFY(!read.reason().empty());
}

void TestProjectFile::tooLargeAndTooDeep() {
    std::string deep(100000, '[');
    QCOMPARE(readProject(deep).failure, ProjectFailure::TooDeep);
    // Brackets inside a text do not count.
    const std::string quoted =
        R"({"format":"quorvel-system","version":1,"title":")" + std::string(100, '[') + R"("})";
    QVERIFY(readProject(quoted).ok());
    const std::string large(ProjectMaxBytes + 1, ' ');
    QCOMPARE(readProject(large).failure, ProjectFailure::TooLarge);
}

QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_projectfile.moc"
