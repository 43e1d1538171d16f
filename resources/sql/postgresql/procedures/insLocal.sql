-- insLocal: creates a building with its address.
DROP FUNCTION IF EXISTS locavia.inslocal;
CREATE FUNCTION locavia.inslocal(
    adradresse1 text DEFAULT NULL, adradresse2 text DEFAULT NULL, adrbp text DEFAULT NULL,
    adrcp text DEFAULT NULL, adrlisterouge text DEFAULT NULL, adrnation text DEFAULT NULL,
    adrnom text DEFAULT NULL, adrqualite text DEFAULT NULL, adrville text DEFAULT NULL,
    batabrev text DEFAULT NULL, insbister text DEFAULT NULL, inscimplantation text DEFAULT NULL,
    inscvoie text DEFAULT NULL, inscpetranger text DEFAULT NULL, inslocalite text DEFAULT NULL,
    insnovoie text DEFAULT NULL, insnomvoie text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    address integer;
BEGIN
    PERFORM check_rights();
    PERFORM check_building(NULL, batabrev, adrnom, adradresse1, adradresse2, adrbp, adrcp, adrville,
        inslocalite, insnovoie, insbister, inscvoie, insnomvoie, adrnation, inscpetranger, adrqualite,
        adrlisterouge, inscimplantation);

    -- The address, then the building that points at it.
    INSERT INTO solma.ADRESSE (
        ADR_ADRESSE1, ADR_ADRESSE2, ADR_BP, CODE_POSTAL, VILLE, LOCALITE, NO_VOIE, BIS_TER, C_VOIE,
        NOM_VOIE, C_PAYS, CP_ETRANGER, ADR_QUALITE, ADR_LISTE_ROUGE, C_IMPLANTATION
    ) VALUES (
        NULLIF(adradresse1, ''), NULLIF(adradresse2, ''), NULLIF(adrbp, ''), NULLIF(adrcp, ''),
        NULLIF(adrville, ''), NULLIF(inslocalite, ''), NULLIF(insnovoie, ''), NULLIF(insbister, ''),
        NULLIF(inscvoie, ''), NULLIF(insnomvoie, ''), NULLIF(adrnation, ''), NULLIF(inscpetranger, ''),
        NULLIF(adrqualite, ''), NULLIF(adrlisterouge, ''), NULLIF(inscimplantation, '')
    )
    RETURNING ADR_ORDRE INTO address;

    INSERT INTO solma.LOCAL (C_LOCAL, APPELLATION, ID_ADRESSE_ADMIN) VALUES (batabrev, adrnom, address);
END
$$;
