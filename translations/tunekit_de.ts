<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
<context>
    <name>About</name>
    <message>
        <source>About ...</source>
        <translation>Über ...</translation>
    </message>
</context>
<context>
    <name>AccessLevels</name>
    <message>
        <source>   Wrong Password!    </source>
        <translation>   Falsches Passwort!    </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>ChecksumConversion</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The file %1 does not exist.</source>
        <translation>Die Datei %1 existiert nicht.</translation>
    </message>
    <message>
        <source>The file %1 could not be read. It was not changed.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden. Sie wurde nicht verändert.</translation>
    </message>
    <message>
        <source>The file %1 could not be written. It was not changed.</source>
        <translation>Die Datei %1 konnte nicht geschrieben werden. Sie wurde nicht verändert.</translation>
    </message>
    <message>
        <source>An Error Occured!</source>
        <translation>Es ist ein Fehler aufgetreten! </translation>
    </message>
    <message>
        <source>A backup of your file is stored as BAK-File.</source>
        <translation>Ein Backup ihrer Datei wurde mit der Endung BAK gespeichert.</translation>
    </message>
    <message>
        <source>Convert this File?</source>
        <translation>Diese Datei konvertieren?</translation>
    </message>
    <message>
        <source>Checksum</source>
        <translation>Checksumme</translation>
    </message>
    <message>
        <source>The backup copy %1 could not be written. The file was not converted.</source>
        <translation>Die Sicherungskopie %1 konnte nicht geschrieben werden. Die Datei wurde nicht konvertiert.</translation>
    </message>
</context>
<context>
    <name>DeviceImage</name>
    <message>
        <source>ATTENTION! Some values may not be initialized correctly.</source>
        <translation>ACHTUNG! Einige Werte sind evtl. nicht korrekt initialisiert!</translation>
    </message>
    <message>
        <source>ATTENTION! Some values may not be initialized correctly. Do you want to do this now?</source>
        <translation>ACHTUNG! Einige Werte sind bisher nicht initialisiert. Soll dies nun erfolgen?</translation>
    </message>
    <message>
        <source>included in ConfigFile</source>
        <translation>in Konfigurationsdatei enthalten</translation>
    </message>
