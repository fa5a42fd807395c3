#include "consoles/console_windows.h"

#include "consoles/packet_log_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
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

QFont FixedFont(const char* family)
{
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontDatabase::hasFamily(font.family()))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}

} // namespace

TerminalWindow::TerminalWindow(QWidget* owner) : QWidget(owner, Qt::Window), txtTerminal(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmTerminal"));
    txtTerminal->setObjectName(QStringLiteral("txtTerminal"));
    // Typed keys go to the device, never into the box: it shows the device's echo.
    txtTerminal->setReadOnly(true);
    txtTerminal->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtTerminal->setFont(FixedFont("Lucida Console"));
    txtTerminal->installEventFilter(this);
    txtTerminal->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtTerminal);
    resize(480, 360);
    tmrUpdate.setSingleShot(true);
    tmrUpdate.setInterval(50);
    connect(&tmrUpdate, &QTimer::timeout, this, &TerminalWindow::Refresh);
    Retranslate();
}

void TerminalWindow::AddToTerminal(const QByteArray& text)
{
    buffer_.AddToTerminal(text);
    if (!tmrUpdate.isActive())
        tmrUpdate.start();
}

void TerminalWindow::Clear()
{
    buffer_.Clear();
    txtTerminal->clear();
}

void TerminalWindow::Refresh()
{
    if (!buffer_.TakeRefresh())
        return;
    txtTerminal->setPlainText(buffer_.Text());
    txtTerminal->verticalScrollBar()->setValue(txtTerminal->verticalScrollBar()->maximum());
}

bool TerminalWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtTerminal && event->type() == QEvent::KeyPress) {
        // txtTerminal_KeyPress: each character of the key, as its code.
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        for (const QChar c : typed) {
            if (commands_)
                commands_->TerminalKeyPress(c.unicode());
        }
        return !typed.isEmpty();
    }
    if (watched == txtTerminal->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TerminalWindow::closeEvent(QCloseEvent* event)
{
    // The next use starts afresh.
    Clear();
    QWidget::closeEvent(event);
}

void TerminalWindow::Retranslate()
{
    setWindowTitle(QStringLiteral("Terminal"));
}

ContactWindow::ContactWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), txtLog(new PacketLogView(log_, this)),
      txtType(new QLineEdit(this)), txtIndex(new QLineEdit(this)), txtSubindex(new QLineEdit(this)),
      Label10(new QLabel(this)), Label55(new QLabel(this)), Label61(new QLabel(this)), Label62(new QLabel(this)),
      cmdSend(new QPushButton(this)), ResetButton(new QPushButton(this)), cmdClear(new QPushButton(this)),
      check01(new QCheckBox(this)), Label1(new QLabel(this))
{
    setObjectName(QStringLiteral("frmContact"));
    const auto name = [](QObject* object, const char* objectName) { object->setObjectName(QLatin1StringView(objectName)); };
    name(txtLog, "txtLog");
    name(txtType, "txtType");
    name(txtIndex, "txtIndex");
    name(txtSubindex, "txtSubindex");
    name(Label10, "Label10");
    name(Label55, "Label55");
    name(Label61, "Label61");
    name(Label62, "Label62");
    name(cmdSend, "cmdSend");
    name(ResetButton, "ResetButton");
    name(cmdClear, "cmdClear");
    name(check01, "check01");
    name(Label1, "Label1");

    auto* fields = new QGridLayout;
    fields->addWidget(Label10, 0, 0);
    fields->addWidget(Label55, 0, 1);
    fields->addWidget(Label61, 0, 2);
    fields->addWidget(Label62, 0, 3, 1, 4);
    fields->addWidget(txtType, 1, 0);
    fields->addWidget(txtIndex, 1, 1);
    fields->addWidget(txtSubindex, 1, 2);
    for (std::size_t i = 0; i < txtData.size(); ++i) {
        txtData[i] = new QLineEdit(this);
        txtData[i]->setObjectName(QStringLiteral("txtData%1").arg(i));
        fields->addWidget(txtData[i], 1, 3 + static_cast<int>(i));
    }
    const QFontMetrics metrics(FixedFont("Courier New"));
    for (QLineEdit* field : {txtType, txtIndex, txtSubindex, txtData[0], txtData[1], txtData[2], txtData[3]}) {
        field->setFont(FixedFont("Courier New"));
        field->setText(QStringLiteral("0"));
        field->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("FFFF")) + 16);
        connect(field, &QLineEdit::returnPressed, this, &ContactWindow::cmdSend_Click);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSend);
    buttons->addWidget(ResetButton);
    buttons->addWidget(cmdClear);
    buttons->addStretch(1);

    txtLog->setFont(FixedFont("Courier New"));
    connect(txtLog, &PacketLogView::doubleClicked, this, &ContactWindow::ClearLog);
    Label1->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(check01);
    layout->addWidget(Label1);
    layout->addWidget(txtLog, 1);
    resize(460, 560);

    refresh_.setSingleShot(true);
    refresh_.setInterval(50);
    connect(&refresh_, &QTimer::timeout, this, &ContactWindow::RefreshLog);
    connect(check01, &QCheckBox::toggled, this, &ContactWindow::Check01Toggled);
    connect(cmdSend, &QPushButton::clicked, this, &ContactWindow::cmdSend_Click);
    connect(cmdClear, &QPushButton::clicked, this, &ContactWindow::cmdClear_Click);
    connect(ResetButton, &QPushButton::clicked, this, [this] {
        if (commands_)
            commands_->ResetButton_Click();
    });
    Retranslate();
}

ContactWindow::~ContactWindow() = default;

void ContactWindow::AddContactDump(const QByteArray& packet, const QString& direction, QTime now)
{
    log_.AddContactDump(packet, direction, now);
    if (!refresh_.isActive())
        refresh_.start();
}

void ContactWindow::RefreshLog()
{
    txtLog->Sync();
}

void ContactWindow::ClearLog()
{
    log_.Clear();
    txtLog->Reset();
}

void ContactWindow::cmdSend_Click()
{
    if (!commands_)
        return;
    commands_->cmdSend_Click(txtType->text(), txtIndex->text(), txtSubindex->text(),
                             {txtData[0]->text(), txtData[1]->text(), txtData[2]->text(), txtData[3]->text()});
}

void ContactWindow::cmdClear_Click()
{
    for (QLineEdit* field : {txtType, txtIndex, txtSubindex, txtData[0], txtData[1], txtData[2], txtData[3]})
        field->setText(QStringLiteral("0"));
    ClearLog();
}

void ContactWindow::SetCheck01(bool ticked)
{
    if (check01->isChecked() != ticked)
        check01->setChecked(ticked);
}

void ContactWindow::SetHintVisible(bool visible)
{
    Label1->setVisible(visible);
}

void ContactWindow::Retranslate()
{
    setWindowTitle(QStringLiteral("Contact"));
    Label10->setText(tr("Type"));
    Label55->setText(tr("Index"));
    Label61->setText(tr("Subindex"));
    Label62->setText(tr("Data"));
    cmdSend->setText(tr("Send"));
    ResetButton->setText(tr("Reset Device"));
    ResetButton->setToolTip(tr("Reset HVX Device"));
    cmdClear->setText(tr("Clear Form"));
    cmdClear->setToolTip(tr("Clear this Form"));
    check01->setText(tr("Disable Automatic Reset on Timeout"));
    Label1->setText(tr("Device must be reset manually after storing data!"));
}

} // namespace tunekit
