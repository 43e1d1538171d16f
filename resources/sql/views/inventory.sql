-- The views over the room inventory's own tables, written once for both databases (the tables
-- unqualified). On the server they live in the inventory's schema, in the embedded database in locavia.db.

-- Equipment families and types with the label of their family.
DROP VIEW IF EXISTS V_TYPE_MATERIEL;
CREATE VIEW V_TYPE_MATERIEL AS
SELECT t.TAV_TYPE, t.TAV_LIBELLE, t.TAV_NIVEAU, t.TAV_PERE, t.TAV_UNITE_ORDRE,
       f.TAV_LIBELLE AS PERE_LIBELLE
FROM TYPE_MATERIEL t
LEFT JOIN TYPE_MATERIEL f ON f.TAV_TYPE = t.TAV_PERE AND f.TAV_NIVEAU = 1;

-- Equipment lines with what the room form shows of them: family, type label, unit abbreviation.
DROP VIEW IF EXISTS V_DETAIL_SALLE;
CREATE VIEW V_DETAIL_SALLE AS
SELECT d.SAL_NUMERO, d.TAV_TYPE, d.DSA_POURCENTAGE, d.UNI_ORDRE,
       t.TAV_PERE, f.TAV_LIBELLE AS PERE_LIBELLE, t.TAV_LIBELLE, u.UNI_ABREV
FROM DETAIL_SALLE d
LEFT JOIN TYPE_MATERIEL t ON t.TAV_TYPE = d.TAV_TYPE
LEFT JOIN TYPE_MATERIEL f ON f.TAV_TYPE = t.TAV_PERE AND f.TAV_NIVEAU = 1
LEFT JOIN UNITE u ON u.UNI_ORDRE = d.UNI_ORDRE;
