-- majSalles: updates a room and replaces its custodian group.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salNumero, '') IS NULL;

SELECT raise_error('La salle ' || :salNumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salNumero);

--@include sqlite/shared/room-checks.sql :cLocal=:clocal :cStructure=:grpOrdre
--@ :salPasNum=:majSalPasNum :salTemHandicap=:majSalTemHandicap
--@ :salTemEnService=:majSalTemEnService :salCapaExam=:majSalCapaExam
--@ :salNbPlacesExamLib=:majSalNbPlacesExamLib :salSalleProcheTel=:majSalSalleProcheTel
--@ :salNumDepart=:majSalSalleNumDepart

-- The room. The values the room tab does not know (it always sends them empty) keep what
-- the other applications of the reference schema stored.
UPDATE SOLMA.SALLES SET
    C_LOCAL = NULLIF(:clocal, ''),
    TSAL_NUMERO = to_number(:tsalNumero),
    SAL_ETAGE = NULLIF(:salEtage, ''),
    SAL_PORTE = NULLIF(:salPorte, ''),
    SAL_CAPACITE = to_number(:salCapacite),
    SAL_NB_ARMOIRES = to_number(:salNbArmoires),
    SAL_NB_BUREAUX = to_number(:salNbBureaux),
    SAL_NB_CHAISES = to_number(:salNbChaises),
    SAL_NB_FENETRES = to_number(:salNbFenetres),
    SAL_NB_TABLES = to_number(:salNbTables),
    SAL_NO_POSTE = NULLIF(:salNoPoste, ''),
    SAL_TABLEAU = NULLIF(:salTableau, ''),
    SAL_TABLEAU_BLANC = NULLIF(:salTableauBlanc, ''),
    SAL_TABLEAU_PAPIER = NULLIF(:salTableauPapier, ''),
    SAL_SUPERFICIE = to_number(:salSuperficie),
    SAL_ECRAN = NULLIF(:salEcran, ''),
    SAL_INSONORISEE = NULLIF(:salInsonorisee, ''),
    SAL_OBSCUR = NULLIF(:salObscur, ''),
    SAL_RESERVABLE = NULLIF(:salReservable, ''),
    SAL_RETRO = NULLIF(:salRetro, ''),
    SAL_TELEVISION = NULLIF(:salTelevision, ''),
    SAL_POUR_ADMINISTRATION = to_number(:salPourAdministration),
    SAL_POUR_DOCUMENTATION = to_number(:salPourDocumentation),
    SAL_POUR_ENSEIGNEMENT = to_number(:salPourEnseignement),
    SAL_POUR_RECHERCHE = to_number(:salPourRecherche),
    SAL_POUR_TECHNIQUE = to_number(:salPourTechnique),
    SAL_DESCRIPTIF = NULLIF(:salDescriptif, ''),
    SAL_IDENT_ACCES = NULLIF(:salIdentAcces, ''),
    SAL_NATURE = NULLIF(:salNature, ''),
    SAL_PAS_NUM = COALESCE(to_number(:majSalPasNum), SAL_PAS_NUM),
    SAL_TEM_HANDICAP = COALESCE(NULLIF(:majSalTemHandicap, ''), SAL_TEM_HANDICAP),
    SAL_TEM_EN_SERVICE = COALESCE(NULLIF(:majSalTemEnService, ''), SAL_TEM_EN_SERVICE),
    SAL_CAPA_EXAM = COALESCE(to_number(:majSalCapaExam), SAL_CAPA_EXAM),
    SAL_NB_PLACES_EXAM_LIB = COALESCE(to_number(:majSalNbPlacesExamLib), SAL_NB_PLACES_EXAM_LIB),
    SAL_SALLE_PROCHE_TEL = COALESCE(to_number(:majSalSalleProcheTel), SAL_SALLE_PROCHE_TEL),
    SAL_NUM_DEPART = COALESCE(to_number(:majSalSalleNumDepart), SAL_NUM_DEPART)
WHERE SAL_NUMERO = :salNumero;

-- Its custodian group is replaced: none when grpOrdre is empty.
DELETE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = :salNumero;

INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE)
SELECT :salNumero, :grpOrdre
WHERE NULLIF(:grpOrdre, '') IS NOT NULL;
