-- The views over the reference tables only, written once for both databases (the tables unqualified). On
-- the server they live in the reference schema, in the embedded database in solma.db.

-- Groups with the label of their parent (custodian groups are listed by their parent's label).
DROP VIEW IF EXISTS STRUCTURE_ZEB_VIX;
CREATE VIEW STRUCTURE_ZEB_VIX AS
SELECT s.C_STRUCTURE, s.LC_STRUCTURE, s.LL_STRUCTURE, s.C_TYPE_STRUCTURE, s.C_STRUCTURE_PERE,
       p.LC_STRUCTURE AS PERE_LC_STRUCTURE
FROM STRUCTURE s
LEFT JOIN STRUCTURE p ON p.C_STRUCTURE = s.C_STRUCTURE_PERE;

-- Departments: the groups that occupy rooms.
DROP VIEW IF EXISTS SERVICE_VIX;
CREATE VIEW SERVICE_VIX AS
SELECT C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE
FROM STRUCTURE
WHERE C_TYPE_STRUCTURE = 'S';

-- Memberships with the person's name, for the list of a group's members.
DROP VIEW IF EXISTS REPART_STRUCT_IND_VIX;
CREATE VIEW REPART_STRUCT_IND_VIX AS
SELECT r.PERS_ID, r.C_STRUCTURE, i.NOM_USUEL, i.PRENOM
FROM REPART_STRUCTURE r
LEFT JOIN INDIVIDU i ON i.PERS_ID = r.PERS_ID;
