#pragma once
// Data-bound controls: a data source that connects controls to the message table, and links
// that keep a line edit, a text box or a label showing one field of the current record.
//
// A change of current record, of the record's contents or of the table's state shows the
// fields again. Typing into an edit or text box starts editing the current record (or an
// insert when the view shows no record) and writes the text into the field at once. While the
// table is closed or the source is switched off, the controls are empty and read-only.

#include "ClientDataSet.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace pinleaf {

class TDataSource : public QObject {
    Q_OBJECT
public:
    TDataSource(TClientDataSet* dataSet, QObject* parent = nullptr);

    TClientDataSet* DataSet() const { return dataSet_; }
    // Whether the controls follow the table; switched off, they show nothing.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether the controls can show and edit a record now.
    bool Live() const { return enabled_ && dataSet_->Active(); }

    // Runs when a change made in `control` (typing, pasting, dropping) is about to start
    // editing the current record, before the change is written into its field.
    std::function<void(QWidget* control)> BeforeEdit;

signals:
    void changed();

private:
    TClientDataSet* dataSet_;
    bool enabled_ = true;
};

// Keeps a QLineEdit on a field. With an input mask, unfilled places are stored as spaces and
// a text with no character entered is stored as empty.
void bindLineEdit(QLineEdit* edit, TDataSource* source, const QString& fieldName);
// Keeps a QPlainTextEdit on a (memo) field.
void bindPlainTextEdit(QPlainTextEdit* edit, TDataSource* source, const QString& fieldName);
// Shows a field in a label, through `format` (empty text for a null field is the format's
// business; by default the field's text).
void bindLabel(QLabel* label, TDataSource* source, const QString& fieldName,
               std::function<QString(const TField&)> format = {});

}  // namespace pinleaf
