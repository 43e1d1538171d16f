-- Room inventory, file locavia.db.
--
-- The rooms themselves live in the reference schema (SOLMA.SALLES, file solma.db); the tables here that
-- hang on a room (SAL_NUMERO) cannot carry a foreign key to it across files, so the procedures check the
-- room and delSalles removes them with the room.
-- Every statement may run again on an existing file: tables and indexes are only created when missing and
-- the views are dropped and created again, so data is never touched.
--
-- Texts are TEXT with their width as a CHECK (the procedures refuse a too long text with a French message
-- first; the checks only guard other writers). Flags are 'O' / 'N'. Decimals are NUMERIC.

-- Room types. The label is unique: the room form resolves a type from its label.
CREATE TABLE IF NOT EXISTS TYPE_SALLE (
    TSAL_NUMERO INTEGER PRIMARY KEY,
    TSAL_LIBELLE TEXT NOT NULL UNIQUE CHECK (length(TSAL_LIBELLE) BETWEEN 1 AND 50)
);

-- The department's own data of a room: architecture details and seven of the twelve use percentages.
CREATE TABLE IF NOT EXISTS SALLE_TAV (
    SAL_NUMERO INTEGER NOT NULL PRIMARY KEY,
    TAV_HAUTEUR_MOYEN_PLAFOND NUMERIC CHECK (TAV_HAUTEUR_MOYEN_PLAFOND >= 0),
    TAV_NOMBRE_PORTES INTEGER CHECK (TAV_NOMBRE_PORTES >= 0),
    TAV_SURFACE_VITREE NUMERIC CHECK (TAV_SURFACE_VITREE >= 0),
    TAV_VIE_SOCIAL NUMERIC CHECK (TAV_VIE_SOCIAL BETWEEN 0 AND 100),
    TAV_ACCUEIL NUMERIC CHECK (TAV_ACCUEIL BETWEEN 0 AND 100),
    TAV_SANITAIRE NUMERIC CHECK (TAV_SANITAIRE BETWEEN 0 AND 100),
    TAV_CIRCULATION NUMERIC CHECK (TAV_CIRCULATION BETWEEN 0 AND 100),
    TAV_RESTAURATION NUMERIC CHECK (TAV_RESTAURATION BETWEEN 0 AND 100),
    TAV_PARKING NUMERIC CHECK (TAV_PARKING BETWEEN 0 AND 100),
    TAV_SPORTIF NUMERIC CHECK (TAV_SPORTIF BETWEEN 0 AND 100)
);

-- Geographic sites of the addresses. The label is unique: the building register resolves a site from it.
CREATE TABLE IF NOT EXISTS IMPLANTATION_GEO (
    C_IMPLANTATION TEXT NOT NULL PRIMARY KEY CHECK (length(C_IMPLANTATION) BETWEEN 1 AND 10),
    LC_IMPLANTATION_GEO TEXT NOT NULL UNIQUE CHECK (length(LC_IMPLANTATION_GEO) BETWEEN 1 AND 40)
);

-- Kinds of use of a room. The label is unique: the occupation panel resolves a kind from its label.
CREATE TABLE IF NOT EXISTS TYPE_OCCUPATION (
    TOC_ORDRE INTEGER PRIMARY KEY,
    TOC_LIBELLE TEXT NOT NULL UNIQUE CHECK (length(TOC_LIBELLE) BETWEEN 1 AND 50)
);

-- Units of measure. The abbreviation is unique: a new equipment type resolves its unit from it.
CREATE TABLE IF NOT EXISTS UNITE (
    UNI_ORDRE INTEGER PRIMARY KEY AUTOINCREMENT,
    UNI_ABREV TEXT NOT NULL UNIQUE CHECK (length(UNI_ABREV) BETWEEN 1 AND 5),
    UNI_LIBELLE TEXT NOT NULL CHECK (length(UNI_LIBELLE) BETWEEN 1 AND 50)
);

-- Equipment catalogue on two levels: families (TAV_NIVEAU 1, TAV_PERE and TAV_UNITE_ORDRE -1) and types
-- (TAV_NIVEAU 2, with their family and their unit). The -1 of the families keeps foreign keys out, so
-- insTypeMat / delTypeMat check the family and the unit.
CREATE TABLE IF NOT EXISTS TYPE_MATERIEL (
    TAV_TYPE INTEGER PRIMARY KEY AUTOINCREMENT,
    TAV_LIBELLE TEXT NOT NULL CHECK (length(TAV_LIBELLE) BETWEEN 1 AND 50),
    TAV_NIVEAU INTEGER NOT NULL CHECK (TAV_NIVEAU IN (1, 2)),
    TAV_PERE INTEGER NOT NULL DEFAULT -1,
    TAV_UNITE_ORDRE INTEGER NOT NULL DEFAULT -1
);
CREATE INDEX IF NOT EXISTS TYPE_MATERIEL_PERE ON TYPE_MATERIEL (TAV_NIVEAU, TAV_PERE);
CREATE INDEX IF NOT EXISTS TYPE_MATERIEL_UNITE ON TYPE_MATERIEL (TAV_UNITE_ORDRE);

-- Equipment lines of a room: one line per equipment type, with its quantity.
CREATE TABLE IF NOT EXISTS DETAIL_SALLE (
    SAL_NUMERO INTEGER NOT NULL,
    TAV_TYPE INTEGER NOT NULL REFERENCES TYPE_MATERIEL (TAV_TYPE),
    DSA_POURCENTAGE INTEGER CHECK (DSA_POURCENTAGE >= 0),
    UNI_ORDRE INTEGER REFERENCES UNITE (UNI_ORDRE),
    PRIMARY KEY (SAL_NUMERO, TAV_TYPE)
);
CREATE INDEX IF NOT EXISTS DETAIL_SALLE_TYPE ON DETAIL_SALLE (TAV_TYPE);
CREATE INDEX IF NOT EXISTS DETAIL_SALLE_UNITE ON DETAIL_SALLE (UNI_ORDRE);

