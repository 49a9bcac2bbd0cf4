#pragma once
// The per-user settings store, laid out as a registry of keys and named text values.
//
// All keys of a user live in one text file, $XDG_CONFIG_HOME/pinleaf/registry.txt
// (~/.config/pinleaf/registry.txt by default). It looks like this and may be read and
// edited by a person while Pinleaf is not running:
//
//   ; Pinleaf settings
//
//   [Software\Corvane Software™\Pinleaf]
//   "Left"="807"
//   "FileLocation"="/home/ann/Pinleaf.cds"
//
//   [AppEvents\Schemes\Apps\Pinleaf\Alarm\.Default]
//   @="/usr/share/sounds/alarm.wav"
//
// Key and entry names compare without regard to letter case, as registry names do. Entries
// keep the order in which they were first written. In a quoted text, \\ stands for a
// backslash, \" for a quotation mark, \n for a line feed and \r for a carriage return; @ is
// the unnamed (default) entry. Every write replaces the file atomically. A file that cannot
// be understood gives an empty store (so every read gives its default) and a warning on
// stderr; it is kept beside the store as registry.txt.damaged when the store is next written.

#include <QString>
#include <QStringList>

#include <memory>

namespace pinleaf {

class RegistryStore;

// One opened key. Like an initialisation file: a section is a subkey of the key, an entry a
// named value in it; the section "" is the key itself.
class TRegIniFile {
public:
    // Opens `keyPath` (backslash-separated, under the current user), creating it when
    // missing.
    explicit TRegIniFile(const QString& keyPath);
    // The same on a given store (tests).
    TRegIniFile(std::shared_ptr<RegistryStore> store, const QString& keyPath);
    ~TRegIniFile();

    QString KeyPath() const { return keyPath_; }

    QString ReadString(const QString& section, const QString& ident,
                       const QString& defaultValue) const;
    // A missing entry or a text that is not a whole number (optional sign, decimal digits,
    // within the range of int) gives the default.
    int ReadInteger(const QString& section, const QString& ident, int defaultValue) const;
    // Read as a number with the default 0 or 1; on when not 0.
    bool ReadBool(const QString& section, const QString& ident, bool defaultValue) const;

    void WriteString(const QString& section, const QString& ident, const QString& value);
    void WriteInteger(const QString& section, const QString& ident, int value);  // decimal
    void WriteBool(const QString& section, const QString& ident, bool value);    // "0"/"1"

    // Names of the section's entries, in the order they were first written.
    QStringList ReadSection(const QString& section) const;
    // Deletes the section's subkey with its entries and subkeys.
    void EraseSection(const QString& section);
    // Whether the section's subkey exists.
    bool SectionExists(const QString& section) const;

private:
    QString pathOf(const QString& section) const;

    std::shared_ptr<RegistryStore> store_;
    QString keyPath_;
};

// The store behind every TRegIniFile of the process: one per file, loaded once, written
// through on every change.
class RegistryStore {
public:
    // The current user's store (the file named above), shared by the whole process.
    static std::shared_ptr<RegistryStore> currentUser();
    // The file the current user's store lives in.
    static QString currentUserFile();

    explicit RegistryStore(const QString& filePath);
    ~RegistryStore();

    QString filePath() const;

    bool keyExists(const QString& keyPath) const;
    void createKey(const QString& keyPath);
    void deleteKey(const QString& keyPath);  // with its subkeys
    bool hasValue(const QString& keyPath, const QString& name) const;
    QString value(const QString& keyPath, const QString& name) const;  // "" when missing
    void setValue(const QString& keyPath, const QString& name, const QString& value);
    // In order of first writing; the unnamed entry, when set, is listed as "".
    QStringList valueNames(const QString& keyPath) const;
    QStringList subkeyNames(const QString& keyPath) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace pinleaf
