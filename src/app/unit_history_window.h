#pragma once

#include <QCoroTask>
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tunekit {
namespace records {
class RecordSink;
}

// A unit's history (level 30 and up): when and where it was produced and every operation on it
// since, newest first, from the records store the window keeps its records in; and its backups,
// newest first, one of which "Restore backup ..." writes back. The records are read where the
// window keeps them, away from the window's thread: a plant's server that does not answer makes
// the history wait, never the window or the transmitter.
class UnitHistoryWindow final : public QDialog {
    Q_OBJECT
public:
    UnitHistoryWindow(QWidget* parent, records::RecordSink* records);
    // Shows the history of the unit with this serial number ("": not known yet) once its records
    // are read; a later call wins over one still reading.
    void showUnit(const QString& serialNumber);
    const QString& shownSerial() const noexcept { return serial_; }
    void retranslate();
    // The backups listed, newest first.
    QStringList backups() const;

signals:
    // The user chose this backup to write back to the unit.
    void restoreRequested(const QString& path);

private:
    QCoro::Task<> readHistory(QString serialNumber, int reading);

    records::RecordSink* records_;
    int readings_ = 0; // the history shown is the last one asked for
    QString serial_;
    QLabel* summary_;
    QTableWidget* table_;
    QLabel* backupsHeader_;
    QTableWidget* backups_;
    QPushButton* restore_;
};

} // namespace tunekit
