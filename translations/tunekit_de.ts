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
    <name>Cli</name>
    <message>
        <source>No command given (try --help).</source>
        <translation>Kein Befehl angegeben (siehe --help).</translation>
    </message>
    <message>
        <source>Unknown command &quot;%1&quot; (try --help).</source>
        <translation>Unbekannter Befehl &quot;%1&quot; (siehe --help).</translation>
    </message>
    <message>
        <source>The command &quot;%1&quot; needs one file.</source>
        <translation>Der Befehl &quot;%1&quot; braucht eine Datei.</translation>
    </message>
    <message>
        <source>The command &quot;%1&quot; takes no file.</source>
        <translation>Der Befehl &quot;%1&quot; nimmt keine Datei.</translation>
    </message>
    <message>
        <source>--config-id needs a ConfigID such as 53.</source>
        <translation>--config-id braucht eine ConfigID wie 53.</translation>
    </message>
    <message>
        <source>--simulate and --port exclude each other.</source>
        <translation>--simulate und --port schliessen einander aus.</translation>
    </message>
    <message>
        <source>--lang takes de or en.</source>
        <translation>--lang nimmt de oder en.</translation>
    </message>
    <message>
        <source>The password file %1 cannot be read.</source>
        <translation>Die Passwortdatei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The password unlocks no access level.</source>
        <translation>Das Passwort schaltet keine Berechtigungsstufe frei.</translation>
    </message>
    <message>
        <source>No programming adapter found (use --port NAME).</source>
        <translation>Kein Programmieradapter gefunden (--port NAME angeben).</translation>
    </message>
    <message>
        <source>The port %1 cannot be used.</source>
        <translation>Der Port %1 kann nicht benutzt werden.</translation>
    </message>
    <message>
        <source>The backup %1 was not written.</source>
        <translation>Die Sicherung %1 wurde nicht geschrieben.</translation>
    </message>
    <message>
        <source>The file %1 cannot be read.</source>
        <translation>Die Datei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The backup folder %1 cannot be made.</source>
        <translation>Der Sicherungsordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Backup: %1</source>
        <translation>Sicherung: %1</translation>
    </message>
    <message>
        <source>Written and verified.</source>
        <translation>Geschrieben und geprüft.</translation>
    </message>
    <message>
        <source>Only .scd files are converted.</source>
        <translation>Nur .scd-Dateien werden umgewandelt.</translation>
    </message>
    <message>
        <source>Refused: nobody to ask. Answer this question with %1 (or --yes).</source>
        <translation>Abgelehnt: niemand zu fragen. Beantworten Sie diese Frage mit %1 (oder --yes).</translation>
    </message>
    <message>
        <source>%1 packets, %2/s, %3 s left</source>
        <translation>%1 Pakete, %2/s, noch %3 s</translation>
    </message>
    <message>
        <source>list the serial ports, marking the programming adapter</source>
        <translation>die seriellen Ports auflisten, der Programmieradapter markiert</translation>
    </message>
    <message>
        <source>print the ConfigID of the connected transmitter</source>
        <translation>die ConfigID des angeschlossenen Senders ausgeben</translation>
    </message>
    <message>
        <source>read [-o FILE.scd] [--info]</source>
        <translation>read [-o DATEI.scd] [--info]</translation>
    </message>
    <message>
        <source>read the device and print its values; -o saves a backup file</source>
        <translation>das Gerät lesen und seine Werte ausgeben; -o speichert eine Sicherung</translation>
    </message>
    <message>
        <source>diff FILE.scd</source>
        <translation>diff DATEI.scd</translation>
    </message>
    <message>
        <source>list what writing FILE would change (exit 1 when anything)</source>
        <translation>auflisten, was das Schreiben von DATEI ändern würde (Status 1, wenn etwas)</translation>
    </message>
    <message>
        <source>write FILE.scd [--yes] [--no-backup] [--no-verify] [--backup-dir DIR]</source>
        <translation>write DATEI.scd [--yes] [--no-backup] [--no-verify] [--backup-dir ORDNER]</translation>
    </message>
    <message>
        <source>back the device up, write FILE as the window does, read back</source>
        <translation>das Gerät sichern, DATEI wie das Fenster schreiben, zurücklesen</translation>
    </message>
    <message>
        <source>verify FILE.scd</source>
        <translation>verify DATEI.scd</translation>
    </message>
    <message>
        <source>the checksum state of FILE</source>
        <translation>der Checksummen-Zustand von DATEI</translation>
    </message>
    <message>
        <source>convert FILE.scd</source>
        <translation>convert DATEI.scd</translation>
    </message>
    <message>
        <source>add the checksum, keeping a .bak copy</source>
        <translation>die Checksumme zufügen, mit einer .bak-Kopie</translation>
    </message>
    <message>
        <source>report [-o FILE]</source>
        <translation>report [-o DATEI]</translation>
    </message>
    <message>
        <source>the parameter report</source>
        <translation>die Parameterübersicht</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <source>read: read the information texts too</source>
        <translation>read: auch die Informationstexte lesen</translation>
    </message>
    <message>
        <source>write: no backup of the device first</source>
        <translation>write: das Gerät vorher nicht sichern</translation>
    </message>
    <message>
        <source>write: no read-back check after writing</source>
        <translation>write: nach dem Schreiben nicht zurücklesen und prüfen</translation>
    </message>
    <message>
        <source>DIR</source>
        <translation>ORDNER</translation>
    </message>
    <message>
        <source>write: the folder of the backups (default: backups)</source>
        <translation>write: der Ordner der Sicherungen (sonst backups)</translation>
    </message>
    <message>
        <source>the built-in simulated transmitter</source>
        <translation>der eingebaute simulierte Sender</translation>
    </message>
    <message>
        <source>ConfigID of the simulated transmitter (default 5)</source>
        <translation>ConfigID des simulierten Senders (sonst 5)</translation>
    </message>
    <message>
        <source>one packet per 10 ms tick</source>
        <translation>ein Paket je 10-ms-Takt</translation>
    </message>
    <message>
        <source>machine-readable output</source>
        <translation>maschinenlesbare Ausgabe</translation>
    </message>
    <message>
        <source>language of the messages (default: the system&apos;s)</source>
        <translation>Sprache der Meldungen (sonst die des Systems)</translation>
    </message>
    <message>
        <source>no progress and no messages but errors</source>
        <translation>kein Fortschritt und nur Fehlermeldungen</translation>
    </message>
    <message>
        <source>the access level&apos;s password (or TUNEKIT_PASSWORD); default level 1</source>
        <translation>das Passwort der Berechtigungsstufe (oder TUNEKIT_PASSWORD); sonst Stufe 1</translation>
    </message>
    <message>
        <source>answer every question the window asks as its default does (Yes)</source>
        <translation>jede Frage des Fensters mit seiner vorgegebenen Antwort beantworten (Ja)</translation>
    </message>
    <message>
        <source>write the file&apos;s extended data too</source>
        <translation>auch die erweiterten Daten der Datei schreiben</translation>
    </message>
    <message>
        <source>write the parameters only, without the extended data</source>
        <translation>nur die Parameter schreiben, ohne die erweiterten Daten</translation>
    </message>
    <message>
        <source>overwrite the device&apos;s calibration values</source>
        <translation>die Kalibrierwerte des Geräts überschreiben</translation>
    </message>
    <message>
        <source>keep the device&apos;s calibration values</source>
        <translation>die Kalibrierwerte des Geräts behalten</translation>
    </message>
    <message>
        <source>write data made for another ConfigID</source>
        <translation>Daten für eine andere ConfigID schreiben</translation>
    </message>
    <message>
        <source>put defaults in place of values that look erased</source>
        <translation>Vorgabewerte an die Stelle gelöscht aussehender Werte setzen</translation>
    </message>
    <message>
        <source>leave values that look erased as they are</source>
        <translation>gelöscht aussehende Werte lassen, wie sie sind</translation>
    </message>
    <message>
        <source>done</source>
        <translation>fertig</translation>
    </message>
    <message>
        <source>diff found differences</source>
        <translation>diff fand Unterschiede</translation>
    </message>
    <message>
        <source>usage error</source>
        <translation>falscher Aufruf</translation>
    </message>
    <message>
        <source>no port or adapter, or the port is in use</source>
        <translation>kein Port oder Adapter, oder der Port ist belegt</translation>
    </message>
    <message>
        <source>device not answering</source>
        <translation>Gerät antwortet nicht</translation>
    </message>
    <message>
        <source>other failure</source>
        <translation>anderer Fehler</translation>
    </message>
    <message>
        <source>the password of the access level, when no --password-file is given</source>
        <translation>das Passwort der Berechtigungsstufe, wenn kein --password-file angegeben ist</translation>
    </message>
    <message>
        <source>configure and service radio remote control transmitters from the command line</source>
        <translation>Funkfernsteuerungs-Sender auf der Kommandozeile konfigurieren und warten</translation>
    </message>
    <message>
        <source>COMMAND [FILE] [options]</source>
        <translation>BEFEHL [DATEI] [Optionen]</translation>
    </message>
    <message>
        <source>Runs the same logic as the Tunekit window without a display, for production lines and service benches: the same rules, messages and files, plus a backup before every write and a read-back check after it.

