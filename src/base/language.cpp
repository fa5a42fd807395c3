#include "base/language.h"

#include <QLibraryInfo>

namespace tunekit {

UiLanguage::~UiLanguage()
{
    if (installed_) {
        QCoreApplication::removeTranslator(&qtGerman_);
        QCoreApplication::removeTranslator(&german_);
    }
}

bool UiLanguage::set(Language language)
{
    if (language == Language::German) {
        if (!installed_) {
            if (german_.isEmpty() && !german_.load(QStringLiteral(":/i18n/tunekit_de.qm")))
                return false;
            // Qt's own texts come with the system's Qt; where they are missing, only its dialogs
            // stay English.
            const bool qtTexts = !qtGerman_.isEmpty()
                                 || qtGerman_.load(QStringLiteral("qtbase_de"),
                                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            QCoreApplication::installTranslator(&german_);
            if (qtTexts)
                QCoreApplication::installTranslator(&qtGerman_);
            installed_ = true;
        }
    } else if (installed_) {
        QCoreApplication::removeTranslator(&qtGerman_);
        QCoreApplication::removeTranslator(&german_);
        installed_ = false;
    }
    current_ = language;
    return true;
}

} // namespace tunekit
