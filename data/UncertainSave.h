#pragma once

#include <QString>
#include <QVariant>

namespace data
{

class KORDataBusOC;

// A save whose commit the link to the server lost, and which the server could not be asked about at once
// (SaveTransaction::Issue::incertaine): the next click of the save button asks first, so that trying again
// never stores a record twice and a change that did land is never taken for someone else's.
class UncertainSave
{
public:
    // What the user reads, in the words of the record saved.
    struct Textes {
        QString toujoursInconnue;        // the server still cannot say
        QString creationEnregistree;     // the new record did land
        QString modificationEnregistree; // the changes did land
        // A query that finds the new record by its key (one "?"), for when the server has forgotten the
        // question: a key is never given twice, so the new record is stored exactly when it is found.
        QString trouverLaCreation;
    };

    UncertainSave(KORDataBusOC &dataBus, Textes textes);

    void retenir(bool creation, const QVariant &cle);
    void oublier();
    bool enAttente() const { return m_enAttente; }
    bool creation() const { return m_creation; }
    // The record the save wrote (a new room's number as the database gave it, a building's code).
    const QVariant &cle() const { return m_cle; }

    enum class Reponse {
        rienDEnregistre,  // the save did not land: it is made again as typed
        enregistree,      // it landed: the record as stored is to be shown
        toujoursInconnue, // the server still cannot say: nothing is done, the form stays as typed
    };
    // Asks the server and tells the user what it answered, unless nothing was stored.
    Reponse demander();

private:
    // What the answer means for the user: told when the record was stored.
    Reponse annoncer(bool enregistree);

    KORDataBusOC &m_dataBus;
    Textes m_textes;
    bool m_enAttente = false;
    bool m_creation = false;
    QVariant m_cle;
};

} // namespace data
