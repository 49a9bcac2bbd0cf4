#include "RegIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStringDecoder>
#include <QtGlobal>

#include <limits>
#include <optional>

namespace pinleaf {

namespace {

const QChar kSep = QLatin1Char('\\');
const char kHeaderLine[] = "; Pinleaf settings";

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// A key path with empty components dropped, so "A\\B\" and "A\B" name the same key.
QStringList pathParts(const QString& keyPath) {
    return keyPath.split(kSep, Qt::SkipEmptyParts);
}

// Line breaks cannot stand in a [key] line, so a key name holding one is refused.
bool usableKeyPath(const QString& keyPath) {
    return !keyPath.contains(QLatin1Char('\n')) && !keyPath.contains(QLatin1Char('\r'));
}

QString quoted(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Reads a quoted text starting at `pos` (which must be a quotation mark); on success `pos`
// is left just past the closing mark.
std::optional<QString> readQuoted(const QString& line, qsizetype& pos) {
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return std::nullopt;
    QString out;
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return out;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= line.size())
            return std::nullopt;
        switch (line.at(i).unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        default: return std::nullopt;
        }
    }
    return std::nullopt;  // no closing quotation mark
}

void skipBlanks(const QString& line, qsizetype& pos) {
    while (pos < line.size() && (line.at(pos) == QLatin1Char(' ') || line.at(pos) == QLatin1Char('\t')))
        ++pos;
}

// Strict whole number: optional sign, ASCII digits only, within int.
std::optional<int> parseWholeNumber(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min())
                                  : qint64(std::numeric_limits<int>::max());
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return int(negative ? -magnitude : magnitude);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// RegistryStore

struct RegistryStore::Impl {
    struct Entry {
        QString name;  // "" is the unnamed entry
        QString value;
    };
    struct Key {
        QString path;  // as first created, components joined by a backslash
        QList<Entry> entries;  // in order of first writing
    };

    QString filePath;
    QList<Key> keys;  // in order of creation; a parent always before its subkeys
    // The file on disk could not be understood (or read); it is copied aside before the
    // store first replaces it.
    bool keepDamagedFile = false;

    qsizetype indexOf(const QString& normalPath) const {
        for (qsizetype i = 0; i < keys.size(); ++i)
            if (sameName(keys.at(i).path, normalPath))
                return i;
        return -1;
    }
    const Key* find(const QString& keyPath) const {
        const qsizetype i = indexOf(pathParts(keyPath).join(kSep));
        return i < 0 ? nullptr : &keys.at(i);
    }
    static bool isBelow(const QString& path, const QString& ancestor) {
        return path.size() > ancestor.size() + 1 && path.at(ancestor.size()) == kSep &&
               sameName(path.left(ancestor.size()), ancestor);
    }

    // Creates the key and its missing parents; returns the key's index, or -1 for the root.
    // `created` tells whether anything was added.
    qsizetype ensureKey(const QString& keyPath, bool* created) {
        const QStringList parts = pathParts(keyPath);
        qsizetype index = -1;
        QString stored;
        for (const QString& part : parts) {
            const QString wanted = stored.isEmpty() ? part : stored + kSep + part;
            index = indexOf(wanted);
            if (index < 0) {
                keys.append(Key{wanted, {}});
                index = keys.size() - 1;
                if (created)
                    *created = true;
            }
            stored = keys.at(index).path;
        }
        return index;
    }

    static void setEntry(Key& key, const QString& name, const QString& value) {
        for (Entry& e : key.entries) {
            if (sameName(e.name, name)) {
                e.value = value;
                return;
            }
        }
        key.entries.append(Entry{name, value});
    }

    bool hasSubkeys(qsizetype index) const {
        const QString& path = keys.at(index).path;
        for (const Key& k : keys)
            if (isBelow(k.path, path))
                return true;
        return false;
    }

    QByteArray serialize() const {
        QString text = QLatin1String(kHeaderLine) + QLatin1Char('\n');
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const Key& key = keys.at(i);
            // A key with neither entries of its own nor anything else to show is listed so
            // that it goes on existing; one that only holds subkeys is implied by them.
            if (key.entries.isEmpty() && hasSubkeys(i))
                continue;
            text += QLatin1String("\n[") + key.path + QLatin1String("]\n");
            for (const Entry& e : key.entries) {
                text += e.name.isEmpty() ? QStringLiteral("@") : quoted(e.name);
                text += QLatin1Char('=') + quoted(e.value) + QLatin1Char('\n');
            }
        }
        return text.toUtf8();
    }

