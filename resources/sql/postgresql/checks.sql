-- Checks shared by several procedures (run after functions.sql, before procedures/).

-- A code (building code, door number, unit abbreviation) holds no control character and no invisible
-- format character (zero-width spaces, the marks and overrides that turn a text around, the byte order
-- mark): two codes that look alike would differ by them. field names the code, as the message begins.
DROP FUNCTION IF EXISTS locavia.check_code;
CREATE FUNCTION locavia.check_code(value text, field text)
RETURNS void
LANGUAGE plpgsql IMMUTABLE SET search_path = locavia, pg_temp AS $$
DECLARE
    hex text;
    hidden text := substring(value from '[\u0001-\u001F\u007F-\u009F\u00AD\u0600-\u0605\u061C\u06DD\u070F'
        '\u0890-\u0891\u08E2\u180E\u200B-\u200F\u2028-\u202E\u2060-\u2064\u2066-\u206F\uFEFF\uFFF9-\uFFFB'
        '\U000110BD\U000110CD\U00013430-\U00013438\U0001BCA0-\U0001BCA3\U0001D173-\U0001D17A\U000E0001'
        '\U000E0020-\U000E007F]');
BEGIN
    IF hidden IS NOT NULL THEN
        hex := upper(to_hex(ascii(hidden)));
        PERFORM refuse(field || ' contient un caractère invisible ou de contrôle (U+'
            || lpad(hex, greatest(length(hex), 4), '0') || '), refusé dans un code : retirez ce caractère.');
    END IF;
END
$$;

-- The checks that insSalle and majSalles share, in the order the user meets them: building, type,
-- location, texts, counts, surface, percentages, flags, the values kept for the other applications of the
-- reference schema, the custodian group.
DROP FUNCTION IF EXISTS locavia.check_room;
CREATE FUNCTION locavia.check_room(
    clocal text, tsalnumero text, saletage text, salporte text, saldescriptif text, salidentacces text,
    salnature text, salcapacite text, salnbarmoires text, salnbbureaux text, salnbchaises text,
    salnbfenetres text, salnbtables text, salnoposte text, saltableau text, saltableaublanc text,
    saltableaupapier text, salsuperficie text, salpouradministration text, salpourdocumentation text,
    salpourenseignement text, salpourrecherche text, salpourtechnique text, salecran text,
    salinsonorisee text, salobscur text, salreservable text, salretro text, saltelevision text,
    pasnum text, temhandicap text, temenservice text, capaexam text, nbplacesexamlib text,
    salleprochetel text, numdepart text, custodian text)
