// The desktop sound through libcanberra, played by a child process with a HOME of its own:
// with ALSA pointed at a file the sound is recorded there, and without a sound device the
// program goes on at once, silently.

#include "Sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace pinleaf;

class TestSound : public QObject {
    Q_OBJECT

private slots:
    void playAndWait_data() {
        QTest::addColumn<bool>("device");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("recorded");

        QTest::newRow("warning sound on a device") << true << "dialog-warning" << true;
        QTest::newRow("unknown sound") << true << "pinleaf-no-such-sound" << false;
        QTest::newRow("no sound device") << false << "dialog-warning" << false;
    }

    void playAndWait() {
        QFETCH(bool, device);
        QFETCH(QString, event);
        QFETCH(bool, recorded);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString wav = home.filePath(QStringLiteral("out.wav"));
        if (device) {
            QFile rc(home.filePath(QStringLiteral(".asoundrc")));
            QVERIFY(rc.open(QIODevice::WriteOnly));
            rc.write(QStringLiteral("pcm.!default { type file; slave.pcm \"null\"; file \"%1\"; format \"wav\" }\n")
                         .arg(wav)
                         .toUtf8());
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        // No sound server of the session: ALSA alone decides.
        env.remove(QStringLiteral("PULSE_SERVER"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);

        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--play"), event});
        QVERIFY(child.waitForFinished(20000));
        const qint64 took = clock.elapsed();
        QCOMPARE(child.exitCode(), 0);
        // Never more than the two seconds of waiting (and the start of a process).
        QVERIFY2(took < 2000 + 1500, qPrintable(QString::number(took)));
        // When the wait is over the sound has been played to its end: the file is complete.
        // (The warning sound is half a second long: 88 kB of 16-bit stereo at 44.1 kHz.)
        QCOMPARE(QFileInfo(wav).size() > 44100, recorded);
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--play") == 0) {
        Sound().playEventAndWait(QString::fromUtf8(argv[2]), std::chrono::milliseconds(2000));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSound test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sound.moc"
