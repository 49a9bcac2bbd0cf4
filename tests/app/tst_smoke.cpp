// Starts the real program as a new user and ends it as a logout or a kill would.

#include "DataFile.h"
#include "RegIniFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

using namespace pinleaf;

namespace {

const QString kMain = QStringLiteral("Software\\Corvane Software\u2122\\Pinleaf");

QString socketPath() {
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pinleaf/instance");
}

}  // namespace

class TestSmoke : public QObject {
    Q_OBJECT

private slots:
    void init() {
        // Each case starts from a new user: no settings, no data file, no program running.
        QFile::remove(RegistryStore::currentUserFile());
        QFile::remove(QStringLiteral("Pinleaf.cds"));
        QVERIFY(!QFile::exists(socketPath()) || QFile::remove(socketPath()));
    }

    void newUserSavesOnSignal_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void newUserSavesOnSignal() {
        QFETCH(int, signalNumber);
        QProcess pinleaf;
        pinleaf.setProcessChannelMode(QProcess::ForwardedChannels);
        pinleaf.start(QStringLiteral(PINLEAF_BINARY), {});
        QVERIFY(pinleaf.waitForStarted());
        // Started once it listens for a second start and has made the first data file; a
        // signal from then on is handled however far the start-up has come.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socketPath()) && QFile::exists(QStringLiteral("Pinleaf.cds")),
                                 15000);

        QCOMPARE(::kill(pinleaf.processId(), signalNumber), 0);
        QVERIFY(pinleaf.waitForFinished(15000));
        QCOMPARE(pinleaf.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pinleaf.exitCode(), 0);

        // The exit save ran: one blank record in the data file, every setting as text.
        QCOMPARE(datafile::read(QStringLiteral("Pinleaf.cds")).size(), std::size_t(1));
        RegistryStore store(RegistryStore::currentUserFile());
        QCOMPARE(store.value(kMain, QStringLiteral("Showing")), QStringLiteral("1"));
        QCOMPARE(store.value(kMain, QStringLiteral("SortOn")), QStringLiteral("2"));
        QCOMPARE(store.value(kMain, QStringLiteral("RecordNumber")), QStringLiteral("0"));
        QCOMPARE(store.value(kMain, QStringLiteral("FileLocation")),
                 QDir::current().absoluteFilePath(QStringLiteral("Pinleaf.cds")));
        for (const char* entry : {"Left", "Top", "Alarm", "AlwaysOnTop", "AnimatedIcon",
                                  "Ascending", "Sliced", "Extracted"}) {
            QVERIFY2(store.hasValue(kMain, QLatin1String(entry)), entry);
        }
    }

    void secondStartShowsTheRunningProgram() {
        datafile::write(QStringLiteral("Pinleaf.cds"), {});
        {
            TRegIniFile key(std::make_shared<RegistryStore>(RegistryStore::currentUserFile()),
                            QStringLiteral("Software\\Corvane Software\u2122"));
            key.WriteBool(QStringLiteral("Pinleaf"), QStringLiteral("Showing"), false);
        }
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedChannels);
        first.start(QStringLiteral(PINLEAF_BINARY), {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socketPath()), 15000);

        QProcess second;
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(QStringLiteral(PINLEAF_BINARY), {});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.terminate();
        QVERIFY(first.waitForFinished(15000));
        QCOMPARE(first.exitCode(), 0);
        // The first program was hidden; the second start made it show its window.
        QCOMPARE(RegistryStore(RegistryStore::currentUserFile()).value(kMain, QStringLiteral("Showing")),
                 QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestSmoke)
#include "tst_smoke.moc"
