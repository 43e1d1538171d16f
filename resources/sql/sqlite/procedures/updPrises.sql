-- updPrises: changes the code and the kind of a network outlet.

SELECT raise_error('Le numéro de la prise est obligatoire.')
WHERE NULLIF(:priordre, '') IS NULL;

SELECT raise_error('La prise ' || :priordre || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM PRISES WHERE PRI_ORDRE = :priordre);

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

SELECT raise_error('La prise ' || :priordre || ' n''appartient pas à la salle ' || :salnumero || '.')
WHERE NOT EXISTS (SELECT 1 FROM PRISES WHERE PRI_ORDRE = :priordre AND SAL_NUMERO = :salnumero);

SELECT raise_error('Le code de la prise dépasse 14 caractères.')
WHERE length(:pricode) > 14;

SELECT raise_error('Le code de la prise ne doit contenir que des chiffres.')
WHERE CAST(:pricode AS TEXT) GLOB '*[^0-9]*';

SELECT raise_error('Le type de prise est obligatoire.')
WHERE NULLIF(:pritype, '') IS NULL;

SELECT raise_error('Le type de prise « ' || :pritype || ' » doit être I, T ou V.')
WHERE NULLIF(:pritype, '') NOT IN ('I', 'T', 'V');

UPDATE PRISES SET PRI_CODE = NULLIF(:pricode, ''), PRI_TYPE = :pritype
WHERE PRI_ORDRE = :priordre;
