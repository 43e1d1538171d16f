-- The checks that insSalle and majSalles share, in the order the user meets them: building, type,
-- location, texts, counts, surface, percentages, flags, the values kept for the other applications of the
-- reference schema, the custodian group. Each procedure includes them under its own names for the
-- building code (cLocal), the custodian group (cStructure) and the values of the other applications.

-- Building: required, and it must exist.
SELECT raise_error('Le code du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:cLocal), '') IS NULL;

SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:cLocal) > 3;

SELECT raise_error('Le bâtiment « ' || :cLocal || ' » n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :cLocal);

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

SELECT raise_error('Le numéro de porte contient un caractère invisible ou de contrôle (' || hidden_character(:salPorte) ||
                   '), refusé dans un code : retirez ce caractère.')
WHERE hidden_character(:salPorte) IS NOT NULL;

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
WHERE NULLIF(:salPasNum, '') IS NOT NULL
  AND (to_number(:salPasNum) IS NULL OR to_number(:salPasNum) <> CAST(to_number(:salPasNum) AS INTEGER)
       OR abs(to_number(:salPasNum)) > 2147483647);

SELECT raise_error('L''indicateur « accès handicapé » doit valoir O ou N.')
WHERE NULLIF(:salTemHandicap, '') IS NOT NULL AND :salTemHandicap NOT IN ('O', 'N');

SELECT raise_error('L''indicateur « en service » doit valoir O ou N.')
WHERE NULLIF(:salTemEnService, '') IS NOT NULL AND :salTemEnService NOT IN ('O', 'N');

SELECT raise_error('La capacité en examen doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salCapaExam, '') IS NOT NULL
  AND (to_number(:salCapaExam) IS NULL OR to_number(:salCapaExam) < 0
       OR to_number(:salCapaExam) <> CAST(to_number(:salCapaExam) AS INTEGER)
       OR abs(to_number(:salCapaExam)) > 2147483647);

SELECT raise_error('Le nombre de places d''examen libres doit être un nombre entier positif ou nul.')
WHERE NULLIF(:salNbPlacesExamLib, '') IS NOT NULL
  AND (to_number(:salNbPlacesExamLib) IS NULL OR to_number(:salNbPlacesExamLib) < 0
       OR to_number(:salNbPlacesExamLib) <> CAST(to_number(:salNbPlacesExamLib) AS INTEGER)
       OR abs(to_number(:salNbPlacesExamLib)) > 2147483647);

SELECT raise_error('La salle proche du téléphone doit être un nombre entier.')
WHERE NULLIF(:salSalleProcheTel, '') IS NOT NULL
  AND (to_number(:salSalleProcheTel) IS NULL OR to_number(:salSalleProcheTel) <> CAST(to_number(:salSalleProcheTel) AS INTEGER)
       OR abs(to_number(:salSalleProcheTel)) > 2147483647);

SELECT raise_error('La salle de départ doit être un nombre entier.')
WHERE NULLIF(:salNumDepart, '') IS NOT NULL
  AND (to_number(:salNumDepart) IS NULL OR to_number(:salNumDepart) <> CAST(to_number(:salNumDepart) AS INTEGER)
       OR abs(to_number(:salNumDepart)) > 2147483647);

-- Custodian group: optional, and it must exist.
SELECT raise_error('Le code du groupe dépositaire dépasse 10 caractères.')
WHERE length(:cStructure) > 10;

SELECT raise_error('Le groupe dépositaire « ' || :cStructure || ' » n''existe pas.')
WHERE NULLIF(:cStructure, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM SOLMA.STRUCTURE WHERE C_STRUCTURE = :cStructure);
