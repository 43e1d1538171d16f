-- insSalleTav: records the department's own data of a room.

--@include sqlite/shared/room-complement-checks.sql

SELECT raise_error('Les données du service technique de la salle ' || :salnumero || ' existent déjà.')
WHERE EXISTS (SELECT 1 FROM SALLE_TAV WHERE SAL_NUMERO = :salnumero);

INSERT INTO SALLE_TAV (
    SAL_NUMERO,
    TAV_HAUTEUR_MOYEN_PLAFOND,
    TAV_NOMBRE_PORTES,
    TAV_SURFACE_VITREE,
    TAV_ACCUEIL,
    TAV_CIRCULATION,
    TAV_RESTAURATION,
    TAV_PARKING,
    TAV_VIE_SOCIAL,
    TAV_SPORTIF,
    TAV_SANITAIRE
) VALUES (
    :salnumero,
    to_number(:tavhauteurMoyenPlafond),
    to_number(:tavnombrePortes),
    to_number(:tavsurfaceVitree),
    to_number(:tavaccueil),
    to_number(:tavcirculation),
    to_number(:tavrestauration),
    to_number(:tavparking),
    to_number(:tavvieSocial),
    to_number(:tavsportif),
    to_number(:tavsanitaire)
);
