#include "widgets/console_windows.h"

#include "widgets/packet_log_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tunekit {

namespace {

QFont fixedFont(const char* family)
{
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontDatabase::hasFamily(font.family()))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

} // namespace

TerminalWindow::TerminalWindow(QWidget* owner) : QWidget(owner, Qt::Window), textBox_(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmTerminal"));
    textBox_->setObjectName(QStringLiteral("txtTerminal"));
    // Typed keys go to the device, never into the box: it shows the device's echo.
    textBox_->setReadOnly(true);
    textBox_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    textBox_->setFont(fixedFont("Lucida Console"));
    textBox_->installEventFilter(this);
    textBox_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(textBox_);
    resize(480, 360);
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(50);
    connect(&refreshTimer_, &QTimer::timeout, this, &TerminalWindow::refresh);
    retranslate();
}

void TerminalWindow::append(const QByteArray& text)
{
    buffer_.append(text);
    if (!refreshTimer_.isActive())
        refreshTimer_.start();
}

void TerminalWindow::clear()
{
    buffer_.clear();
    textBox_->clear();
}

void TerminalWindow::refresh()
{
    if (!buffer_.takeRefresh())
        return;
    textBox_->setPlainText(buffer_.text());
    textBox_->verticalScrollBar()->setValue(textBox_->verticalScrollBar()->maximum());
}

bool TerminalWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == textBox_ && event->type() == QEvent::KeyPress) {
        // Every character of the key goes out as its code.
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        for (const QChar c : typed) {
            if (commands_)
                commands_->sendTypedKey(c.unicode());
        }
        return !typed.isEmpty();
    }
    if (watched == textBox_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TerminalWindow::closeEvent(QCloseEvent* event)
{
    // The next use starts afresh.
    clear();
    QWidget::closeEvent(event);
}

void TerminalWindow::retranslate()
{
    setWindowTitle(QStringLiteral("Terminal"));
}

// The packet's fields under their captions: type, index, subindex and four data bytes.
QGridLayout* PacketConsoleWindow::packetFieldsLayout()
{
    auto* fields = new QGridLayout;
    fields->addWidget(typeLabel_, 0, 0);
    fields->addWidget(indexLabel_, 0, 1);
    fields->addWidget(subindexLabel_, 0, 2);
    fields->addWidget(dataLabel_, 0, 3, 1, 4);
    fields->addWidget(typeField_, 1, 0);
    fields->addWidget(indexField_, 1, 1);
    fields->addWidget(subindexField_, 1, 2);
    for (std::size_t i = 0; i < dataFields_.size(); ++i) {
        dataFields_[i] = new QLineEdit(this);
        dataFields_[i]->setObjectName(QStringLiteral("txtData%1").arg(i));
        fields->addWidget(dataFields_[i], 1, 3 + static_cast<int>(i));
    }
    const QFontMetrics metrics(fixedFont("Courier New"));
    for (QLineEdit* field : packetFields()) {
        field->setFont(fixedFont("Courier New"));
        field->setText(QStringLiteral("0"));
        field->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("FFFF")) + 16);
        connect(field, &QLineEdit::returnPressed, this, &PacketConsoleWindow::sendPacket);
    }
    return fields;
}

