-- delTypeMat: deletes an equipment family without types, or an equipment type
-- that no room lists.

SELECT raise_error('Le numéro du matériel à supprimer est obligatoire.')
WHERE NULLIF(:tavordre, '') IS NULL;

SELECT raise_error('Le type de matériel ' || :tavordre || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavordre);

-- A family is deleted once its types are (the equipment window deletes them first).
SELECT raise_error('La famille « ' ||
                   (SELECT TAV_LIBELLE FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavordre) ||
                   ' » contient encore ' ||
                   (SELECT COUNT(*) FROM TYPE_MATERIEL WHERE TAV_PERE = :tavordre AND TAV_NIVEAU = 2) ||
                   ' type(s) de matériel : supprimez-les d''abord.')
WHERE EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_PERE = :tavordre AND TAV_NIVEAU = 2);

-- A type still listed in the equipment of rooms stays.
SELECT raise_error('Le type de matériel « ' ||
                   (SELECT TAV_LIBELLE FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavordre) ||
                   ' » figure dans le matériel de ' ||
                   (SELECT COUNT(*) FROM DETAIL_SALLE WHERE TAV_TYPE = :tavordre) ||
                   ' salle(s) : il ne peut pas être supprimé.')
WHERE EXISTS (SELECT 1 FROM DETAIL_SALLE WHERE TAV_TYPE = :tavordre);

DELETE FROM TYPE_MATERIEL WHERE TAV_TYPE = :tavordre;
