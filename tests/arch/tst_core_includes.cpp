// The logic layer must run without a screen: no file of tunekit_core may include a
// QtGui or QtWidgets header, directly or by module path.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

class TestCoreIncludes : public QObject {
    Q_OBJECT
private slots:
    void coreIncludesNoGuiHeaders();
};

namespace {

QStringList Lines(const char* path)
{
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool IsGuiHeader(const QString& header)
{
    if (header.startsWith(QLatin1StringView("QtGui/")) || header.startsWith(QLatin1StringView("QtWidgets/"))
        || header == QLatin1StringView("QtGui") || header == QLatin1StringView("QtWidgets"))
        return true;
    // A bare <QWidget> or <QColor>: look it up in the QtWidgets and QtGui module folders.
    const QStringList dirs = Lines(TUNEKIT_GUI_INCLUDE_DIRS_FILE);
    for (const QString& dir : dirs) {
        const QString name = QFileInfo(dir).fileName();
        if ((name == QLatin1StringView("QtGui") || name == QLatin1StringView("QtWidgets"))
            && QFileInfo::exists(dir + QLatin1Char('/') + header))
            return true;
    }
    return false;
}

} // namespace

void TestCoreIncludes::coreIncludesNoGuiHeaders()
{
    QVERIFY(IsGuiHeader(QStringLiteral("QWidget")));
    QVERIFY(IsGuiHeader(QStringLiteral("QColor")));
    QVERIFY(!IsGuiHeader(QStringLiteral("QString")));

    const QDir sourceDir(QStringLiteral(TUNEKIT_CORE_SOURCE_DIR));
    const QStringList sources = Lines(TUNEKIT_CORE_SOURCES_FILE);
    QVERIFY(sources.size() > 5);
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*[<\"]([^>\"]+)[>\"]"),
                                            QRegularExpression::MultilineOption);
    int files = 0;
    for (const QString& source : sources) {
        QFile file(sourceDir.absoluteFilePath(source));
        if (!file.exists())
            continue; // generated files (translations, moc) live in the build tree
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        ++files;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto it = include.globalMatch(text); it.hasNext();) {
            const QString header = it.next().captured(1);
            QVERIFY2(!IsGuiHeader(header), qPrintable(source + QStringLiteral(" includes ") + header));
        }
    }
    QVERIFY(files > 5);
}

QTEST_GUILESS_MAIN(TestCoreIncludes)
#include "tst_core_includes.moc"
