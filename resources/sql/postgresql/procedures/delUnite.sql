-- delUnite: deletes a unit of measure that no equipment type or line uses.
DROP FUNCTION IF EXISTS locavia.delunite;
CREATE FUNCTION locavia.delunite(uniordre text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    unit integer := to_key(uniordre);
    abbreviation text;
    used bigint;
BEGIN
    PERFORM check_rights();
    PERFORM check_given(uniordre, 'Le numéro de l''unité à supprimer est obligatoire.');
    SELECT UNI_ABREV INTO abbreviation FROM UNITE WHERE UNI_ORDRE = unit FOR UPDATE;
    IF NOT FOUND THEN
        PERFORM refuse('L''unité ' || uniordre || ' n''existe pas.');
    END IF;

    SELECT COUNT(*) INTO used FROM TYPE_MATERIEL WHERE TAV_UNITE_ORDRE = unit AND TAV_NIVEAU = 2;
    IF used > 0 THEN
        PERFORM refuse('L''unité « ' || abbreviation || ' » est utilisée par ' || used ||
                       ' type(s) de matériel : elle ne peut pas être supprimée.');
    END IF;
    SELECT COUNT(*) INTO used FROM DETAIL_SALLE WHERE UNI_ORDRE = unit;
    IF used > 0 THEN
        PERFORM refuse('L''unité « ' || abbreviation || ' » est utilisée dans le matériel de ' || used ||
                       ' salle(s) : elle ne peut pas être supprimée.');
    END IF;

    DELETE FROM UNITE WHERE UNI_ORDRE = unit;
END
$$;
