-- insSalle: creates a room in the reference schema, with its custodian group.
-- Output: salNumero, the new room's number.

--@include sqlite/shared/room-checks.sql :cLocal=:insCLocal :cStructure=:insCStructure
--@ :salPasNum=:insSalPasNum :salTemHandicap=:insSalTemHandicap
--@ :salTemEnService=:insSalTemEnService :salCapaExam=:insSalCapaExam
--@ :salNbPlacesExamLib=:insSalNbPlacesExamLib :salSalleProcheTel=:insSalSalleProcheTel
--@ :salNumDepart=:insSalNumDepart

-- The room. Its number is read back at once, before any other insert changes
-- last_insert_rowid().
INSERT INTO SOLMA.SALLES (
    C_LOCAL,
    TSAL_NUMERO,
    SAL_ETAGE,
    SAL_PORTE,
    SAL_CAPACITE,
    SAL_NB_ARMOIRES,
    SAL_NB_BUREAUX,
    SAL_NB_CHAISES,
    SAL_NB_FENETRES,
    SAL_NB_TABLES,
    SAL_NO_POSTE,
    SAL_TABLEAU,
    SAL_TABLEAU_BLANC,
    SAL_TABLEAU_PAPIER,
    SAL_SUPERFICIE,
    SAL_ECRAN,
    SAL_INSONORISEE,
    SAL_OBSCUR,
    SAL_RESERVABLE,
    SAL_RETRO,
    SAL_TELEVISION,
    SAL_POUR_ADMINISTRATION,
    SAL_POUR_DOCUMENTATION,
    SAL_POUR_ENSEIGNEMENT,
    SAL_POUR_RECHERCHE,
    SAL_POUR_TECHNIQUE,
    SAL_DESCRIPTIF,
    SAL_IDENT_ACCES,
    SAL_NATURE,
    SAL_PAS_NUM,
    SAL_TEM_HANDICAP,
    SAL_TEM_EN_SERVICE,
    SAL_CAPA_EXAM,
    SAL_NB_PLACES_EXAM_LIB,
    SAL_SALLE_PROCHE_TEL,
    SAL_NUM_DEPART
) VALUES (
    NULLIF(:insCLocal, ''),
    to_number(:tsalNumero),
    NULLIF(:salEtage, ''),
    NULLIF(:salPorte, ''),
    to_number(:salCapacite),
    to_number(:salNbArmoires),
    to_number(:salNbBureaux),
    to_number(:salNbChaises),
    to_number(:salNbFenetres),
    to_number(:salNbTables),
    NULLIF(:salNoPoste, ''),
    NULLIF(:salTableau, ''),
    NULLIF(:salTableauBlanc, ''),
    NULLIF(:salTableauPapier, ''),
    to_number(:salSuperficie),
    NULLIF(:salEcran, ''),
    NULLIF(:salInsonorisee, ''),
    NULLIF(:salObscur, ''),
    NULLIF(:salReservable, ''),
    NULLIF(:salRetro, ''),
    NULLIF(:salTelevision, ''),
    to_number(:salPourAdministration),
    to_number(:salPourDocumentation),
    to_number(:salPourEnseignement),
    to_number(:salPourRecherche),
    to_number(:salPourTechnique),
    NULLIF(:salDescriptif, ''),
    NULLIF(:salIdentAcces, ''),
    NULLIF(:salNature, ''),
    to_number(:insSalPasNum),
    NULLIF(:insSalTemHandicap, ''),
    NULLIF(:insSalTemEnService, ''),
    to_number(:insSalCapaExam),
    to_number(:insSalNbPlacesExamLib),
    to_number(:insSalSalleProcheTel),
    to_number(:insSalNumDepart)
);

SELECT last_insert_rowid() AS salNumero;

-- Its custodian group, when one is given (last_insert_rowid() is still the room's here:
-- the value is taken before the row is inserted).
INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE)
SELECT last_insert_rowid(), :insCStructure
WHERE NULLIF(:insCStructure, '') IS NOT NULL;