The access level comes from the password in TUNEKIT_PASSWORD or in the file named by --password-file, never from the command line; without one, level 1 applies. A question the window would ask is answered by its option or by --yes; unanswered, it is refused with its safe answer.</source>
        <translation>Führt dieselbe Logik wie das Tunekit-Fenster ohne Bildschirm aus, für Fertigungslinien und Service-Plätze: dieselben Regeln, Meldungen und Dateien, dazu eine Sicherung vor jedem Schreiben und eine Prüfung durch Zurücklesen danach.

Die Berechtigungsstufe ergibt sich aus dem Passwort in TUNEKIT_PASSWORD oder in der mit --password-file genannten Datei, nie aus der Kommandozeile; ohne eines gilt Stufe 1. Eine Frage, die das Fenster stellen würde, beantwortet ihre Option oder --yes; unbeantwortet wird sie mit ihrer sicheren Antwort abgelehnt.</translation>
    </message>
    <message>
        <source>restore BACKUP.scd</source>
        <translation>restore SICHERUNG.scd</translation>
    </message>
    <message>
        <source>write a backup back and read it back, as write does</source>
        <translation>eine Sicherung zurückschreiben und zurücklesen, wie write</translation>
    </message>
    <message>
        <source>refused by the rules, or a question nobody answered: nothing was written</source>
        <translation>von den Regeln abgelehnt oder eine unbeantwortete Frage: nichts wurde geschrieben</translation>
    </message>
    <message>
        <source>read-back differs from the file</source>
        <translation>Zurückgelesenes weicht von der Datei ab</translation>
    </message>
    <message>
        <source>partly written: the write stopped after data went out; restore the backup</source>
        <translation>teilweise geschrieben: das Schreiben brach ab, nachdem Daten gesendet waren; Sicherung zurückschreiben</translation>
    </message>
    <message>
        <source>stopped before anything was written (no backup, interrupted)</source>
        <translation>abgebrochen, bevor etwas geschrieben wurde (keine Sicherung, unterbrochen)</translation>
    </message>
    <message>
        <source>The output could not be written completely.</source>
        <translation>Die Ausgabe konnte nicht vollständig geschrieben werden.</translation>
    </message>
    <message>
        <source>Interrupted: stopping after the packet on the line.</source>
        <translation>Unterbrochen: Halt nach dem Paket auf der Leitung.</translation>
    </message>
    <message>
        <source>Connecting and detecting the transmitter (it restarts)</source>
        <translation>Verbinden und Sender erkennen (er startet neu)</translation>
    </message>
    <message>
        <source>Reading the device</source>
        <translation>Gerät lesen</translation>
    </message>
    <message>
        <source>The device did not answer the information request.</source>
        <translation>Das Gerät hat die Abfrage der Informationen nicht beantwortet.</translation>
    </message>
    <message>
        <source>Nothing was written to the device.</source>
        <translation>Es wurde nichts in das Gerät geschrieben.</translation>
    </message>
    <message>
        <source>No backup can be written into the folder %1.</source>
        <translation>In den Ordner %1 kann keine Sicherung geschrieben werden.</translation>
    </message>
    <message>
        <source>The write stopped after data had gone out: the device is partly written.</source>
        <translation>Das Schreiben brach ab, nachdem Daten gesendet waren: das Gerät ist teilweise beschrieben.</translation>
    </message>
    <message>
        <source>No backup was made (--no-backup).</source>
        <translation>Es wurde keine Sicherung angelegt (--no-backup).</translation>
    </message>
    <message>
        <source>Its backup: %1</source>
        <translation>Seine Sicherung: %1</translation>
    </message>
    <message>
        <source>To restore it: %1</source>
        <translation>Zum Wiederherstellen: %1</translation>
    </message>
    <message>
        <source>The file %1 is not valid; the device was not touched.</source>
        <translation>Die Datei %1 ist ungültig; das Gerät wurde nicht angesprochen.</translation>
    </message>
    <message>
        <source>Writing</source>
        <translation>Schreiben</translation>
    </message>
    <message>
        <source>Written, not verified (--no-verify).</source>
        <translation>Geschrieben, nicht geprüft (--no-verify).</translation>
    </message>
    <message>
        <source>Verifying</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>The device holds other values than the file:</source>
        <translation>Das Gerät enthält andere Werte als die Datei:</translation>
    </message>
    <message>
        <source>Parameters written and verified; extended data written (it cannot be read back).</source>
        <translation>Parameter geschrieben und geprüft; erweiterte Daten geschrieben (sie lassen sich nicht zurücklesen).</translation>
    </message>
    <message>
        <source>The file %1 already has a valid checksum; nothing was changed.</source>
        <translation>Die Datei %1 hat bereits eine gültige Prüfsumme; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>records [--serial N] [--since DATE] [--until DATE] [--result failed|passed] [--csv|--json]</source>
        <translation>records [--serial N] [--since DATUM] [--until DATUM] [--result failed|passed] [--csv|--json]</translation>
    </message>
    <message>
        <source>the traceability records of the store, oldest first</source>
        <translation>die Rückverfolgungsprotokolle des Speichers, die ältesten zuerst</translation>
    </message>
    <message>
        <source>%1 is no date: give a day (2025-03-01) or a time (2025-03-01T08:00:00Z).</source>
        <translation>%1 ist kein Datum: Geben Sie einen Tag (2025-03-01) oder eine Zeit (2025-03-01T08:00:00Z) an.</translation>
    </message>
    <message>
        <source>--result takes failed or passed.</source>
        <translation>--result nimmt failed oder passed.</translation>
    </message>
    <message>
        <source>the records store: postgresql://user@host[:port]/database or sqlite:PATH (default: TUNEKIT_RECORDS, else a file in the user&apos;s data folder)</source>
        <translation>der Protokollspeicher: postgresql://benutzer@host[:port]/datenbank oder sqlite:PFAD (Vorgabe: TUNEKIT_RECORDS, sonst eine Datei im Datenordner des Benutzers)</translation>
    </message>
    <message>
        <source>records: only the unit with this serial number</source>
        <translation>records: nur das Gerät mit dieser Seriennummer</translation>
    </message>
    <message>
        <source>records: from this day (YYYY-MM-DD) or time (ISO 8601) on</source>
        <translation>records: ab diesem Tag (JJJJ-MM-TT) oder dieser Zeit (ISO 8601)</translation>
    </message>
    <message>
        <source>records: up to this day, inclusive, or this time</source>
        <translation>records: bis einschließlich zu diesem Tag oder bis zu dieser Zeit</translation>
    </message>
    <message>
        <source>records: only the failed or only the passed operations</source>
        <translation>records: nur die fehlgeschlagenen oder nur die bestandenen Vorgänge</translation>
    </message>
    <message>
        <source>records: comma-separated values with a header line</source>
        <translation>records: kommagetrennte Werte mit einer Kopfzeile</translation>
    </message>
    <message>
        <source>--csv and --json exclude each other.</source>
        <translation>--csv und --json schließen einander aus.</translation>
    </message>
    <message>
        <source>the records store, when no --records is given</source>
        <translation>der Protokollspeicher, wenn kein --records angegeben ist</translation>
    </message>
    <message>
        <source>the records server&apos;s password, or the file that holds it (default ~/.pgpass)</source>
        <translation>das Passwort des Protokollservers oder die Datei, die es enthält (Vorgabe ~/.pgpass)</translation>
    </message>
    <message>
        <source>The records cannot be read: %1</source>
        <translation>Die Protokolle können nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>No records match.</source>
        <translation>Kein Protokoll passt.</translation>
    </message>
    <message>
        <source>No adapter with the serial number %1 is plugged in.</source>
        <translation>Kein Adapter mit der Seriennummer %1 ist angeschlossen.</translation>
    </message>
    <message>
        <source>A port was named twice; each channel needs a port of its own.</source>
        <translation>Ein Port wurde zweimal genannt; jeder Kanal braucht einen eigenen Port.</translation>
    </message>
    <message>
        <source>%1 of %2 channels passed.</source>
        <translation>%1 von %2 Kanälen bestanden.</translation>
    </message>
    <message>
        <source>the channel of the adapter with this USB serial number, whichever socket it is in (see ports); may be given again</source>
        <translation>der Kanal des Adapters mit dieser USB-Seriennummer, gleich in welcher Buchse er steckt (siehe ports); darf mehrfach angegeben werden</translation>
    </message>
    <message>
        <source>Several channels are for detect, read, diff, write and restore.</source>
        <translation>Mehrere Kanäle gibt es für detect, read, diff, write und restore.</translation>
    </message>
    <message>
        <source>-o takes one channel.</source>
        <translation>-o nimmt einen Kanal.</translation>
    </message>
    <message>
        <source>The trace file %1 cannot be written.</source>
        <translation>Die Mitschnittdatei %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The transmitter reports ConfigID %1, a family Tunekit does not know: nothing of it can be read, written or compared.</source>
        <translation>Der Sender meldet ConfigID %1, eine Familie, die Tunekit nicht kennt: von ihm kann nichts gelesen, geschrieben oder verglichen werden.</translation>
    </message>
    <message>
        <source>The device is written but not verified: its read-back did not end. &quot;%1&quot; checks it.</source>
        <translation>Das Gerät ist beschrieben, aber nicht geprüft: sein Zurücklesen wurde nicht beendet. &quot;%1&quot; prüft es.</translation>
    </message>
    <message>
        <source>verify, diff, write, restore: refuse a file with lines that set nothing</source>
        <translation>verify, diff, write, restore: eine Datei mit Zeilen, die nichts setzen, ablehnen</translation>
    </message>
    <message>
        <source>write, restore: give a file whose checksum is not valid a new one (keeping a .bak copy) and write it</source>
        <translation>write, restore: einer Datei mit ungültiger Prüfsumme eine neue geben (mit .bak-Kopie) und sie schreiben</translation>
    </message>
    <message>
        <source>The checksum of %1 is not valid: the file was changed after its checksum was made. It is not written; --convert-checksum gives it a new checksum and writes it.</source>
        <translation>Die Prüfsumme von %1 ist ungültig: Die Datei wurde nach dem Erstellen ihrer Prüfsumme geändert. Sie wird nicht geschrieben; --convert-checksum gibt ihr eine neue Prüfsumme und schreibt sie.</translation>
    </message>
    <message>
        <source>%1 has a new checksum; the old file is kept as %2.</source>
        <translation>%1 hat eine neue Prüfsumme; die alte Datei ist als %2 aufbewahrt.</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>Refused (--strict): the file is not written as it stands; the device was not touched.</source>
        <translation>Abgelehnt (--strict): Die Datei wird so nicht geschrieben; das Gerät wurde nicht berührt.</translation>
    </message>
    <message>
        <source>write values outside the range their description states (--yes does not)</source>
        <translation>Werte außerhalb des Bereichs schreiben, den ihre Beschreibung nennt (--yes tut es nicht)</translation>
    </message>
    <message>
        <source>The record of this run is lost.</source>
        <translation>Das Protokoll dieses Laufs ist verloren.</translation>
    </message>
    <message>
        <source>It does not exist.</source>
        <translation>Sie existiert nicht.</translation>
    </message>
    <message>
        <source>It is a folder, not a file.</source>
        <translation>Es ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>You are not permitted to read it.</source>
        <translation>Sie dürfen sie nicht lesen.</translation>
    </message>
    <message>
        <source>read: save the values in FILE in the backup format; report: write the report to FILE; - for standard output</source>
        <translation>read: die Werte im Sicherungsformat in DATEI speichern; report: den Bericht in DATEI schreiben; - für die Standardausgabe</translation>
    </message>
    <message>
        <source>serial port (system name or COM number); default: TUNEKIT_PORT, else find the adapter; given again, one more channel</source>
        <translation>serieller Port (Systemname oder COM-Nummer); Vorgabe: TUNEKIT_PORT, sonst den Adapter suchen; nochmals angegeben: ein weiterer Kanal</translation>
    </message>
    <message>
        <source>the packet trace on standard error as well, each packet sent and received with date and time</source>
        <translation>den Paketmitschnitt auch auf der Standardfehlerausgabe, jedes gesendete und empfangene Paket mit Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>write the packet trace to FILE: each packet sent and received, with date and time (several channels: one file each, FILE-PORT)</source>
        <translation>den Paketmitschnitt in DATEI schreiben: jedes gesendete und empfangene Paket mit Datum und Uhrzeit (mehrere Kanäle: je eine Datei, DATEI-PORT)</translation>
    </message>
    <message>
        <source>-o - and --json exclude each other: both are standard output.</source>
        <translation>-o - und --json schließen einander aus: beide sind die Standardausgabe.</translation>
    </message>
    <message>
        <source>file invalid or unreadable (the password file too)</source>
        <translation>Datei ungültig oder nicht lesbar (auch die Passwortdatei)</translation>
    </message>
    <message>
        <source>the serial port, when no --port, --adapter or --simulate is given</source>
        <translation>der serielle Port, wenn weder --port noch --adapter noch --simulate angegeben ist</translation>
    </message>
    <message>
        <source>Unknown command &quot;%1&quot;. Did you mean &quot;%2&quot;?</source>
        <translation>Unbekannter Befehl „%1“. Meinten Sie „%2“?</translation>
    </message>
    <message>
        <source>The file %1 cannot be written: %2</source>
        <translation>Die Datei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>records: the history of the unit --serial names, newest first, as the window shows it</source>
        <translation>records: die Geschichte des Geräts, das --serial nennt, das Neueste zuerst, wie das Fenster sie zeigt</translation>
    </message>
    <message>
        <source>--history shows the whole life of one unit as lines: give --serial, and none of --since, --until, --result, --csv and --json.</source>
        <translation>--history zeigt das ganze Leben eines Geräts als Zeilen: --serial angeben und keines von --since, --until, --result, --csv und --json.</translation>
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
    <message>
        <source>These lines of %1 set nothing and were not taken:</source>
        <translation>Diese Zeilen von %1 setzen nichts und wurden nicht übernommen:</translation>
    </message>
    <message>
        <source>%1 is not a configuration file: it holds no ConfigID, no parameter value and no extended data.</source>
        <translation>%1 ist keine Konfigurationsdatei: Sie enthält keine ConfigID, keinen Parameterwert und keine erweiterten Daten.</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
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
    <message>
        <source>These values cannot be written to the device, so nothing was written:</source>
        <translation>Diese Werte können nicht in das Gerät geschrieben werden, daher wurde nichts geschrieben:</translation>
    </message>
    <message>
        <source>These values are outside the range their description states:</source>
        <translation>Diese Werte liegen außerhalb des Bereichs, den ihre Beschreibung nennt:</translation>
    </message>
    <message>
        <source>Write them anyway?</source>
        <translation>Trotzdem schreiben?</translation>
    </message>