-- Occupation of a room: a whole percentage per department (C_STRUCTURE, in SOLMA) and kind of use. A
-- department and kind may appear twice, hence the own key.
CREATE TABLE IF NOT EXISTS DETAIL_POURCENTAGE (
    DET_ORDRE INTEGER PRIMARY KEY,
    SAL_NUMERO INTEGER NOT NULL,
    DET_TYPE INTEGER NOT NULL REFERENCES TYPE_OCCUPATION (TOC_ORDRE),
    DET_POURCENTAGE INTEGER NOT NULL CHECK (DET_POURCENTAGE BETWEEN 0 AND 100),
    C_STRUCTURE TEXT NOT NULL CHECK (length(C_STRUCTURE) BETWEEN 1 AND 10)
);
CREATE INDEX IF NOT EXISTS DETAIL_POURCENTAGE_SALLE ON DETAIL_POURCENTAGE (SAL_NUMERO);
CREATE INDEX IF NOT EXISTS DETAIL_POURCENTAGE_TYPE ON DETAIL_POURCENTAGE (DET_TYPE);
CREATE INDEX IF NOT EXISTS DETAIL_POURCENTAGE_SERVICE ON DETAIL_POURCENTAGE (C_STRUCTURE);

-- Network outlets of a room: I (informatique), T (téléphone), V (vidéo).
CREATE TABLE IF NOT EXISTS PRISES (
    PRI_ORDRE INTEGER PRIMARY KEY AUTOINCREMENT,
    SAL_NUMERO INTEGER NOT NULL,
    PRI_CODE TEXT CHECK (length(PRI_CODE) <= 14),
    PRI_TYPE TEXT NOT NULL CHECK (PRI_TYPE IN ('I', 'T', 'V'))
);
CREATE INDEX IF NOT EXISTS PRISES_SALLE ON PRISES (SAL_NUMERO);

-- Seating configurations of a room (exam, conference, ...) with their capacity.
CREATE TABLE IF NOT EXISTS CONFIGURATION (
    CONF_ORDRE INTEGER PRIMARY KEY,
    SAL_NUMERO INTEGER NOT NULL,
    CONF_LIBELLE TEXT NOT NULL CHECK (length(CONF_LIBELLE) BETWEEN 1 AND 50),
    CONF_CAPACITE INTEGER CHECK (CONF_CAPACITE >= 0)
);
CREATE INDEX IF NOT EXISTS CONFIGURATION_SALLE ON CONFIGURATION (SAL_NUMERO);

-- Application parameters (with the <prefix>_DEFAULT_STRING / <prefix>_DEFAULT_NUMBER fallback rows).
CREATE TABLE IF NOT EXISTS PARAMETRES (
    PARAM_ORDRE INTEGER PRIMARY KEY,
    PARAM_KEY TEXT NOT NULL CHECK (length(PARAM_KEY) <= 50),
    PARAM_VALUE TEXT CHECK (length(PARAM_VALUE) <= 200)
);
CREATE INDEX IF NOT EXISTS PARAMETRES_KEY ON PARAMETRES (PARAM_KEY);

-- Change history of the rooms and buildings, one row per changed field. Only the triggers of the session
-- script (history.sql) write it; rows are never changed afterwards. HIS_DATE is UTC ('YYYY-MM-DD
-- HH:MM:SS.SSS'); HIS_TRANSACTION groups the rows of one transaction; HIS_UTILISATEUR is the login the
-- application identified (HIS_ROLE, the database role, is the server's). A row belongs to a room
-- (SAL_NUMERO) or to a building (C_LOCAL); HIS_LIGNE names the line of a sub-list (an outlet's number, an
-- equipment type, a department and kind of use). Values are kept as text, as stored.
CREATE TABLE IF NOT EXISTS HISTORIQUE (
    HIS_ORDRE INTEGER PRIMARY KEY AUTOINCREMENT,
    HIS_DATE TEXT NOT NULL,
    HIS_TRANSACTION INTEGER NOT NULL,
    HIS_UTILISATEUR TEXT,
    HIS_ROLE TEXT,
    SAL_NUMERO INTEGER,
    C_LOCAL TEXT,
    HIS_TABLE TEXT NOT NULL,
    HIS_LIGNE TEXT,
    HIS_CHAMP TEXT NOT NULL,
    HIS_ANCIENNE TEXT,
    HIS_NOUVELLE TEXT,
    HIS_OPERATION TEXT NOT NULL CHECK (HIS_OPERATION IN ('création', 'modification', 'suppression'))
);
-- A room's or a building's history, newest first; the rows of a transaction, for the triggers.
CREATE INDEX IF NOT EXISTS HISTORIQUE_SALLE ON HISTORIQUE (SAL_NUMERO, HIS_ORDRE);
CREATE INDEX IF NOT EXISTS HISTORIQUE_BATIMENT ON HISTORIQUE (C_LOCAL, HIS_ORDRE);
CREATE INDEX IF NOT EXISTS HISTORIQUE_TRANSACTION ON HISTORIQUE (HIS_TRANSACTION);
-- A building's former codes: the changes of its code, by the code it had before.
CREATE INDEX IF NOT EXISTS HISTORIQUE_CODES ON HISTORIQUE (HIS_ANCIENNE)
    WHERE HIS_TABLE = 'LOCAL' AND HIS_CHAMP = 'C_LOCAL';

-- The views over these tables alone, written once for both databases.
--@include views/inventory.sql
