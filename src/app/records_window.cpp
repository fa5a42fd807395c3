#include "app/records_window.h"

#include "app/window_parts.h"

#include "records/record_format.h"
#include "records/store_choice.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>

namespace tunekit {
RecordsWindow::RecordsWindow(QWidget* parent) : QDialog(parent)
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
    for (const char* name : {"lblRecordSerial", "lblRecordSince", "lblRecordUntil", "lblRecordResult"})
        named<QLabel>(this, name);
    grid->addWidget(findChild<QLabel*>(QStringLiteral("lblRecordSerial")), 0, 0);
    grid->addWidget(serial_, 0, 1);
    grid->addWidget(findChild<QLabel*>(QStringLiteral("lblRecordSince")), 0, 2);
    grid->addWidget(since_, 0, 3);
    grid->addWidget(findChild<QLabel*>(QStringLiteral("lblRecordUntil")), 0, 4);
    grid->addWidget(until_, 0, 5);
    grid->addWidget(findChild<QLabel*>(QStringLiteral("lblRecordResult")), 0, 6);
    grid->addWidget(result_, 0, 7);
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
}

void RecordsWindow::search()
{
    records::RecordFilter filter;
    filter.serialNumber = serial_->text().trimmed();
    if (!since_->text().trimmed().isEmpty()) {
        filter.since = records::filterTime(since_->text().trimmed(), records::Bound::Since);
        if (!filter.since) {
            status_->setText(tr("%1 is no date.").arg(since_->text()));
            return;
        }
    }
    if (!until_->text().trimmed().isEmpty()) {
        filter.until = records::filterTime(until_->text().trimmed(), records::Bound::Until);
        if (!filter.until) {
            status_->setText(tr("%1 is no date.").arg(until_->text()));
            return;
        }
    }
    if (result_->currentIndex() > 0)
        filter.result = QString::fromLatin1(result_->currentIndex() == 1 ? records::ResultFailed : records::ResultPassed);
    const records::ChosenStore chosen = records::openUserStore();
    const records::RecordQuery found = chosen.store ? chosen.store->query(filter) : records::RecordQuery{{}, chosen.error};
    if (!found.error.isEmpty()) {
        status_->setText(tr("The records cannot be read: %1").arg(found.error));
        return;
    }
    shown_ = found.records;
    table_->setRowCount(static_cast<int>(shown_.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const records::OperationRecord& record = shown_.at(row);
        QStringList changes;
        for (const records::RecordChange& change : record.changes)
            changes << QStringLiteral("%1: %2 -> %3").arg(change.name, change.before, change.after);
        const QStringList cells{record.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                record.result,
                                record.command,
                                record.serialNumber,
                                record.configId > 0 ? QString::number(record.configId) : QString(),
                                record.port,
                                record.file,
                                changes.join(QStringLiteral("; ")),
                                record.message};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    status_->setText(tr("Records found: %1 (%2)").arg(shown_.size()).arg(chosen.store->description()));
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
