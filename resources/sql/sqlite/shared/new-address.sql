-- The address of a building that has none: a new building (:oldCLocal NULL), or a building being modified
-- whose address is missing. Shared by insLocal and majLocal, each with its own names for the address
-- values (:qualite NULL where the procedure has none); the new address's key is last_insert_rowid().
INSERT INTO SOLMA.ADRESSE (
    ADR_ADRESSE1,
    ADR_ADRESSE2,
    ADR_BP,
    CODE_POSTAL,
    VILLE,
    LOCALITE,
    NO_VOIE,
    BIS_TER,
    C_VOIE,
    NOM_VOIE,
    C_PAYS,
    CP_ETRANGER,
    ADR_QUALITE,
    ADR_LISTE_ROUGE,
    C_IMPLANTATION
)
SELECT
    NULLIF(:adradresse1, ''),
    NULLIF(:adradresse2, ''),
    NULLIF(:adrbp, ''),
    NULLIF(:adrcp, ''),
    NULLIF(:adrville, ''),
    NULLIF(:localite, ''),
    NULLIF(:noVoie, ''),
    NULLIF(:bisTer, ''),
    NULLIF(:cVoie, ''),
    NULLIF(:nomVoie, ''),
    NULLIF(:cPays, ''),
    NULLIF(:cpEtranger, ''),
    NULLIF(:qualite, ''),
    NULLIF(:listeRouge, ''),
    NULLIF(:cImplantation, '')
WHERE :oldCLocal IS NULL
   OR NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL l JOIN SOLMA.ADRESSE a ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN
                  WHERE l.C_LOCAL = :oldCLocal);
