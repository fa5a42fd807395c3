#include "app/unit_history_window.h"

#include "app/window_parts.h"
#include "records/store_choice.h"
#include "records/unit_history.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tunekit {

UnitHistoryWindow::UnitHistoryWindow(QWidget* parent)
    : QDialog(parent), summary_(named<QLabel>(this, "lblHistorySummary")), table_(named<QTableWidget>(this, "tblHistory"))
{
    setObjectName(QStringLiteral("frmUnitHistory"));
    summary_->setWordWrap(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    resize(1000, 420);
    retranslate();
}

void UnitHistoryWindow::showUnit(const QString& serialNumber)
{
    serial_ = serialNumber;
    records::UnitHistory history;
    history.serialNumber = serialNumber.trimmed();
    if (!history.serialNumber.isEmpty()) {
        const records::ChosenStore chosen = records::openUserStore();
        history = chosen.store ? records::unitHistory(*chosen.store, serialNumber)
                               : records::UnitHistory{history.serialNumber, {}, chosen.error};
    }
    summary_->setText(records::historySummary(history));
    table_->setRowCount(static_cast<int>(history.records.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QStringList fields = records::historyFields(history.records.at(row));
        for (int column = 0; column < fields.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(fields.at(column)));
    }
    table_->resizeColumnsToContents();
}

void UnitHistoryWindow::retranslate()
{
    setWindowTitle(tr("Unit history"));
    const QStringList headers = records::historyHeaders();
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    if (isVisible())
        showUnit(serial_);
}

} // namespace tunekit