PacketConsoleWindow::PacketConsoleWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), logView_(new PacketLogView(log_, this)),
      typeField_(new QLineEdit(this)), indexField_(new QLineEdit(this)), subindexField_(new QLineEdit(this)),
      typeLabel_(new QLabel(this)), indexLabel_(new QLabel(this)), subindexLabel_(new QLabel(this)),
      dataLabel_(new QLabel(this)), sendButton_(new QPushButton(this)), resetButton_(new QPushButton(this)),
      clearButton_(new QPushButton(this)), autoResetOffBox_(new QCheckBox(this)), manualResetHint_(new QLabel(this))
{
    setObjectName(QStringLiteral("frmContact"));
    const auto name = [](QObject* object, const char* objectName) {
        object->setObjectName(QLatin1StringView(objectName));
    };
    name(logView_, "txtLog");
    name(typeField_, "txtType");
    name(indexField_, "txtIndex");
    name(subindexField_, "txtSubindex");
    name(typeLabel_, "Label10");
    name(indexLabel_, "Label55");
    name(subindexLabel_, "Label61");
    name(dataLabel_, "Label62");
    name(sendButton_, "cmdSend");
    name(resetButton_, "ResetButton");
    name(clearButton_, "cmdClear");
    name(autoResetOffBox_, "check01");
    name(manualResetHint_, "Label1");

    QGridLayout* fields = packetFieldsLayout();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sendButton_);
    buttons->addWidget(resetButton_);
    buttons->addWidget(clearButton_);
    buttons->addStretch(1);

    logView_->setFont(fixedFont("Courier New"));
    connect(logView_, &PacketLogView::doubleClicked, this, &PacketConsoleWindow::clearLog);
    manualResetHint_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(autoResetOffBox_);
    layout->addWidget(manualResetHint_);
    layout->addWidget(logView_, 1);
    resize(460, 560);

    refresh_.setSingleShot(true);
    refresh_.setInterval(50);
    connect(&refresh_, &QTimer::timeout, this, &PacketConsoleWindow::refreshLog);
    connect(autoResetOffBox_, &QCheckBox::toggled, this, &PacketConsoleWindow::autoResetDisabledToggled);
    connect(sendButton_, &QPushButton::clicked, this, &PacketConsoleWindow::sendPacket);
    connect(clearButton_, &QPushButton::clicked, this, &PacketConsoleWindow::clearForm);
    connect(resetButton_, &QPushButton::clicked, this, [this] {
        if (commands_)
            commands_->resetDevice();
    });
    retranslate();
}

PacketConsoleWindow::~PacketConsoleWindow() = default;

std::array<QLineEdit*, 7> PacketConsoleWindow::packetFields() const
{
    return {typeField_, indexField_, subindexField_, dataFields_[0], dataFields_[1], dataFields_[2], dataFields_[3]};
}

void PacketConsoleWindow::addPacket(const QByteArray& packet, const QString& direction, QTime now)
{
    log_.add(packet, direction, now);
    if (!refresh_.isActive())
        refresh_.start();
}

void PacketConsoleWindow::refreshLog()
{
    logView_->sync();
}

void PacketConsoleWindow::clearLog()
{
    log_.clear();
    logView_->reset();
}

void PacketConsoleWindow::sendPacket()
{
    if (!commands_)
        return;
    commands_->sendPacket(typeField_->text(), indexField_->text(), subindexField_->text(),
                          {dataFields_[0]->text(), dataFields_[1]->text(), dataFields_[2]->text(),
                           dataFields_[3]->text()});
}

void PacketConsoleWindow::clearForm()
{
    for (QLineEdit* field : packetFields())
        field->setText(QStringLiteral("0"));
    clearLog();
}

void PacketConsoleWindow::setAutoResetDisabled(bool disabled)
{
    if (autoResetOffBox_->isChecked() != disabled)
        autoResetOffBox_->setChecked(disabled);
}

void PacketConsoleWindow::setManualResetHintVisible(bool visible)
{
    manualResetHint_->setVisible(visible);
}

// The German texts of this window are filed under the context "tunekit::ContactWindow".
void PacketConsoleWindow::retranslate()
{
    setWindowTitle(QStringLiteral("Contact"));
    typeLabel_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Type"));
    indexLabel_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Index"));
    subindexLabel_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Subindex"));
    dataLabel_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Data"));
    sendButton_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Send"));
    resetButton_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Reset Device"));
    resetButton_->setToolTip(QCoreApplication::translate("tunekit::ContactWindow", "Reset HVX Device"));
    clearButton_->setText(QCoreApplication::translate("tunekit::ContactWindow", "Clear Form"));
    clearButton_->setToolTip(QCoreApplication::translate("tunekit::ContactWindow", "Clear this Form"));
    autoResetOffBox_->setText(
        QCoreApplication::translate("tunekit::ContactWindow", "Disable Automatic Reset on Timeout"));
    manualResetHint_->setText(
        QCoreApplication::translate("tunekit::ContactWindow", "Device must be reset manually after storing data!"));
}

} // namespace tunekit
