// The house's layers. The logic must run without a screen: no file of tunekit_core includes a
// QtGui or QtWidgets header. And every folder of src/ is a floor: a file includes only from its
// own folder and from the floors below it.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

namespace {

// The floors of src/, lowest first; folders on one floor do not include each other. The README's
// layout lists the folders in this order.
const QList<QStringList> Floors{
    {QStringLiteral("base")},     // seams and facts everyone uses: dialogs, language, version
    {QStringLiteral("host")},     // the host system, adapter discovery
    {QStringLiteral("link")},     // serial line, packets, transmit engine
    {QStringLiteral("identity")}, // serial number codec
    {QStringLiteral("params")},   // dictionary, device image
    {QStringLiteral("access")},   // access levels
    {QStringLiteral("files")},    // .scd files
    {QStringLiteral("transfer")}, // reading and writing the device
    {QStringLiteral("consoles")}, // terminal and packet console
    {QStringLiteral("report")},   // parameter report
    {QStringLiteral("sim")},      // simulated transmitter
    {QStringLiteral("records")},  // traceability records: stores, schema, spool, queries
    {QStringLiteral("session")},  // the logic put together for a front end; settings file
    {QStringLiteral("production")}, // production channels: several stations, automatic mode
    {QStringLiteral("app"), QStringLiteral("cli")}, // the two front ends
};

// The front ends, which work through the station.
const QStringList FrontEnds{QStringLiteral("app"), QStringLiteral("cli")};

int floorOf(const QString& folder)
{
    for (qsizetype i = 0; i < Floors.size(); ++i) {
        if (Floors.at(i).contains(folder))
            return static_cast<int>(i);
    }
    return -1;
}

QStringList lines(const char* path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool isGuiHeader(const QString& header)
{
    if (header.startsWith(QLatin1StringView("QtGui/")) || header.startsWith(QLatin1StringView("QtWidgets/"))
        || header == QLatin1StringView("QtGui") || header == QLatin1StringView("QtWidgets"))
        return true;
    // A bare <QWidget> or <QColor>: look it up in the QtWidgets and QtGui module folders.
    const QStringList dirs = lines(TUNEKIT_GUI_INCLUDE_DIRS_FILE);
    for (const QString& dir : dirs) {
        const QString name = QFileInfo(dir).fileName();
        if ((name == QLatin1StringView("QtGui") || name == QLatin1StringView("QtWidgets"))
            && QFileInfo::exists(dir + QLatin1Char('/') + header))
            return true;
    }
    return false;
}

// Every .h and .cpp file below the folder.
QStringList sourceFiles(const QString& folder)
{
    QStringList paths;
    QDirIterator it(folder, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    return paths;
}

// The headers a source file includes, as written between the quotes or angle brackets.
QStringList includesOf(const QString& path)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*[<\"]([^>\"]+)[>\"]"),
                                            QRegularExpression::MultilineOption);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList headers;
    const QString text = QString::fromUtf8(file.readAll());
    for (auto it = include.globalMatch(text); it.hasNext();)
        headers << it.next().captured(1);
    return headers;
}

} // namespace

class TestLayers : public QObject {
    Q_OBJECT
private slots:
    void coreIncludesNoGuiHeaders()
    {
        QVERIFY(isGuiHeader(QStringLiteral("QWidget")));
        QVERIFY(isGuiHeader(QStringLiteral("QColor")));
        QVERIFY(!isGuiHeader(QStringLiteral("QString")));

        const QDir sourceDir(QStringLiteral(TUNEKIT_CORE_SOURCE_DIR));
        int files = 0;
        for (const QString& source : lines(TUNEKIT_CORE_SOURCES_FILE)) {
            if (!QFileInfo::exists(sourceDir.absoluteFilePath(source)))
                continue; // generated files (translations, moc) live in the build tree
            ++files;
            for (const QString& header : includesOf(sourceDir.absoluteFilePath(source)))
                QVERIFY2(!isGuiHeader(header), qPrintable(source + QStringLiteral(" includes ") + header));
        }
        QVERIFY(files > 5);
    }

    void includesPointDown()
    {
        const QDir sourceDir(QStringLiteral(TUNEKIT_CORE_SOURCE_DIR));
        QStringList upward;
        int files = 0;
        for (const QString& path : sourceFiles(sourceDir.path())) {
            const QString relative = sourceDir.relativeFilePath(path);
            const QString folder = relative.section(QLatin1Char('/'), 0, 0);
            const int floor = floorOf(folder);
            QVERIFY2(floor >= 0, qPrintable(QStringLiteral("no floor for the folder ") + folder));
            ++files;
            for (const QString& header : includesOf(path)) {
                const QString target = header.section(QLatin1Char('/'), 0, 0);
                if (header.contains(QLatin1Char('/')) && target != folder && floorOf(target) >= floor)
                    upward << relative + QStringLiteral(" includes from ") + target;
            }
        }
        QVERIFY(files > 50);
        QVERIFY2(upward.isEmpty(), qPrintable(upward.join(QLatin1Char('\n'))));
    }

    void nothingNestsEventLoops()
    {
        // A wait is a coroutine: nothing runs events itself, so two stations in one thread never
        // wait inside each other, and the window awaits its own dialogs too. A program's main()
        // runs the one top-level loop. A SQL query's exec() runs a statement, not events.
        static const QRegularExpression nested(QStringLiteral("processEvents|QEventLoop|(?<!query\\.)\\bexec\\(\\)|waitFor\\("));
        const QDir sourceDir(QStringLiteral(TUNEKIT_CORE_SOURCE_DIR));
        QStringList found;
        for (const QString& path : sourceFiles(sourceDir.path())) {
            const QString relative = sourceDir.relativeFilePath(path);
            const QString folder = relative.section(QLatin1Char('/'), 0, 0);
            if (relative.endsWith(QLatin1StringView("main.cpp")))
                continue;
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            for (qsizetype n = 0; n < lines.size(); ++n) {
                if (nested.match(lines[n]).hasMatch())
                    found << QStringLiteral("%1:%2: %3").arg(relative).arg(n + 1).arg(lines[n].trimmed());
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void frontEndsUseTheStation()
    {
        // The window and tunekit-cli work through the station; the transfers and the engine
        // behind it are not theirs to drive.
        const QDir sourceDir(QStringLiteral(TUNEKIT_CORE_SOURCE_DIR));
        const QStringList logic = lines(TUNEKIT_CORE_SOURCES_FILE);
        QStringList found;
        for (const QString& folder : FrontEnds) {
            QDirIterator it(sourceDir.filePath(folder), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files);
            while (it.hasNext()) {
                const QString path = it.next();
                for (const QString& header : includesOf(path)) {
                    const bool internal = header.startsWith(QLatin1StringView("transfer/"))
                                          || header == QLatin1StringView("link/transmit_engine.h");
                    if (internal && logic.contains(header))
                        found << sourceDir.relativeFilePath(path) + QStringLiteral(" includes ") + header;
                }
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};


QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"
