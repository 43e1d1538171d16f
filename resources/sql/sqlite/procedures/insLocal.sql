-- insLocal: creates a building with its address.

-- Code: required, at most 3 characters, not used by another building.
SELECT raise_error('Le code du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:batabrev), '') IS NULL;

SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:batabrev) > 3;

SELECT raise_error('Le code « ' || :batabrev || ' » est déjà utilisé par un autre bâtiment.')
WHERE EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :batabrev);

-- Name: required, and not used by another building (the room form finds a building by its
-- name: two buildings of one name would mix their rooms).
SELECT raise_error('Le nom du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:adrnom), '') IS NULL;

SELECT raise_error('Le nom du bâtiment dépasse 50 caractères.')
WHERE length(:adrnom) > 50;

SELECT raise_error('Le nom « ' || :adrnom || ' » est déjà utilisé par un autre bâtiment.')
WHERE EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE APPELLATION = :adrnom);

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
WHERE length(:insLocalite) > 26;

SELECT raise_error('Le numéro dans la voie dépasse 4 caractères.')
WHERE length(:insNoVoie) > 4;

SELECT raise_error('L''indice de répétition dépasse 1 caractère.')
WHERE length(:insBisTer) > 1;

SELECT raise_error('Le code du type de voie dépasse 4 caractères.')
WHERE length(:insCVoie) > 4;

SELECT raise_error('Le nom de la voie dépasse 40 caractères.')
WHERE length(:insNomVoie) > 40;

SELECT raise_error('Le code du pays dépasse 3 caractères.')
WHERE length(:adrnation) > 3;

SELECT raise_error('Le code postal étranger dépasse 10 caractères.')
WHERE length(:insCpEtranger) > 10;

SELECT raise_error('La qualité de l''adresse dépasse 20 caractères.')
WHERE length(:adrqualite) > 20;

SELECT raise_error('L''indicateur « liste rouge » doit valoir O ou N.')
WHERE NULLIF(:adrlisteRouge, '') IS NOT NULL AND :adrlisteRouge NOT IN ('O', 'N');

SELECT raise_error('Le code du site géographique dépasse 10 caractères.')
WHERE length(:insCImplantation) > 10;

SELECT raise_error('Le site géographique « ' || :insCImplantation || ' » n''existe pas.')
WHERE NULLIF(:insCImplantation, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM IMPLANTATION_GEO WHERE C_IMPLANTATION = :insCImplantation);

-- The address, then the building that points at it (last_insert_rowid() is the address's
-- key: it is taken before the building row is inserted).
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
    ADR_QUALITE,
    ADR_LISTE_ROUGE,
    C_IMPLANTATION
) VALUES (
    NULLIF(:adradresse1, ''),
    NULLIF(:adradresse2, ''),
    NULLIF(:adrbp, ''),
    NULLIF(:adrcp, ''),
    NULLIF(:adrville, ''),
    NULLIF(:insLocalite, ''),
    NULLIF(:insNoVoie, ''),
    NULLIF(:insBisTer, ''),
    NULLIF(:insCVoie, ''),
    NULLIF(:insNomVoie, ''),
    NULLIF(:adrnation, ''),
    NULLIF(:insCpEtranger, ''),
    NULLIF(:adrqualite, ''),
    NULLIF(:adrlisteRouge, ''),
    NULLIF(:insCImplantation, '')
);

INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION, ID_ADRESSE_ADMIN)
VALUES (:batabrev, :adrnom, last_insert_rowid());
