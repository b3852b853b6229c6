<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutMessages</name>
    <message>
        <source>Tickora Ver 1.7, a desktop marquee. Contact: tickora@example.org</source>
        <translation>Tickora Ver 1.7, eine Laufschrift für den Desktop. Kontakt: tickora@example.org</translation>
    </message>
</context>
<context>
    <name>AppearanceCommands</name>
    <message>
        <source>Cannot write the font settings file &quot;%1&quot;: %2.</source>
        <translation>Die Einstellungsdatei für die Schrift &quot;%1&quot; lässt sich nicht schreiben: %2.</translation>
    </message>
</context>
<context>
    <name>SettingsCommands</name>
    <message>
        <source>Could not save %1: %2.</source>
        <translation>Speichern fehlgeschlagen für %1: %2.</translation>
    </message>
    <message>
        <source>The program stays open so that your text and settings are not lost.</source>
        <translation>Das Programm bleibt geöffnet, damit Ihr Text und Ihre Einstellungen nicht verloren gehen.</translation>
    </message>
    <message>
        <source>Your text and settings are still in the window.</source>
        <translation>Ihr Text und Ihre Einstellungen sind weiterhin im Fenster.</translation>
    </message>
    <message>
        <source>Could not delete %1: %2.</source>
        <translation>Löschen fehlgeschlagen für %1: %2.</translation>
    </message>
    <message>
        <source>They stay as they are.</source>
        <translation>Sie bleiben, wie sie sind.</translation>
    </message>
</context>
<context>
    <name>TextFiles</name>
    <message>
        <source>it is a folder</source>
        <translation>das ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not an ordinary file (a device, pipe or socket)</source>
        <translation>das ist keine gewöhnliche Datei (sondern ein Gerät, eine Pipe oder ein Socket)</translation>
    </message>
    <message>
        <source>it holds more than %1 characters, more than the display holds</source>
        <translation>sie enthält mehr als %1 Zeichen, mehr als die Anzeige fasst</translation>
    </message>
    <message>
        <source>not every byte could be written</source>
        <translation>nicht alle Bytes ließen sich schreiben</translation>
    </message>
    <message>
        <source>no file name was given</source>
        <translation>es wurde kein Dateiname angegeben</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
    <message>
        <source>it is a link that another user owns or could replace</source>
        <translation>das ist eine Verknüpfung, die einem anderen Benutzer gehört oder die er ersetzen könnte</translation>
    </message>
</context>
<context>
    <name>TextFollower</name>
    <message>
        <source>a line holds more than %1 characters, more than the display holds</source>
        <translation>eine Zeile enthält mehr als %1 Zeichen, mehr als die Anzeige fasst</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>der Standardeingabe</translation>
    </message>
    <message>
        <source>Cannot follow %1: %2.</source>
        <translation>Kann %1 nicht folgen: %2.</translation>
    </message>
</context>
<context>
    <name>TextTransfer</name>
    <message>
        <source>Cannot import &quot;%1&quot;: %2.</source>
        <translation>&quot;%1&quot; lässt sich nicht importieren: %2.</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: %2.</source>
        <translation>&quot;%1&quot; lässt sich nicht schreiben: %2.</translation>
    </message>
</context>
</TS>
