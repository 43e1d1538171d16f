-- insDetailSalle: adds an equipment line (a quantity of an equipment type)
-- to a room.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

SELECT raise_error('Le type de matériel est obligatoire.')
WHERE NULLIF(:tavtype, '') IS NULL;

SELECT raise_error('Le type de matériel ' || :tavtype || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavtype);

SELECT raise_error('« ' ||
                   (SELECT TAV_LIBELLE FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavtype) ||
                   ' » est une famille de matériel : choisissez un type de cette famille.')
WHERE EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavtype AND TAV_NIVEAU = 1);

SELECT raise_error('L''unité ' || :uniordre || ' n''existe pas.')
WHERE NULLIF(:uniordre, '') IS NOT NULL AND NOT EXISTS (SELECT 1 FROM UNITE WHERE UNI_ORDRE = :uniordre);

SELECT raise_error('La quantité doit être un nombre entier positif ou nul.')
WHERE NULLIF(:dsapourcentage, '') IS NOT NULL
  AND (to_number(:dsapourcentage) IS NULL OR to_number(:dsapourcentage) < 0
       OR to_number(:dsapourcentage) <> CAST(to_number(:dsapourcentage) AS INTEGER)
       OR abs(to_number(:dsapourcentage)) > 2147483647);

SELECT raise_error('Le matériel « ' ||
                   (SELECT TAV_LIBELLE FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavtype) ||
                   ' » figure déjà dans la salle ' ||
                   :salnumero ||
                   '.')
WHERE EXISTS (SELECT 1 FROM DETAIL_SALLE WHERE SAL_NUMERO = :salnumero AND TAV_TYPE = :tavtype);

INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE)
VALUES (:salnumero, :tavtype, to_number(:dsapourcentage), to_number(:uniordre));