</context>
<context>
    <name>Launch</name>
    <message>
        <source>Talk to the built-in simulated transmitter.</source>
        <translation>Mit dem eingebauten simulierten Sender arbeiten.</translation>
    </message>
    <message>
        <source>ConfigID of the simulated transmitter (default 5).</source>
        <translation>ConfigID des simulierten Senders (Vorgabe 5).</translation>
    </message>
    <message>
        <source>Use this serial port for this run instead of looking for the adapter (e.g. /dev/ttyUSB3, /dev/pts/7, COM7).</source>
        <translation>Für diesen Lauf diesen seriellen Port benutzen, statt den Adapter zu suchen (z. B. /dev/ttyUSB3, /dev/pts/7, COM7).</translation>
    </message>
    <message>
        <source>Exit with 0 when a programming adapter is connected.</source>
        <translation>Mit 0 enden, wenn ein Programmieradapter angeschlossen ist.</translation>
    </message>
    <message>
        <source>Send one packet per timer tick instead of as soon as the answer is in.</source>
        <translation>Ein Paket je Timer-Takt senden statt sobald die Antwort da ist.</translation>
    </message>
    <message>
        <source>configuration and service tool for industrial radio remote controls</source>
        <translation>Konfigurations- und Service-Werkzeug für industrielle Funkfernsteuerungen</translation>
    </message>
    <message>
        <source>[options]</source>
        <translation>[Optionen]</translation>
    </message>
    <message>
        <source>Tunekit reads a hand-held transmitter&apos;s identity, parameters and information through the USB-serial programming adapter, lets the user edit them and writes them back; it opens, verifies, converts and writes .scd configuration files. Without --port or --simulate it looks for the adapter (USB 0403:d7a0) at start-up.

