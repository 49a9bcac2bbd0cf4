// The per-user settings store: where its file lives, what the file looks like, how values
// read back, and how it copes with a damaged file or a place it cannot write to.

#include "RegIniFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

using namespace pinleaf;

namespace {

const QString kSettingsKey = QStringLiteral("Software\\Corvane Software™");
const QString kSoundKey = QStringLiteral("AppEvents\\Schemes\\Apps\\Pinleaf");

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A store read afresh from the current user's file, as the next run of the program sees it.
std::shared_ptr<RegistryStore> reloaded() {
    return std::make_shared<RegistryStore>(RegistryStore::currentUserFile());
}

QStringList numberNames(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString::number(i);
    return names;
}

}  // namespace

class TestRegIni : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp_;

    QString inTmp(const QString& name) const { return tmp_->filePath(name); }
    static QString file() { return RegistryStore::currentUserFile(); }

private slots:
    void init();

    void currentUserFile_data();
    void currentUserFile();
    void currentUserIsSharedPerFile();

    void freshUserGivesDefaults();
    void roundTripThroughFile();
    void textOnDisk();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void listingOrderPastTen();
    void overwriteKeepsPlace();
    void namesIgnoreCase();
    void eraseSection();

    void handEditedFile();
    void damagedFile_data();
    void damagedFile();
    void escapesRoundTrip_data();
    void escapesRoundTrip();
    void unwritableLocation();
};

void TestRegIni::init() {
    // Every test gets its own config folder (not yet created), so the shared store of the
    // process is a new one each time.
    tmp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp_->isValid());
    QVERIFY(QDir().mkpath(inTmp("home")));
    QVERIFY(QDir().mkpath(inTmp("work")));
    qputenv("HOME", QFile::encodeName(inTmp("home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(inTmp("config")));
    QVERIFY(QDir::setCurrent(inTmp("work")));
    // Warnings a test does not announce with ignoreMessage are faults.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestRegIni::currentUserFile_data() {
    QTest::addColumn<bool>("set");
    QTest::addColumn<QString>("xdg");  // "@" stands for the test's temporary folder
    QTest::addColumn<QString>("expected");

    QTest::newRow("absolute") << true << "@/cfg" << "cfg/pinleaf/registry.txt";
    QTest::newRow("unset") << false << "" << "home/.config/pinleaf/registry.txt";
    QTest::newRow("empty") << true << "" << "home/.config/pinleaf/registry.txt";
    QTest::newRow("relative") << true << "cfg" << "home/.config/pinleaf/registry.txt";
}

void TestRegIni::currentUserFile() {
    QFETCH(bool, set);
    QFETCH(QString, xdg);
    QFETCH(QString, expected);

    if (set)
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg.replace(QLatin1Char('@'), tmp_->path())));
    else
        qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(RegistryStore::currentUserFile(), inTmp(expected));
    QCOMPARE(RegistryStore::currentUser()->filePath(), inTmp(expected));
}

void TestRegIni::currentUserIsSharedPerFile() {
    const auto first = RegistryStore::currentUser();
    QCOMPARE(RegistryStore::currentUser().get(), first.get());

    TRegIniFile writer(kSettingsKey);
    TRegIniFile reader(kSettingsKey);
    writer.WriteInteger("Pinleaf", "Left", 807);
    QCOMPARE(reader.ReadInteger("Pinleaf", "Left", 10), 807);

    qputenv("XDG_CONFIG_HOME", QFile::encodeName(inTmp("other")));
    const auto second = RegistryStore::currentUser();
    QVERIFY(second.get() != first.get());
    QCOMPARE(second->filePath(), inTmp("other/pinleaf/registry.txt"));
    QCOMPARE(TRegIniFile(kSettingsKey).ReadInteger("Pinleaf", "Left", 10), 10);
}

