#include "DataControls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace pinleaf {

TDataSource::TDataSource(TClientDataSet* dataSet, QObject* parent)
    : QObject(parent), dataSet_(dataSet) {
    connect(dataSet_, &TClientDataSet::dataChanged, this, [this] {
        if (enabled_) {
            emit changed();
        }
    });
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled_ != enabled) {
        enabled_ = enabled;
        emit changed();
    }
}

namespace {

// Starts editing when needed and writes `text` into the field. Returns false when the table
// cannot be edited now.
bool writeField(TDataSource* source, QWidget* control, const QString& fieldName,
                const QString& text) {
    if (!source->Live()) {
        return false;
    }
    TClientDataSet* table = source->DataSet();
    if (table->State() == DataSetState::Browse) {
        if (source->BeforeEdit) {
            source->BeforeEdit(control);
        }
        table->Edit();
    }
    table->FieldByName(fieldName).SetAsString(text);
    return true;
}

// The text to store for a masked edit: unfilled places as spaces, nothing entered as "".
QString maskedText(const QLineEdit* edit) {
    QString shown = edit->displayText();
    const QString mask = edit->inputMask();
    const int sep = mask.lastIndexOf(QLatin1Char(';'));
    const QChar blank = sep >= 0 && sep + 1 < mask.size() ? mask.at(sep + 1) : QLatin1Char(' ');
    bool entered = false;
    for (QChar& c : shown) {
        if (c == blank) {
            c = QLatin1Char(' ');
        } else if (c.isLetterOrNumber()) {
            entered = true;
        }
    }
    return entered ? shown : QString();
}

// Keeps an editable control on a field: shows the field when the record or the table
// changes, writes what the user types into the field.
class EditLink : public QObject {
public:
    EditLink(QObject* control, TDataSource* source, const QString& field)
        : QObject(control), source_(source), field_(field) {
        connect(source, &TDataSource::changed, this, &EditLink::refresh);
    }

protected:
    virtual QString shownText() const = 0;
    virtual void show(const QString& text) = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    // The text to store for what the control shows.
    virtual QString enteredText() const { return shownText(); }

    void refresh() {
        if (writing_) {
            return;
        }
        const bool live = source_->Live();
        const QString text = live ? source_->DataSet()->FieldByName(field_).AsString() : QString();
        if (shownText() != text || text.isEmpty()) {
            refreshing_ = true;
            show(text);
            refreshing_ = false;
        }
        setReadOnly(!live);
    }

    void edited() {
        if (refreshing_) {
            return;
        }
        const QString text = enteredText();
        if (source_->Live() && source_->DataSet()->FieldByName(field_).AsString() == text) {
            return;
        }
        writing_ = true;
        try {
            writeField(source_, qobject_cast<QWidget*>(parent()), field_, text);
        } catch (...) {
            writing_ = false;
            refresh();
            throw;
        }
        writing_ = false;
    }

private:
    TDataSource* source_;
    QString field_;
    bool writing_ = false;
    bool refreshing_ = false;
};

class LineEditLink : public EditLink {
public:
    LineEditLink(QLineEdit* edit, TDataSource* source, const QString& field)
        : EditLink(edit, source, field), edit_(edit) {
        connect(edit, &QLineEdit::textEdited, this, &LineEditLink::edited);
        refresh();
    }

private:
    QString shownText() const override { return edit_->text(); }
    void show(const QString& text) override { edit_->setText(text); }
    void setReadOnly(bool readOnly) override { edit_->setReadOnly(readOnly); }
    QString enteredText() const override {
        return edit_->inputMask().isEmpty() ? edit_->text() : maskedText(edit_);
    }

    QLineEdit* edit_;
};

class PlainTextLink : public EditLink {
public:
    PlainTextLink(QPlainTextEdit* edit, TDataSource* source, const QString& field)
        : EditLink(edit, source, field), edit_(edit) {
        connect(edit, &QPlainTextEdit::textChanged, this, &PlainTextLink::edited);
        refresh();
    }

private:
    QString shownText() const override { return edit_->toPlainText(); }
    void show(const QString& text) override {
        // Showing another record's text is no edit: keep the undo history of the user's own.
        if (edit_->toPlainText() != text) {
            edit_->setPlainText(text);
        }
    }
    void setReadOnly(bool readOnly) override { edit_->setReadOnly(readOnly); }

    QPlainTextEdit* edit_;
};

class LabelLink : public QObject {
public:
    LabelLink(QLabel* label, TDataSource* source, const QString& field,
              std::function<QString(const TField&)> format)
        : QObject(label), label_(label), source_(source), field_(field),
          format_(std::move(format)) {
        connect(source, &TDataSource::changed, this, &LabelLink::refresh);
        refresh();
    }

private:
    void refresh() {
        QString text;
        if (source_->Live()) {
            const TField field = source_->DataSet()->FieldByName(field_);
            text = format_ ? format_(field) : field.AsString();
        }
        label_->setText(text);
    }

    QLabel* label_;
    TDataSource* source_;
    QString field_;
    std::function<QString(const TField&)> format_;
};

}  // namespace

void bindLineEdit(QLineEdit* edit, TDataSource* source, const QString& fieldName) {
    new LineEditLink(edit, source, fieldName);
}

void bindPlainTextEdit(QPlainTextEdit* edit, TDataSource* source, const QString& fieldName) {
    new PlainTextLink(edit, source, fieldName);
}

void bindLabel(QLabel* label, TDataSource* source, const QString& fieldName,
               std::function<QString(const TField&)> format) {
    new LabelLink(label, source, fieldName, std::move(format));
}

}  // namespace pinleaf
