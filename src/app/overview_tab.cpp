// The Overview tab: the device image as a list, edited in place.
#include "app/main_window.h"

#include "app/window_parts.h"

#include "params/config_defines.h"
#include "params/overview_edit.h"
#include "params/parameter_cells.h"

#include <QBrush>
#include <QColor>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tunekit {

QString interpreterCaption(const DeviceImage& image)
{
    return image.extended.interpreterImage.isEmpty() ? QStringLiteral("-")
                                                     : QCoreApplication::translate("DeviceImage", "included in ConfigFile");
}

namespace {


// Only the value column is edited in place, and only where the parameter may be edited.
class OverviewDelegate final : public QStyledItemDelegate {
public:
    OverviewDelegate(const Session& session, QObject* parent) : QStyledItemDelegate(parent), session_(session) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != 0 || !session_.overviewRowEditable(index.siblingAtColumn(1).data().toString()))
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

private:
    const Session& session_;
};

// Small icon 2: the access level reaches the parameter; 1: it does not.
QIcon levelIcon(bool reached)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(reached ? QColor(40, 150, 60) : QColor(170, 170, 170));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 10, 10);
    return QIcon(pixmap);
}


} // namespace

void MainWindow::buildOverviewTab()
{
    auto* overview = new QWidget(tabs_);
    auto* overviewLayout = new QVBoxLayout(overview);
    overviewList_ = named<QTreeWidget>(overview, "lstOverview");
    // The fourth column: what the unit read last holds where an opened file changes it.
    overviewList_->setColumnCount(4);
    overviewList_->setColumnHidden(3, true);
    overviewList_->setRootIsDecorated(false);
    auto* fileChanges = named<QLabel>(overview, "lblFileChanges");
    fileChanges->setWordWrap(true);
    fileChanges->hide();
    overviewLayout->addWidget(fileChanges);
    overviewLayout->addWidget(overviewList_);
    tabs_->addTab(overview, QString());

    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        showOverview();
        if (!overviewSized_ && overviewList_->isVisible()) {
            overviewSized_ = true;
            sizeOverviewColumns();
        }
    });

    overviewList_->setItemDelegate(new OverviewDelegate(*session_, overviewList_));
    overviewList_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::SelectedClicked);
    connect(overviewList_, &QTreeWidget::itemChanged, this, &MainWindow::overviewItemChanged);
}

void MainWindow::prepareOverview()
{
    // The column headers are set once, in the language of the start.
    overviewList_->setHeaderLabels({translated(QT_TRANSLATE_NOOP("MainWindow", "Value")), translated(QT_TRANSLATE_NOOP("MainWindow", "Name")),
                                  translated(QT_TRANSLATE_NOOP("MainWindow", "Description"))});
    sizeOverviewColumns();
}

void MainWindow::sizeOverviewColumns()
{
    // 0.18, 0.28 and 0.53 of the list's width; the list is measured once it is on screen.
    const int width = overviewList_->isVisible() ? overviewList_->viewport()->width() : centralWidget()->width() - 30;
    overviewList_->setColumnWidth(0, width * 18 / 100);
    overviewList_->setColumnWidth(1, width * 28 / 100);
    overviewList_->setColumnWidth(2, width * 53 / 100);
}

