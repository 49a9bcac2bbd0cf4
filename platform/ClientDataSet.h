#pragma once
// The message table: an in-memory table of records with a current-record cursor, named
// indexes, a view filter over NUMBER, event hooks, and a data file that is read when the
// table opens and written when it closes.
//
// Behaviour the program relies on:
// - States: Inactive (closed), Browse, Edit (editing the current record), Insert (a new
//   record not yet posted).
// - Navigation (First/Last/Next/Prior), FindKey, index changes, filter changes and Edit first
//   finish an edit in progress: a changed record is posted, an unchanged one cancelled.
// - Edit on a view that shows no record starts an insert.
// - Post marks the table changed even when no field changed.
// - Delete makes the next record current, or the previous one when the last went.
// - Only visible records (those passing the filter) are seen by navigation, RecordCount,
//   Eof and FindKey.
// - Closing writes the table to FileName when it changed since it was read or last written.
//
// Operations that cannot be carried out throw EDatabaseError; the table is then unchanged.

#include "FieldValue.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace pinleaf {

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

class TClientDataSet;

// Access to one field of the current record (or of the record being edited or inserted).
// Reading on a table that shows no record gives the null reading. Writing requires the Edit
// or Insert state. A cheap handle: copy it freely, but do not keep it past a change of the
// table's field layout.
class TField {
public:
    TField(TClientDataSet* table, int index) : table_(table), index_(index) {}

    QString FieldName() const;
    bool IsNull() const;
    FieldValue Value() const;
    void SetValue(const FieldValue& value);
    void Clear() { SetValue(FieldValue{}); }

    // Null reads as 0. A String field whose text is not a whole number throws.
    int AsInteger() const;
    // Writing a SmallInt outside -32768..32767 throws and changes nothing.
    void SetAsInteger(int value);

    // Null reads as "". Numbers in decimal, dates in the locale's short form, flags as
    // "True"/"False". Writing "" clears the field; text longer than a String field's size
    // is cut to that size.
    QString AsString() const;
    void SetAsString(const QString& value);

    // Null reads as false.
    bool AsBoolean() const;
    void SetAsBoolean(bool value);

    // Null reads as zeroDate(). Only the date part is stored.
    QDate AsDate() const;
    void SetAsDate(const QDate& value);

private:
    TClientDataSet* table_;
    int index_;
};

class TClientDataSet : public QObject {
    Q_OBJECT

public:
    using Event = std::function<void(TClientDataSet&)>;

    // The table of messages (messageFields()).
    explicit TClientDataSet(QObject* parent = nullptr);
    // A table with fields of its own (tests and tools).
    TClientDataSet(std::vector<FieldDef> fields, QObject* parent = nullptr);
    ~TClientDataSet() override;

    // Event hooks, run in these orders:
    //   open: BeforeOpen, (file read), AfterOpen, then AfterScroll when a record is current;
    //   Insert / Edit of an empty view: AfterInsert; Post: AfterPost;
    //   InsertRecord: AfterInsert, AfterPost;
    //   Delete: AfterDelete;
    //   First, Last, Next, Prior, a successful FindKey, a filter change: AfterScroll.
    Event BeforeOpen;
    Event AfterOpen;
    Event AfterScroll;
    Event AfterPost;
    Event AfterInsert;
    Event AfterDelete;

    const std::vector<FieldDef>& Fields() const;

    QString FileName() const;
    void SetFileName(const QString& path);

    bool Active() const;
    // Opening reads FileName (throws on a file that cannot be read; the table stays closed).
    // Closing writes FileName when the table changed (throws when the write fails; the table
    // then stays open with its records). Closing a table in Edit or Insert state drops the
    // unposted edit, as the component always has.
    void SetActive(bool active);
    void Open() { SetActive(true); }
    // Opens an empty table that belongs to no file (BeforeOpen and AfterOpen run as for an
    // opening). Closing it writes nothing while FileName is empty.
    void CreateDataSet();
    void Close() { SetActive(false); }

    DataSetState State() const;

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const;

    void Edit();
    void Insert();
    void Post();
    void Cancel();
    void Delete();
    // Adds a record from values in field order (missing trailing values are null) and posts
    // it in one step; the new record becomes current.
    void InsertRecord(const Record& values);

    // Throws EDatabaseError for a name that is no field of the table.
    TField FieldByName(const QString& name);
    // Whether fields of the record being edited or inserted were changed.
    bool Modified() const;
    // Finishes an edit in progress as a move to another record does: a changed record is
    // posted, an unchanged one cancelled. Nothing happens while browsing.
    void CheckBrowseMode();

    void AddIndex(const QString& name, const QString& fieldName, bool descending);
    QStringList IndexNames() const;
    QString IndexName() const;
    // "" puts the file order in force. An unknown name throws.
    void SetIndexName(const QString& name);
    QString IndexFieldNames() const;
    // A temporary ascending order on one field; "" puts the file order in force.
    void SetIndexFieldNames(const QString& fieldName);

    // Looks for the first visible record, in the order in force, whose key field equals
    // `key`. Throws when no index or field order is in force.
    bool FindKey(const FieldValue& key);

    // The view filter: "" or terms "(NUMBER <> n)" joined by " AND " (spaces and letter
    // case of the keywords are free). Any other text throws and leaves the filter unchanged.
    QString Filter() const;
    void SetFilter(const QString& expression);

    // Whether the table changed since it was read or last written.
    bool ChangedSinceWrite() const;
    // Writes the table to FileName now when it changed since it was read or last written,
    // without closing it; the table keeps its state (an unposted edit stays unposted).
    // Throws DataFileError when the write fails.
    void SaveChanges();

    // The current record's values (the edit buffer while editing), or an empty Record when
    // no record is current.
    Record CurrentRecord() const;

signals:
    // The current record, its contents or the table's state changed: data-bound controls
    // show the current record again.
    void dataChanged();
    // The table's records changed (post, delete, insert record): something to write.
    void tableChanged();

private:
    friend class TField;
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace pinleaf
