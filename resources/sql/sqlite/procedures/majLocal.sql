-- majLocal: updates a building (found by oldCLocal) and its address; a new code
-- (batabrev) moves the building's rooms with it.

-- The building, found by its stored code.
SELECT raise_error('Le code du bâtiment à modifier est obligatoire.')
WHERE NULLIF(:oldCLocal, '') IS NULL;

SELECT raise_error('Le bâtiment « ' || :oldCLocal || ' » n''existe pas.')
WHERE NOT EXISTS (SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = :oldCLocal);

--@include sqlite/shared/building-checks.sql :localite=:majLocalite :noVoie=:majNoVoie
--@ :bisTer=:majBisTer :cVoie=:majCVoie :nomVoie=:majNomVoie :cPays=:majCPays
--@ :cpEtranger=:majCpEtranger :qualite=NULL :listeRouge=:majAdrListeRouge
--@ :cImplantation=:majCImplantation

-- The address: updated in place; a building without address gets a new one.
UPDATE SOLMA.ADRESSE SET
    ADR_ADRESSE1 = NULLIF(:adradresse1, ''),
    ADR_ADRESSE2 = NULLIF(:adradresse2, ''),
    ADR_BP = NULLIF(:adrbp, ''),
    CODE_POSTAL = NULLIF(:adrcp, ''),
    VILLE = NULLIF(:adrville, ''),
    LOCALITE = NULLIF(:majLocalite, ''),
    NO_VOIE = NULLIF(:majNoVoie, ''),
    BIS_TER = NULLIF(:majBisTer, ''),
    C_VOIE = NULLIF(:majCVoie, ''),
    NOM_VOIE = NULLIF(:majNomVoie, ''),
    C_PAYS = NULLIF(:majCPays, ''),
    CP_ETRANGER = NULLIF(:majCpEtranger, ''),
    ADR_LISTE_ROUGE = NULLIF(:majAdrListeRouge, ''),
    C_IMPLANTATION = NULLIF(:majCImplantation, '')
WHERE ADR_ORDRE = (SELECT ID_ADRESSE_ADMIN FROM SOLMA.LOCAL WHERE C_LOCAL = :oldCLocal);

--@include sqlite/shared/new-address.sql :localite=:majLocalite :noVoie=:majNoVoie
--@ :bisTer=:majBisTer :cVoie=:majCVoie :nomVoie=:majNomVoie :cPays=:majCPays
--@ :cpEtranger=:majCpEtranger :qualite=NULL :listeRouge=:majAdrListeRouge
--@ :cImplantation=:majCImplantation

UPDATE SOLMA.LOCAL SET ID_ADRESSE_ADMIN = last_insert_rowid()
WHERE C_LOCAL = :oldCLocal
  AND NOT EXISTS (SELECT 1 FROM SOLMA.ADRESSE a WHERE a.ADR_ORDRE = LOCAL.ID_ADRESSE_ADMIN);

-- The building, then its rooms when the code changes (a foreign key with ON UPDATE CASCADE
-- moves them already when foreign keys are enforced; otherwise the second statement does).
UPDATE SOLMA.LOCAL SET C_LOCAL = :batabrev, APPELLATION = :adrnom
WHERE C_LOCAL = :oldCLocal;

UPDATE SOLMA.SALLES SET C_LOCAL = :batabrev
WHERE C_LOCAL = :oldCLocal AND :batabrev <> :oldCLocal;