Its settings are kept in settings.cfg in the user&apos;s configuration folder (~/.config/Tunekit), or beside the program when it runs from its own writable folder, as a build or an unpacked copy does.</source>
        <translation>Tunekit liest Kennung, Parameter und Informationen eines Handsenders über den USB-seriellen Programmieradapter, lässt sie bearbeiten und schreibt sie zurück; es öffnet, prüft, wandelt und schreibt .scd-Konfigurationsdateien. Ohne --port oder --simulate sucht es beim Start den Adapter (USB 0403:d7a0).

Seine Einstellungen stehen in settings.cfg im Konfigurationsordner des Benutzers (~/.config/Tunekit) oder neben dem Programm, wenn es aus einem eigenen beschreibbaren Ordner läuft, wie ein Build oder eine entpackte Kopie.</translation>
    </message>
    <message>
        <source>Tunekit needs a display to show its window, and none was found (DISPLAY and WAYLAND_DISPLAY are not set, or the display does not answer). tunekit-cli works without one.</source>
        <translation>Tunekit braucht einen Bildschirm für sein Fenster, und es wurde keiner gefunden (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt, oder der Bildschirm antwortet nicht). tunekit-cli arbeitet ohne.</translation>
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
    <message>
        <source>Redetecting ...</source>
        <translation>Schnittstellen ...</translation>
    </message>
    <message>
        <source>Please wait while redetecting COM-Ports ...</source>
        <translation>Bitte warten, während die COM-Ports neu ermittelt werden ...</translation>
    </message>
    <message>
        <source>Adds the new v2 Checksum to an existing Config-File.</source>
        <translation>Fügt einer vorhandenen Config-Datei die neue v2-Checksumme hinzu.</translation>
    </message>
    <message>
        <source>Generates a *.scd Config File out of device data.</source>
        <translation>Erzeugt aus den Gerätedaten eine *.scd-Config-Datei.</translation>
    </message>
    <message>
        <source>Resets device before sending data. Activate if you encounter problems in SYSTEMMODE OFF.</source>
        <translation>Setzt das Gerät vor dem Senden von Daten zurück. Aktivieren, wenn im SYSTEMMODE OFF Probleme auftreten.</translation>
    </message>
    <message>
        <source>   Production    </source>
        <translation>   Produktion    </translation>
    </message>
    <message>
        <source>Records ...</source>
        <translation>Protokolle ...</translation>
    </message>
    <message>
        <source>History ...</source>
        <translation>Geschichte ...</translation>
    </message>
</context>
<context>
    <name>OptionTable</name>
    <message>
        <source>Show this help and end.</source>
        <translation>Diese Hilfe zeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the program&apos;s name and version and end.</source>
        <translation>Name und Version des Programms zeigen und beenden.</translation>
    </message>
    <message>
        <source>Usage: %1 %2</source>
        <translation>Aufruf: %1 %2</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>Environment:</source>
        <translation>Umgebung:</translation>
    </message>
    <message>
        <source>Unknown option %1.</source>
        <translation>Unbekannte Option %1.</translation>
    </message>
    <message>
        <source>Did you mean %1?</source>
        <translation>Meinten Sie %1?</translation>
    </message>
    <message>
        <source>The option %1 does not apply to &quot;%2&quot; (see %3 %2 --help).</source>
        <translation>Die Option %1 gilt nicht für „%2“ (siehe %3 %2 --help).</translation>
    </message>
    <message>
        <source>Usage: %1 %2 [options]</source>
        <translation>Aufruf: %1 %2 [Optionen]</translation>
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
    <name>OverviewTab</name>
    <message>
        <source>Outside the range %1..%2 the description states</source>
        <translation>Außerhalb des Bereichs %1..%2, den die Beschreibung nennt</translation>
    </message>
    <message>
        <source>Edited, not yet written to the device</source>
        <translation>Geändert, noch nicht in das Gerät geschrieben</translation>
    </message>
    <message>
        <source>The file changes it: the unit holds %1</source>
        <translation>Die Datei ändert ihn: das Gerät hat %1</translation>
    </message>
    <message>
        <source>A calibration value: a write keeps the unit&apos;s unless overwriting the adjusted calibration values is allowed</source>
        <translation>Ein Kalibrierwert: das Schreiben behält den des Geräts, wenn das Überschreiben der abgeglichenen Kalibrierwerte nicht erlaubt wird</translation>
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
    <message>
        <source>Packet not sent</source>
        <translation>Paket nicht gesendet</translation>
    </message>