void TestRegIni::freshUserGivesDefaults() {
    QVERIFY(!QFile::exists(file()));
    TRegIniFile settings(kSettingsKey);
    TRegIniFile sound(kSoundKey);

    QCOMPARE(settings.ReadString("Pinleaf", "FileLocation", "Pinleaf.cds"),
             QStringLiteral("Pinleaf.cds"));
    QCOMPARE(settings.ReadInteger("Pinleaf", "Left", 10000), 10000);
    QCOMPARE(settings.ReadBool("Pinleaf", "AnimatedIcon", true), true);
    QCOMPARE(settings.ReadBool("Pinleaf", "Alarm", false), false);
    QCOMPARE(sound.ReadString("Alarm\\.Default", "", "none"), QStringLiteral("none"));
    QVERIFY(settings.ReadSection("Pinleaf").isEmpty());
    QVERIFY(!settings.SectionExists("Pinleaf"));  // reading creates nothing

    // Opening creates the keys, on disk too, even while they are empty.
    QVERIFY(settings.SectionExists(""));
    const auto next = reloaded();
    QVERIFY(next->keyExists(kSettingsKey));
    QVERIFY(next->keyExists(kSoundKey));

    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(inTmp("config/pinleaf")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0700));

    // Opening a key that exists writes nothing.
    QVERIFY(QFile::remove(file()));
    TRegIniFile again(kSettingsKey);
    QVERIFY(!QFile::exists(file()));
}

void TestRegIni::roundTripThroughFile() {
    {
        TRegIniFile settings(kSettingsKey);
        settings.WriteString("Pinleaf", "FileLocation", "/home/ann/Pinleaf.cds");
        settings.WriteInteger("Pinleaf", "Left", 807);
        settings.WriteInteger("Pinleaf", "Top", -3);
        settings.WriteBool("Pinleaf", "Alarm", true);
        settings.WriteBool("Pinleaf", "Ascending", false);
        TRegIniFile sound(kSoundKey);
        sound.WriteString("Alarm\\.Default", "", "/usr/share/sounds/alarm.wav");
    }

    const auto store = reloaded();
    TRegIniFile settings(store, kSettingsKey);
    QCOMPARE(settings.ReadString("Pinleaf", "FileLocation", ""),
             QStringLiteral("/home/ann/Pinleaf.cds"));
    QCOMPARE(settings.ReadInteger("Pinleaf", "Left", 10), 807);
    QCOMPARE(settings.ReadInteger("Pinleaf", "Top", 10), -3);
    QCOMPARE(settings.ReadBool("Pinleaf", "Alarm", false), true);
    QCOMPARE(settings.ReadBool("Pinleaf", "Ascending", true), false);
    QCOMPARE(settings.ReadSection("Pinleaf"),
             QStringList({"FileLocation", "Left", "Top", "Alarm", "Ascending"}));

    TRegIniFile sound(store, kSoundKey);
    QCOMPARE(sound.ReadString("Alarm\\.Default", "", ""),
             QStringLiteral("/usr/share/sounds/alarm.wav"));
    QVERIFY(sound.ReadSection("Alarm\\.Default").isEmpty());  // the unnamed entry is not listed
    QCOMPARE(store->subkeyNames(kSoundKey), QStringList{"Alarm"});
    QCOMPARE(store->subkeyNames(kSoundKey + "\\Alarm"), QStringList{".Default"});
}

void TestRegIni::textOnDisk() {
    TRegIniFile settings(kSettingsKey);
    settings.WriteInteger("Pinleaf", "Left", 807);
    settings.WriteBool("Pinleaf", "Alarm", true);
    settings.WriteBool("Pinleaf", "AlwaysOnTop", false);
    settings.WriteString("Pinleaf", "Path", "C:\\dir \"x\"\r\n");
    TRegIniFile sound(kSoundKey);
    sound.WriteString("Alarm\\.Default", "", "a.wav");
    TRegIniFile empty("Software\\Empty");

    // Keys in order of creation; a key that only holds subkeys is left to them.
    QCOMPARE(QString::fromUtf8(readBytes(file())),
             QStringLiteral("; Pinleaf settings\n"
                            "\n"
                            "[Software\\Corvane Software™\\Pinleaf]\n"
                            "\"Left\"=\"807\"\n"
                            "\"Alarm\"=\"1\"\n"
                            "\"AlwaysOnTop\"=\"0\"\n"
                            "\"Path\"=\"C:\\\\dir \\\"x\\\"\\r\\n\"\n"
                            "\n"
                            "[AppEvents\\Schemes\\Apps\\Pinleaf\\Alarm\\.Default]\n"
                            "@=\"a.wav\"\n"
                            "\n"
                            "[Software\\Empty]\n"));
    QVERIFY(readBytes(file()).contains("Corvane Software\xE2\x84\xA2"));  // UTF-8
}

