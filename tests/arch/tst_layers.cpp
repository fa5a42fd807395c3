// The house's layers. The logic must run without a screen: no file of tunekit_core includes a
// QtGui or QtWidgets header. And every folder of src/ is a floor: a file includes only from its
// own folder and from the floors below it.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <functional>

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
    {QStringLiteral("widgets")},  // the window's parts for one subsystem: consoles, transfer window, dialogs
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

// A house rule: what it finds wrong in one file of src/ (its path below src/, its includes, its
// lines), given the logic's own files.
using Rule = std::function<QStringList(const QString& file, const QStringList& includes, const QStringList& lines,
                                       const QStringList& logic)>;
Q_DECLARE_METATYPE(Rule)

class TestLayers : public QObject {
    Q_OBJECT
private slots:
    void houseRules_data()
    {
        QTest::addColumn<Rule>("rule");
        QTest::newRow("the logic runs without a screen") << Rule([](const QString& file, const QStringList& includes,
                                                                    const QStringList&, const QStringList& logic) {
            QStringList found;
            for (const QString& header : includes) {
                if (logic.contains(file) && isGuiHeader(header))
                    found << file + QStringLiteral(" includes ") + header;
            }
            return found;
        });
        QTest::newRow("includes point down") << Rule([](const QString& file, const QStringList& includes,
                                                         const QStringList&, const QStringList&) {
            const QString folder = file.section(QLatin1Char('/'), 0, 0);
            const int floor = floorOf(folder);
            QStringList found;
            if (floor < 0)
                found << QStringLiteral("no floor for the folder ") + folder;
            for (const QString& header : includes) {
                const QString target = header.section(QLatin1Char('/'), 0, 0);
                if (header.contains(QLatin1Char('/')) && target != folder && floorOf(target) >= floor)
                    found << file + QStringLiteral(" includes from ") + target;
            }
            return found;
        });
        // A wait is a coroutine: nothing runs events itself, so two stations in one thread never
        // wait inside each other, and the window awaits its own dialogs too. A program's main()
        // runs the one top-level loop. A SQL query's exec() runs a statement, not events.
        QTest::newRow("nothing nests event loops") << Rule([](const QString& file, const QStringList&,
                                                               const QStringList& lines, const QStringList&) {
            static const QRegularExpression nested(
                QStringLiteral("processEvents|QEventLoop|(?<!query\\.)\\bexec\\(\\)|waitFor\\("));
            QStringList found;
            for (qsizetype n = 0; n < lines.size() && !file.endsWith(QLatin1StringView("main.cpp")); ++n) {
                if (nested.match(lines[n]).hasMatch())
                    found << QStringLiteral("%1:%2: %3").arg(file).arg(n + 1).arg(lines[n].trimmed());
            }
            return found;
        });
        // The window and tunekit-cli work through the station; the transfers and the engine
        // behind it are not theirs to drive.
        QTest::newRow("front ends use the station") << Rule([](const QString& file, const QStringList& includes,
                                                                const QStringList&, const QStringList& logic) {
            QStringList found;
            for (const QString& header : includes) {
                const bool internal = header.startsWith(QLatin1StringView("transfer/"))
                                      || header == QLatin1StringView("link/transmit_engine.h");
                if (FrontEnds.contains(file.section(QLatin1Char('/'), 0, 0)) && internal && logic.contains(header))
                    found << file + QStringLiteral(" includes ") + header;
            }
            return found;
        });
        // The station owns its parts: what it hands out are operations, copies and values, never
        // a reference or a pointer into itself.
        QTest::newRow("the station hands out no parts") << Rule([](const QString& file, const QStringList&,
                                                                    const QStringList& lines, const QStringList&) {
            QStringList found;
            if (file != QLatin1StringView("session/station.h"))
                return found;
            static const QRegularExpression reference(QStringLiteral("^\\s*(const\\s+)?[\\w:<>, ]+[&*]\\s*\\w+\\(.*\\)"));
            bool inStation = false;
            bool inPublic = false;
            for (qsizetype n = 0; n < lines.size(); ++n) {
                const QString& line = lines[n];
                if (line.startsWith(QLatin1StringView("class Station ")))
                    inStation = true;
                else if (inStation && line.startsWith(QLatin1StringView("};")))
                    inStation = false;
                if (!inStation)
                    continue;
                if (line.trimmed() == QLatin1StringView("public:"))
                    inPublic = true;
                else if (line.trimmed() == QLatin1StringView("private:"))
                    inPublic = false;
                else if (inPublic && !line.contains(QLatin1StringView("operator=")) && reference.match(line).hasMatch())
                    found << QStringLiteral("%1:%2: %3").arg(file).arg(n + 1).arg(line.trimmed());
            }
            return found;
        });
        // A helper like Tr("text") hides its literal from lupdate, so the text would never be
        // translated; such literals go through QT_TRANSLATE_NOOP.
        QTest::newRow("no text hidden from lupdate") << Rule([](const QString& file, const QStringList&,
                                                                const QStringList& lines, const QStringList&) {
            static const QRegularExpression hidden(QStringLiteral("\\bTr\\(\\s*\""));
            return lines.join(QLatin1Char('\n')).contains(hidden) ? QStringList{file} : QStringList{};
        });
    }

    void houseRules()
    {
        QFETCH(Rule, rule);
        QVERIFY(isGuiHeader(QStringLiteral("QWidget")) && isGuiHeader(QStringLiteral("QColor")));
        QVERIFY(!isGuiHeader(QStringLiteral("QString")));
        const QDir sourceDir(QStringLiteral(TUNEKIT_CORE_SOURCE_DIR));
        const QStringList logic = lines(TUNEKIT_CORE_SOURCES_FILE);
        QStringList found;
        int files = 0;
        for (const QString& path : sourceFiles(sourceDir.path())) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++files;
            found << rule(sourceDir.relativeFilePath(path), includesOf(path),
                          QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')), logic);
        }
        QVERIFY(files > 50);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestLayers)
#include "tst_layers.moc"
