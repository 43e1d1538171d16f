-- The checks that insLocal and majLocal share: code, name, address. :oldCLocal is the stored code of the
-- building being modified (NULL for a new one), which may keep its own code and name; the address values
-- come under the procedure's own names (:qualite NULL where the procedure has none).

-- Code: required, at most 3 characters, not used by another building.
SELECT raise_error('Le code du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:batabrev), '') IS NULL;

SELECT raise_error('Le code du bâtiment contient un caractère invisible ou de contrôle (' || hidden_character(:batabrev) ||
                   '), refusé dans un code : retirez ce caractère.')
WHERE hidden_character(:batabrev) IS NOT NULL;

SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:batabrev) > 3;

SELECT raise_error('Le code « ' || :batabrev || ' » est déjà utilisé par un autre bâtiment.')
WHERE EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :batabrev AND C_LOCAL IS NOT :oldCLocal);

-- Name: required, and not used by another building (the room form finds a building by its
-- name: two buildings of one name would mix their rooms).
SELECT raise_error('Le nom du bâtiment est obligatoire.')
WHERE NULLIF(TRIM(:adrnom), '') IS NULL;

SELECT raise_error('Le nom du bâtiment dépasse 50 caractères.')
WHERE length(:adrnom) > 50;

SELECT raise_error('Le nom « ' || :adrnom || ' » est déjà utilisé par un autre bâtiment.')
WHERE EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE APPELLATION = :adrnom AND C_LOCAL IS NOT :oldCLocal);

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
WHERE length(:localite) > 26;

SELECT raise_error('Le numéro dans la voie dépasse 4 caractères.')
WHERE length(:noVoie) > 4;

SELECT raise_error('L''indice de répétition dépasse 1 caractère.')
WHERE length(:bisTer) > 1;

SELECT raise_error('Le code du type de voie dépasse 4 caractères.')
WHERE length(:cVoie) > 4;

SELECT raise_error('Le nom de la voie dépasse 40 caractères.')
WHERE length(:nomVoie) > 40;

SELECT raise_error('Le code du pays dépasse 3 caractères.')
WHERE length(:cPays) > 3;

SELECT raise_error('Le code postal étranger dépasse 10 caractères.')
WHERE length(:cpEtranger) > 10;

SELECT raise_error('La qualité de l''adresse dépasse 20 caractères.')
WHERE length(:qualite) > 20;

SELECT raise_error('L''indicateur « liste rouge » doit valoir O ou N.')
WHERE NULLIF(:listeRouge, '') IS NOT NULL AND :listeRouge NOT IN ('O', 'N');

SELECT raise_error('Le code du site géographique dépasse 10 caractères.')
WHERE length(:cImplantation) > 10;

SELECT raise_error('Le site géographique « ' || :cImplantation || ' » n''existe pas.')
WHERE NULLIF(:cImplantation, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM IMPLANTATION_GEO WHERE C_IMPLANTATION = :cImplantation);
