#pragma once

#include "base/station_views.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace tunekit {

// The progress window of a transfer, with the overall and the partial bar.
class TransferWindow final : public QWidget {
    Q_OBJECT
public:
    explicit TransferWindow(QWidget* parent = nullptr);
    void render(const TransferProgress& state);
    void retranslate();

private:
    QProgressBar* overall;
    QProgressBar* partial;
    QLabel* caption;
    QLabel* detail;
    QLabel* partialHeader;
    QLabel* totalHeader;
};

} // namespace tunekit
