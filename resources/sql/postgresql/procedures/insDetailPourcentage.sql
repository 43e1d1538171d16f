-- insDetailPourcentage: adds an occupation line (a percentage of use by a department for a kind of use)
-- to a room.
DROP FUNCTION IF EXISTS locavia.insdetailpourcentage;
CREATE FUNCTION locavia.insdetailpourcentage(
    detpourcentage text DEFAULT NULL, dettype text DEFAULT NULL, salnumero text DEFAULT NULL,
    cstructure text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    room integer := to_key(salnumero);
    percentage numeric := to_number(detpourcentage);
BEGIN
    PERFORM check_rights();
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = room) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    PERFORM check_given(dettype, 'Le type d''occupation est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM TYPE_OCCUPATION WHERE TOC_ORDRE = to_key(dettype)) THEN
        PERFORM refuse('Le type d''occupation ' || dettype || ' n''existe pas.');
    END IF;
    PERFORM check_filled(cstructure, 'Le service est obligatoire.');
    PERFORM check_width(cstructure, 10, 'Le code du service dépasse 10 caractères.');
    IF NOT EXISTS (SELECT 1 FROM solma.STRUCTURE WHERE C_STRUCTURE = cstructure) THEN
        PERFORM refuse('Le service « ' || cstructure || ' » n''existe pas.');
    END IF;
    PERFORM check_given(detpourcentage, 'Le pourcentage d''occupation est obligatoire.');
    IF percentage IS NULL OR percentage NOT BETWEEN 0 AND 100 OR percentage <> trunc(percentage) THEN
        PERFORM refuse('Le pourcentage d''occupation doit être un nombre entier compris entre 0 et 100.');
    END IF;

    INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE)
    VALUES (room, to_key(dettype), percentage, cstructure);
END
$$;
