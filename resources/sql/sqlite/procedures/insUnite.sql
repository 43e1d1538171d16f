-- insUnite: creates a unit of measure. Output: uniOrdre, the new key.

SELECT raise_error('L''abréviation de l''unité est obligatoire.')
WHERE NULLIF(TRIM(:uniabrev), '') IS NULL;

SELECT raise_error('L''abréviation de l''unité contient un caractère invisible ou de contrôle (' || hidden_character(:uniabrev) ||
                   '), refusé dans un code : retirez ce caractère.')
WHERE hidden_character(:uniabrev) IS NOT NULL;

SELECT raise_error('L''abréviation de l''unité dépasse 5 caractères.')
WHERE length(:uniabrev) > 5;

SELECT raise_error('L''abréviation « ' || :uniabrev || ' » est déjà utilisée par une autre unité.')
WHERE EXISTS (SELECT 1 FROM UNITE WHERE UNI_ABREV = :uniabrev);

SELECT raise_error('Le libellé de l''unité est obligatoire.')
WHERE NULLIF(TRIM(:unilibelle), '') IS NULL;

SELECT raise_error('Le libellé de l''unité dépasse 50 caractères.')
WHERE length(:unilibelle) > 50;

INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES (:uniabrev, :unilibelle);

SELECT last_insert_rowid() AS uniOrdre;
