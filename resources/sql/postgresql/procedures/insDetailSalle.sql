-- insDetailSalle: adds an equipment line (a quantity of an equipment type) to a room.
DROP FUNCTION IF EXISTS locavia.insdetailsalle;
CREATE FUNCTION locavia.insdetailsalle(
    dsapourcentage text DEFAULT NULL, salnumero text DEFAULT NULL, tavtype text DEFAULT NULL,
    uniordre text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    room integer := to_key(salnumero);
    equipment integer := to_key(tavtype);
    label text;
    level integer;
BEGIN
    PERFORM check_rights();
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = room) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    PERFORM check_given(tavtype, 'Le type de matériel est obligatoire.');
    SELECT TAV_LIBELLE, TAV_NIVEAU INTO label, level FROM TYPE_MATERIEL WHERE TAV_TYPE = equipment;
    IF NOT FOUND THEN
        PERFORM refuse('Le type de matériel ' || tavtype || ' n''existe pas.');
    END IF;
    IF level = 1 THEN
        PERFORM refuse('« ' || label || ' » est une famille de matériel : choisissez un type de cette famille.');
    END IF;
    IF NULLIF(uniordre, '') IS NOT NULL
       AND NOT EXISTS (SELECT 1 FROM UNITE WHERE UNI_ORDRE = to_key(uniordre)) THEN
        PERFORM refuse('L''unité ' || uniordre || ' n''existe pas.');
    END IF;
    PERFORM check_count(dsapourcentage, 'La quantité doit être un nombre entier positif ou nul.');
    IF EXISTS (SELECT 1 FROM DETAIL_SALLE WHERE SAL_NUMERO = room AND TAV_TYPE = equipment) THEN
        PERFORM refuse('Le matériel « ' || label || ' » figure déjà dans la salle ' || salnumero || '.');
    END IF;

    INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE)
    VALUES (room, equipment, to_number(dsapourcentage), to_number(uniordre));
END
$$;
