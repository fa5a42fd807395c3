#include "base/language.h"

namespace tunekit {

UiLanguage::~UiLanguage()
{
    if (installed_)
        QCoreApplication::removeTranslator(&german_);
}

bool UiLanguage::Set(Language language)
{
    if (language == Language::German) {
        if (!installed_) {
            if (german_.isEmpty() && !german_.load(QStringLiteral(":/i18n/tunekit_de.qm")))
                return false;
            QCoreApplication::installTranslator(&german_);
            installed_ = true;
        }
    } else if (installed_) {
        QCoreApplication::removeTranslator(&german_);
        installed_ = false;
    }
    current_ = language;
    return true;
}

} // namespace tunekit