namespace {

// A value outside the range its description states stands out, and says why; the write asks
// before it sends it. A value edited and not yet written is in bold and says so.
void markValue(QTreeWidgetItem* item, const OverviewRow& row)
{
    QFont font = item->font(0);
    font.setBold(row.edited);
    item->setFont(0, font);
    QStringList tips;
    if (row.edited)
        tips << QCoreApplication::translate("OverviewTab", "Edited, not yet written to the device");
    if (row.outsideStatedRange) {
        const StatedRange range = findConfigDefine(row.nr).range;
        tips << QCoreApplication::translate("OverviewTab", "Outside the range %1..%2 the description states")
                    .arg(range.low)
                    .arg(range.high);
    }
    if (row.fileChangesIt) {
        tips << QCoreApplication::translate("OverviewTab", "The file changes it: the unit holds %1").arg(row.deviceValue);
        if (row.calibration)
            tips << QCoreApplication::translate("OverviewTab", "A calibration value: a write keeps the unit's unless overwriting "
                                                               "the adjusted calibration values is allowed");
    }
    item->setText(3, row.deviceValue);
    item->setBackground(0, row.outsideStatedRange ? QBrush(QColor(255, 200, 200))
                           : row.calibration      ? QBrush(QColor(220, 220, 220))
                           : row.fileChangesIt    ? QBrush(QColor(255, 240, 170))
                                                  : QBrush());
    item->setToolTip(0, tips.join(QLatin1Char('\n')));
}

} // namespace

void MainWindow::showOverview()
{
    const DeviceImage& image = session_->image();
    fillingOverview_ = true;
    overviewList_->clear();
    const QIcon reached = levelIcon(true);
    const QIcon notReached = levelIcon(false);
    for (const OverviewRow& row : session_->device().overviewRows()) {
        auto* item = new QTreeWidgetItem(overviewList_, {row.value, row.name, row.description});
        item->setIcon(0, row.icon == 2 ? reached : notReached);
        item->setData(0, Qt::UserRole, row.icon);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        markValue(item, row);
    }
    fillingOverview_ = false;
    findChild<QLabel*>(QStringLiteral("lblInterpreterImage"))->setText(interpreterCaption(image));
    showFileChangeCount();
}

void MainWindow::showFileChangeCount()
{
    const int count = session_->device().fileChangeCount();
    auto* label = findChild<QLabel*>(QStringLiteral("lblFileChanges"));
    label->setVisible(count > 0);
    label->setText(count == 1 ? tr("The file changes 1 value of the unit read last: marked, with the unit's value beside it.")
                              : tr("The file changes %1 values of the unit read last: marked, with the unit's values beside them.")
                                    .arg(count));
    // The write itself asks nothing more than it always has: its button names the count.
    findChild<QPushButton*>(QStringLiteral("cmdConfigWrite"))
        ->setToolTip(count == 0   ? QString()
                     : count == 1 ? tr("Writing changes 1 value of the unit read last; the overview marks it.")
                                  : tr("Writing changes %1 values of the unit read last; the overview marks them.").arg(count));
    overviewList_->headerItem()->setText(3, tr("On the unit"));
    if (overviewList_->isColumnHidden(3) && count > 0) {
        // Beside the file's value, as diff prints them, taking room from the description.
        QHeaderView* header = overviewList_->header();
        header->moveSection(header->visualIndex(3), 1);
        overviewList_->setColumnWidth(3, overviewList_->columnWidth(0));
        overviewList_->setColumnWidth(2, std::max(100, overviewList_->columnWidth(2) - overviewList_->columnWidth(0)));
    }
    overviewList_->setColumnHidden(3, count == 0);
}

void MainWindow::overviewItemChanged(QTreeWidgetItem* item, int column)
{
    if (fillingOverview_ || column != 0)
        return;
    const OverviewEditResult result = session_->editOverviewValue(item->text(1), item->text(0));
    if (result.identityChanged)
        showConfigTab();
    // The row shows what the image holds, never a refused text.
    const QString shown = result.nr > 0 ? session_->image().value[result.nr] : result.rowText;
    fillingOverview_ = true;
    item->setText(0, shown);
    if (result.nr > 0) {
        // The row as the image has it now, the file's marks included.
        const QList<OverviewRow> rows = session_->device().overviewRows();
        const auto row = std::find_if(rows.cbegin(), rows.cend(), [&result](const OverviewRow& r) { return r.nr == result.nr; });
        if (row != rows.cend())
            markValue(item, *row);
        showFileChangeCount();
    }
    fillingOverview_ = false;
    if (result.clearedFileData)
        labelsChanged();
}

} // namespace tunekit
