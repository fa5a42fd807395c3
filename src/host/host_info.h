#pragma once

#include "host/adapter_registry.h"
#include "host/host_facts.h"

#include <QString>
#include <QStringList>

namespace tunekit {

// What the main window shows of the operating system.
struct OsNames {
    QString fullName = QStringLiteral("Unbekanntes Betriebssystem");
    QString shortName = QStringLiteral("?");  // status bar
    QString messageName;                     // port messages; "" when unrecognised
    QString versionCaption;                  // full name + " " + word width
};

// Names the Windows release from its version record; anything else is unrecognised.
OsNames osNamesOf(const OsVersion& version, const QStringList& environment);

// Where the adapter's port is looked up in the registry.
RegistryFamily registryFamilyOf(const OsVersion& version);

// "(32bit)" when the last PROCESSOR_ARCHITECTURE entry is "x86", "(64bit)" for any other
// value, "" when there is none.
QString wordWidthOf(const QStringList& environment);

// "DE" or "EN" by the primary language of a language identifier such as "0407"; "" otherwise.
// The Infos tab shows it as the installation's language.
QString installLanguageOf(const QString& languageId);

} // namespace tunekit
