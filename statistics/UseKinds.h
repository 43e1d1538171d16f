#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace statistics
{

// The twelve uses of a room (its percentages), each with the column that holds it and the colour that
// stands for it in every chart, then the share of the surface no use claims.
struct UseKind {
    QString libelle; // as the room form names it
    QString colonne; // the column of the room view
    QColor couleur;
};

class UseKinds
{
public:
    UseKinds() = delete;

    static const QList<UseKind> &usages();
    static qsizetype nombre() { return usages().size(); }
    // The share of a room's surface that its percentages leave over.
    static QString libelleNonReparti() { return QStringLiteral("Non réparti"); }
    static QColor couleurNonReparti() { return QColor(0xbd, 0xbd, 0xbd); }
};

} // namespace statistics
