-- insSalle: creates a room in the reference schema, with its custodian group.
-- Output: salNumero, the new room's number.
DROP FUNCTION IF EXISTS locavia.inssalle;
CREATE FUNCTION locavia.inssalle(
    inscstructure text DEFAULT NULL, insclocal text DEFAULT NULL, salcapacite text DEFAULT NULL,
    saldescriptif text DEFAULT NULL, salecran text DEFAULT NULL, saletage text DEFAULT NULL,
    salidentacces text DEFAULT NULL, salinsonorisee text DEFAULT NULL, salnature text DEFAULT NULL,
    salnbarmoires text DEFAULT NULL, salnbbureaux text DEFAULT NULL, salnbchaises text DEFAULT NULL,
    salnbfenetres text DEFAULT NULL, salnbtables text DEFAULT NULL, salnoposte text DEFAULT NULL,
    salobscur text DEFAULT NULL, salporte text DEFAULT NULL, salpouradministration text DEFAULT NULL,
    salpourdocumentation text DEFAULT NULL, salpourenseignement text DEFAULT NULL,
    salpourrecherche text DEFAULT NULL, salpourtechnique text DEFAULT NULL,
    salreservable text DEFAULT NULL, salretro text DEFAULT NULL, salsuperficie text DEFAULT NULL,
    saltableau text DEFAULT NULL, saltableaublanc text DEFAULT NULL, saltableaupapier text DEFAULT NULL,
    saltelevision text DEFAULT NULL, tsalnumero text DEFAULT NULL, inssalpasnum text DEFAULT NULL,
    inssaltemhandicap text DEFAULT NULL, inssaltemenservice text DEFAULT NULL,
    inssalcapaexam text DEFAULT NULL, inssalnbplacesexamlib text DEFAULT NULL,
    inssalsalleprochetel text DEFAULT NULL, inssalnumdepart text DEFAULT NULL,
    OUT salnumero integer)
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_rights();
    PERFORM check_room(insclocal, tsalnumero, saletage, salporte, saldescriptif, salidentacces, salnature,
        salcapacite, salnbarmoires, salnbbureaux, salnbchaises, salnbfenetres, salnbtables, salnoposte,
        saltableau, saltableaublanc, saltableaupapier, salsuperficie, salpouradministration,
        salpourdocumentation, salpourenseignement, salpourrecherche, salpourtechnique, salecran,
        salinsonorisee, salobscur, salreservable, salretro, saltelevision, inssalpasnum, inssaltemhandicap,
        inssaltemenservice, inssalcapaexam, inssalnbplacesexamlib, inssalsalleprochetel, inssalnumdepart,
        inscstructure);

    INSERT INTO solma.SALLES (
        C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE, SAL_CAPACITE, SAL_NB_ARMOIRES, SAL_NB_BUREAUX,
        SAL_NB_CHAISES, SAL_NB_FENETRES, SAL_NB_TABLES, SAL_NO_POSTE, SAL_TABLEAU, SAL_TABLEAU_BLANC,
        SAL_TABLEAU_PAPIER, SAL_SUPERFICIE, SAL_ECRAN, SAL_INSONORISEE, SAL_OBSCUR, SAL_RESERVABLE,
        SAL_RETRO, SAL_TELEVISION, SAL_POUR_ADMINISTRATION, SAL_POUR_DOCUMENTATION, SAL_POUR_ENSEIGNEMENT,
        SAL_POUR_RECHERCHE, SAL_POUR_TECHNIQUE, SAL_DESCRIPTIF, SAL_IDENT_ACCES, SAL_NATURE, SAL_PAS_NUM,
        SAL_TEM_HANDICAP, SAL_TEM_EN_SERVICE, SAL_CAPA_EXAM, SAL_NB_PLACES_EXAM_LIB, SAL_SALLE_PROCHE_TEL,
        SAL_NUM_DEPART
    ) VALUES (
        NULLIF(insclocal, ''), to_number(tsalnumero), NULLIF(saletage, ''), NULLIF(salporte, ''),
        to_number(salcapacite), to_number(salnbarmoires), to_number(salnbbureaux),
        to_number(salnbchaises), to_number(salnbfenetres), to_number(salnbtables), NULLIF(salnoposte, ''),
        NULLIF(saltableau, ''), NULLIF(saltableaublanc, ''), NULLIF(saltableaupapier, ''),
        to_number(salsuperficie), NULLIF(salecran, ''), NULLIF(salinsonorisee, ''), NULLIF(salobscur, ''),
        NULLIF(salreservable, ''), NULLIF(salretro, ''), NULLIF(saltelevision, ''),
        to_number(salpouradministration), to_number(salpourdocumentation), to_number(salpourenseignement),
        to_number(salpourrecherche), to_number(salpourtechnique), NULLIF(saldescriptif, ''),
        NULLIF(salidentacces, ''), NULLIF(salnature, ''), to_number(inssalpasnum),
        NULLIF(inssaltemhandicap, ''), NULLIF(inssaltemenservice, ''), to_number(inssalcapaexam),
        to_number(inssalnbplacesexamlib), to_number(inssalsalleprochetel), to_number(inssalnumdepart)
    )
    RETURNING SAL_NUMERO INTO salnumero;

    -- Its custodian group, when one is given.
    IF NULLIF(inscstructure, '') IS NOT NULL THEN
        INSERT INTO solma.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (salnumero, inscstructure);
    END IF;
END
$$;
