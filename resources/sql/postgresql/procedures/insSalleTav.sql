-- insSalleTav: records the department's own data of a room.
DROP FUNCTION IF EXISTS locavia.inssalletav;
CREATE FUNCTION locavia.inssalletav(
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
    IF EXISTS (SELECT 1 FROM SALLE_TAV WHERE SAL_NUMERO = room) THEN
        PERFORM refuse('Les données du service technique de la salle ' || salnumero || ' existent déjà.');
    END IF;

    INSERT INTO SALLE_TAV (
        SAL_NUMERO, TAV_HAUTEUR_MOYEN_PLAFOND, TAV_NOMBRE_PORTES, TAV_SURFACE_VITREE, TAV_ACCUEIL,
        TAV_CIRCULATION, TAV_RESTAURATION, TAV_PARKING, TAV_VIE_SOCIAL, TAV_SPORTIF, TAV_SANITAIRE
    ) VALUES (
        room, to_number(tavhauteurmoyenplafond), to_number(tavnombreportes), to_number(tavsurfacevitree),
        to_number(tavaccueil), to_number(tavcirculation), to_number(tavrestauration),
        to_number(tavparking), to_number(tavviesocial), to_number(tavsportif), to_number(tavsanitaire)
    );
END
$$;
