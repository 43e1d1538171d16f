-- insUnite: creates a unit of measure. Output: uniOrdre, the new key.
DROP FUNCTION IF EXISTS locavia.insunite;
CREATE FUNCTION locavia.insunite(uniabrev text DEFAULT NULL, unilibelle text DEFAULT NULL,
                                 OUT uniordre integer)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_rights();
    PERFORM check_filled(uniabrev, 'L''abréviation de l''unité est obligatoire.');
    PERFORM check_code(uniabrev, 'L''abréviation de l''unité');
    PERFORM check_width(uniabrev, 5, 'L''abréviation de l''unité dépasse 5 caractères.');
    IF EXISTS (SELECT 1 FROM UNITE WHERE UNI_ABREV = uniabrev) THEN
        PERFORM refuse('L''abréviation « ' || uniabrev || ' » est déjà utilisée par une autre unité.');
    END IF;
    PERFORM check_filled(unilibelle, 'Le libellé de l''unité est obligatoire.');
    PERFORM check_width(unilibelle, 50, 'Le libellé de l''unité dépasse 50 caractères.');

    INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES (uniabrev, unilibelle) RETURNING UNI_ORDRE INTO uniordre;
END
$$;
