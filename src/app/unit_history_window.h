#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tunekit {

// A unit's history (level 30 and up): when and where it was produced and every operation on it
// since, newest first, from the records store the window keeps its records in; and its backups,
// newest first, one of which "Restore backup ..." writes back.
class UnitHistoryWindow final : public QDialog {
    Q_OBJECT
public:
    explicit UnitHistoryWindow(QWidget* parent);
    // Shows the history of the unit with this serial number ("": not known yet).
    void showUnit(const QString& serialNumber);
    const QString& shownSerial() const noexcept { return serial_; }
    void retranslate();
    // The backups listed, newest first.
    QStringList backups() const;

signals:
    // The user chose this backup to write back to the unit.
    void restoreRequested(const QString& path);

private:
    QString serial_;
    QLabel* summary_;
    QTableWidget* table_;
    QLabel* backupsHeader_;
    QTableWidget* backups_;
    QPushButton* restore_;
};

} // namespace tunekit
