// The Infos tab: the device information, the interpreter and the host.
#include "app/main_window.h"

#include "app/window_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tunekit {
namespace {

// Captions of the tab's controls; German texts come from the translation.
constexpr Caption InfosCaptions[] = {
    {"Label4", QT_TRANSLATE_NOOP("MainWindow", "Sourcecode:")},
    {"Label5", QT_TRANSLATE_NOOP("MainWindow", "Version Number:")},
    {"Label6", QT_TRANSLATE_NOOP("MainWindow", "Date of Compilation:")},
    {"Label7", QT_TRANSLATE_NOOP("MainWindow", "Hardware plattform:")},
    {"Label8", QT_TRANSLATE_NOOP("MainWindow", "Hours of Operation:")},
    {"lblBetriebsstd", QT_TRANSLATE_NOOP("MainWindow", "Hours of Operation:")},
    {"LblInterNumber", QT_TRANSLATE_NOOP("MainWindow", "Interpreter Number:")},
    {"lblInterName", QT_TRANSLATE_NOOP("MainWindow", "Interpreter Name:")},
    {"lblInterDate", QT_TRANSLATE_NOOP("MainWindow", "Interpreter Date:")},
    {"cmdInfoRead", QT_TRANSLATE_NOOP("MainWindow", "Read")},
    {"cmdIR", QT_TRANSLATE_NOOP("MainWindow", "Read interpreter info")},
    {"cmdResetMe", QT_TRANSLATE_NOOP("MainWindow", "Reset")},
    {"lblInterpreterImageHeader", QT_TRANSLATE_NOOP("MainWindow", "Interpreter in file:")},
};

} // namespace

void MainWindow::buildInfosTab()
{
    auto* infos = new QWidget(tabs_);
    auto* infoGrid = new QGridLayout(infos);
    auto* source = named<QPlainTextEdit>(infos, "txtSource");
    source->setReadOnly(true);
    source->setMaximumHeight(70);
    infoGrid->addWidget(named<QLabel>(infos, "Label4"), 0, 0);
    infoGrid->addWidget(source, 0, 1, 1, 2);
    int row = 1;
    const char* infoCaptions[] = {"Label5", "Label6", "Label7", "Label8", "LblInterNumber", "lblInterName",
                                  "lblInterDate"};
    for (int i = 0; i < 7; ++i) {
        infoGrid->addWidget(named<QLabel>(infos, infoCaptions[i]), row, 0);
        infoGrid->addWidget(named<QLabel>(infos, qPrintable(QStringLiteral("lblInfo%1").arg(i + 1))), row, 1, 1, 2);
        ++row;
    }
    infoGrid->addWidget(named<QLabel>(infos, "lblBetriebsstd"), row, 0);
    infoGrid->addWidget(named<QLabel>(infos, "lblOpHours"), row++, 1);
    infoGrid->addWidget(named<QLabel>(infos, "lblInterpreterImageHeader"), row, 0);
    infoGrid->addWidget(named<QLabel>(infos, "lblInterpreterImage"), row++, 1);
    infoGrid->addWidget(named<QLabel>(infos, "lblWinVer"), row, 0);
    infoGrid->addWidget(named<QLabel>(infos, "lblSprache"), row++, 1);
    infoGrid->addWidget(named<QLabel>(infos, "lblComPort"), row++, 0, 1, 2);
    auto* infoButtons = new QHBoxLayout;
    infoButtons->addWidget(named<QPushButton>(infos, "cmdInfoRead"));
    infoButtons->addWidget(named<QPushButton>(infos, "cmdIR"));
    infoButtons->addWidget(named<QPushButton>(infos, "cmdResetMe"));
    infoButtons->addStretch(1);
    infoGrid->addLayout(infoButtons, row++, 0, 1, 3);
    infoGrid->setRowStretch(row, 1);
    infoGrid->setColumnStretch(2, 1);
    tabs_->addTab(infos, QString());

    for (const Caption& caption : InfosCaptions)
        captions_.append(caption);

    auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1StringView(name)); };
    connect(button("cmdInfoRead"), &QPushButton::clicked, this, [this] { run(session_->readInformation()); });
    connect(button("cmdIR"), &QPushButton::clicked, this, [this] { run(session_->readInterpreterInfo()); });
    connect(button("cmdResetMe"), &QPushButton::clicked, this, [this] { run(session_->reset()); });
}

} // namespace tunekit