</context>
<context>
    <name>DeviceTransfers</name>
    <message>
        <source>data transfer...</source>
        <translation>Datenübertragung...</translation>
    </message>
    <message>
        <source>Device not detected.</source>
        <translation>Gerät nicht gefunden.</translation>
    </message>
    <message>
        <source>Please check your serial connection! </source>
        <translation>Bitte serielle Verbindung prüfen! </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Configuration File:</source>
        <translation>Konfigurationsdatei:</translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Production Number</source>
        <translation>Produktionsnummer</translation>
    </message>
    <message>
        <source>       Read</source>
        <translation>       Lesen</translation>
    </message>
    <message>
        <source>             Write</source>
        <translation>             Schreiben</translation>
    </message>
    <message>
        <source>Sourcecode:</source>
        <translation>Quellcode:</translation>
    </message>
    <message>
        <source>Version Number:</source>
        <translation>Versionsnummer:</translation>
    </message>
    <message>
        <source>Date of Compilation:</source>
        <translation>Kompilationsdatum:</translation>
    </message>
    <message>
        <source>Hardware plattform:</source>
        <translation>Hardwareplattform:</translation>
    </message>
    <message>
        <source>Hours of Operation:</source>
        <translation>Betriebsstunden:</translation>
    </message>
    <message>
        <source>Interpreter Number:</source>
        <translation>Interpreternummer:</translation>
    </message>
    <message>
        <source>Interpreter Name:</source>
        <translation>Interpretername:</translation>
    </message>
    <message>
        <source>Interpreter Date:</source>
        <translation>Interpreterdatum:</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <source>Reset before transmit</source>
        <translation>Reset vor der Übertragung</translation>
    </message>
    <message>
        <source>Only send changed values</source>
        <translation>Nur neue Daten übertragen</translation>
    </message>
    <message>
        <source>Erase extended data after first writing</source>
        <translation>Erw. Daten nach Übertragung löschen</translation>
    </message>
    <message>
        <source>Use long delay on reset</source>
        <translation>Lange Verzögerung beim Reset</translation>
    </message>
    <message>
        <source>Save Options</source>
        <translation>Einstellungen speichern</translation>
    </message>
    <message>
        <source>Generate Report</source>
        <translation>Übersicht erstellen</translation>
    </message>
    <message>
        <source>Generate Backup</source>
        <translation>Sicherung erstellen</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Clear data</source>
        <translation>Werte löschen</translation>
    </message>
    <message>
        <source>Re-detect Device</source>
        <translation>Gerät (neu) erkennen</translation>
    </message>
    <message>
        <source>Generate new ConfigFile</source>
        <translation>Neues ConfigFile erstellen</translation>
    </message>
    <message>
        <source>File -&gt; Add Checksum</source>
        <translation>Datei -&gt; Checksumme zufügen</translation>
    </message>
    <message>
        <source>Disable Automatic Reset on Timeout</source>
        <translation>Automatischen Reset abschalten</translation>
    </message>
    <message>
        <source>   Configuration    </source>
        <translation>   Konfiguration    </translation>
    </message>
    <message>
        <source>   Overview    </source>
        <translation>   Übersicht    </translation>
    </message>
    <message>
        <source>   Infos    </source>
        <translation>   Infos    </translation>
    </message>
    <message>
        <source>   Tools    </source>
        <translation>   Tools    </translation>
    </message>
    <message>
        <source>Level 1</source>
        <translation>Stufe 1</translation>
    </message>
    <message>
        <source>Level 2</source>
        <translation>Stufe 2</translation>
    </message>
    <message>
        <source>Level 3</source>
        <translation>Stufe 3</translation>
    </message>
    <message>
        <source>Service</source>
        <translation>Kundendienst</translation>
    </message>
    <message>
        <source>Production</source>
        <translation>Produktion</translation>
    </message>
    <message>
        <source>Development</source>
        <translation>Entwicklung</translation>
    </message>
    <message>
        <source>Interface</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>Authorization</source>
        <translation>Berechtigung</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <source>Detect</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Read interpreter info</source>
        <translation>Interpreter-Info lesen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Interpreter in file:</source>
        <translation>Interpreter in Datei:</translation>
    </message>
</context>
<context>
    <name>OverviewEdit</name>
    <message>
        <source>The OEM code is not allowed with this product group value.</source>
        <translation>Der eingegebene OEM-Code ist bei dieser Produktgruppe nicht zulässig.</translation>
    </message>
    <message>
        <source>Please enter the correct product group first.</source>
        <translation>Bitte geben Sie zuerst die korrekte Produktgruppe ein.</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Prüfsummenfehler</translation>
    </message>
    <message>
        <source>The value of %1 must be a date like 01.01.2001.</source>
        <translation>Der Wert von %1 muss ein Datum wie 01.01.2001 sein.</translation>
    </message>
    <message>
        <source>The value of %1 must be a whole number from %2 to %3.</source>
        <translation>Der Wert von %1 muss eine ganze Zahl von %2 bis %3 sein.</translation>
    </message>
</context>
<context>
    <name>PacketConsole</name>
    <message>
        <source>The type must be a hexadecimal number from 00 to FF.</source>
        <translation>Der Typ muss eine Hexadezimalzahl von 00 bis FF sein.</translation>
    </message>
    <message>
        <source>The index must be a hexadecimal number from 0000 to FFFF.</source>
        <translation>Der Index muss eine Hexadezimalzahl von 0000 bis FFFF sein.</translation>
    </message>
    <message>
        <source>The subindex must be a hexadecimal number from 00 to FF.</source>
        <translation>Der Subindex muss eine Hexadezimalzahl von 00 bis FF sein.</translation>
    </message>
    <message>
        <source>Data byte %1 must be a hexadecimal number from 00 to FF.</source>
        <translation>Datenbyte %1 muss eine Hexadezimalzahl von 00 bis FF sein.</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Please enter password to unlock:</source>
        <translation>Bitte Freischaltpasswort eingeben:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>PtyServer</name>
    <message>
        <source>Cannot open a pseudo-terminal (%1: %2).</source>
        <translation>Pseudo-Terminal kann nicht geöffnet werden (%1: %2).</translation>
    </message>
    <message>
        <source>Pseudo-terminals are not available on this system.</source>
        <translation>Pseudo-Terminals sind auf diesem System nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>SerialNumber</name>
    <message>
        <source>The OEM code is not allowed with this product group value.</source>
        <translation>Der eingegebene OEM-Code ist bei dieser Produktgruppe nicht vorgesehen.</translation>
    </message>
    <message>
        <source>Please enter the correct product group first.</source>
        <translation>Bitte geben Sie zuerst die korrekte Produktgruppe ein.</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Prüfsummenfehler</translation>
    </message>
    <message>
        <source>SysAdr: </source>
        <translation>SysAdr: </translation>
    </message>
    <message>
        <source>Intern: </source>
        <translation>Intern: </translation>
    </message>