void TestRegIni::readInteger_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");  // the default is 77

    QTest::newRow("plain") << "807" << 807;
    QTest::newRow("negative") << "-3" << -3;
    QTest::newRow("plus sign") << "+5" << 5;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("int max") << "2147483647" << 2147483647;
    QTest::newRow("int min") << "-2147483648" << int(-2147483648LL);

    QTest::newRow("letters") << "abc" << 77;
    QTest::newRow("empty") << "" << 77;
    QTest::newRow("trailing letters") << "12abc" << 77;
    QTest::newRow("leading space") << " 12" << 77;
    QTest::newRow("trailing space") << "12 " << 77;
    QTest::newRow("above int") << "2147483648" << 77;
    QTest::newRow("below int") << "-2147483649" << 77;
    QTest::newRow("far above int") << "99999999999999999999999" << 77;
    QTest::newRow("fraction") << "1.5" << 77;
    QTest::newRow("sign only") << "-" << 77;
    QTest::newRow("hex") << "0x10" << 77;
    QTest::newRow("non-ASCII digits") << QStringLiteral("١٢") << 77;
}

void TestRegIni::readInteger() {
    QFETCH(QString, text);
    QFETCH(int, expected);

    TRegIniFile settings(kSettingsKey);
    settings.WriteString("Pinleaf", "SortOn", text);
    QCOMPARE(settings.ReadInteger("Pinleaf", "SortOn", 77), expected);
}

void TestRegIni::readBool_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");

    QTest::newRow("1") << "1" << false << true;
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("2 is on") << "2" << false << true;
    QTest::newRow("-1 is on") << "-1" << false << true;
    QTest::newRow("letters, default on") << "abc" << true << true;
    QTest::newRow("letters, default off") << "abc" << false << false;
    QTest::newRow("word true is no number") << "true" << false << false;
}

void TestRegIni::readBool() {
    QFETCH(QString, text);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);

    TRegIniFile settings(kSettingsKey);
    settings.WriteString("Pinleaf", "Alarm", text);
    QCOMPARE(settings.ReadBool("Pinleaf", "Alarm", defaultValue), expected);
}

void TestRegIni::listingOrderPastTen() {
    const QStringList names = numberNames(12);  // "10" and "11" must not sort before "2"
    {
        TRegIniFile settings(kSettingsKey);
        for (const QString& name : names)
            settings.WriteString("Pinleaf\\EmailMRU", name, name + "@example.org");
        QCOMPARE(settings.ReadSection("Pinleaf\\EmailMRU"), names);
    }
    TRegIniFile settings(reloaded(), kSettingsKey);
    QCOMPARE(settings.ReadSection("Pinleaf\\EmailMRU"), names);
    QCOMPARE(settings.ReadString("Pinleaf\\EmailMRU", "11", ""),
             QStringLiteral("11@example.org"));

    // The list is replaced by erasing the subkey and writing it again.
    settings.EraseSection("Pinleaf\\EmailMRU");
    for (const QString& name : numberNames(3))
        settings.WriteString("Pinleaf\\EmailMRU", name, "x");
    QCOMPARE(TRegIniFile(reloaded(), kSettingsKey).ReadSection("Pinleaf\\EmailMRU"),
             numberNames(3));
}

void TestRegIni::overwriteKeepsPlace() {
    TRegIniFile settings(kSettingsKey);
    settings.WriteInteger("Pinleaf", "Left", 1);
    settings.WriteInteger("Pinleaf", "Top", 2);
    settings.WriteInteger("Pinleaf", "SortOn", 3);
    settings.WriteInteger("Pinleaf", "Left", 807);

    const QStringList order{"Left", "Top", "SortOn"};
    QCOMPARE(settings.ReadSection("Pinleaf"), order);
    TRegIniFile next(reloaded(), kSettingsKey);
    QCOMPARE(next.ReadSection("Pinleaf"), order);
    QCOMPARE(next.ReadInteger("Pinleaf", "Left", 0), 807);
}

void TestRegIni::namesIgnoreCase() {
    TRegIniFile settings(kSettingsKey);
    settings.WriteInteger("Pinleaf", "Left", 1);
    settings.WriteInteger("PINLEAF", "left", 807);  // the same entry, spelled otherwise
    TRegIniFile other(QStringLiteral("software\\corvane software™"));

    QCOMPARE(other.ReadInteger("pinLeaf", "LEFT", 0), 807);
    QCOMPARE(settings.ReadSection("Pinleaf"), QStringList{"Left"});
    QVERIFY(other.SectionExists("PinLeaf"));

    // Names keep the spelling they were first written with.
    const QByteArray text = readBytes(file());
    QVERIFY2(text.contains("[Software\\Corvane Software\xE2\x84\xA2\\Pinleaf]\n\"Left\"=\"807\"\n"),
             text.constData());
    QCOMPARE(reloaded()->subkeyNames("SOFTWARE"), QStringList{"Corvane Software™"});
}

