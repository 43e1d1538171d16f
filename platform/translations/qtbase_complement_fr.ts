<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Qt's texts that Debian's French catalogue of Qt 6.4 (qtbase_fr.qm) leaves in English: Qt 6 moved the kinds
     of files that file dialogs show to a context of their own. Loaded after qtbase_fr.qm. -->
<TS version="2.1" language="fr_FR">
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Disque</translation>
    </message>
    <message>
        <source>Folder</source>
        <comment>All other platforms</comment>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <comment>All other platforms</comment>
        <translation>Raccourci</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Inconnu</translation>
    </message>
</context>
</TS>