</context>
<context>
    <name>ParameterCells</name>
    <message>
        <source>%1 has no value, but its cell is written with %2</source>
        <translation>%1 hat keinen Wert, aber seine Zelle wird mit %2 geschrieben</translation>
    </message>
</context>
<context>
    <name>ParameterReport</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
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
    <name>PortDiscovery</name>
    <message>
        <source>&quot;HVX-USB-Serial Programming Interface&quot; is not installed<byte value="xd"/>
and there is no free serial port available !<byte value="xd"/>
<byte value="xd"/>
1. Please finish the Program and (re)install the correct drivers and connect<byte value="xd"/>
   the device to your %1 - PC.<byte value="xd"/>
2. Restart this program.<byte value="xd"/>
<byte value="xd"/>
If there is another error try to choose the Port manually!</source>
        <translation>Das &quot;HVX-USB-Serial Programming Interface&quot; ist nicht installiert<byte value="xd"/>
und kein freier Port konnte gefunden werden!<byte value="xd"/>
<byte value="xd"/>
1. Bitte beenden Sie das Programm und installieren Sie zuerst den Programmieradapter<byte value="xd"/>
   mitsamt Treiber.<byte value="xd"/>
2. Starten Sie anschliessend dieses Programm neu.</translation>
    </message>
    <message>
        <source>No free Port</source>
        <comment>adapter not installed</comment>
        <translation>Kein freier Port</translation>
    </message>
    <message>
        <source>&quot;HVX-USB-Serial Programming Interface&quot; is not installed on your PC.<byte value="xd"/>
The first free COM-Port is chosen automatically.<byte value="xd"/>
<byte value="xd"/>
1. Please finish the program and (re)install the correct drivers and connect<byte value="xd"/>
   the device to your  %1 - PC.<byte value="xd"/>
2. Restart this program.<byte value="xd"/>
<byte value="xd"/>
If there is another error try to choose the Port manually!</source>
        <translation>Das &quot;HVX-USB-Serial Programming Interface&quot; ist nicht installiert.<byte value="xd"/>
Der erste freie COM-Port wurde ersatzweise ausgewählt.<byte value="xd"/>
<byte value="xd"/>
1. Bitte beenden Sie das Programm und installieren Sie zuerst den Programmieradapter<byte value="xd"/>
   mitsamt Treiber.<byte value="xd"/>
2. Starten Sie anschliessend dieses Programm neu.<byte value="xd"/>
<byte value="xd"/>
Sollte ein Fehler vorliegen wählen Sie bitte die Schnittstelle von Hand aus!</translation>
    </message>
    <message>
        <source>Adapter not installed</source>
        <translation>Adapter nicht installiert</translation>
    </message>
    <message>
        <source>&quot;HVX-USB-Serial Programming Interface&quot; detected at COM%2 .<byte value="xd"/>
<byte value="xd"/>
1. Please connect your transmitter to the programmer<byte value="xd"/>
2. Press OK.</source>
        <translation>&quot;HVX-USB-Serial Programming Interface&quot; an COM%2 gefunden.<byte value="xd"/>
<byte value="xd"/>
1. Bitte verbinden Sie Ihren Sender mit der Programmiergerät<byte value="xd"/>
2. Drücken Sie danach auf OK.</translation>
    </message>
    <message>
        <source>Connection OK</source>
        <translation>Verbindung korrekt</translation>
    </message>
    <message>
        <source>&quot;HVX-USB-Serial Programming Interface&quot; not found, <byte value="xd"/>
the interface is in use, an incorrect COM-Port is chosen.<byte value="xd"/>
and there is no free serial port available !<byte value="xd"/>
<byte value="xd"/>
1. Please finish the program and close any programs using COM%2.<byte value="xd"/>
2. Restart this program.<byte value="xd"/>
<byte value="xd"/>
3. Change your hardware&apos;s COM-Port (COM1 - COM16)<byte value="xd"/>
4. In main menu press Interface_Detect</source>
        <translation>&quot;HVX-USB-Serial Programming Interface&quot; wurde nicht gefunden,<byte value="xd"/>
die Schnittstelle ist belegt, ein falscher COM-Port ist gewählt.<byte value="xd"/>
und kein serieller Port ist verfügbar!<byte value="xd"/>
<byte value="xd"/>
1. Prüfen Sie die Verbindung zwischen ihrem %1 - PC und USB-Adapter und drücken Sie OK<byte value="xd"/>
2. Schliessen Sie alle Programme, die COM%2 benutzen.<byte value="xd"/>
3. Ändern Sie den COM-Port Ihrer Hardware (COM1 - COM16)<byte value="xd"/>
4. Drücken Sie im Hauptfenstermenü auf Schnittstelle_Aktualisieren<byte value="xd"/>
<byte value="xd"/>
Falls weitere Fehler auftreten versuchen Sie, die Schnittstelle manuell zu setzen</translation>
    </message>
    <message>
        <source>No free Port</source>
        <comment>adapter installed</comment>
        <translation>Verbindung fehlerhaft</translation>
    </message>
    <message>
        <source>&quot;HVX-USB-Serial Programming Interface&quot; not found, <byte value="xd"/>
the interface is in use or an incorrect COM-Port is chosen.<byte value="xd"/>
<byte value="xd"/>
1. Please check the connection between your %1 - PC and USB-Adapter and press OK<byte value="xd"/>
2. Close any programs using COM%2.<byte value="xd"/>
3. Change your hardware&apos;s COM-Port (COM1 - COM16)<byte value="xd"/>
4. In main menu press Interface_Detect</source>
        <translation>&quot;HVX-USB-Serial Programming Interface&quot; wurde nicht gefunden,<byte value="xd"/>
die Schnittstelle ist belegt oder ein falscher COM-Port ist gewählt.<byte value="xd"/>
<byte value="xd"/>
1. Prüfen Sie die Verbindung zwischen ihrem %1 - PC und USB-Adapter und drücken Sie OK<byte value="xd"/>
2. Schliessen Sie alle Programme, die COM%2 benutzen.<byte value="xd"/>
3. Ändern Sie den COM-Port Ihrer Hardware (COM1 - COM16)<byte value="xd"/>
4. Drücken Sie im Hauptfenstermenü auf Schnittstelle_Aktualisieren</translation>
    </message>
    <message>
        <source>Connection fault</source>
        <translation>Verbindung fehlerhaft</translation>
    </message>
