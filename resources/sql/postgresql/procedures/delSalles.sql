-- delSalles: deletes a room with its equipment lines, occupation lines, outlets, configurations,
-- department complement and custodian group.
DROP FUNCTION IF EXISTS locavia.delsalles;
CREATE FUNCTION locavia.delsalles(salnumero text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    room integer := to_key(salnumero);
    occupants bigint;
BEGIN
    PERFORM check_rights();
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    -- The room is locked first: a client that adds a line to it meanwhile waits, then finds it gone.
    PERFORM 1 FROM solma.SALLES WHERE SAL_NUMERO = room FOR UPDATE;
    IF NOT FOUND THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;

    -- A room that is still someone's office stays: the office assignments belong to the reference
    -- schema and would point at nothing.
    SELECT COUNT(*) INTO occupants FROM solma.REPART_BUREAU WHERE BUR_ORDRE = room;
    IF occupants > 0 THEN
        PERFORM refuse('La salle ' || salnumero || ' est encore le bureau de ' || occupants ||
                       ' personne(s) : elle ne peut pas être supprimée.');
    END IF;

    -- Its sub-lists and its department complement.
    DELETE FROM DETAIL_SALLE WHERE SAL_NUMERO = room;
    DELETE FROM DETAIL_POURCENTAGE WHERE SAL_NUMERO = room;
    DELETE FROM PRISES WHERE SAL_NUMERO = room;
    DELETE FROM CONFIGURATION WHERE SAL_NUMERO = room;
    DELETE FROM SALLE_TAV WHERE SAL_NUMERO = room;
    DELETE FROM solma.DEPOSITAIRE WHERE SAL_NUMERO = room;

    -- Option rooms matched with this room become option rooms again, instead of staying hidden behind a
    -- room that no longer exists.
    UPDATE solma.SALLES SET SAL_PRISE_EN_CHARGE = NULL
    WHERE SAL_NUMERO IN (SELECT SAL_NUMERO_SOURCE FROM solma.SALLE_CORRESPONDANCE
                         WHERE SAL_NUMERO_DESTINATION = room);
    DELETE FROM solma.SALLE_CORRESPONDANCE
    WHERE SAL_NUMERO_SOURCE = room OR SAL_NUMERO_DESTINATION = room;

    DELETE FROM solma.SALLES WHERE SAL_NUMERO = room;
END
$$;
