<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Smoke</name>
    <message>
        <source>Photos sorted</source>
        <translation>Fotos sortiert</translation>
    </message>
</context>
</TS>
