#pragma once

#include "app/widget_dialogs.h"
#include "records/operation_record.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace tunekit {
namespace records {
class RecordSink;
}

// The Records window (Service and up): the records of the store the window writes to, filtered by
// serial number, time and result, and exported as CSV. The records are read where the window keeps
// them, away from the window's thread.
class RecordsWindow final : public QDialog {
    Q_OBJECT
public:
    RecordsWindow(QWidget* parent, records::RecordSink* records);
    // Runs the query with the filter as it stands; its rows show once read, unless a later
    // search was asked for meanwhile.
    void search();
    void retranslate();
    const QList<records::OperationRecord>& shown() const noexcept { return shown_; }

private:
    QCoro::Task<> exportCsv();
    QCoro::Task<> readRecords(records::RecordFilter filter, int search);
    // The rows found by the last search, in the window's language.
    void showRows();

    WidgetDialogs dialogs_{this};
    records::RecordSink* records_;
    int searches_ = 0;

    QLineEdit* serial_;
    QLineEdit* since_;
    QLineEdit* until_;
    QComboBox* result_;
    QTableWidget* table_;
    QLabel* status_;
    QList<records::OperationRecord> shown_;
    QString shownFrom_; // the store the rows came from; empty before the first search
};

} // namespace tunekit
