-- updSalleTav: updates the department's own data of a room.
DROP FUNCTION IF EXISTS locavia.updsalletav;
CREATE FUNCTION locavia.updsalletav(
    salnumero text DEFAULT NULL, tavhauteurmoyenplafond text DEFAULT NULL,
    tavnombreportes text DEFAULT NULL, tavsurfacevitree text DEFAULT NULL, tavaccueil text DEFAULT NULL,
    tavcirculation text DEFAULT NULL, tavrestauration text DEFAULT NULL, tavparking text DEFAULT NULL,
    tavviesocial text DEFAULT NULL, tavsportif text DEFAULT NULL, tavsanitaire text DEFAULT NULL)
RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = locavia, pg_temp AS $$
DECLARE
    room integer := to_key(salnumero);
BEGIN
    PERFORM check_rights();
    PERFORM check_room_complement(salnumero, tavhauteurmoyenplafond, tavnombreportes, tavsurfacevitree,
        tavaccueil, tavcirculation, tavrestauration, tavparking, tavviesocial, tavsportif, tavsanitaire);

    UPDATE SALLE_TAV SET
        TAV_HAUTEUR_MOYEN_PLAFOND = to_number(tavhauteurmoyenplafond),
        TAV_NOMBRE_PORTES = to_number(tavnombreportes),
        TAV_SURFACE_VITREE = to_number(tavsurfacevitree),
        TAV_ACCUEIL = to_number(tavaccueil),
        TAV_CIRCULATION = to_number(tavcirculation),
        TAV_RESTAURATION = to_number(tavrestauration),
        TAV_PARKING = to_number(tavparking),
        TAV_VIE_SOCIAL = to_number(tavviesocial),
        TAV_SPORTIF = to_number(tavsportif),
        TAV_SANITAIRE = to_number(tavsanitaire)
    WHERE SAL_NUMERO = room;
    -- Updating a complement that does not exist is a failure, not a silent success.
    IF NOT FOUND THEN
        PERFORM refuse('La salle ' || salnumero || ' n''a pas de données du service technique à modifier.');
    END IF;
END
$$;
