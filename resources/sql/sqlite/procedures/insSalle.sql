-- insSalle: creates a room in the reference schema, with its custodian group.
-- Output: salNumero, the new room's number.

-- Building: required, and it must exist.
SELECT raise_error('Le code du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:insCLocal), '') IS NULL;

SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:insCLocal) > 3;

SELECT raise_error('Le bâtiment « ' || :insCLocal || ' » n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :insCLocal);

-- Room type: required, and it must exist.
SELECT raise_error('Le type de salle est obligatoire.')
WHERE NULLIF(:tsalNumero, '') IS NULL;

SELECT raise_error('Le type de salle ' || :tsalNumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM TYPE_SALLE WHERE TSAL_NUMERO = :tsalNumero);

-- Location: floor and door are required.
SELECT raise_error('L''étage est obligatoire.')
WHERE NULLIF(:salEtage, '') IS NULL;

SELECT raise_error('L''étage dépasse 9 caractères.')
WHERE length(:salEtage) > 9;

SELECT raise_error('Le numéro de porte est obligatoire.')
WHERE NULLIF(:salPorte, '') IS NULL;

SELECT raise_error('Le numéro de porte dépasse 10 caractères.')
WHERE length(:salPorte) > 10;

-- Texts.
SELECT raise_error('Le descriptif dépasse 209 caractères.')
WHERE length(:salDescriptif) > 209;

SELECT raise_error('L''identifiant d''accès dépasse 12 caractères.')
WHERE length(:salIdentAcces) > 12;

SELECT raise_error('La nature de la salle dépasse 18 caractères.')
WHERE length(:salNature) > 18;

-- Counts, surface and percentages.
SELECT raise_error('Le nombre de places doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salCapacite, '') IS NOT NULL
  AND (to_number(:salCapacite) IS NULL OR to_number(:salCapacite) < 0
       OR to_number(:salCapacite) <> CAST(to_number(:salCapacite) AS INTEGER)
       OR abs(to_number(:salCapacite)) > 2147483647);

SELECT raise_error('Le nombre d''armoires doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salNbArmoires, '') IS NOT NULL
  AND (to_number(:salNbArmoires) IS NULL OR to_number(:salNbArmoires) < 0
       OR to_number(:salNbArmoires) <> CAST(to_number(:salNbArmoires) AS INTEGER)
       OR abs(to_number(:salNbArmoires)) > 2147483647);

SELECT raise_error('Le nombre de bureaux doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salNbBureaux, '') IS NOT NULL
  AND (to_number(:salNbBureaux) IS NULL OR to_number(:salNbBureaux) < 0
       OR to_number(:salNbBureaux) <> CAST(to_number(:salNbBureaux) AS INTEGER)
       OR abs(to_number(:salNbBureaux)) > 2147483647);

SELECT raise_error('Le nombre de chaises doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salNbChaises, '') IS NOT NULL
  AND (to_number(:salNbChaises) IS NULL OR to_number(:salNbChaises) < 0
       OR to_number(:salNbChaises) <> CAST(to_number(:salNbChaises) AS INTEGER)
       OR abs(to_number(:salNbChaises)) > 2147483647);

SELECT raise_error('Le nombre de fenêtres doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salNbFenetres, '') IS NOT NULL
  AND (to_number(:salNbFenetres) IS NULL OR to_number(:salNbFenetres) < 0
       OR to_number(:salNbFenetres) <> CAST(to_number(:salNbFenetres) AS INTEGER)
       OR abs(to_number(:salNbFenetres)) > 2147483647);

SELECT raise_error('Le nombre de tables doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salNbTables, '') IS NOT NULL
  AND (to_number(:salNbTables) IS NULL OR to_number(:salNbTables) < 0
       OR to_number(:salNbTables) <> CAST(to_number(:salNbTables) AS INTEGER)
       OR abs(to_number(:salNbTables)) > 2147483647);

SELECT raise_error('Le nombre de postes de travaux pratiques dépasse 5 caractères.')
WHERE length(:salNoPoste) > 5;

SELECT raise_error('Le nombre de postes de travaux pratiques doit être un nombre positif ou nul.')
WHERE NULLIF(:salNoPoste, '') IS NOT NULL AND (to_number(:salNoPoste) IS NULL OR to_number(:salNoPoste) < 0);

SELECT raise_error('Le nombre de tableaux noirs dépasse 5 caractères.')
WHERE length(:salTableau) > 5;

SELECT raise_error('Le nombre de tableaux noirs doit être un nombre positif ou nul.')
WHERE NULLIF(:salTableau, '') IS NOT NULL AND (to_number(:salTableau) IS NULL OR to_number(:salTableau) < 0);

SELECT raise_error('Le nombre de tableaux blancs dépasse 5 caractères.')
WHERE length(:salTableauBlanc) > 5;

SELECT raise_error('Le nombre de tableaux blancs doit être un nombre positif ou nul.')
WHERE NULLIF(:salTableauBlanc, '') IS NOT NULL AND (to_number(:salTableauBlanc) IS NULL OR to_number(:salTableauBlanc) < 0);

SELECT raise_error('Le nombre de tableaux papier dépasse 5 caractères.')
WHERE length(:salTableauPapier) > 5;

SELECT raise_error('Le nombre de tableaux papier doit être un nombre positif ou nul.')
WHERE NULLIF(:salTableauPapier, '') IS NOT NULL AND (to_number(:salTableauPapier) IS NULL OR to_number(:salTableauPapier) < 0);

SELECT raise_error('La superficie doit être un nombre positif ou nul.')
WHERE NULLIF(:salSuperficie, '') IS NOT NULL AND (to_number(:salSuperficie) IS NULL OR to_number(:salSuperficie) < 0);

SELECT raise_error('Le pourcentage « administration » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:salPourAdministration, '') IS NOT NULL AND (to_number(:salPourAdministration) IS NULL OR to_number(:salPourAdministration) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « documentation » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:salPourDocumentation, '') IS NOT NULL AND (to_number(:salPourDocumentation) IS NULL OR to_number(:salPourDocumentation) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « enseignement » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:salPourEnseignement, '') IS NOT NULL AND (to_number(:salPourEnseignement) IS NULL OR to_number(:salPourEnseignement) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « recherche » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:salPourRecherche, '') IS NOT NULL AND (to_number(:salPourRecherche) IS NULL OR to_number(:salPourRecherche) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « technique » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:salPourTechnique, '') IS NOT NULL AND (to_number(:salPourTechnique) IS NULL OR to_number(:salPourTechnique) NOT BETWEEN 0 AND 100);

-- Yes/no flags.
SELECT raise_error('L''indicateur « écran » doit valoir O ou N.')
WHERE NULLIF(:salEcran, '') IS NOT NULL AND :salEcran NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « insonorisée » doit valoir O ou N.')
WHERE NULLIF(:salInsonorisee, '') IS NOT NULL AND :salInsonorisee NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « obscurité » doit valoir O ou N.')
WHERE NULLIF(:salObscur, '') IS NOT NULL AND :salObscur NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « réservable » doit valoir O ou N.')
WHERE NULLIF(:salReservable, '') IS NOT NULL AND :salReservable NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « rétroprojecteur » doit valoir O ou N.')
WHERE NULLIF(:salRetro, '') IS NOT NULL AND :salRetro NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « télévision » doit valoir O ou N.')
WHERE NULLIF(:salTelevision, '') IS NOT NULL AND :salTelevision NOT IN ('O', 'N');

-- Values kept for the other applications of the reference schema.
SELECT raise_error('Le pas de numérotation doit être un nombre entier.')
WHERE NULLIF(:insSalPasNum, '') IS NOT NULL
  AND (to_number(:insSalPasNum) IS NULL OR to_number(:insSalPasNum) <> CAST(to_number(:insSalPasNum) AS INTEGER)
       OR abs(to_number(:insSalPasNum)) > 2147483647);

SELECT raise_error('L''indicateur « accès handicapé » doit valoir O ou N.')
WHERE NULLIF(:insSalTemHandicap, '') IS NOT NULL AND :insSalTemHandicap NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « en service » doit valoir O ou N.')
WHERE NULLIF(:insSalTemEnService, '') IS NOT NULL AND :insSalTemEnService NOT IN ('O', 'N');

SELECT raise_error('La capacité en examen doit être un nombre entier positif ou nul.')
WHERE NULLIF(:insSalCapaExam, '') IS NOT NULL
  AND (to_number(:insSalCapaExam) IS NULL OR to_number(:insSalCapaExam) < 0
       OR to_number(:insSalCapaExam) <> CAST(to_number(:insSalCapaExam) AS INTEGER)
       OR abs(to_number(:insSalCapaExam)) > 2147483647);

SELECT raise_error('Le nombre de places d''examen libres doit être un nombre entier positif ou nul.')
WHERE NULLIF(:insSalNbPlacesExamLib, '') IS NOT NULL
  AND (to_number(:insSalNbPlacesExamLib) IS NULL OR to_number(:insSalNbPlacesExamLib) < 0
       OR to_number(:insSalNbPlacesExamLib) <> CAST(to_number(:insSalNbPlacesExamLib) AS INTEGER)
       OR abs(to_number(:insSalNbPlacesExamLib)) > 2147483647);

SELECT raise_error('La salle proche du téléphone doit être un nombre entier.')
WHERE NULLIF(:insSalSalleProcheTel, '') IS NOT NULL
  AND (to_number(:insSalSalleProcheTel) IS NULL OR to_number(:insSalSalleProcheTel) <> CAST(to_number(:insSalSalleProcheTel) AS INTEGER)
       OR abs(to_number(:insSalSalleProcheTel)) > 2147483647);

SELECT raise_error('La salle de départ doit être un nombre entier.')
WHERE NULLIF(:insSalNumDepart, '') IS NOT NULL
  AND (to_number(:insSalNumDepart) IS NULL OR to_number(:insSalNumDepart) <> CAST(to_number(:insSalNumDepart) AS INTEGER)
       OR abs(to_number(:insSalNumDepart)) > 2147483647);

-- Custodian group: optional, and it must exist.
SELECT raise_error('Le code du groupe dépositaire dépasse 10 caractères.')
WHERE length(:insCStructure) > 10;

SELECT raise_error('Le groupe dépositaire « ' || :insCStructure || ' » n''existe pas.')
WHERE NULLIF(:insCStructure, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM SOLMA.STRUCTURE WHERE C_STRUCTURE = :insCStructure);

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
