-- majLocal: updates a building (found by oldCLocal) and its address; a new code
-- (batabrev) moves the building's rooms with it.

-- The building, found by its stored code.
SELECT raise_error('Le code du bâtiment à modifier est obligatoire.')
WHERE NULLIF(:oldCLocal, '') IS NULL;

SELECT raise_error('Le bâtiment « ' || :oldCLocal || ' » n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :oldCLocal);

-- Code: required, at most 3 characters, not used by another building.
SELECT raise_error('Le code du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:batabrev), '') IS NULL;

SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:batabrev) > 3;

SELECT raise_error('Le code « ' || :batabrev || ' » est déjà utilisé par un autre bâtiment.')
WHERE :batabrev <> :oldCLocal AND EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :batabrev);

-- Name: required, and not used by another building (the room form finds a building by its
-- name: two buildings of one name would mix their rooms).
SELECT raise_error('Le nom du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:adrnom), '') IS NULL;

SELECT raise_error('Le nom du bâtiment dépasse 50 caractères.')
WHERE length(:adrnom) > 50;

SELECT raise_error('Le nom « ' || :adrnom || ' » est déjà utilisé par un autre bâtiment.')
WHERE EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE APPELLATION = :adrnom AND C_LOCAL <> :oldCLocal);

-- Address.
SELECT raise_error('La première ligne d''adresse dépasse 60 caractères.')
WHERE length(:adradresse1) > 60;

SELECT raise_error('La deuxième ligne d''adresse dépasse 40 caractères.')
WHERE length(:adradresse2) > 40;

SELECT raise_error('La boîte postale dépasse 7 caractères.')
WHERE length(:adrbp) > 7;

SELECT raise_error('Le code postal dépasse 5 caractères.')
WHERE length(:adrcp) > 5;

SELECT raise_error('La ville dépasse 30 caractères.')
WHERE length(:adrville) > 30;

SELECT raise_error('La localité dépasse 26 caractères.')
WHERE length(:majLocalite) > 26;

SELECT raise_error('Le numéro dans la voie dépasse 4 caractères.')
WHERE length(:majNoVoie) > 4;

SELECT raise_error('L''indice de répétition dépasse 1 caractère.')
WHERE length(:majBisTer) > 1;

SELECT raise_error('Le code du type de voie dépasse 4 caractères.')
WHERE length(:majCVoie) > 4;

SELECT raise_error('Le nom de la voie dépasse 40 caractères.')
WHERE length(:majNomVoie) > 40;

SELECT raise_error('Le code du pays dépasse 3 caractères.')
WHERE length(:majCPays) > 3;

SELECT raise_error('Le code postal étranger dépasse 10 caractères.')
WHERE length(:majCpEtranger) > 10;

SELECT raise_error('L''indicateur « liste rouge » doit valoir O ou N.')
WHERE NULLIF(:majAdrListeRouge, '') IS NOT NULL AND :majAdrListeRouge NOT IN ('O', 'N');

SELECT raise_error('Le code du site géographique dépasse 10 caractères.')
WHERE length(:majCImplantation) > 10;

SELECT raise_error('Le site géographique « ' || :majCImplantation || ' » n''existe pas.')
WHERE NULLIF(:majCImplantation, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM IMPLANTATION_GEO WHERE C_IMPLANTATION = :majCImplantation);

-- The address: updated in place; a building without address gets a new one.
UPDATE SOLMA.ADRESSE SET
    ADR_ADRESSE1 = NULLIF(:adradresse1, ''),
    ADR_ADRESSE2 = NULLIF(:adradresse2, ''),
    ADR_BP = NULLIF(:adrbp, ''),
    CODE_POSTAL = NULLIF(:adrcp, ''),
    VILLE = NULLIF(:adrville, ''),
    LOCALITE = NULLIF(:majLocalite, ''),
    NO_VOIE = NULLIF(:majNoVoie, ''),
    BIS_TER = NULLIF(:majBisTer, ''),
    C_VOIE = NULLIF(:majCVoie, ''),
    NOM_VOIE = NULLIF(:majNomVoie, ''),
    C_PAYS = NULLIF(:majCPays, ''),
    CP_ETRANGER = NULLIF(:majCpEtranger, ''),
    ADR_LISTE_ROUGE = NULLIF(:majAdrListeRouge, ''),
    C_IMPLANTATION = NULLIF(:majCImplantation, '')
WHERE ADR_ORDRE = (SELECT ID_ADRESSE_ADMIN FROM SOLMA.LOCAL WHERE C_LOCAL = :oldCLocal);

INSERT INTO SOLMA.ADRESSE (
    ADR_ADRESSE1,
    ADR_ADRESSE2,
    ADR_BP,
    CODE_POSTAL,
    VILLE,
    LOCALITE,
    NO_VOIE,
    BIS_TER,
    C_VOIE,
    NOM_VOIE,
    C_PAYS,
    CP_ETRANGER,
    ADR_LISTE_ROUGE,
    C_IMPLANTATION
)
SELECT
    NULLIF(:adradresse1, ''),
    NULLIF(:adradresse2, ''),
    NULLIF(:adrbp, ''),
    NULLIF(:adrcp, ''),
    NULLIF(:adrville, ''),
    NULLIF(:majLocalite, ''),
    NULLIF(:majNoVoie, ''),
    NULLIF(:majBisTer, ''),
    NULLIF(:majCVoie, ''),
    NULLIF(:majNomVoie, ''),
    NULLIF(:majCPays, ''),
    NULLIF(:majCpEtranger, ''),
    NULLIF(:majAdrListeRouge, ''),
    NULLIF(:majCImplantation, '')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL l JOIN SOLMA.ADRESSE a ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN
                  WHERE l.C_LOCAL = :oldCLocal);

UPDATE SOLMA.LOCAL SET ID_ADRESSE_ADMIN = last_insert_rowid()
WHERE C_LOCAL = :oldCLocal
  AND NOT EXISTS (SELECT 1 FROM SOLMA.ADRESSE a WHERE a.ADR_ORDRE = LOCAL.ID_ADRESSE_ADMIN);

-- The building, then its rooms when the code changes (a foreign key with ON UPDATE CASCADE
-- moves them already when foreign keys are enforced; otherwise the second statement does).
UPDATE SOLMA.LOCAL SET C_LOCAL = :batabrev, APPELLATION = :adrnom
WHERE C_LOCAL = :oldCLocal;

UPDATE SOLMA.SALLES SET C_LOCAL = :batabrev
WHERE C_LOCAL = :oldCLocal AND :batabrev <> :oldCLocal;
