-- delTypeMat: deletes an equipment family without types, or an equipment type that no room lists.
DROP FUNCTION IF EXISTS locavia.deltypemat;
CREATE FUNCTION locavia.deltypemat(tavordre text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    equipment integer := to_key(tavordre);
    label text;
    used bigint;
BEGIN
    PERFORM check_rights();
    PERFORM check_given(tavordre, 'Le numéro du matériel à supprimer est obligatoire.');
    SELECT TAV_LIBELLE INTO label FROM TYPE_MATERIEL WHERE TAV_TYPE = equipment FOR UPDATE;
    IF NOT FOUND THEN
        PERFORM refuse('Le type de matériel ' || tavordre || ' n''existe pas.');
    END IF;

    -- A family is deleted once its types are (the equipment window deletes them first).
    SELECT COUNT(*) INTO used FROM TYPE_MATERIEL WHERE TAV_PERE = equipment AND TAV_NIVEAU = 2;
    IF used > 0 THEN
        PERFORM refuse('La famille « ' || label || ' » contient encore ' || used ||
                       ' type(s) de matériel : supprimez-les d''abord.');
    END IF;

    -- A type still listed in the equipment of rooms stays.
    SELECT COUNT(*) INTO used FROM DETAIL_SALLE WHERE TAV_TYPE = equipment;
    IF used > 0 THEN
        PERFORM refuse('Le type de matériel « ' || label || ' » figure dans le matériel de ' || used ||
                       ' salle(s) : il ne peut pas être supprimé.');
    END IF;

    DELETE FROM TYPE_MATERIEL WHERE TAV_TYPE = equipment;
END
$$;
