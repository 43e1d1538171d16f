-- The views that join the room inventory and the reference tables. Written once for both databases:
-- the inventory's tables unqualified, the reference tables as SOLMA.TABLE. On the server they live in the
-- inventory's schema; the embedded database makes them again, temporary, on every connection (a view kept
-- in one file cannot read another).

-- Rooms as the room tab, the options tab and the room list see them: the room, its building's name, its
-- type's label and the department's complement. The building, the type and the complement are optional
-- (LEFT JOIN): an option room without building or complement is still listed. An option room matched with
-- a managed room (SAL_PRISE_EN_CHARGE 'O', see corresSalle) is left out: the managed room stands for it.
DROP VIEW IF EXISTS SALLES_VIX;
CREATE VIEW SALLES_VIX AS
SELECT s.SAL_NUMERO,
       s.C_LOCAL,
       l.APPELLATION,
       s.SAL_ETAGE,
       s.SAL_PORTE,
       s.TSAL_NUMERO,
       ts.TSAL_LIBELLE,
       s.SAL_CAPACITE,
       s.SAL_SUPERFICIE,
       s.SAL_NB_FENETRES,
       s.SAL_NB_TABLES,
       s.SAL_NB_CHAISES,
       s.SAL_NB_BUREAUX,
       s.SAL_NB_ARMOIRES,
       s.SAL_NO_POSTE,
       s.SAL_TABLEAU,
       s.SAL_TABLEAU_BLANC,
       s.SAL_TABLEAU_PAPIER,
       s.SAL_ECRAN,
       s.SAL_RETRO,
       s.SAL_TELEVISION,
       s.SAL_OBSCUR,
       s.SAL_INSONORISEE,
       s.SAL_RESERVABLE,
       s.SAL_DESCRIPTIF,
       s.SAL_POUR_ADMINISTRATION,
       s.SAL_POUR_DOCUMENTATION,
       s.SAL_POUR_ENSEIGNEMENT,
       s.SAL_POUR_RECHERCHE,
       s.SAL_POUR_TECHNIQUE,
       s.SAL_IDENT_ACCES,
       s.SAL_NATURE,
       s.SAL_PAS_NUM,
       s.SAL_TEM_HANDICAP,
       s.SAL_TEM_EN_SERVICE,
       s.SAL_CAPA_EXAM,
       s.SAL_NB_PLACES_EXAM_LIB,
       s.SAL_SALLE_PROCHE_TEL,
       s.SAL_NUM_DEPART,
       t.TAV_HAUTEUR_MOYEN_PLAFOND,
       t.TAV_NOMBRE_PORTES,
       t.TAV_SURFACE_VITREE,
       t.TAV_VIE_SOCIAL,
       t.TAV_ACCUEIL,
       t.TAV_SANITAIRE,
       t.TAV_CIRCULATION,
       t.TAV_RESTAURATION,
       t.TAV_PARKING,
       t.TAV_SPORTIF
FROM SOLMA.SALLES s
LEFT JOIN SOLMA.LOCAL l ON l.C_LOCAL = s.C_LOCAL
LEFT JOIN TYPE_SALLE ts ON ts.TSAL_NUMERO = s.TSAL_NUMERO
LEFT JOIN SALLE_TAV t ON t.SAL_NUMERO = s.SAL_NUMERO
WHERE s.SAL_PRISE_EN_CHARGE IS DISTINCT FROM 'O';

-- Addresses with the label of their geographic site.
DROP VIEW IF EXISTS ADRESSE_VIX;
CREATE VIEW ADRESSE_VIX AS
SELECT a.ADR_ORDRE,
       a.ADR_ADRESSE1,
       a.ADR_ADRESSE2,
       a.ADR_BP,
       a.CODE_POSTAL,
       a.VILLE,
       a.LOCALITE,
       a.C_PAYS,
       a.ADR_LISTE_ROUGE,
       a.C_IMPLANTATION,
       g.LC_IMPLANTATION_GEO
FROM SOLMA.ADRESSE a
LEFT JOIN IMPLANTATION_GEO g ON g.C_IMPLANTATION = a.C_IMPLANTATION;

-- Occupation lines with the kind of use and the department's label.
DROP VIEW IF EXISTS V_DETAIL_POURCENTAGE;
CREATE VIEW V_DETAIL_POURCENTAGE AS
SELECT d.DET_ORDRE,
       d.SAL_NUMERO,
       d.DET_TYPE,
       d.DET_POURCENTAGE,
       d.C_STRUCTURE,
       o.TOC_LIBELLE,
       st.LL_STRUCTURE AS CGR_LIBELLE
FROM DETAIL_POURCENTAGE d
LEFT JOIN TYPE_OCCUPATION o ON o.TOC_ORDRE = d.DET_TYPE
LEFT JOIN SOLMA.STRUCTURE st ON st.C_STRUCTURE = d.C_STRUCTURE;
