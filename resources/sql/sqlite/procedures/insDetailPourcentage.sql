-- insDetailPourcentage: adds an occupation line (a percentage of use
-- by a department for a kind of use) to a room.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

SELECT raise_error('Le type d''occupation est obligatoire.')
WHERE NULLIF(:dettype, '') IS NULL;

SELECT raise_error('Le type d''occupation ' || :dettype || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM TYPE_OCCUPATION WHERE TOC_ORDRE = :dettype);

SELECT raise_error('Le service est obligatoire.')
WHERE NULLIF(TRIM(:cstructure), '') IS NULL;

SELECT raise_error('Le code du service dépasse 10 caractères.')
WHERE length(:cstructure) > 10;

SELECT raise_error('Le service « ' || :cstructure || ' » n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.STRUCTURE WHERE C_STRUCTURE = :cstructure);

SELECT raise_error('Le pourcentage d''occupation est obligatoire.')
WHERE NULLIF(:detpourcentage, '') IS NULL;

SELECT raise_error('Le pourcentage d''occupation doit être un nombre entier compris entre 0 et 100.')
WHERE to_number(:detpourcentage) IS NULL OR to_number(:detpourcentage) NOT BETWEEN 0 AND 100
   OR to_number(:detpourcentage) <> CAST(to_number(:detpourcentage) AS INTEGER)
       OR abs(to_number(:detpourcentage)) > 2147483647;

INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE)
VALUES (:salnumero, :dettype, to_number(:detpourcentage), :cstructure);
