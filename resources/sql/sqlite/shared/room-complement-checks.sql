-- The checks that insSalleTav and updSalleTav share: the room, then the department's own values.

SELECT raise_error('Le numéro de salle est obligatoire.')
WHERE NULLIF(:salnumero, '') IS NULL;

SELECT raise_error('La salle ' || :salnumero || ' n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = :salnumero);

SELECT raise_error('La hauteur moyenne sous plafond doit être un nombre positif ou nul.')
WHERE NULLIF(:tavhauteurMoyenPlafond, '') IS NOT NULL AND (to_number(:tavhauteurMoyenPlafond) IS NULL OR to_number(:tavhauteurMoyenPlafond) < 0);

SELECT raise_error('Le nombre de portes doit être un nombre entier positif ou nul.')
WHERE NULLIF(:tavnombrePortes, '') IS NOT NULL
  AND (to_number(:tavnombrePortes) IS NULL OR to_number(:tavnombrePortes) < 0
       OR to_number(:tavnombrePortes) <> CAST(to_number(:tavnombrePortes) AS INTEGER)
       OR abs(to_number(:tavnombrePortes)) > 2147483647);

SELECT raise_error('La surface vitrée doit être un nombre positif ou nul.')
WHERE NULLIF(:tavsurfaceVitree, '') IS NOT NULL AND (to_number(:tavsurfaceVitree) IS NULL OR to_number(:tavsurfaceVitree) < 0);

SELECT raise_error('Le pourcentage « accueil » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavaccueil, '') IS NOT NULL AND (to_number(:tavaccueil) IS NULL OR to_number(:tavaccueil) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « circulation » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavcirculation, '') IS NOT NULL AND (to_number(:tavcirculation) IS NULL OR to_number(:tavcirculation) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « restauration » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavrestauration, '') IS NOT NULL AND (to_number(:tavrestauration) IS NULL OR to_number(:tavrestauration) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « parking » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavparking, '') IS NOT NULL AND (to_number(:tavparking) IS NULL OR to_number(:tavparking) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « vie sociale » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavvieSocial, '') IS NOT NULL AND (to_number(:tavvieSocial) IS NULL OR to_number(:tavvieSocial) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « sportif » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavsportif, '') IS NOT NULL AND (to_number(:tavsportif) IS NULL OR to_number(:tavsportif) NOT BETWEEN 0 AND 100);

SELECT raise_error('Le pourcentage « sanitaire » doit être un nombre compris entre 0 et 100.')
WHERE NULLIF(:tavsanitaire, '') IS NOT NULL AND (to_number(:tavsanitaire) IS NULL OR to_number(:tavsanitaire) NOT BETWEEN 0 AND 100);
