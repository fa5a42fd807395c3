#pragma once

#include "params/config_tab.h"

#include <QWidget>

class QLabel;

namespace tunekit {

// pbxDip: the system address as two banks of eight DIP switches.
class DipPicture final : public QWidget {
    Q_OBJECT
public:
    explicit DipPicture(QWidget* parent = nullptr);
    void SetView(const DipView& view);
    const DipView& View() const noexcept { return view_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DipView view_;
};

// pbxDip with the captions "S1 (low) S8" and "S1 (high) S8" and the value labels ValueLow and
// ValueHigh, each under its own bank of switches.
class DipPanel final : public QWidget {
    Q_OBJECT
public:
    explicit DipPanel(QWidget* parent = nullptr);
    DipPicture* Picture() const noexcept { return pbxDip; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int LabelHeight() const;

    DipPicture* pbxDip;
    QLabel* lblDipLow;
    QLabel* lblDipHigh;
    QLabel* ValueLow;
    QLabel* ValueHigh;
};

} // namespace tunekit
