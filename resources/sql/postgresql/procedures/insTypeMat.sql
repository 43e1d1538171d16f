-- insTypeMat: creates an equipment family (tavniveau 1) or an equipment type (tavniveau 2, in the family
-- tavpere, counted in the unit tavuniteOrdre). Output: tavType, the new key.
DROP FUNCTION IF EXISTS locavia.instypemat;
CREATE FUNCTION locavia.instypemat(
    tavlibelle text DEFAULT NULL, tavniveau text DEFAULT NULL, tavpere text DEFAULT NULL,
    tavuniteordre text DEFAULT NULL, OUT tavtype integer)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    level numeric := to_number(tavniveau);
    family numeric := to_number(tavpere);
    unit numeric := to_number(tavuniteordre);
BEGIN
    PERFORM check_rights();
    PERFORM check_filled(tavlibelle, 'Le libellé est obligatoire.');
    PERFORM check_width(tavlibelle, 50, 'Le libellé dépasse 50 caractères.');
    PERFORM check_given(tavniveau, 'Le niveau est obligatoire.');
    IF level IS NULL OR level NOT IN (1, 2) THEN
        PERFORM refuse('Le niveau doit valoir 1 (famille) ou 2 (type de matériel).');
    END IF;

    IF level = 1 THEN
        -- A family has no family and no unit (-1).
        IF NULLIF(tavpere, '') IS NOT NULL AND family IS DISTINCT FROM -1 THEN
            PERFORM refuse('Une famille de matériel n''appartient pas à une autre famille.');
        END IF;
        IF NULLIF(tavuniteordre, '') IS NOT NULL AND unit IS DISTINCT FROM -1 THEN
            PERFORM refuse('Une famille de matériel n''a pas d''unité.');
        END IF;
        family := -1;
        unit := -1;
    ELSE
        -- A type belongs to an existing family and is counted in an existing unit.
        IF NULLIF(tavpere, '') IS NULL OR family = -1 THEN
            PERFORM refuse('La famille du type de matériel est obligatoire.');
        END IF;
        IF NOT EXISTS (SELECT 1 FROM TYPE_MATERIEL WHERE TAV_TYPE = to_key(tavpere) AND TAV_NIVEAU = 1) THEN
            PERFORM refuse('La famille de matériel ' || tavpere || ' n''existe pas.');
        END IF;
        IF NULLIF(tavuniteordre, '') IS NULL OR unit = -1 THEN
            PERFORM refuse('L''unité du type de matériel est obligatoire.');
        END IF;
        IF NOT EXISTS (SELECT 1 FROM UNITE WHERE UNI_ORDRE = to_key(tavuniteordre)) THEN
            PERFORM refuse('L''unité ' || tavuniteordre || ' n''existe pas.');
        END IF;
    END IF;

    INSERT INTO TYPE_MATERIEL (TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE)
    VALUES (tavlibelle, level, family, unit)
    RETURNING TAV_TYPE INTO tavtype;
END
$$;
