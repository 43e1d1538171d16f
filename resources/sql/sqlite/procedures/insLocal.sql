-- insLocal: creates a building with its address.

--@include sqlite/shared/building-checks.sql :oldCLocal=NULL :localite=:insLocalite :noVoie=:insNoVoie
--@ :bisTer=:insBisTer :cVoie=:insCVoie :nomVoie=:insNomVoie :cPays=:adrnation
--@ :cpEtranger=:insCpEtranger :qualite=:adrqualite :listeRouge=:adrlisteRouge
--@ :cImplantation=:insCImplantation

-- The address, then the building that points at it (last_insert_rowid() is the address's
-- key: it is taken before the building row is inserted).
--@include sqlite/shared/new-address.sql :oldCLocal=NULL :localite=:insLocalite :noVoie=:insNoVoie
--@ :bisTer=:insBisTer :cVoie=:insCVoie :nomVoie=:insNomVoie :cPays=:adrnation
--@ :cpEtranger=:insCpEtranger :qualite=:adrqualite :listeRouge=:adrlisteRouge
--@ :cImplantation=:insCImplantation

INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION, ID_ADRESSE_ADMIN)
VALUES (:batabrev, :adrnom, last_insert_rowid());
