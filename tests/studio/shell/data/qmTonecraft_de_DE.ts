<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>StringTable</name>
    <message>
        <source>Show unactive</source>
        <translation>Inaktive anzeigen</translation>
    </message>
    <message>
        <source>Quillmere® Tonecraft</source>
        <translation>Quillmere® Tonecraft (Deutsch)</translation>
    </message>
</context>
</TS>
