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
    <name>CfgFileInfoDialog</name>
    <message>
        <source>Generate new ConfigFile</source>
        <translation>Neues ConfigFile erstellen</translation>
    </message>
    <message>
        <source>Type in file description (optional):</source>
        <translation>Bitte ConfigFile-Beschreibung eingeben (optional):</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
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
    <name>ConfigFileReader</name>
    <message>
        <source>Config-File not valid!</source>
        <translation>Konfigurationsdatei ungültig!</translation>
    </message>
    <message>
        <source>File corrupt, please use a correct file!</source>
        <translation>Die Datei wurde manipuliert, bitte korrekte Datei benutzen!</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Prüfsummenfehler</translation>
    </message>
    <message>
        <source>Checksum valid</source>
        <translation>Checksumme gültig</translation>
    </message>
    <message>
        <source>No checksum</source>
        <translation>keine Checksumme</translation>
    </message>
    <message>
        <source>Checksum not valid</source>
        <translation>Checksumme ungültig</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The file %1 does not exist.</source>
        <translation>Die Datei %1 existiert nicht.</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 ist keine Datei.</translation>
    </message>
    <message>
        <source>The file %1 is too large for a configuration file (more than %2 MB).</source>
        <translation>Die Datei %1 ist zu groß für eine Konfigurationsdatei (mehr als %2 MB).</translation>
    </message>
    <message>
        <source>The file %1 could not be read.</source>
        <translation>Die Datei %1 konnte nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>ConfigFileWriter</name>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The file %1 could not be written.</source>
        <translation>Die Datei %1 konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>There is a folder of that name.</source>
        <translation>Es gibt einen Ordner mit diesem Namen.</translation>
    </message>
    <message>
        <source>You are not permitted to write there.</source>
        <translation>Sie haben keine Berechtigung, dort zu schreiben.</translation>
    </message>
    <message>
        <source>The data could not be stored completely; the disk may be full.</source>
        <translation>Die Daten konnten nicht vollständig gespeichert werden; möglicherweise ist der Datenträger voll.</translation>
    </message>
    <message>
        <source>The file that was there before is unchanged.</source>
        <translation>Die bisherige Datei ist unverändert.</translation>
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
    <name>DeviceWrites</name>
    <message>
        <source>Device type not detected.</source>
        <translation>Gerät nicht gefunden.</translation>
    </message>
    <message>
        <source>Please check your serial connection and COM-Port settings! </source>
        <translation>Bitte serielle Verbindung und COM-Port prüfen! </translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Data (ConfigID=%1) not compatible to connected hardware (ConfigID=%2)</source>
        <translation>Daten (ConfigID=%1) nicht kompatibel zur Hardware (ConfigID=%2)</translation>
    </message>
    <message>
        <source>Do You really want to continue?</source>
        <translation>Möchten Sie wirklich weiter?</translation>
    </message>
    <message>
        <source>Extended Data is to be written to the device. That could take a while.</source>
        <translation>Erweiterte Daten werden geschrieben. Dies kann längere Zeit dauern.</translation>
    </message>
    <message>
        <source>YES to proceed, NO to write parameters only or CANCEL to finish.</source>
        <translation>JA für weiter, NEIN für keine erweiterten Daten oder ABBRECHEN für Ende.</translation>
    </message>
    <message>
        <source>        Done!     </source>
        <translation>       Fertig!     </translation>
    </message>
    <message>
        <source>A T T E N T I O N  -  adjusted value</source>
        <translation>A C H T U N G  -  Abgleichwert</translation>
    </message>
    <message>
        <source>A T T E N T I O N  -  adjusted values</source>
        <translation>A C H T U N G  -  Abgleichwerte</translation>
    </message>
    <message>
        <source>Overwrite Adjusted Frequency Compensation Value?</source>
        <translation>Abgleichwert für Freqenzkompensation überschreiben?</translation>
    </message>
    <message>
        <source>Overwrite Adjusted Gain/Phase Compensation Values?</source>
        <translation>Abgleichwert für Gewinn/Phasenkompensation überschreiben?</translation>
    </message>
    <message>
        <source>These values cannot be written to the device and were left out:</source>
        <translation>Diese Werte können nicht in das Gerät geschrieben werden und wurden ausgelassen:</translation>
    </message>
    <message>
        <source>The interpreter file %1 was not found.</source>
        <translation>Die Interpreterdatei %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The interpreter file %1 could not be read.</source>
        <translation>Die Interpreterdatei %1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The interpreter file %1 is empty.</source>
        <translation>Die Interpreterdatei %1 ist leer.</translation>
    </message>
    <message>
        <source>preparing data ...</source>
        <translation>Daten werden vorbereitet ...</translation>
    </message>
    <message>
        <source>sending data  ...</source>
        <translation>Daten werden gesendet ...</translation>
    </message>
    <message>
        <source>data transfer...</source>
        <translation>Datenübertragung...</translation>
    </message>
    <message>
        <source>Interpreter</source>
        <translation>Interpreter</translation>
    </message>
    <message>
        <source>Frequency table</source>
        <translation>Frequenztabelle</translation>
    </message>
    <message>
        <source>Text indices</source>
        <translation>Textindizes</translation>
    </message>
    <message>
        <source>Texts</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Picture indices</source>
        <translation>Bildindizes</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Display table</source>
        <translation>Displaytabelle</translation>
    </message>
    <message>
        <source>Defaults</source>
        <translation>Vorgabewerte</translation>
    </message>
    <message>
        <source>%1: %2 bytes, room for %3</source>
        <translation>%1: %2 Bytes, Platz für %3</translation>
    </message>
    <message>
        <source>Writing failed: the device answered %1 to %2.</source>
        <translation>Schreiben fehlgeschlagen: das Gerät antwortete %1 auf %2.</translation>
    </message>
    <message>
        <source>The device does not hold all of the data.</source>
        <translation>Das Gerät enthält nicht alle Daten.</translation>
    </message>
    <message>
        <source>Extended data longer than its place in the device is not written:</source>
        <translation>Erweiterte Daten, die länger als ihr Platz im Gerät sind, werden nicht geschrieben:</translation>
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
    <message>
        <source>Write interpreter</source>
        <translation>Interpreter schreiben</translation>
    </message>
    <message>
        <source>Send one packet per timer tick (slower)</source>
        <translation>Ein Paket pro Timer-Takt senden (langsamer)</translation>
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
    <name>Session</name>
    <message>
        <source>Please wait until the data transfer has ended.</source>
        <translation>Bitte warten, bis die Datenübertragung beendet ist.</translation>
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
    <message>
        <source>USB latency timer of the adapter: answers reach the host when 62 bytes have gathered or after MS milliseconds.</source>
        <translation>USB-Latenz-Timer des Adapters: Antworten erreichen den Rechner, wenn sich 62 Bytes gesammelt haben oder nach MS Millisekunden.</translation>
    </message>
    <message>
        <source>Flip a hexadecimal digit in this share of the answers (0 to 1).</source>
        <translation>In diesem Anteil der Antworten eine Hexadezimalziffer verfälschen (0 bis 1).</translation>
    </message>
    <message>
        <source>Lose this share of the answers (0 to 1).</source>
        <translation>Diesen Anteil der Antworten verlieren (0 bis 1).</translation>
    </message>
    <message>
        <source>Send this share of the answers twice (0 to 1).</source>
        <translation>Diesen Anteil der Antworten doppelt senden (0 bis 1).</translation>
    </message>
    <message>
        <source>Send a burst of random bytes before this share of the answers (0 to 1).</source>
        <translation>Vor diesem Anteil der Antworten einen Schwall zufälliger Bytes senden (0 bis 1).</translation>
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
    <message>
        <source>The line is corrupting data!</source>
        <translation>Die Leitung verfälscht Daten!</translation>
    </message>
    <message>
        <source>The device&apos;s answers still arrived damaged after two repeats. Check the cable and the adapter.</source>
        <translation>Die Antworten des Geräts kamen auch nach zwei Wiederholungen beschädigt an. Kabel und Adapter prüfen.</translation>
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
