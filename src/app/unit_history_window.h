#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTableWidget;

namespace tunekit {

// A unit's history (level 30 and up): when and where it was produced and every operation on it
// since, newest first, from the records store the window keeps its records in.
class UnitHistoryWindow final : public QDialog {
    Q_OBJECT
public:
    explicit UnitHistoryWindow(QWidget* parent);
    // Shows the history of the unit with this serial number ("": not known yet).
    void showUnit(const QString& serialNumber);
    const QString& shownSerial() const noexcept { return serial_; }
    void retranslate();

private:
    QString serial_;
    QLabel* summary_;
    QTableWidget* table_;
};

} // namespace tunekit
