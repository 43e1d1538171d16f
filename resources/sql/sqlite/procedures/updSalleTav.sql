-- updSalleTav: updates the department's own data of a room.

--@include sqlite/shared/room-complement-checks.sql

SELECT raise_error('La salle ' || :salnumero || ' n''a pas de données du service technique à modifier.')
WHERE NOT EXISTS (SELECT 1 FROM SALLE_TAV WHERE SAL_NUMERO = :salnumero);

UPDATE SALLE_TAV SET
    TAV_HAUTEUR_MOYEN_PLAFOND = to_number(:tavhauteurMoyenPlafond),
    TAV_NOMBRE_PORTES = to_number(:tavnombrePortes),
    TAV_SURFACE_VITREE = to_number(:tavsurfaceVitree),
    TAV_ACCUEIL = to_number(:tavaccueil),
    TAV_CIRCULATION = to_number(:tavcirculation),
    TAV_RESTAURATION = to_number(:tavrestauration),
    TAV_PARKING = to_number(:tavparking),
    TAV_VIE_SOCIAL = to_number(:tavvieSocial),
    TAV_SPORTIF = to_number(:tavsportif),
    TAV_SANITAIRE = to_number(:tavsanitaire)
WHERE SAL_NUMERO = :salnumero;
