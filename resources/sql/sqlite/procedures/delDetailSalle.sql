-- delDetailSalle: removes all the equipment lines of a room.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

DELETE FROM DETAIL_SALLE WHERE SAL_NUMERO = :salnumero;