void TestRegIni::eraseSection() {
    TRegIniFile settings(kSettingsKey);
    settings.WriteString("Pinleaf", "Name", "Ann");
    settings.WriteString("Pinleaf\\EmailMRU", "0", "bob@example.org");
    settings.WriteString("Pinleaf2", "Kept", "yes");  // a sibling sharing the name's start

    settings.EraseSection("pinleaf");
    for (const auto& view : {settings, TRegIniFile(reloaded(), kSettingsKey)}) {
        QVERIFY(!view.SectionExists("Pinleaf"));
        QVERIFY(!view.SectionExists("Pinleaf\\EmailMRU"));
        QCOMPARE(view.ReadString("Pinleaf", "Name", "-"), QStringLiteral("-"));
        QVERIFY(view.ReadSection("Pinleaf\\EmailMRU").isEmpty());
        QCOMPARE(view.ReadString("Pinleaf2", "Kept", "-"), QStringLiteral("yes"));
    }

    settings.EraseSection("Missing");  // nothing to do, nothing breaks
    QVERIFY(settings.SectionExists(""));

    // The section "" is the key itself; a later write brings it back.
    settings.EraseSection("");
    QVERIFY(!settings.SectionExists(""));
    QVERIFY(!reloaded()->keyExists(kSettingsKey));
    settings.WriteString("", "Back", "1");
    QVERIFY(reloaded()->keyExists(kSettingsKey));
}

void TestRegIni::handEditedFile() {
    // What a person may leave behind: a byte-order mark, CRLF line ends, comments, indented
    // lines, blanks around '=', a key named twice, a key without its parents.
    const QByteArray text =
        "\xEF\xBB\xBF; my settings\r\n"
        "\r\n"
        "[Software\\Corvane Software\xE2\x84\xA2\\Pinleaf]\r\n"
        "  ; window place\r\n"
        "\"Left\" = \"807\"\r\n"
        "  \"Top\"=\"10\"  \r\n"
        "\"FileLocation\"=\"/home/ann/my \\\"notes\\\".cds\"\r\n"
        "\r\n"
        "[AppEvents\\Schemes\\Apps\\Pinleaf\\Alarm\\.Default]\r\n"
        "@=\"/usr/share/sounds/alarm.wav\"\r\n"
        "[software\\corvane software\xE2\x84\xA2\\pinleaf]\r\n"
        "\"left\"=\"900\"\r\n"
        "\"Sliced\"=\"1\"\r\n";
    writeBytes(file(), text);

    TRegIniFile settings(kSettingsKey);
    QCOMPARE(settings.ReadSection("Pinleaf"),
             QStringList({"Left", "Top", "FileLocation", "Sliced"}));
    QCOMPARE(settings.ReadInteger("Pinleaf", "Left", 0), 900);
    QCOMPARE(settings.ReadInteger("Pinleaf", "Top", 0), 10);
    QCOMPARE(settings.ReadString("Pinleaf", "FileLocation", ""),
             QStringLiteral("/home/ann/my \"notes\".cds"));
    QCOMPARE(TRegIniFile(kSoundKey).ReadString("Alarm\\.Default", "", ""),
             QStringLiteral("/usr/share/sounds/alarm.wav"));

    // The next write leaves a file of our own form and keeps nothing aside.
    settings.WriteBool("Pinleaf", "Sliced", false);
    QVERIFY(!QFile::exists(file() + ".damaged"));
    TRegIniFile next(reloaded(), kSettingsKey);
    QCOMPARE(next.ReadInteger("Pinleaf", "Left", 0), 900);
    QCOMPARE(next.ReadBool("Pinleaf", "Sliced", true), false);
}

