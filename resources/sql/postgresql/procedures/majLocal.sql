-- majLocal: updates a building (found by oldCLocal) and its address; a new code (batabrev) moves the
-- building's rooms with it.
DROP FUNCTION IF EXISTS locavia.majlocal;
CREATE FUNCTION locavia.majlocal(
    adradresse1 text DEFAULT NULL, adradresse2 text DEFAULT NULL, adrbp text DEFAULT NULL,
    adrcp text DEFAULT NULL, adrnom text DEFAULT NULL, adrville text DEFAULT NULL,
    batabrev text DEFAULT NULL, majnovoie text DEFAULT NULL, majbister text DEFAULT NULL,
    majcvoie text DEFAULT NULL, majnomvoie text DEFAULT NULL, majlocalite text DEFAULT NULL,
    majcpays text DEFAULT NULL, majcpetranger text DEFAULT NULL, majcimplantation text DEFAULT NULL,
    majadrlisterouge text DEFAULT NULL, oldclocal text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    address integer;
BEGIN
    PERFORM check_rights();
    -- The building, found by its stored code (and locked: two registers saving it at once take turns).
    PERFORM check_given(oldclocal, 'Le code du bâtiment à modifier est obligatoire.');
    SELECT a.ADR_ORDRE INTO address
    FROM solma.LOCAL l LEFT JOIN solma.ADRESSE a ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN
    WHERE l.C_LOCAL = oldclocal
    FOR UPDATE OF l;
    IF NOT FOUND THEN
        PERFORM refuse('Le bâtiment « ' || oldclocal || ' » n''existe pas.');
    END IF;
    PERFORM check_building(oldclocal, batabrev, adrnom, adradresse1, adradresse2, adrbp, adrcp, adrville,
        majlocalite, majnovoie, majbister, majcvoie, majnomvoie, majcpays, majcpetranger, NULL,
        majadrlisterouge, majcimplantation);

    -- The address: updated in place; a building without address gets a new one.
    IF address IS NOT NULL THEN
        UPDATE solma.ADRESSE SET
            ADR_ADRESSE1 = NULLIF(adradresse1, ''),
            ADR_ADRESSE2 = NULLIF(adradresse2, ''),
            ADR_BP = NULLIF(adrbp, ''),
            CODE_POSTAL = NULLIF(adrcp, ''),
            VILLE = NULLIF(adrville, ''),
            LOCALITE = NULLIF(majlocalite, ''),
            NO_VOIE = NULLIF(majnovoie, ''),
            BIS_TER = NULLIF(majbister, ''),
            C_VOIE = NULLIF(majcvoie, ''),
            NOM_VOIE = NULLIF(majnomvoie, ''),
            C_PAYS = NULLIF(majcpays, ''),
            CP_ETRANGER = NULLIF(majcpetranger, ''),
            ADR_LISTE_ROUGE = NULLIF(majadrlisterouge, ''),
            C_IMPLANTATION = NULLIF(majcimplantation, '')
        WHERE ADR_ORDRE = address;
    ELSE
        INSERT INTO solma.ADRESSE (
            ADR_ADRESSE1, ADR_ADRESSE2, ADR_BP, CODE_POSTAL, VILLE, LOCALITE, NO_VOIE, BIS_TER, C_VOIE,
            NOM_VOIE, C_PAYS, CP_ETRANGER, ADR_LISTE_ROUGE, C_IMPLANTATION
        ) VALUES (
            NULLIF(adradresse1, ''), NULLIF(adradresse2, ''), NULLIF(adrbp, ''), NULLIF(adrcp, ''),
            NULLIF(adrville, ''), NULLIF(majlocalite, ''), NULLIF(majnovoie, ''), NULLIF(majbister, ''),
            NULLIF(majcvoie, ''), NULLIF(majnomvoie, ''), NULLIF(majcpays, ''), NULLIF(majcpetranger, ''),
            NULLIF(majadrlisterouge, ''), NULLIF(majcimplantation, '')
        )
        RETURNING ADR_ORDRE INTO address;
    END IF;

    -- The building; a new code moves its rooms with it (the rooms' foreign key cascades the change).
    UPDATE solma.LOCAL SET C_LOCAL = batabrev, APPELLATION = adrnom, ID_ADRESSE_ADMIN = address
    WHERE C_LOCAL = oldclocal;
END
$$;
