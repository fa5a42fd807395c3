#include "consoles/console_windows.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tunekit {
namespace {
// The box shows the newest entries; the log itself keeps every one.
constexpr qsizetype ShownEntries = 500;
} // namespace

TerminalWindow::TerminalWindow(QWidget* owner) : QWidget(owner, Qt::Window), txtTerminal(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("frmTerminal"));
    txtTerminal->setObjectName(QStringLiteral("txtTerminal"));
    txtTerminal->setReadOnly(true);
    txtTerminal->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtTerminal);
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

void TerminalWindow::Retranslate()
{
    setWindowTitle(QStringLiteral("Terminal"));
}

ContactWindow::ContactWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), txtLog(new QPlainTextEdit(this)), check01(new QCheckBox(this)),
      Label1(new QLabel(this))
{
    setObjectName(QStringLiteral("frmContact"));
    txtLog->setObjectName(QStringLiteral("txtLog"));
    check01->setObjectName(QStringLiteral("check01"));
    Label1->setObjectName(QStringLiteral("Label1"));
    txtLog->setReadOnly(true);
    txtLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Label1->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(check01);
    layout->addWidget(Label1);
    layout->addWidget(txtLog, 1);
    resize(420, 500);
    refresh_.setSingleShot(true);
    refresh_.setInterval(50);
    connect(&refresh_, &QTimer::timeout, this, &ContactWindow::Refresh);
    connect(check01, &QCheckBox::toggled, this, &ContactWindow::Check01Toggled);
    Retranslate();
}

void ContactWindow::AddContactDump(const QByteArray& packet, const QString& direction, QTime now)
{
    log_.AddContactDump(packet, direction, now);
    if (!refresh_.isActive())
        refresh_.start();
}

void ContactWindow::ClearLog()
{
    log_.Clear();
    txtLog->clear();
}

void ContactWindow::Refresh()
{
    txtLog->setPlainText(log_.NewestText(ShownEntries));
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
    check01->setText(tr("Disable Automatic Reset on Timeout"));
    Label1->setText(tr("Device must be reset manually after storing data!"));
}

} // namespace tunekit