    // Fills the store from the file's bytes; on failure gives the 1-based line at fault
    // (0 for a text that is not UTF-8) and leaves the store empty.
    bool parse(const QByteArray& bytes, int* badLine) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes);
        if (decoder.hasError()) {
            *badLine = 0;
            return false;
        }
        const QStringList lines = text.split(QLatin1Char('\n'));
        qsizetype current = -1;
        for (qsizetype n = 0; n < lines.size(); ++n) {
            const QString line = lines.at(n).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
                continue;
            bool ok = false;
            if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
                const QString path = line.mid(1, line.size() - 2);
                if (!pathParts(path).isEmpty()) {
                    current = ensureKey(path, nullptr);
                    ok = true;
                }
            } else if (current >= 0) {
                qsizetype pos = 0;
                std::optional<QString> name;
                if (line.at(0) == QLatin1Char('@')) {
                    name = QString();
                    pos = 1;
                } else {
                    name = readQuoted(line, pos);
                }
                if (name) {
                    skipBlanks(line, pos);
                    if (pos < line.size() && line.at(pos) == QLatin1Char('=')) {
                        ++pos;
                        skipBlanks(line, pos);
                        const std::optional<QString> value = readQuoted(line, pos);
                        if (value && pos == line.size()) {
                            setEntry(keys[current], *name, *value);
                            ok = true;
                        }
                    }
                }
            }
            if (!ok) {
                keys.clear();
                *badLine = int(n + 1);
                return false;
            }
        }
        return true;
    }

    void load() {
        QFile file(filePath);
        if (!file.exists())
            return;
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("Pinleaf: cannot read the settings file %s (%s); starting with empty "
                     "settings. The file will be kept as %s.damaged when settings are next "
                     "written.",
                     qUtf8Printable(filePath), qUtf8Printable(file.errorString()),
                     qUtf8Printable(filePath));
            keepDamagedFile = true;
            return;
        }
        const QByteArray bytes = file.readAll();
        int badLine = 0;
        if (!parse(bytes, &badLine)) {
            const QString where = badLine > 0 ? QStringLiteral("line %1").arg(badLine)
                                              : QStringLiteral("not UTF-8 text");
            qWarning("Pinleaf: the settings file %s is damaged (%s); starting with empty "
                     "settings. The file will be kept as %s.damaged when settings are next "
                     "written.",
                     qUtf8Printable(filePath), qUtf8Printable(where), qUtf8Printable(filePath));
            keepDamagedFile = true;
        }
    }

    // Creates the missing folders of `dir`, each readable by its owner only.
    static bool makeFolders(const QString& dir) {
        QStringList missing;
        QString at = QDir::cleanPath(dir);
        while (!QFileInfo::exists(at)) {
            missing.prepend(at);
            const QString up = QFileInfo(at).path();
            if (up == at)
                break;
            at = up;
        }
        for (const QString& folder : missing) {
            if (!QDir().mkdir(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner))
                return false;
        }
        return QFileInfo(dir).isDir();
    }

    static bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error) {
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() ||
            !out.commit()) {
            *error = out.errorString();
            out.cancelWriting();
            return false;
        }
        return true;
    }

    // Copies a damaged file aside before it is replaced, so nothing a person wrote in it
    // is lost.
    bool keepDamaged(QString* error) {
        QFile damaged(filePath);
        if (!damaged.exists())
            return true;
        if (!damaged.open(QIODevice::ReadOnly)) {
            *error = damaged.errorString();
            return false;
        }
        const QByteArray bytes = damaged.readAll();
        damaged.close();
        return writeAtomically(filePath + QLatin1String(".damaged"), bytes, error);
    }

    void save() {
        const QString dir = QFileInfo(filePath).path();
        if (!makeFolders(dir)) {
            qWarning("Pinleaf: cannot create the settings folder %s; settings are not saved.",
                     qUtf8Printable(dir));
            return;
        }
        QString error;
        if (keepDamagedFile) {
            if (!keepDamaged(&error)) {
                qWarning("Pinleaf: cannot keep the damaged settings file %s as %s.damaged (%s); "
                         "settings are not saved.",
                         qUtf8Printable(filePath), qUtf8Printable(filePath),
                         qUtf8Printable(error));
                return;
            }
            keepDamagedFile = false;
        }
        if (!writeAtomically(filePath, serialize(), &error))
            qWarning("Pinleaf: cannot write the settings file %s (%s); settings are not saved.",
                     qUtf8Printable(filePath), qUtf8Printable(error));
    }
};

QString RegistryStore::currentUserFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            home = QDir::homePath();
        config = home + QLatin1String("/.config");
    }
    return QDir::cleanPath(config + QLatin1String("/pinleaf/registry.txt"));
}

std::shared_ptr<RegistryStore> RegistryStore::currentUser() {
    // One store per file for the life of the process, so the file is read once and every
    // registry object sees the others' writes.
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<RegistryStore>> stores;
    const QMutexLocker lock(&mutex);
    const QString path = currentUserFile();
    std::shared_ptr<RegistryStore>& store = stores[path];
    if (!store)
        store = std::make_shared<RegistryStore>(path);
    return store;
}

