-- insPrises: adds a network outlet to a room. Output: priOrdre, its key.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

SELECT raise_error('Le code de la prise dépasse 14 caractères.')
WHERE length(:pricode) > 14;

SELECT raise_error('Le code de la prise ne doit contenir que des chiffres.')
WHERE CAST(:pricode AS TEXT) GLOB '*[^0-9]*';

SELECT raise_error('Le type de prise est obligatoire.')
WHERE NULLIF(:pritype, '') IS NULL;

SELECT raise_error('Le type de prise « ' || :pritype || ' » doit être I, T ou V.')
WHERE NULLIF(:pritype, '') NOT IN ('I', 'T', 'V');

INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE)
VALUES (:salnumero, NULLIF(:pricode, ''), :pritype);

SELECT last_insert_rowid() AS priOrdre;
