#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/settingsstore.h"

class TestSettingsStore : public QObject {
    Q_OBJECT
  private slots:
    void absentKeyGivesNothingOrFallback() {
        QTemporaryDir dir;
        const SettingsStore store(dir.filePath(QStringLiteral("s.ini")));
        QVERIFY(!store.text(QStringLiteral("Settings"), QStringLiteral("MainLeft")));
        QCOMPARE(store.text(QStringLiteral("Settings"), QStringLiteral("MainLeft"),
                            QStringLiteral("1000")),
                 QStringLiteral("1000"));
    }

    void textsSurviveAReopen() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.ini"));
        {
            SettingsStore store(path);
            store.setText(QStringLiteral("Settings"), QStringLiteral("MainLeft"),
                          QStringLiteral("1500"));
            store.setText(QStringLiteral("Settings"), QStringLiteral("Note"),
                          QStringLiteral("水管, 1"));
            QVERIFY(store.flush());
        }
        const SettingsStore again(path);
        QCOMPARE(again.text(QStringLiteral("Settings"), QStringLiteral("MainLeft")),
                 QStringLiteral("1500"));
        QCOMPARE(again.text(QStringLiteral("Settings"), QStringLiteral("Note")),
                 QStringLiteral("水管, 1"));
        QVERIFY(!again.text(QStringLiteral("Other"), QStringLiteral("MainLeft")));
    }

    // CTest gives every test its own XDG_CONFIG_HOME, so the user's store is never touched.
    void defaultStoreLivesUnderTheQuorvelName() {
        const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (home.isEmpty()) QSKIP("run through CTest, which sets XDG_CONFIG_HOME");
        const QString expected = home + QStringLiteral("/Quorvel/Quorvel.conf");
        QFile::remove(expected);
        {
            SettingsStore store;
            QCOMPARE(store.fileName(), expected);
            store.setText(QStringLiteral("Settings"), QStringLiteral("MainTop"),
                          QStringLiteral("1000"));
            QVERIFY(store.flush());
        }
        QFile file(expected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(content.contains("[Settings]\nMainTop=1000"), content.constData());
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