RegistryStore::RegistryStore(const QString& filePath) : d(std::make_unique<Impl>()) {
    d->filePath = filePath;
    d->load();
}

RegistryStore::~RegistryStore() = default;

QString RegistryStore::filePath() const {
    return d->filePath;
}

bool RegistryStore::keyExists(const QString& keyPath) const {
    return pathParts(keyPath).isEmpty() || d->find(keyPath) != nullptr;
}

void RegistryStore::createKey(const QString& keyPath) {
    if (!usableKeyPath(keyPath)) {
        qWarning("Pinleaf: a settings key name cannot hold a line break; key not created.");
        return;
    }
    bool created = false;
    d->ensureKey(keyPath, &created);
    if (created)
        d->save();
}

void RegistryStore::deleteKey(const QString& keyPath) {
    const QString path = pathParts(keyPath).join(kSep);
    if (path.isEmpty())
        return;  // the root is not deleted
    const qsizetype before = d->keys.size();
    d->keys.removeIf([&](const Impl::Key& k) {
        return sameName(k.path, path) || Impl::isBelow(k.path, path);
    });
    if (d->keys.size() != before)
        d->save();
}

bool RegistryStore::hasValue(const QString& keyPath, const QString& name) const {
    if (const Impl::Key* key = d->find(keyPath))
        for (const Impl::Entry& e : key->entries)
            if (sameName(e.name, name))
                return true;
    return false;
}

QString RegistryStore::value(const QString& keyPath, const QString& name) const {
    if (const Impl::Key* key = d->find(keyPath))
        for (const Impl::Entry& e : key->entries)
            if (sameName(e.name, name))
                return e.value;
    return QString();
}

void RegistryStore::setValue(const QString& keyPath, const QString& name, const QString& value) {
    if (!usableKeyPath(keyPath) || pathParts(keyPath).isEmpty()) {
        qWarning("Pinleaf: settings entry \"%s\" needs a key without line breaks; not written.",
                 qUtf8Printable(name));
        return;
    }
    const qsizetype index = d->ensureKey(keyPath, nullptr);
    Impl::setEntry(d->keys[index], name, value);
    d->save();
}

QStringList RegistryStore::valueNames(const QString& keyPath) const {
    QStringList names;
    if (const Impl::Key* key = d->find(keyPath))
        for (const Impl::Entry& e : key->entries)
            names.append(e.name);
    return names;
}

QStringList RegistryStore::subkeyNames(const QString& keyPath) const {
    const QString path = pathParts(keyPath).join(kSep);
    QStringList names;
    for (const Impl::Key& k : d->keys) {
        if (path.isEmpty()) {
            if (!k.path.contains(kSep))
                names.append(k.path);
        } else if (Impl::isBelow(k.path, path) &&
                   !k.path.mid(path.size() + 1).contains(kSep)) {
            names.append(k.path.mid(path.size() + 1));
        }
    }
    return names;
}

// ---------------------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const QString& keyPath)
    : TRegIniFile(RegistryStore::currentUser(), keyPath) {}

TRegIniFile::TRegIniFile(std::shared_ptr<RegistryStore> store, const QString& keyPath)
    : store_(store ? std::move(store) : RegistryStore::currentUser()), keyPath_(keyPath) {
    store_->createKey(keyPath_);
}

TRegIniFile::~TRegIniFile() = default;

QString TRegIniFile::pathOf(const QString& section) const {
    if (section.isEmpty())
        return keyPath_;
    if (keyPath_.isEmpty())
        return section;
    return keyPath_ + kSep + section;
}

QString TRegIniFile::ReadString(const QString& section, const QString& ident,
                                const QString& defaultValue) const {
    const QString path = pathOf(section);
    return store_->hasValue(path, ident) ? store_->value(path, ident) : defaultValue;
}

int TRegIniFile::ReadInteger(const QString& section, const QString& ident,
                             int defaultValue) const {
    const QString path = pathOf(section);
    if (!store_->hasValue(path, ident))
        return defaultValue;
    return parseWholeNumber(store_->value(path, ident)).value_or(defaultValue);
}

bool TRegIniFile::ReadBool(const QString& section, const QString& ident,
                           bool defaultValue) const {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const QString& section, const QString& ident,
                              const QString& value) {
    store_->setValue(pathOf(section), ident, value);
}

void TRegIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
    store_->setValue(pathOf(section), ident, QString::number(value));
}

void TRegIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
    store_->setValue(pathOf(section), ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TRegIniFile::ReadSection(const QString& section) const {
    QStringList names = store_->valueNames(pathOf(section));
    names.removeAll(QString());  // the unnamed entry has no name to list
    return names;
}

void TRegIniFile::EraseSection(const QString& section) {
    store_->deleteKey(pathOf(section));
}

bool TRegIniFile::SectionExists(const QString& section) const {
    return store_->keyExists(pathOf(section));
}

}  // namespace pinleaf
