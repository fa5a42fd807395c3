#include "app/records_window.h"

#include "app/window_parts.h"

#include "records/record_format.h"
#include "records/record_keeper.h"
#include "records/unit_history.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>

#include <array>
#include <utility>

namespace tunekit {

RecordsWindow::RecordsWindow(QWidget* parent, records::RecordSink* records) : QDialog(parent), records_(records)
{
    setObjectName(QStringLiteral("frmRecords"));
    auto* grid = new QGridLayout(this);
    serial_ = named<QLineEdit>(this, "txtRecordSerial");
    since_ = named<QLineEdit>(this, "txtRecordSince");
    until_ = named<QLineEdit>(this, "txtRecordUntil");
    result_ = named<QComboBox>(this, "cboRecordResult");
    result_->addItems({QString(), QString(), QString()});
    since_->setPlaceholderText(QStringLiteral("2025-03-01"));
    until_->setPlaceholderText(QStringLiteral("2025-03-31"));
    // The filter: each field after its label.
    const std::pair<const char*, QWidget*> filterFields[] = {
        {"lblRecordSerial", serial_}, {"lblRecordSince", since_}, {"lblRecordUntil", until_}, {"lblRecordResult", result_}};
    int column = 0;
    for (const auto& [label, field] : filterFields) {
        grid->addWidget(named<QLabel>(this, label), 0, column++);
        grid->addWidget(field, 0, column++);
    }
    auto* search = named<QPushButton>(this, "cmdRecordSearch");
    auto* exportCsv = named<QPushButton>(this, "cmdRecordExport");
    grid->addWidget(search, 0, 8);
    table_ = named<QTableWidget>(this, "tblRecords");
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    grid->addWidget(table_, 1, 0, 1, 9);
    status_ = named<QLabel>(this, "lblRecordStatus");
    grid->addWidget(status_, 2, 0, 1, 8);
    grid->addWidget(exportCsv, 2, 8);
    connect(search, &QPushButton::clicked, this, &RecordsWindow::search);
    connect(serial_, &QLineEdit::returnPressed, this, &RecordsWindow::search);
    connect(exportCsv, &QPushButton::clicked, this, &RecordsWindow::exportCsv);
    resize(1000, 500);
    retranslate();
}

void RecordsWindow::retranslate()
{
    setWindowTitle(tr("Records"));
    findChild<QLabel*>(QStringLiteral("lblRecordSerial"))->setText(tr("Serial number"));
    findChild<QLabel*>(QStringLiteral("lblRecordSince"))->setText(tr("From"));
    findChild<QLabel*>(QStringLiteral("lblRecordUntil"))->setText(tr("Until"));
    findChild<QLabel*>(QStringLiteral("lblRecordResult"))->setText(tr("Result"));
    result_->setItemText(0, tr("all"));
    result_->setItemText(1, tr("failed"));
    result_->setItemText(2, tr("passed"));
    findChild<QPushButton*>(QStringLiteral("cmdRecordSearch"))->setText(tr("Search"));
    findChild<QPushButton*>(QStringLiteral("cmdRecordExport"))->setText(tr("Export CSV ..."));
    table_->setColumnCount(9);
    table_->setHorizontalHeaderLabels({tr("Time"), tr("Result"), tr("Command"), tr("Serial number"), tr("ConfigID"),
                                       tr("Port"), tr("File"), tr("Changes"), tr("Message")});
    showRows(); // the rows' results and commands in the new language
}

void RecordsWindow::search()
{
    records::RecordFilter filter;
    filter.serialNumber = serial_->text().trimmed();
    // A bound left empty does not filter; one that is no date stops the search.
    const auto bound = [this](const QLineEdit* edit, records::Bound which, std::optional<QDateTime>& time) {
        const QString text = edit->text().trimmed();
        if (text.isEmpty())
            return true;
        time = records::filterTime(text, which);
        if (!time)
            status_->setText(tr("%1 is no date.").arg(edit->text()));
        return time.has_value();
    };
    if (!bound(since_, records::Bound::Since, filter.since) || !bound(until_, records::Bound::Until, filter.until))
        return;
    if (result_->currentIndex() > 0)
        filter.result = QString::fromLatin1(result_->currentIndex() == 1 ? records::ResultFailed : records::ResultPassed);
    // Goes on by itself until the records are read.
    QCoro::Task<> reading = readRecords(std::move(filter), ++searches_);
}

QCoro::Task<> RecordsWindow::readRecords(records::RecordFilter filter, int search)
{
    status_->setText(tr("Reading the records ..."));
    const QPointer<RecordsWindow> self(this);
    QCoro::Task<records::FoundRecords> finding = records::findRecords(records_, std::move(filter));
    records::FoundRecords found = co_await finding;
    if (!self || search != searches_)
        co_return;
    if (!found.query.error.isEmpty()) {
        status_->setText(tr("The records cannot be read: %1").arg(found.query.error));
        co_return;
    }
    shown_ = std::move(found.query.records);
    shownFrom_ = found.store;
    showRows();
}

void RecordsWindow::showRows()
{
    if (shownFrom_.isEmpty())
        return;
    table_->setRowCount(static_cast<int>(shown_.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const records::OperationRecord& record = shown_.at(row);
        QStringList changes;
        for (const records::RecordChange& change : record.changes)
            changes << QStringLiteral("%1: %2 -> %3").arg(change.name, change.before, change.after);
        const QStringList cells{record.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                records::shownResult(record.result),
                                records::shownCommand(record.command),
                                record.serialNumber,
                                record.configId > 0 ? QString::number(record.configId) : QString(),
                                record.port,
                                record.file,
                                changes.join(QStringLiteral("; ")),
                                record.message};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    status_->setText(tr("Records found: %1 (%2)").arg(shown_.size()).arg(shownFrom_));
}

QCoro::Task<> RecordsWindow::exportCsv()
{
    const QString filter = QStringLiteral("CSV (*.csv)|*.csv");
    const QString proposed = QStringLiteral("records.csv");
    const QString path = co_await dialogs_.saveFileName(filter, proposed);
    if (path.isEmpty())
        co_return;
    QString text = records::recordsCsvHeader();
    for (const records::OperationRecord& record : shown_)
        text += records::recordCsvLine(record);
    const QByteArray bytes = text.toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        status_->setText(tr("The records could not be saved to %1.").arg(path));
    else
        status_->setText(tr("Saved to %1.").arg(path));
}

} // namespace tunekit