void TestRegIni::damagedFile_data() {
    QTest::addColumn<QByteArray>("text");

    // Where a good entry stands ahead of the fault it must not survive: the whole file
    // counts as damaged.
    const QByteArray good = "[Software\\Corvane Software\xE2\x84\xA2\\Pinleaf]\n\"Top\"=\"5\"\n";
    QTest::newRow("garbage text") << QByteArray("This is not a settings file.\n");
    QTest::newRow("invalid UTF-8") << good + "\"Left\"=\"8\xff\xfe\"\n";
    QTest::newRow("cut UTF-8 sequence at end") << good + "; \xE2\x84";
    QTest::newRow("unterminated quote") << good + "\"Left\"=\"807\n";
    QTest::newRow("unknown escape") << good + "\"Left\"=\"8\\07\"\n";
    QTest::newRow("text after value") << good + "\"Left\"=\"807\" x\n";
    QTest::newRow("value before any key") << "\"Left\"=\"807\"\n" + good;
    QTest::newRow("empty key name") << "[]\n\"Left\"=\"807\"\n" + good;
}

void TestRegIni::damagedFile() {
    QFETCH(QByteArray, text);
    writeBytes(file(), text);

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QRegularExpression::escape(file()) + ".*damaged"));
    const auto store = RegistryStore::currentUser();
    QVERIFY(!store->keyExists(kSettingsKey));
    QVERIFY(!QFile::exists(file() + ".damaged"));  // nothing is copied before a write

    TRegIniFile settings(kSettingsKey);  // opening creates the key: the first write
    QCOMPARE(settings.ReadInteger("Pinleaf", "Top", 10), 10);
    QCOMPARE(settings.ReadInteger("Pinleaf", "Left", 10), 10);
    settings.WriteInteger("Pinleaf", "Left", 20);

    QCOMPARE(readBytes(file() + ".damaged"), text);
    TRegIniFile next(reloaded(), kSettingsKey);  // reads without a warning now
    QCOMPARE(next.ReadInteger("Pinleaf", "Left", 10), 20);
    QCOMPARE(next.ReadSection("Pinleaf"), QStringList{"Left"});
}

void TestRegIni::escapesRoundTrip_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("backslashes") << "C:\\Program Files\\Pinleaf\\";
    QTest::newRow("quotes") << "say \"hi\"";
    QTest::newRow("line breaks") << "one\r\ntwo\nthree\r";
    QTest::newRow("escape look-alikes") << "\\n is not \\\" a \\r";
    QTest::newRow("quote at end") << "x\"";
    QTest::newRow("empty") << "";
    QTest::newRow("brackets and semicolon") << "; [not a key]";
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße ™ 日本");
}

void TestRegIni::escapesRoundTrip() {
    QFETCH(QString, text);

    const QString name = "N" + text;  // names are quoted the same way
    {
        TRegIniFile settings(kSettingsKey);
        settings.WriteString("Pinleaf", name, text);
        settings.WriteString("Pinleaf", "After", "still here");
    }
    TRegIniFile settings(reloaded(), kSettingsKey);
    QCOMPARE(settings.ReadSection("Pinleaf"), QStringList({name, "After"}));
    QCOMPARE(settings.ReadString("Pinleaf", name, "-"), text);
    QCOMPARE(settings.ReadString("Pinleaf", "After", "-"), QStringLiteral("still here"));
}

void TestRegIni::unwritableLocation() {
    // Tests may run as root, who may write anywhere: a regular file where a folder should be
    // stops every write.
    writeBytes(inTmp("blocker"), "not a folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(inTmp("blocker/config")));

    const QRegularExpression notSaved(QStringLiteral("settings are not saved"));
    for (int write = 0; write < 3; ++write)
        QTest::ignoreMessage(QtWarningMsg, notSaved);  // one warning per write
    TRegIniFile settings(kSettingsKey);
    settings.WriteInteger("Pinleaf", "Left", 807);
    settings.WriteBool("Pinleaf", "Alarm", true);

    // The program goes on with what it wrote.
    QCOMPARE(settings.ReadInteger("Pinleaf", "Left", 10), 807);
    QCOMPARE(settings.ReadBool("Pinleaf", "Alarm", false), true);
    QCOMPARE(readBytes(inTmp("blocker")), QByteArray("not a folder"));

    // Once the place can be written, the next write saves everything kept so far.
    QVERIFY(QFile::remove(inTmp("blocker")));
    settings.WriteInteger("Pinleaf", "Top", 10);
    TRegIniFile next(reloaded(), kSettingsKey);
    QCOMPARE(next.ReadSection("Pinleaf"), QStringList({"Left", "Alarm", "Top"}));
}

QTEST_GUILESS_MAIN(TestRegIni)
#include "tst_regini.moc"
