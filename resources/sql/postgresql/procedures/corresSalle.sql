-- corresSalle: takes an option room in hand, either by matching it with a managed room
-- (salnumerodestination) or by attaching it to a building (clocal).
DROP FUNCTION IF EXISTS locavia.corressalle;
CREATE FUNCTION locavia.corressalle(
    clocal text DEFAULT NULL, salnumerosource text DEFAULT NULL, salnumerodestination text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    source integer := to_key(salnumerosource);
    destination integer := to_key(salnumerodestination);
    source_room solma.SALLES%ROWTYPE;
    destination_room solma.SALLES%ROWTYPE;
    matched integer;
BEGIN
    PERFORM check_rights();
    -- Exactly one operation: a destination room (correspondence) or a building (attachment).
    IF NULLIF(salnumerodestination, '') IS NULL AND NULLIF(clocal, '') IS NULL THEN
        PERFORM refuse('Indiquez une salle de destination ou un bâtiment.');
    END IF;
    IF NULLIF(salnumerodestination, '') IS NOT NULL AND NULLIF(clocal, '') IS NOT NULL THEN
        PERFORM refuse('Indiquez une salle de destination ou un bâtiment, pas les deux.');
    END IF;

    -- The source must be an option room (bookable flag not set) not matched yet.
    PERFORM check_given(salnumerosource, 'Le numéro de salle est obligatoire.');
    SELECT * INTO source_room FROM solma.SALLES WHERE SAL_NUMERO = source FOR UPDATE;
    IF NOT FOUND THEN
        PERFORM refuse('La salle ' || salnumerosource || ' n''existe pas.');
    END IF;
    IF source_room.SAL_RESERVABLE IS NOT NULL THEN
        PERFORM refuse('La salle ' || salnumerosource || ' n''est pas une salle en option.');
    END IF;
    SELECT SAL_NUMERO_DESTINATION INTO matched
    FROM solma.SALLE_CORRESPONDANCE WHERE SAL_NUMERO_SOURCE = source;
    IF FOUND THEN
        PERFORM refuse('La salle ' || salnumerosource || ' est déjà mise en correspondance avec la salle ' ||
                       matched || '.');
    END IF;

    -- Correspondence: the destination must be another room, managed by the department.
    IF NULLIF(salnumerodestination, '') IS NOT NULL THEN
        SELECT * INTO destination_room FROM solma.SALLES WHERE SAL_NUMERO = destination FOR SHARE;
        IF NOT FOUND THEN
            PERFORM refuse('La salle de destination ' || salnumerodestination || ' n''existe pas.');
        END IF;
    END IF;
    IF to_number(salnumerodestination) = to_number(salnumerosource) THEN
        PERFORM refuse('Une salle ne peut pas être mise en correspondance avec elle-même.');
    END IF;
    IF destination_room.SAL_NUMERO IS NOT NULL
       AND (destination_room.SAL_RESERVABLE IS NULL OR destination_room.SAL_PRISE_EN_CHARGE = 'O') THEN
        PERFORM refuse('La salle de destination ' || salnumerodestination || ' n''est pas une salle gérée.');
    END IF;

    -- Attachment: the building must exist.
    PERFORM check_width(clocal, 3, 'Le code du bâtiment dépasse 3 caractères.');
    IF NULLIF(clocal, '') IS NOT NULL AND NOT EXISTS (SELECT 1 FROM solma.LOCAL WHERE C_LOCAL = clocal) THEN
        PERFORM refuse('Le bâtiment « ' || clocal || ' » n''existe pas.');
    END IF;

    IF NULLIF(salnumerodestination, '') IS NOT NULL THEN
        -- Correspondence: recorded, and the source is marked as taken in hand (the room views leave it
        -- out from then on: the destination stands for it).
        INSERT INTO solma.SALLE_CORRESPONDANCE (SAL_NUMERO_SOURCE, SAL_NUMERO_DESTINATION, D_CORRESPONDANCE)
        VALUES (source, destination, (now() AT TIME ZONE 'UTC')::timestamp(0));
        UPDATE solma.SALLES SET SAL_PRISE_EN_CHARGE = 'O' WHERE SAL_NUMERO = source;
    ELSE
        -- Attachment: the room gets the building. It must also leave the option rooms, whose bookable
        -- flag is NULL, or the next reload of the options tab would offer it again: it becomes not
        -- bookable ('N'), the choice that needs no custodian group; the room tab can make it bookable
        -- later.
        UPDATE solma.SALLES SET C_LOCAL = clocal, SAL_RESERVABLE = COALESCE(SAL_RESERVABLE, 'N')
        WHERE SAL_NUMERO = source;
    END IF;
END
$$;
