-- The views behind the entities whose rows join several tables. Made again at every install, so that an
-- upgrade changes them; a view of the department's own that depends on one of them stops the install
-- with the server's message rather than being dropped silently.

-- Rooms as the room tab, the options tab and the room list see them: the room, its building's name, its
-- type's label and the department's complement. The building, the type and the complement are optional
-- (LEFT JOIN): an option room without building or complement is still listed. An option room matched with
-- a managed room (SAL_PRISE_EN_CHARGE 'O', see corresSalle) is left out: the managed room stands for it.
DROP VIEW IF EXISTS locavia.SALLES_VIX;
CREATE VIEW locavia.SALLES_VIX AS
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
FROM solma.SALLES s
LEFT JOIN solma.LOCAL l ON l.C_LOCAL = s.C_LOCAL
LEFT JOIN locavia.TYPE_SALLE ts ON ts.TSAL_NUMERO = s.TSAL_NUMERO
LEFT JOIN locavia.SALLE_TAV t ON t.SAL_NUMERO = s.SAL_NUMERO
WHERE s.SAL_PRISE_EN_CHARGE IS DISTINCT FROM 'O';

-- Addresses with the label of their geographic site.
DROP VIEW IF EXISTS locavia.ADRESSE_VIX;
CREATE VIEW locavia.ADRESSE_VIX AS
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
FROM solma.ADRESSE a
LEFT JOIN locavia.IMPLANTATION_GEO g ON g.C_IMPLANTATION = a.C_IMPLANTATION;

-- Occupation lines with the kind of use and the department's label.
DROP VIEW IF EXISTS locavia.V_DETAIL_POURCENTAGE;
CREATE VIEW locavia.V_DETAIL_POURCENTAGE AS
SELECT d.DET_ORDRE,
       d.SAL_NUMERO,
       d.DET_TYPE,
       d.DET_POURCENTAGE,
       d.C_STRUCTURE,
       o.TOC_LIBELLE,
       st.LL_STRUCTURE AS CGR_LIBELLE
FROM locavia.DETAIL_POURCENTAGE d
LEFT JOIN locavia.TYPE_OCCUPATION o ON o.TOC_ORDRE = d.DET_TYPE
LEFT JOIN solma.STRUCTURE st ON st.C_STRUCTURE = d.C_STRUCTURE;

-- Equipment families and types with the label of their family.
DROP VIEW IF EXISTS locavia.V_TYPE_MATERIEL;
CREATE VIEW locavia.V_TYPE_MATERIEL AS
SELECT t.TAV_TYPE, t.TAV_LIBELLE, t.TAV_NIVEAU, t.TAV_PERE, t.TAV_UNITE_ORDRE,
       f.TAV_LIBELLE AS PERE_LIBELLE
FROM locavia.TYPE_MATERIEL t
LEFT JOIN locavia.TYPE_MATERIEL f ON f.TAV_TYPE = t.TAV_PERE AND f.TAV_NIVEAU = 1;

-- Equipment lines with what the room form shows of them: family, type label, unit abbreviation.
DROP VIEW IF EXISTS locavia.V_DETAIL_SALLE;
CREATE VIEW locavia.V_DETAIL_SALLE AS
SELECT d.SAL_NUMERO, d.TAV_TYPE, d.DSA_POURCENTAGE, d.UNI_ORDRE,
       t.TAV_PERE, f.TAV_LIBELLE AS PERE_LIBELLE, t.TAV_LIBELLE, u.UNI_ABREV
FROM locavia.DETAIL_SALLE d
LEFT JOIN locavia.TYPE_MATERIEL t ON t.TAV_TYPE = d.TAV_TYPE
LEFT JOIN locavia.TYPE_MATERIEL f ON f.TAV_TYPE = t.TAV_PERE AND f.TAV_NIVEAU = 1
LEFT JOIN locavia.UNITE u ON u.UNI_ORDRE = d.UNI_ORDRE;

-- Groups with the label of their parent (custodian groups are listed by their parent's label).
DROP VIEW IF EXISTS solma.STRUCTURE_ZEB_VIX;
CREATE VIEW solma.STRUCTURE_ZEB_VIX AS
SELECT s.C_STRUCTURE, s.LC_STRUCTURE, s.LL_STRUCTURE, s.C_TYPE_STRUCTURE, s.C_STRUCTURE_PERE,
       p.LC_STRUCTURE AS PERE_LC_STRUCTURE
FROM solma.STRUCTURE s
LEFT JOIN solma.STRUCTURE p ON p.C_STRUCTURE = s.C_STRUCTURE_PERE;

-- Departments: the groups that occupy rooms.
DROP VIEW IF EXISTS solma.SERVICE_VIX;
CREATE VIEW solma.SERVICE_VIX AS
SELECT C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE
FROM solma.STRUCTURE
WHERE C_TYPE_STRUCTURE = 'S';

-- Memberships with the person's name, for the list of a group's members.
DROP VIEW IF EXISTS solma.REPART_STRUCT_IND_VIX;
CREATE VIEW solma.REPART_STRUCT_IND_VIX AS
SELECT r.PERS_ID, r.C_STRUCTURE, i.NOM_USUEL, i.PRENOM
FROM solma.REPART_STRUCTURE r
LEFT JOIN solma.INDIVIDU i ON i.PERS_ID = r.PERS_ID;
