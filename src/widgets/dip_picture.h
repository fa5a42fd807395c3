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
    void setView(const DipView& view);
    const DipView& view() const noexcept { return view_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DipView view_;
};

// pbxDip with the captions "S1 (low) S8" and "S1 (high) S8" and the value labels valueLow and
// valueHigh, each under its own bank of switches.
class DipPanel final : public QWidget {
    Q_OBJECT
public:
    explicit DipPanel(QWidget* parent = nullptr);
    DipPicture* picture() const noexcept { return dipPicture_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int labelHeight() const;

    DipPicture* dipPicture_;
    QLabel* lowValueLabel_;
    QLabel* highValueLabel_;
    QLabel* valueLow;
    QLabel* valueHigh;
};

} // namespace tunekit
