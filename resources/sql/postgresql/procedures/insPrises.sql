-- insPrises: adds a network outlet to a room. Output: priOrdre, its key.
DROP FUNCTION IF EXISTS locavia.insprises;
CREATE FUNCTION locavia.insprises(
    pricode text DEFAULT NULL, pritype text DEFAULT NULL, salnumero text DEFAULT NULL,
    OUT priordre integer)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    room integer := to_key(salnumero);
BEGIN
    PERFORM check_rights();
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = room) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    PERFORM check_outlet(pricode, pritype);

    INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE)
    VALUES (room, NULLIF(pricode, ''), pritype)
    RETURNING PRI_ORDRE INTO priordre;
END
$$;