</context>
<context>
    <name>SerialPort</name>
    <message>
        <source> already in use or not available !</source>
        <translation> wird bereits benutzt!</translation>
    </message>
    <message>
        <source>Error opening COM-Port</source>
        <translation>Fehler beim Öffnen des COM-Ports</translation>
    </message>
</context>
<context>
    <name>SimMain</name>
    <message>
        <source>Simulated transmitter on a pseudo-terminal.</source>
        <translation>Simulierter Sender an einem Pseudo-Terminal.</translation>
    </message>
    <message>
        <source>ConfigID of the device (default 5).</source>
        <translation>ConfigID des Geräts (Vorgabe 5).</translation>
    </message>
    <message>
        <source>Never answer.</source>
        <translation>Nie antworten.</translation>
    </message>
    <message>
        <source>Lose every N-th answer.</source>
        <translation>Jede N-te Antwort verlieren.</translation>
    </message>
    <message>
        <source>Send every answer in two pieces (7 + 13 characters).</source>
        <translation>Jede Antwort in zwei Stücken senden (7 + 13 Zeichen).</translation>
    </message>
    <message>
        <source>Send a line break before every answer.</source>
        <translation>Vor jeder Antwort einen Zeilenumbruch senden.</translation>
    </message>
    <message>
        <source>Send rubbish instead of every answer.</source>
        <translation>Statt jeder Antwort unsinnige Zeichen senden.</translation>
    </message>
    <message>
        <source>Answer MS milliseconds later.</source>
        <translation>MS Millisekunden später antworten.</translation>
    </message>
    <message>
        <source>End after MS milliseconds.</source>
        <translation>Nach MS Millisekunden beenden.</translation>
    </message>
    <message>
        <source>Invalid number in the options; see --help.</source>
        <translation>Ungültige Zahl in den Optionen; siehe --help.</translation>
    </message>
</context>
<context>
    <name>TransmitEngine</name>
    <message>
        <source>interface or device not reacting!</source>
        <translation>Schnittstelle oder System reagiert nicht!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>data transfer...ready</source>
        <translation>Datenübertragung...beendet</translation>
    </message>
    <message>
        <source>Data Loss (CommEvent comRxOver) !</source>
        <translation>Datenverlust (CommEvent comRxOver) !</translation>
    </message>
    <message>
        <source>Hardware Error: Check serial interface! (comEventTxFull)</source>
        <translation>Hardwarefehler: Serielle Verbindung prüfen! (comEventTxFull)</translation>
    </message>
    <message>
        <source>The connection to the programming adapter was lost.</source>
        <translation>Die Verbindung zum Programmieradapter ist unterbrochen.</translation>
    </message>
    <message>
        <source>Check the cable, then choose Interface &gt; Detect.</source>
        <translation>Bitte das Kabel prüfen und dann Schnittstelle &gt; Aktualisieren wählen.</translation>
    </message>
</context>
<context>
    <name>tunekit::ContactWindow</name>
    <message>
        <source>Disable Automatic Reset on Timeout</source>
        <translation>Automatischen Reset abschalten</translation>
    </message>
    <message>
        <source>Device must be reset manually after storing data!</source>
        <translation>Nach dem Speichern bitte von Hand resetten!</translation>
    </message>
</context>
<context>
    <name>tunekit::TransferWindow</name>
    <message>
        <source>Actual: </source>
        <translation>Aktuell: </translation>
    </message>
    <message>
        <source>Total: </source>
        <translation>Gesamt: </translation>
    </message>
</context>
</TS>