RETURNS void
LANGUAGE plpgsql SET search_path = locavia, pg_temp AS $$
BEGIN
    -- Building: required, and it must exist.
    PERFORM check_filled(clocal, 'Le code du bâtiment est obligatoire.');
    PERFORM check_width(clocal, 3, 'Le code du bâtiment dépasse 3 caractères.');
    IF NOT EXISTS (SELECT 1 FROM solma.LOCAL WHERE C_LOCAL = clocal) THEN
        PERFORM refuse('Le bâtiment « ' || clocal || ' » n''existe pas.');
    END IF;

    -- Room type: required, and it must exist.
    PERFORM check_given(tsalnumero, 'Le type de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM TYPE_SALLE WHERE TSAL_NUMERO = to_key(tsalnumero)) THEN
        PERFORM refuse('Le type de salle ' || tsalnumero || ' n''existe pas.');
    END IF;

    -- Location: floor and door are required.
    PERFORM check_given(saletage, 'L''étage est obligatoire.');
    PERFORM check_width(saletage, 9, 'L''étage dépasse 9 caractères.');
    PERFORM check_given(salporte, 'Le numéro de porte est obligatoire.');
    PERFORM check_code(salporte, 'Le numéro de porte');
    PERFORM check_width(salporte, 10, 'Le numéro de porte dépasse 10 caractères.');

    -- Texts.
    PERFORM check_width(saldescriptif, 209, 'Le descriptif dépasse 209 caractères.');
    PERFORM check_width(salidentacces, 12, 'L''identifiant d''accès dépasse 12 caractères.');
    PERFORM check_width(salnature, 18, 'La nature de la salle dépasse 18 caractères.');

    -- Counts, surface and percentages.
    PERFORM check_count(salcapacite, 'Le nombre de places doit être un nombre entier positif ou nul.');
    PERFORM check_count(salnbarmoires, 'Le nombre d''armoires doit être un nombre entier positif ou nul.');
    PERFORM check_count(salnbbureaux, 'Le nombre de bureaux doit être un nombre entier positif ou nul.');
    PERFORM check_count(salnbchaises, 'Le nombre de chaises doit être un nombre entier positif ou nul.');
    PERFORM check_count(salnbfenetres, 'Le nombre de fenêtres doit être un nombre entier positif ou nul.');
    PERFORM check_count(salnbtables, 'Le nombre de tables doit être un nombre entier positif ou nul.');
    PERFORM check_width(salnoposte, 5, 'Le nombre de postes de travaux pratiques dépasse 5 caractères.');
    PERFORM check_positive(salnoposte,
        'Le nombre de postes de travaux pratiques doit être un nombre positif ou nul.');
    PERFORM check_width(saltableau, 5, 'Le nombre de tableaux noirs dépasse 5 caractères.');
    PERFORM check_positive(saltableau, 'Le nombre de tableaux noirs doit être un nombre positif ou nul.');
    PERFORM check_width(saltableaublanc, 5, 'Le nombre de tableaux blancs dépasse 5 caractères.');
    PERFORM check_positive(saltableaublanc,
        'Le nombre de tableaux blancs doit être un nombre positif ou nul.');
    PERFORM check_width(saltableaupapier, 5, 'Le nombre de tableaux papier dépasse 5 caractères.');
    PERFORM check_positive(saltableaupapier,
        'Le nombre de tableaux papier doit être un nombre positif ou nul.');
    PERFORM check_positive(salsuperficie, 'La superficie doit être un nombre positif ou nul.');
    PERFORM check_percentage(salpouradministration,
        'Le pourcentage « administration » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(salpourdocumentation,
        'Le pourcentage « documentation » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(salpourenseignement,
        'Le pourcentage « enseignement » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(salpourrecherche,
        'Le pourcentage « recherche » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(salpourtechnique,
        'Le pourcentage « technique » doit être un nombre compris entre 0 et 100.');

    -- Yes/no flags.
    PERFORM check_flag(salecran, 'L''indicateur « écran » doit valoir O ou N.');
    PERFORM check_flag(salinsonorisee, 'L''indicateur « insonorisée » doit valoir O ou N.');
    PERFORM check_flag(salobscur, 'L''indicateur « obscurité » doit valoir O ou N.');
    PERFORM check_flag(salreservable, 'L''indicateur « réservable » doit valoir O ou N.');
    PERFORM check_flag(salretro, 'L''indicateur « rétroprojecteur » doit valoir O ou N.');
    PERFORM check_flag(saltelevision, 'L''indicateur « télévision » doit valoir O ou N.');

    -- Values kept for the other applications of the reference schema.
    PERFORM check_whole(pasnum, 'Le pas de numérotation doit être un nombre entier.');
    PERFORM check_flag(temhandicap, 'L''indicateur « accès handicapé » doit valoir O ou N.');
    PERFORM check_flag(temenservice, 'L''indicateur « en service » doit valoir O ou N.');
    PERFORM check_count(capaexam, 'La capacité en examen doit être un nombre entier positif ou nul.');
    PERFORM check_count(nbplacesexamlib,
        'Le nombre de places d''examen libres doit être un nombre entier positif ou nul.');
    PERFORM check_whole(salleprochetel, 'La salle proche du téléphone doit être un nombre entier.');
    PERFORM check_whole(numdepart, 'La salle de départ doit être un nombre entier.');

    -- Custodian group: optional, and it must exist.
    PERFORM check_width(custodian, 10, 'Le code du groupe dépositaire dépasse 10 caractères.');
    IF NULLIF(custodian, '') IS NOT NULL
       AND NOT EXISTS (SELECT 1 FROM solma.STRUCTURE WHERE C_STRUCTURE = custodian) THEN
        PERFORM refuse('Le groupe dépositaire « ' || custodian || ' » n''existe pas.');
    END IF;
END
$$;

-- The checks that insSalleTav and updSalleTav share: the room, then its values.
DROP FUNCTION IF EXISTS locavia.check_room_complement;
CREATE FUNCTION locavia.check_room_complement(
    salnumero text, hauteur text, portes text, surfacevitree text, accueil text, circulation text,
    restauration text, parking text, viesocial text, sportif text, sanitaire text)
RETURNS void
LANGUAGE plpgsql SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_given(salnumero, 'Le numéro de salle est obligatoire.');
    IF NOT EXISTS (SELECT 1 FROM solma.SALLES WHERE SAL_NUMERO = to_key(salnumero)) THEN
        PERFORM refuse('La salle ' || salnumero || ' n''existe pas.');
    END IF;
    PERFORM check_positive(hauteur, 'La hauteur moyenne sous plafond doit être un nombre positif ou nul.');
    PERFORM check_count(portes, 'Le nombre de portes doit être un nombre entier positif ou nul.');
    PERFORM check_positive(surfacevitree, 'La surface vitrée doit être un nombre positif ou nul.');
    PERFORM check_percentage(accueil,
        'Le pourcentage « accueil » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(circulation,
        'Le pourcentage « circulation » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(restauration,
        'Le pourcentage « restauration » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(parking,
        'Le pourcentage « parking » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(viesocial,
        'Le pourcentage « vie sociale » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(sportif,
        'Le pourcentage « sportif » doit être un nombre compris entre 0 et 100.');
    PERFORM check_percentage(sanitaire,
        'Le pourcentage « sanitaire » doit être un nombre compris entre 0 et 100.');
END
$$;

-- The checks of an outlet's code and kind, shared by insPrises and updPrises.
DROP FUNCTION IF EXISTS locavia.check_outlet;
CREATE FUNCTION locavia.check_outlet(pricode text, pritype text)
RETURNS void
LANGUAGE plpgsql SET search_path = locavia, pg_temp AS $$
BEGIN
    PERFORM check_width(pricode, 14, 'Le code de la prise dépasse 14 caractères.');
    IF pricode ~ '[^0-9]' THEN
        PERFORM refuse('Le code de la prise ne doit contenir que des chiffres.');
    END IF;
    PERFORM check_given(pritype, 'Le type de prise est obligatoire.');
    IF pritype NOT IN ('I', 'T', 'V') THEN
        PERFORM refuse('Le type de prise « ' || pritype || ' » doit être I, T ou V.');
    END IF;
END
$$;

-- The checks of a building's code and name and of its address, shared by insLocal and majLocal.
-- oldclocal is the stored code of the building being modified (NULL for a new building): its own code
-- and name are not "taken".
DROP FUNCTION IF EXISTS locavia.check_building;
CREATE FUNCTION locavia.check_building(
    oldclocal text, batabrev text, adrnom text, adradresse1 text, adradresse2 text, adrbp text,
    adrcp text, adrville text, localite text, novoie text, bister text, cvoie text, nomvoie text,
    cpays text, cpetranger text, qualite text, listerouge text, cimplantation text)
RETURNS void
LANGUAGE plpgsql SET search_path = locavia, pg_temp AS $$
BEGIN
    -- Code: required, at most 3 characters, not used by another building.
    PERFORM check_filled(batabrev, 'Le code du bâtiment est obligatoire.');
    PERFORM check_code(batabrev, 'Le code du bâtiment');
    PERFORM check_width(batabrev, 3, 'Le code du bâtiment dépasse 3 caractères.');
    IF batabrev IS DISTINCT FROM oldclocal
       AND EXISTS (SELECT 1 FROM solma.LOCAL WHERE C_LOCAL = batabrev) THEN
        PERFORM refuse('Le code « ' || batabrev || ' » est déjà utilisé par un autre bâtiment.');
    END IF;

    -- Name: required, and not used by another building (the room form finds a building by its name:
    -- two buildings of one name would mix their rooms).
    PERFORM check_filled(adrnom, 'Le nom du bâtiment est obligatoire.');
    PERFORM check_width(adrnom, 50, 'Le nom du bâtiment dépasse 50 caractères.');
    IF EXISTS (SELECT 1 FROM solma.LOCAL WHERE APPELLATION = adrnom
               AND C_LOCAL IS DISTINCT FROM oldclocal) THEN
        PERFORM refuse('Le nom « ' || adrnom || ' » est déjà utilisé par un autre bâtiment.');
    END IF;

    -- Address.
    PERFORM check_width(adradresse1, 60, 'La première ligne d''adresse dépasse 60 caractères.');
    PERFORM check_width(adradresse2, 40, 'La deuxième ligne d''adresse dépasse 40 caractères.');
    PERFORM check_width(adrbp, 7, 'La boîte postale dépasse 7 caractères.');
    PERFORM check_width(adrcp, 5, 'Le code postal dépasse 5 caractères.');
    PERFORM check_width(adrville, 30, 'La ville dépasse 30 caractères.');
    PERFORM check_width(localite, 26, 'La localité dépasse 26 caractères.');
    PERFORM check_width(novoie, 4, 'Le numéro dans la voie dépasse 4 caractères.');
    PERFORM check_width(bister, 1, 'L''indice de répétition dépasse 1 caractère.');
    PERFORM check_width(cvoie, 4, 'Le code du type de voie dépasse 4 caractères.');
    PERFORM check_width(nomvoie, 40, 'Le nom de la voie dépasse 40 caractères.');
    PERFORM check_width(cpays, 3, 'Le code du pays dépasse 3 caractères.');
    PERFORM check_width(cpetranger, 10, 'Le code postal étranger dépasse 10 caractères.');
    PERFORM check_width(qualite, 20, 'La qualité de l''adresse dépasse 20 caractères.');
    PERFORM check_flag(listerouge, 'L''indicateur « liste rouge » doit valoir O ou N.');
    PERFORM check_width(cimplantation, 10, 'Le code du site géographique dépasse 10 caractères.');
    IF NULLIF(cimplantation, '') IS NOT NULL
       AND NOT EXISTS (SELECT 1 FROM IMPLANTATION_GEO WHERE C_IMPLANTATION = cimplantation) THEN
        PERFORM refuse('Le site géographique « ' || cimplantation || ' » n''existe pas.');
    END IF;
END
$$;
