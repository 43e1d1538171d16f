-- updPrises: changes the code and the kind of a network outlet.
DROP FUNCTION IF EXISTS locavia.updprises;
CREATE FUNCTION locavia.updprises(
    priordre text DEFAULT NULL, pricode text DEFAULT NULL, pritype text DEFAULT NULL,
    salnumero text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    outlet integer := to_key(priordre);
    room integer := to_key(salnumero);
BEGIN
    PERFORM check_rights();
    PERFORM check_given(priordre, 'Le numéro de la prise est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM PRISES WHERE PRI_ORDRE = outlet) THEN
        PERFORM refuse('La prise ' || priordre || ' n''existe pas.');
    END IF;
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = room) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    IF NOT EXISTS (SELECT 1 FROM PRISES WHERE PRI_ORDRE = outlet AND SAL_NUMERO = room) THEN
        PERFORM refuse('La prise ' || priordre || ' n''appartient pas à la salle ' || salnumero || '.');
    END IF;
    PERFORM check_outlet(pricode, pritype);

    UPDATE PRISES SET PRI_CODE = NULLIF(pricode, ''), PRI_TYPE = pritype WHERE PRI_ORDRE = outlet;
END
$$;
