#include "app/unit_history_window.h"

#include "app/window_parts.h"
#include "records/record_keeper.h"
#include "records/unit_history.h"
#include "session/session.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunekit {

UnitHistoryWindow::UnitHistoryWindow(QWidget* parent, records::RecordSink* records)
    : QDialog(parent), records_(records), summary_(named<QLabel>(this, "lblHistorySummary")), table_(named<QTableWidget>(this, "tblHistory")),
      backupsHeader_(named<QLabel>(this, "lblUnitBackups")), backups_(named<QTableWidget>(this, "tblUnitBackups")),
      restore_(named<QPushButton>(this, "cmdRestoreBackup"))
{
    setObjectName(QStringLiteral("frmUnitHistory"));
    summary_->setWordWrap(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    backups_->setColumnCount(2);
    backups_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    backups_->setSelectionBehavior(QAbstractItemView::SelectRows);
    backups_->setSelectionMode(QAbstractItemView::SingleSelection);
    backups_->horizontalHeader()->setStretchLastSection(true);
    backups_->setMaximumHeight(140);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(backupsHeader_);
    layout->addWidget(backups_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(restore_);
    layout->addLayout(buttons);
    connect(backups_, &QTableWidget::itemSelectionChanged, this, [this] { restore_->setEnabled(backups_->currentRow() >= 0); });
    connect(restore_, &QPushButton::clicked, this, [this] {
        if (const QTableWidgetItem* chosen = backups_->item(backups_->currentRow(), 1))
            emit restoreRequested(chosen->text());
    });
    resize(1000, 420);
    retranslate();
}

void UnitHistoryWindow::showUnit(const QString& serialNumber)
{
    serial_ = serialNumber;
    // Goes on by itself until the records are read.
    QCoro::Task<> reading = readHistory(serialNumber.trimmed(), ++readings_);
}

QCoro::Task<> UnitHistoryWindow::readHistory(QString serialNumber, int reading)
{
    records::RecordQuery found;
    if (!serialNumber.isEmpty()) {
        summary_->setText(tr("Reading the records of the unit with serial number %1 ...").arg(serialNumber));
        const QPointer<UnitHistoryWindow> self(this);
        QCoro::Task<records::FoundRecords> finding = records::findRecords(records_, records::unitFilter(serialNumber));
        found = (co_await finding).query;
        if (!self || reading != readings_)
            co_return;
    }
    const records::UnitHistory history = records::unitHistory(serialNumber, std::move(found));
    summary_->setText(records::historySummary(history));
    table_->setRowCount(static_cast<int>(history.records.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QStringList fields = records::historyFields(history.records.at(row));
        for (int column = 0; column < fields.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(fields.at(column)));
    }
    table_->resizeColumnsToContents();
    const QList<records::UnitBackup> backups = records::unitBackups(history, Session::backupFolder());
    backups_->setRowCount(static_cast<int>(backups.size()));
    for (int row = 0; row < backups_->rowCount(); ++row) {
        backups_->setItem(row, 0, new QTableWidgetItem(backups.at(row).made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        backups_->setItem(row, 1, new QTableWidgetItem(backups.at(row).path));
    }
    backups_->resizeColumnToContents(0);
    backups_->clearSelection();
    restore_->setEnabled(false);
}

QStringList UnitHistoryWindow::backups() const
{
    QStringList paths;
    for (int row = 0; row < backups_->rowCount(); ++row)
        paths << backups_->item(row, 1)->text();
    return paths;
}

void UnitHistoryWindow::retranslate()
{
    setWindowTitle(tr("Unit history"));
    const QStringList headers = records::historyHeaders();
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    backupsHeader_->setText(tr("Backups of the unit, newest first:"));
    backups_->setHorizontalHeaderLabels({tr("Saved"), tr("File")});
    restore_->setText(tr("Restore backup ..."));
    if (isVisible())
        showUnit(serial_);
}

} // namespace tunekit
