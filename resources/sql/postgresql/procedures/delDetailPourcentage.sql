-- delDetailPourcentage: removes all the occupation lines of a room.
DROP FUNCTION IF EXISTS locavia.deldetailpourcentage;
CREATE FUNCTION locavia.deldetailpourcentage(salnumero text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_rights();
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = to_key(salnumero)) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    DELETE FROM DETAIL_POURCENTAGE WHERE SAL_NUMERO = to_key(salnumero);
END
$$;