</context>
<context>
    <name>ProductionChannel</name>
    <message>
        <source>The port cannot be opened.</source>
        <translation>Der Port kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>No unit answers.</source>
        <translation>Kein Gerät antwortet.</translation>
    </message>
    <message>
        <source>The backup was not written; nothing was written to the unit.</source>
        <translation>Die Sicherung wurde nicht geschrieben; nichts wurde in das Gerät geschrieben.</translation>
    </message>
    <message>
        <source>The write stopped: the unit is partly written. Its backup: %1</source>
        <translation>Das Schreiben brach ab: Das Gerät ist teilweise beschrieben. Seine Sicherung: %1</translation>
    </message>
    <message>
        <source>The unit holds other values than the file: %1</source>
        <translation>Das Gerät enthält andere Werte als die Datei: %1</translation>
    </message>
    <message>
        <source>The unit did not answer the read-back.</source>
        <translation>Das Gerät hat beim Zurücklesen nicht geantwortet.</translation>
    </message>
    <message>
        <source>Written and verified; extended data written.</source>
        <translation>Geschrieben und geprüft; erweiterte Daten geschrieben.</translation>
    </message>
    <message>
        <source>Written and verified.</source>
        <translation>Geschrieben und geprüft.</translation>
    </message>
    <message>
        <source>The unit reports ConfigID %1, a family Tunekit does not know.</source>
        <translation>Das Gerät meldet ConfigID %1, eine Familie, die Tunekit nicht kennt.</translation>
    </message>
    <message>
        <source>Cancelled before the unit was finished: what it holds is not known.</source>
        <translation>Abgebrochen, bevor das Gerät fertig war: was es enthält, ist nicht bekannt.</translation>
    </message>
    <message numerus="yes">
        <source>(%n earlier lines of waiting for a unit left out)</source>
        <translation>
            <numerusform>(%n frühere Zeile des Wartens auf ein Gerät ausgelassen)</numerusform>
            <numerusform>(%n frühere Zeilen des Wartens auf ein Gerät ausgelassen)</numerusform>
        </translation>
    </message>
    <message>
        <source>Unit ends: %1, serial number %2. %3</source>
        <translation>Gerät fertig: %1, Seriennummer %2. %3</translation>
    </message>
    <message>
        <source>Unit begins: %1</source>
        <translation>Gerät beginnt: %1</translation>
    </message>
