-- delPrises: removes a network outlet.
DROP FUNCTION IF EXISTS locavia.delprises;
CREATE FUNCTION locavia.delprises(priordre text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_rights();
    PERFORM check_given(priordre, 'Le numéro de la prise est obligatoire.');
    DELETE FROM PRISES WHERE PRI_ORDRE = to_key(priordre);
    IF NOT FOUND THEN
        PERFORM refuse('La prise ' || priordre || ' n''existe pas.');
    END IF;
END
$$;
