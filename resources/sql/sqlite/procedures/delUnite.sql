-- delUnite: deletes a unit of measure that no equipment type or line uses.

SELECT raise_error('Le numéro de l''unité à supprimer est obligatoire.')
WHERE NULLIF(:uniordre, '') IS NULL;

SELECT raise_error('L''unité ' || :uniordre || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM UNITE WHERE UNI_ORDRE = :uniordre);

SELECT raise_error('L''unité « ' ||
                   (SELECT UNI_ABREV FROM UNITE WHERE UNI_ORDRE = :uniordre) ||
                   ' » est utilisée par ' ||
                   (SELECT COUNT(*) FROM TYPE_MATERIEL WHERE TAV_UNITE_ORDRE = :uniordre AND TAV_NIVEAU = 2) ||
                   ' type(s) de matériel : elle ne peut pas être supprimée.')
WHERE EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_UNITE_ORDRE = :uniordre AND TAV_NIVEAU = 2);

SELECT raise_error('L''unité « ' ||
                   (SELECT UNI_ABREV FROM UNITE WHERE UNI_ORDRE = :uniordre) ||
                   ' » est utilisée dans le matériel de ' ||
                   (SELECT COUNT(*) FROM DETAIL_SALLE WHERE UNI_ORDRE = :uniordre) ||
                   ' salle(s) : elle ne peut pas être supprimée.')
WHERE EXISTS (SELECT 1 FROM DETAIL_SALLE WHERE UNI_ORDRE = :uniordre);

DELETE FROM UNITE WHERE UNI_ORDRE = :uniordre;