</context>
<context>
    <name>ProgressBars</name>
    <message>
        <source>data transfer...ready</source>
        <translation>Datenübertragung...beendet</translation>
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
    <name>Records</name>
    <message>
        <source>Record kept locally: %1</source>
        <translation>Protokoll lokal aufbewahrt: %1</translation>
    </message>
    <message>
        <source>The record was not stored: %1</source>
        <translation>Das Protokoll wurde nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>%1 is not a PostgreSQL URL (postgresql://user@host[:port]/database).</source>
        <translation>%1 ist keine PostgreSQL-URL (postgresql://benutzer@host[:port]/datenbank).</translation>
    </message>
    <message>
        <source>A records URL holds no password: give it in PGPASSWORD or a password file (~/.pgpass).</source>
        <translation>Eine Protokoll-URL enthält kein Passwort: Geben Sie es in PGPASSWORD oder einer Passwortdatei (~/.pgpass) an.</translation>
    </message>
    <message>
        <source>The records URL %1 names no database.</source>
        <translation>Die Protokoll-URL %1 nennt keine Datenbank.</translation>
    </message>
    <message>
        <source>Qt&apos;s PostgreSQL driver (QPSQL) is not installed.</source>
        <translation>Der PostgreSQL-Treiber von Qt (QPSQL) ist nicht installiert.</translation>
    </message>
    <message>
        <source>The records server %1 cannot be reached: %2</source>
        <translation>Der Protokollserver %1 ist nicht erreichbar: %2</translation>
    </message>
    <message>
        <source>The records store has schema version %1; this Tunekit knows %2.</source>
        <translation>Der Protokollspeicher hat die Schemaversion %1; dieses Tunekit kennt %2.</translation>
    </message>
    <message>
        <source>Qt&apos;s SQLite driver (QSQLITE) is not installed.</source>
        <translation>Der SQLite-Treiber von Qt (QSQLITE) ist nicht installiert.</translation>
    </message>
    <message>
        <source>The folder of %1 cannot be made.</source>
        <translation>Der Ordner von %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The records file %1 cannot use a write-ahead log: %2</source>
        <translation>Die Protokolldatei %1 kann kein Write-Ahead-Log verwenden: %2</translation>
    </message>
    <message>
        <source>SQLite file %1</source>
        <translation>SQLite-Datei %1</translation>
    </message>
    <message>
        <source>A record with the id %1 is stored already.</source>
        <translation>Ein Protokoll mit der ID %1 ist bereits gespeichert.</translation>
    </message>
    <message>
        <source>%1 is no records URL (postgresql://user@host/database or sqlite:PATH).</source>
        <translation>%1 ist keine Protokoll-URL (postgresql://benutzer@host/datenbank oder sqlite:PFAD).</translation>
    </message>
    <message>
        <source>The spool folder %1 cannot be made.</source>
        <translation>Der Warteordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The spool file %1 cannot be written: %2</source>
        <translation>Die Wartedatei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The folder of the records file %1 does not exist.</source>
        <translation>Der Ordner der Protokolldatei %1 existiert nicht.</translation>
    </message>
    <message>
        <source>The records file %1 is a folder.</source>
        <translation>Die Protokolldatei %1 ist ein Ordner.</translation>
    </message>
    <message>
        <source>A new records file was made: %1</source>
        <translation>Eine neue Protokolldatei wurde angelegt: %1</translation>
    </message>
    <message>
        <source>No records are kept here.</source>
        <translation>Hier werden keine Protokolle geführt.</translation>
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
        <source>Error opening COM-Port</source>
        <translation>Fehler beim Öffnen des COM-Ports</translation>
    </message>
    <message>
        <source>The port does not exist (is the adapter plugged in?).</source>
        <translation>Den Port gibt es nicht (ist der Adapter eingesteckt?).</translation>
    </message>
    <message>
        <source>Another program is using the port.</source>
        <translation>Ein anderes Programm benutzt den Port.</translation>
    </message>
    <message>
        <source>The system reports: %1</source>
        <translation>Das System meldet: %1</translation>
    </message>
    <message>
        <source>COM=%1 already in use or not available !</source>
        <translation>COM=%1 wird bereits benutzt!</translation>
    </message>
    <message>
        <source>You may not use this port: your user must be in the group &quot;%1&quot; (sudo usermod -aG %1 $USER, then log in again).</source>
        <translation>Keine Berechtigung für diesen Port: Ihr Benutzer muss in der Gruppe &quot;%1&quot; sein (sudo usermod -aG %1 $USER, danach neu anmelden).</translation>
    </message>
    <message>
        <source>You may not use this port: it belongs to another user, and no group your user could join opens it.</source>
        <translation>Keine Berechtigung für diesen Port: er gehört einem anderen Benutzer, und keine Gruppe, der Ihr Benutzer beitreten könnte, öffnet ihn.</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>Please wait until the data transfer has ended.</source>
        <translation>Bitte warten, bis die Datenübertragung beendet ist.</translation>
    </message>
    <message>
        <source>simulated transmitter</source>
        <translation>simulierter Sender</translation>
    </message>
    <message>
        <source>The Production tab&apos;s line uses the port now. It is free again once the line has stopped.</source>
        <translation>Die Linie der Registerkarte Produktion benutzt den Port gerade. Er ist wieder frei, sobald die Linie angehalten hat.</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Write the backup %1 back to the unit with serial number %2?<byte value="xd"/>
Every value goes back as the backup holds it; the unit is backed up first and read back afterwards.</source>
        <translation>Die Sicherung %1 in das Gerät mit der Seriennummer %2 zurückschreiben?<byte value="xd"/>
Jeder Wert geht so zurück, wie die Sicherung ihn hat; das Gerät wird vorher gesichert und danach zurückgelesen.</translation>
    </message>
    <message>
        <source>Restore backup</source>
        <translation>Sicherung zurückschreiben</translation>
    </message>
    <message>
        <source>The backup is written back and verified: the unit holds its values.</source>
        <translation>Die Sicherung ist zurückgeschrieben und geprüft: das Gerät hat ihre Werte.</translation>
    </message>
    <message>
        <source>The backup is written back, but the read-back did not find its values.</source>
        <translation>Die Sicherung ist zurückgeschrieben, aber das Rücklesen fand ihre Werte nicht.</translation>
    </message>
    <message>
        <source>The backup was written back only in part. The unit as it was: %1</source>
        <translation>Die Sicherung wurde nur zum Teil zurückgeschrieben. Das Gerät, wie es war: %1</translation>
    </message>
    <message>
        <source>Nothing was written to the unit.</source>
        <translation>Nichts wurde in das Gerät geschrieben.</translation>
    </message>
</context>
<context>
    <name>SimMain</name>
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
    <message>
        <source>Acknowledge Uploads to the cell INDEX/SUB (hexadecimal) but keep its value, like a worn memory cell.</source>
        <translation>Uploads in die Zelle INDEX/SUB (hexadezimal) bestätigen, aber ihren Wert behalten, wie eine abgenutzte Speicherzelle.</translation>
    </message>
    <message>
        <source>simulated radio remote control transmitter on a pseudo-terminal</source>
        <translation>simulierter Funkfernsteuerungs-Sender an einem Pseudo-Terminal</translation>
    </message>
    <message>
        <source>[options]</source>
        <translation>[Optionen]</translation>
    </message>
    <message>
        <source>Before this share of the answers, send a valid answer for another address (0 to 1).</source>
        <translation>Vor diesem Anteil der Antworten eine gültige Antwort für eine andere Adresse senden (0 bis 1).</translation>
    </message>
    <message>
        <source>Before this share of the answers, send a frame of the right address but the wrong type (0 to 1).</source>
        <translation>Vor diesem Anteil der Antworten einen Rahmen der richtigen Adresse, aber des falschen Typs senden (0 bis 1).</translation>
    </message>
    <message>
        <source>Answer storing, erasing and extended data MS milliseconds later, as a busy device does.</source>
        <translation>Speichern, Löschen und erweiterte Daten MS Millisekunden später beantworten, wie ein beschäftigtes Gerät.</translation>
    </message>
    <message>
        <source>A unit fresh from production: production date, battery type and number never set.</source>
        <translation>Ein Gerät frisch aus der Fertigung: Produktionsdatum, Batterietyp und Produktionsnummer nie gesetzt.</translation>
    </message>
    <message>
        <source>Firmware that does not know ConfigEnable.</source>
        <translation>Firmware, die ConfigEnable nicht kennt.</translation>
    </message>
    <message>
        <source>The unit&apos;s system address (0 to 65535), which its serial number is made of.</source>
        <translation>Die Systemadresse des Geräts (0 bis 65535), aus der seine Seriennummer gebildet wird.</translation>
    </message>
    <message>
        <source>Storing the configuration (FlashConfig) takes MS milliseconds.</source>
        <translation>Das Speichern der Konfiguration (FlashConfig) dauert MS Millisekunden.</translation>
    </message>
    <message>
        <source>Erasing the interpreter area (EraseIL2) takes MS milliseconds.</source>
        <translation>Das Löschen des Interpreterbereichs (EraseIL2) dauert MS Millisekunden.</translation>
    </message>
    <message>
        <source>Answer ConfigEnable with the packet type TYPE (hexadecimal, 13 for UploadComplete), or never with &quot;none&quot;.</source>
        <translation>ConfigEnable mit dem Pakettyp TYPE beantworten (hexadezimal, 13 für UploadComplete), oder mit &quot;none&quot; nie.</translation>
    </message>
    <message>
        <source>Simulated transmitter on a pseudo-terminal. The first line on standard output is the device file to open (give it to tunekit --port or tunekit-cli --port). The program runs until SIGTERM or SIGINT (or --exit-after-ms) ends it; the options make the transmitter or the line misbehave for tests and benches. SIGUSR1 takes the unit away and puts the next one of its family, with the next serial number, in its place 5 s later, as a production bench changes units.</source>
        <translation>Simulierter Sender an einem Pseudo-Terminal. Die erste Zeile der Standardausgabe ist die zu öffnende Gerätedatei (für tunekit --port oder tunekit-cli --port). Das Programm läuft, bis SIGTERM oder SIGINT (oder --exit-after-ms) es beendet; die Optionen lassen den Sender oder die Leitung für Tests und Messplätze fehlerhaft arbeiten. SIGUSR1 nimmt das Gerät weg und setzt 5 s später das nächste seiner Familie mit der nächsten Seriennummer an seine Stelle, wie ein Fertigungsplatz die Geräte wechselt.</translation>
    </message>
    <message>
        <source>Unexpected argument &quot;%1&quot;; see --help.</source>
        <translation>Unerwartetes Argument „%1“; siehe --help.</translation>
    </message>
</context>
<context>
    <name>SimSwitches</name>
    <message>
        <source>No transmitter family has the ConfigID %1; the simulated transmitter can be %2.</source>
        <translation>Keine Senderfamilie hat die ConfigID %1; der simulierte Sender kann %2 sein.</translation>
    </message>
</context>
<context>
    <name>Station</name>
    <message>
        <source>The device did not answer for: %1</source>
        <translation>Das Gerät hat nicht geantwortet für: %1</translation>
    </message>
    <message>
        <source>The device refused to give: %1</source>
        <translation>Das Gerät hat verweigert: %1</translation>
    </message>
    <message>
        <source>The read stopped before these were asked for: %1</source>
        <translation>Das Lesen brach ab, bevor diese abgefragt wurden: %1</translation>
    </message>
    <message>
        <source>No records are kept here.</source>
        <translation>Hier werden keine Protokolle geführt.</translation>
    </message>
    <message>
        <source>Closed before the records&apos; store answered.</source>
        <translation>Geschlossen, bevor der Protokollspeicher antwortete.</translation>
    </message>
    <message>
        <source>Cancelled before it ended.</source>
        <translation>Abgebrochen, bevor es zu Ende war.</translation>
    </message>
</context>
<context>
    <name>TransmitEngine</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
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
    <message>
        <source>T I M E O U T  !<byte value="xd"/>
interface or device not reacting!</source>
        <translation>T I M E O U T  !<byte value="xd"/>
Schnittstelle oder System reagiert nicht!</translation>
    </message>
</context>
<context>
    <name>UnitHistory</name>
    <message>
        <source>passed</source>
        <translation>bestanden</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>read</source>
        <translation>lesen</translation>
    </message>
    <message>
        <source>write</source>
        <translation>schreiben</translation>
    </message>
    <message>
        <source>restore</source>
        <translation>wiederherstellen</translation>
    </message>
    <message>
        <source>detect</source>
        <translation>erkennen</translation>
    </message>
    <message>
        <source>read information</source>
        <translation>Infos lesen</translation>
    </message>
    <message>
        <source>interpreter write</source>
        <translation>Interpreter schreiben</translation>
    </message>
    <message>
        <source>reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>The unit&apos;s serial number is not known: read the unit first.</source>
        <translation>Die Seriennummer des Geräts ist nicht bekannt: bitte zuerst das Gerät lesen.</translation>
    </message>
    <message>
        <source>The records cannot be read: %1</source>
        <translation>Die Protokolle können nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>No record of the unit with serial number %1.</source>
        <translation>Kein Protokoll des Geräts mit der Seriennummer %1.</translation>
    </message>
    <message>
        <source>Serial number %1, records: %2.</source>
        <translation>Seriennummer %1, Protokolle: %2.</translation>
    </message>
    <message>
        <source>Produced on %1 at %2 with %3.</source>
        <translation>Produziert am %1 an %2 mit %3.</translation>
    </message>
    <message>
        <source>No record of its production; the oldest is from %1.</source>
        <translation>Kein Protokoll seiner Produktion; das älteste ist vom %1.</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Stufe</translation>
    </message>
    <message>
        <source>File (SHA-256)</source>
        <translation>Datei (SHA-256)</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
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
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>Subindex</source>
        <translation>Subindex</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Daten</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Reset Device</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Reset HVX Device</source>
        <translation>HVX-Gerät zurücksetzen</translation>
    </message>
    <message>
        <source>Clear Form</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Clear this Form</source>
        <translation>Dieses Formular leeren</translation>
    </message>
</context>
<context>
    <name>tunekit::MainWindow</name>
    <message>
        <source>The file changes 1 value of the unit read last: marked, with the unit&apos;s value beside it.</source>
        <translation>Die Datei ändert 1 Wert des zuletzt gelesenen Geräts: markiert, mit dem Wert des Geräts daneben.</translation>
    </message>
    <message>
        <source>The file changes %1 values of the unit read last: marked, with the unit&apos;s values beside them.</source>
        <translation>Die Datei ändert %1 Werte des zuletzt gelesenen Geräts: markiert, mit den Werten des Geräts daneben.</translation>
    </message>
    <message>
        <source>On the unit</source>
        <translation>Im Gerät</translation>
    </message>
    <message>
        <source>Writing changes 1 value of the unit read last; the overview marks it.</source>
        <translation>Das Schreiben ändert 1 Wert des zuletzt gelesenen Geräts; die Übersicht markiert ihn.</translation>
    </message>
    <message>
        <source>Writing changes %1 values of the unit read last; the overview marks them.</source>
        <translation>Das Schreiben ändert %1 Werte des zuletzt gelesenen Geräts; die Übersicht markiert sie.</translation>
    </message>
</context>
<context>
    <name>tunekit::ProductionTab</name>
    <message>
        <source>Choose file ...</source>
        <translation>Datei wählen ...</translation>
    </message>
    <message>
        <source>Write extended data</source>
        <translation>Erweiterte Daten schreiben</translation>
    </message>
    <message>
        <source>Overwrite adjusted calibration values</source>
        <translation>Abgeglichene Kalibrierwerte überschreiben</translation>
    </message>
    <message>
        <source>Put defaults in place of erased values</source>
        <translation>Gelöschte Werte durch Vorgaben ersetzen</translation>
    </message>
    <message>
        <source>Start all</source>
        <translation>Alle starten</translation>
    </message>
    <message>
        <source>Start selected</source>
        <translation>Ausgewählten starten</translation>
    </message>
    <message>
        <source>Automatic mode: program each unit plugged in</source>
        <translation>Automatikbetrieb: jedes angeschlossene Gerät programmieren</translation>
    </message>
    <message>
        <source>Save trace ...</source>
        <translation>Mitschnitt speichern ...</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Adapter</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>%1 cannot be used: only a file with a valid checksum goes to the line.</source>
        <translation>%1 kann nicht verwendet werden: Nur eine Datei mit gültiger Prüfsumme geht an die Linie.</translation>
    </message>
    <message>
        <source>No file chosen</source>
        <translation>Keine Datei gewählt</translation>
    </message>
    <message>
        <source>ConfigID %1, checksum valid. Backups go to %2.</source>
        <translation>ConfigID %1, Prüfsumme gültig. Sicherungen gehen nach %2.</translation>
    </message>
    <message>
        <source>idle</source>
        <translation>bereit</translation>
    </message>
    <message>
        <source>waiting for a unit</source>
        <translation>wartet auf ein Gerät</translation>
    </message>
    <message>
        <source>programming</source>
        <translation>programmiert</translation>
    </message>
    <message>
        <source>take the unit away</source>
        <translation>Gerät abnehmen</translation>
    </message>
    <message>
        <source>PASS</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>FAIL</source>
        <translation>FEHLER</translation>
    </message>
    <message>
        <source>The trace could not be saved to %1.</source>
        <translation>Der Mitschnitt konnte nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>The line is running, so it keeps the file %1. Stop it to choose another file.</source>
        <translation>Die Linie läuft und behält deshalb die Datei %1. Halten Sie sie an, um eine andere Datei zu wählen.</translation>
    </message>
    <message>
        <source>Production</source>
        <translation>Produktion</translation>
    </message>
    <message>
        <source>Trace</source>
        <translation>Mitschnitt</translation>
    </message>
    <message>
        <source>Next simulated unit</source>
        <translation>Nächstes simuliertes Gerät</translation>
    </message>
    <message>
        <source>Takes the simulated unit of the selected channel away and puts the next one in its place</source>
        <translation>Nimmt das simulierte Gerät des gewählten Kanals weg und setzt das nächste an seine Stelle</translation>
    </message>
    <message>
        <source>simulated %1</source>
        <translation>simuliert %1</translation>
    </message>
</context>
<context>
    <name>tunekit::RecordsWindow</name>
    <message>
        <source>Records</source>
        <translation>Protokolle</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>Until</source>
        <translation>Bis</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>all</source>
        <translation>alle</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>passed</source>
        <translation>bestanden</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Export CSV ...</source>
        <translation>CSV exportieren ...</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>ConfigID</source>
        <translation>ConfigID</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>%1 is no date.</source>
        <translation>%1 ist kein Datum.</translation>
    </message>
    <message>
        <source>The records cannot be read: %1</source>
        <translation>Die Protokolle können nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The records could not be saved to %1.</source>
        <translation>Die Protokolle konnten nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>Gespeichert in %1.</translation>
    </message>
    <message>
        <source>Records found: %1 (%2)</source>
        <translation>Gefundene Protokolle: %1 (%2)</translation>
    </message>
    <message>
        <source>Reading the records ...</source>
        <translation>Die Protokolle werden gelesen ...</translation>
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
<context>
    <name>tunekit::UnitHistoryWindow</name>
    <message>
        <source>Unit history</source>
        <translation>Gerätegeschichte</translation>
    </message>
    <message>
        <source>Backups of the unit, newest first:</source>
        <translation>Sicherungen des Geräts, die neueste zuerst:</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Restore backup ...</source>
        <translation>Sicherung zurückschreiben ...</translation>
    </message>
    <message>
        <source>Reading the records of the unit with serial number %1 ...</source>
        <translation>Die Protokolle des Geräts mit Seriennummer %1 werden gelesen ...</translation>
    </message>
</context>
</TS>
