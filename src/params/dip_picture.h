#pragma once

#include "params/config_tab.h"

#include <QWidget>

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

} // namespace tunekit
