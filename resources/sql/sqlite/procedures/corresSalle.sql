-- corresSalle: takes an option room in hand, either by matching it with a managed
-- room (salnumerodestination) or by attaching it to a building (clocal).

-- Exactly one operation: a destination room (correspondence) or a building (attachment).
SELECT raise_error('Indiquez une salle de destination ou un bâtiment.')
WHERE NULLIF(:salnumerodestination, '') IS NULL AND NULLIF(:clocal, '') IS NULL;

SELECT raise_error('Indiquez une salle de destination ou un bâtiment, pas les deux.')
WHERE NULLIF(:salnumerodestination, '') IS NOT NULL AND NULLIF(:clocal, '') IS NOT NULL;

-- The source must be an option room (bookable flag not set) not matched yet.
SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumerosource, '') IS NULL;

SELECT raise_error('La salle ' || :salnumerosource || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumerosource);

SELECT raise_error('La salle ' || :salnumerosource || ' n''est pas une salle en option.')
WHERE EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumerosource
               AND SAL_RESERVABLE IS NOT NULL);

SELECT raise_error('La salle ' ||
                   :salnumerosource ||
                   ' est déjà mise en correspondance avec la salle ' ||
                   (SELECT SAL_NUMERO_DESTINATION FROM SOLMA.SALLE_CORRESPONDANCE WHERE SAL_NUMERO_SOURCE = :salnumerosource) ||
                   '.')
WHERE EXISTS (SELECT 1 FROM SOLMA.SALLE_CORRESPONDANCE WHERE SAL_NUMERO_SOURCE = :salnumerosource);

-- Correspondence: the destination must be another room, managed by the department.
SELECT raise_error('La salle de destination ' || :salnumerodestination || ' n''existe pas.')
WHERE NULLIF(:salnumerodestination, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumerodestination);

SELECT raise_error('Une salle ne peut pas être mise en correspondance avec elle-même.')
WHERE :salnumerodestination = :salnumerosource;

SELECT raise_error('La salle de destination ' || :salnumerodestination || ' n''est pas une salle gérée.')
WHERE EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumerodestination
               AND (SAL_RESERVABLE IS NULL OR SAL_PRISE_EN_CHARGE IS 'O'));

-- Attachment: the building must exist.
SELECT raise_error('Le code du bâtiment dépasse 3 caractères.')
WHERE length(:clocal) > 3;

SELECT raise_error('Le bâtiment « ' || :clocal || ' » n''existe pas.')
WHERE NULLIF(:clocal, '') IS NOT NULL
  AND NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :clocal);

-- Correspondence: recorded, and the source is marked as taken in hand (the room views
-- leave it out from then on: the destination stands for it).
INSERT INTO SOLMA.SALLE_CORRESPONDANCE (SAL_NUMERO_SOURCE, SAL_NUMERO_DESTINATION, D_CORRESPONDANCE)
SELECT :salnumerosource, :salnumerodestination, datetime('now')
WHERE NULLIF(:salnumerodestination, '') IS NOT NULL;

UPDATE SOLMA.SALLES SET SAL_PRISE_EN_CHARGE = 'O'
WHERE SAL_NUMERO = :salnumerosource AND NULLIF(:salnumerodestination, '') IS NOT NULL;

-- Attachment: the room gets the building. It must also leave the option rooms, whose
-- bookable flag is NULL, or the next reload of the options tab would offer it again: it
-- becomes not bookable ('N'), the choice that needs no custodian group; the room tab can
-- make it bookable later.
UPDATE SOLMA.SALLES SET C_LOCAL = :clocal, SAL_RESERVABLE = COALESCE(SAL_RESERVABLE, 'N')
WHERE SAL_NUMERO = :salnumerosource AND NULLIF(:clocal, '') IS NOT NULL;
