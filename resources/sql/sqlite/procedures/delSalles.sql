-- delSalles: deletes a room with its equipment lines, occupation lines, outlets,
-- configurations, department complement and custodian group.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

-- A room that is still someone's office stays: the office assignments belong to the
-- reference schema and would point at nothing.
SELECT raise_error('La salle ' ||
                   :salnumero ||
                   ' est encore le bureau de ' ||
                   (SELECT COUNT(*) FROM SOLMA.REPART_BUREAU WHERE BUR_ORDRE = :salnumero) ||
                   ' personne(s) : elle ne peut pas être supprimée.')
WHERE EXISTS (SELECT 1 FROM SOLMA.REPART_BUREAU WHERE BUR_ORDRE = :salnumero);

-- Its sub-lists and its department complement.
DELETE FROM DETAIL_SALLE WHERE SAL_NUMERO = :salnumero;

DELETE FROM DETAIL_POURCENTAGE WHERE SAL_NUMERO = :salnumero;

DELETE FROM PRISES WHERE SAL_NUMERO = :salnumero;

DELETE FROM CONFIGURATION WHERE SAL_NUMERO = :salnumero;

DELETE FROM SALLE_TAV WHERE SAL_NUMERO = :salnumero;

DELETE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = :salnumero;

-- Option rooms matched with this room become option rooms again, instead of staying
-- hidden behind a room that no longer exists.
UPDATE SOLMA.SALLES SET SAL_PRISE_EN_CHARGE = NULL
WHERE SAL_NUMERO IN (SELECT SAL_NUMERO_SOURCE FROM SOLMA.SALLE_CORRESPONDANCE
                     WHERE SAL_NUMERO_DESTINATION = :salnumero);

DELETE FROM SOLMA.SALLE_CORRESPONDANCE
WHERE SAL_NUMERO_SOURCE = :salnumero OR SAL_NUMERO_DESTINATION = :salnumero;

DELETE FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero;
