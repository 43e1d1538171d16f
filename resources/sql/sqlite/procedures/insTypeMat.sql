-- insTypeMat: creates an equipment family (tavniveau 1) or an equipment type
-- (tavniveau 2, in the family tavpere, counted in the unit tavuniteOrdre).
-- Output: tavType, the new key.

SELECT raise_error('Le libellé est obligatoire.')
WHERE NULLIF(TRIM(:tavlibelle), '') IS NULL;

SELECT raise_error('Le libellé dépasse 50 caractères.')
WHERE length(:tavlibelle) > 50;

SELECT raise_error('Le niveau est obligatoire.')
WHERE NULLIF(:tavniveau, '') IS NULL;

SELECT raise_error('Le niveau doit valoir 1 (famille) ou 2 (type de matériel).')
WHERE to_number(:tavniveau) IS NULL OR to_number(:tavniveau) NOT IN (1, 2);

-- A family has no family and no unit (-1).
SELECT raise_error('Une famille de matériel n''appartient pas à une autre famille.')
WHERE to_number(:tavniveau) = 1 AND NULLIF(:tavpere, '') IS NOT NULL AND to_number(:tavpere) IS NOT -1;

SELECT raise_error('Une famille de matériel n''a pas d''unité.')
WHERE to_number(:tavniveau) = 1 AND NULLIF(:tavuniteOrdre, '') IS NOT NULL AND to_number(:tavuniteOrdre) IS NOT -1;

-- A type belongs to an existing family and is counted in an existing unit.
SELECT raise_error('La famille du type de matériel est obligatoire.')
WHERE to_number(:tavniveau) = 2 AND (NULLIF(:tavpere, '') IS NULL OR to_number(:tavpere) = -1);

SELECT raise_error('La famille de matériel ' || :tavpere || ' n''existe pas.')
WHERE to_number(:tavniveau) = 2
  AND NOT EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavpere AND TAV_NIVEAU = 1);

SELECT raise_error('L''unité du type de matériel est obligatoire.')
WHERE to_number(:tavniveau) = 2 AND (NULLIF(:tavuniteOrdre, '') IS NULL OR to_number(:tavuniteOrdre) = -1);

SELECT raise_error('L''unité ' || :tavuniteOrdre || ' n''existe pas.')
WHERE to_number(:tavniveau) = 2
  AND NOT EXISTS (SELECT 1 FROM UNITE WHERE UNI_ORDRE = :tavuniteOrdre);

INSERT INTO TYPE_MATERIEL (TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE)
VALUES (:tavlibelle, to_number(:tavniveau),
        CASE WHEN to_number(:tavniveau) = 1 THEN -1 ELSE to_number(:tavpere) END,
        CASE WHEN to_number(:tavniveau) = 1 THEN -1 ELSE to_number(:tavuniteOrdre) END);

SELECT last_insert_rowid() AS tavType;
