#pragma once

#include <QCoreApplication>
#include <QTranslator>

namespace tunekit {

// The program speaks German and English; English is the source language of every text.
enum class Language { English, German };

// The language as a number, as the settings file stores it ("LNG="): 1 = German, anything else
// English.
constexpr Language languageFromNumber(int number) noexcept
{
    return number == 1 ? Language::German : Language::English;
}

// Owns the German translators, the program's and Qt's own (the texts of its standard buttons and
// dialogs), and installs or removes them together. One per application.
class UiLanguage {
public:
    UiLanguage() = default;
    UiLanguage(const UiLanguage&) = delete;
    UiLanguage& operator=(const UiLanguage&) = delete;
    ~UiLanguage();

    // Returns false when the program's German texts cannot be loaded (the program then stays
    // English). Without Qt's German translations installed on the system, its own dialog texts
    // stay English.
    bool set(Language language);
    Language current() const noexcept { return current_; }

private:
    QTranslator german_;
    QTranslator qtGerman_;
    bool installed_ = false;
    Language current_ = Language::English;
};

} // namespace tunekit
