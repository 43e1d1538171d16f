-- delPrises: removes a network outlet.

SELECT raise_error('Le numéro de la prise est obligatoire.')
WHERE NULLIF(:priordre, '') IS NULL;

SELECT raise_error('La prise ' || :priordre || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM PRISES WHERE PRI_ORDRE = :priordre);

DELETE FROM PRISES WHERE PRI_ORDRE = :priordre;
