-- majSalles: updates a room and replaces its custodian group.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salNumero, '') IS NULL;

SELECT raise_error('La salle ' || :salNumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salNumero);

-- Building: required, and it must exist.
SELECT raise_error('Le code du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:clocal), '') IS NULL;

SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:clocal) > 3;

SELECT raise_error('Le bâtiment « ' || :clocal || ' » n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :clocal);

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
WHERE NULLIF(:majSalPasNum, '') IS NOT NULL
  AND (to_number(:majSalPasNum) IS NULL OR to_number(:majSalPasNum) <> CAST(to_number(:majSalPasNum) AS INTEGER)
       OR abs(to_number(:majSalPasNum)) > 2147483647);

SELECT raise_error('L''indicateur « accès handicapé » doit valoir O ou N.')
WHERE NULLIF(:majSalTemHandicap, '') IS NOT NULL AND :majSalTemHandicap NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « en service » doit valoir O ou N.')
WHERE NULLIF(:majSalTemEnService, '') IS NOT NULL AND :majSalTemEnService NOT IN ('O', 'N');

SELECT raise_error('La capacité en examen doit être un nombre entier positif ou nul.')
WHERE NULLIF(:majSalCapaExam, '') IS NOT NULL
  AND (to_number(:majSalCapaExam) IS NULL OR to_number(:majSalCapaExam) < 0
       OR to_number(:majSalCapaExam) <> CAST(to_number(:majSalCapaExam) AS INTEGER)
       OR abs(to_number(:majSalCapaExam)) > 2147483647);

SELECT raise_error('Le nombre de places d''examen libres doit être un nombre entier positif ou nul.')
WHERE NULLIF(:majSalNbPlacesExamLib, '') IS NOT NULL
  AND (to_number(:majSalNbPlacesExamLib) IS NULL OR to_number(:majSalNbPlacesExamLib) < 0
       OR to_number(:majSalNbPlacesExamLib) <> CAST(to_number(:majSalNbPlacesExamLib) AS INTEGER)
       OR abs(to_number(:majSalNbPlacesExamLib)) > 2147483647);

SELECT raise_error('La salle proche du téléphone doit être un nombre entier.')
WHERE NULLIF(:majSalSalleProcheTel, '') IS NOT NULL
  AND (to_number(:majSalSalleProcheTel) IS NULL OR to_number(:majSalSalleProcheTel) <> CAST(to_number(:majSalSalleProcheTel) AS INTEGER)
       OR abs(to_number(:majSalSalleProcheTel)) > 2147483647);

SELECT raise_error('La salle de départ doit être un nombre entier.')
WHERE NULLIF(:majSalSalleNumDepart, '') IS NOT NULL
  AND (to_number(:majSalSalleNumDepart) IS NULL OR to_number(:majSalSalleNumDepart) <> CAST(to_number(:majSalSalleNumDepart) AS INTEGER)
       OR abs(to_number(:majSalSalleNumDepart)) > 2147483647);

-- Custodian group: optional, and it must exist.
SELECT raise_error('Le code du groupe dépositaire dépasse 10 caractères.')
WHERE length(:grpOrdre) > 10;

SELECT raise_error('Le groupe dépositaire « ' || :grpOrdre || ' » n''existe pas.')
WHERE NULLIF(:grpOrdre, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM SOLMA.STRUCTURE WHERE C_STRUCTURE = :grpOrdre);

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
