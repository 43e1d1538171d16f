-- majSalles: updates a room and replaces its custodian group.
DROP FUNCTION IF EXISTS locavia.majsalles;
CREATE FUNCTION locavia.majsalles(
    grpordre text DEFAULT NULL, clocal text DEFAULT NULL, salcapacite text DEFAULT NULL,
    saldescriptif text DEFAULT NULL, salecran text DEFAULT NULL, saletage text DEFAULT NULL,
    salidentacces text DEFAULT NULL, salinsonorisee text DEFAULT NULL, salnature text DEFAULT NULL,
    salnbarmoires text DEFAULT NULL, salnbbureaux text DEFAULT NULL, salnbchaises text DEFAULT NULL,
    salnbfenetres text DEFAULT NULL, salnbtables text DEFAULT NULL, salnoposte text DEFAULT NULL,
    salnumero text DEFAULT NULL, salobscur text DEFAULT NULL, salporte text DEFAULT NULL,
    salpouradministration text DEFAULT NULL, salpourdocumentation text DEFAULT NULL,
    salpourenseignement text DEFAULT NULL, salpourrecherche text DEFAULT NULL,
    salpourtechnique text DEFAULT NULL, salreservable text DEFAULT NULL, salretro text DEFAULT NULL,
    salsuperficie text DEFAULT NULL, saltableau text DEFAULT NULL, saltableaublanc text DEFAULT NULL,
    saltableaupapier text DEFAULT NULL, saltelevision text DEFAULT NULL, tsalnumero text DEFAULT NULL,
    majsalpasnum text DEFAULT NULL, majsaltemhandicap text DEFAULT NULL,
    majsaltemenservice text DEFAULT NULL, majsalcapaexam text DEFAULT NULL,
    majsalnbplacesexamlib text DEFAULT NULL, majsalsalleprochetel text DEFAULT NULL,
    majsalsallenumdepart text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    room integer := to_key(salnumero);
BEGIN
    PERFORM check_rights();
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = room) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    PERFORM check_room(clocal, tsalnumero, saletage, salporte, saldescriptif, salidentacces, salnature,
        salcapacite, salnbarmoires, salnbbureaux, salnbchaises, salnbfenetres, salnbtables, salnoposte,
        saltableau, saltableaublanc, saltableaupapier, salsuperficie, salpouradministration,
        salpourdocumentation, salpourenseignement, salpourrecherche, salpourtechnique, salecran,
        salinsonorisee, salobscur, salreservable, salretro, saltelevision, majsalpasnum, majsaltemhandicap,
        majsaltemenservice, majsalcapaexam, majsalnbplacesexamlib, majsalsalleprochetel,
        majsalsallenumdepart, grpordre);

    -- The values the room tab does not know (it always sends them empty) keep what the other
    -- applications of the reference schema stored.
    UPDATE solma.SALLES SET
        C_LOCAL = NULLIF(clocal, ''),
        TSAL_NUMERO = to_number(tsalnumero),
        SAL_ETAGE = NULLIF(saletage, ''),
        SAL_PORTE = NULLIF(salporte, ''),
        SAL_CAPACITE = to_number(salcapacite),
        SAL_NB_ARMOIRES = to_number(salnbarmoires),
        SAL_NB_BUREAUX = to_number(salnbbureaux),
        SAL_NB_CHAISES = to_number(salnbchaises),
        SAL_NB_FENETRES = to_number(salnbfenetres),
        SAL_NB_TABLES = to_number(salnbtables),
        SAL_NO_POSTE = NULLIF(salnoposte, ''),
        SAL_TABLEAU = NULLIF(saltableau, ''),
        SAL_TABLEAU_BLANC = NULLIF(saltableaublanc, ''),
        SAL_TABLEAU_PAPIER = NULLIF(saltableaupapier, ''),
        SAL_SUPERFICIE = to_number(salsuperficie),
        SAL_ECRAN = NULLIF(salecran, ''),
        SAL_INSONORISEE = NULLIF(salinsonorisee, ''),
        SAL_OBSCUR = NULLIF(salobscur, ''),
        SAL_RESERVABLE = NULLIF(salreservable, ''),
        SAL_RETRO = NULLIF(salretro, ''),
        SAL_TELEVISION = NULLIF(saltelevision, ''),
        SAL_POUR_ADMINISTRATION = to_number(salpouradministration),
        SAL_POUR_DOCUMENTATION = to_number(salpourdocumentation),
        SAL_POUR_ENSEIGNEMENT = to_number(salpourenseignement),
        SAL_POUR_RECHERCHE = to_number(salpourrecherche),
        SAL_POUR_TECHNIQUE = to_number(salpourtechnique),
        SAL_DESCRIPTIF = NULLIF(saldescriptif, ''),
        SAL_IDENT_ACCES = NULLIF(salidentacces, ''),
        SAL_NATURE = NULLIF(salnature, ''),
        SAL_PAS_NUM = COALESCE(to_number(majsalpasnum), SAL_PAS_NUM),
        SAL_TEM_HANDICAP = COALESCE(NULLIF(majsaltemhandicap, ''), SAL_TEM_HANDICAP),
        SAL_TEM_EN_SERVICE = COALESCE(NULLIF(majsaltemenservice, ''), SAL_TEM_EN_SERVICE),
        SAL_CAPA_EXAM = COALESCE(to_number(majsalcapaexam), SAL_CAPA_EXAM),
        SAL_NB_PLACES_EXAM_LIB = COALESCE(to_number(majsalnbplacesexamlib), SAL_NB_PLACES_EXAM_LIB),
        SAL_SALLE_PROCHE_TEL = COALESCE(to_number(majsalsalleprochetel), SAL_SALLE_PROCHE_TEL),
        SAL_NUM_DEPART = COALESCE(to_number(majsalsallenumdepart), SAL_NUM_DEPART)
    WHERE SAL_NUMERO = room;

    -- Its custodian group is replaced: none when grpOrdre is empty.
    DELETE FROM solma.DEPOSITAIRE WHERE SAL_NUMERO = room;
    IF NULLIF(grpordre, '') IS NOT NULL THEN
        INSERT INTO solma.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (room, grpordre);
    END IF;
END
$$;
