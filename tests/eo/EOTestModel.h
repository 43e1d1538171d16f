#pragma once

#include "EOModel.h"

#include <memory>

// A small inventory model for the tests of the object-relational layer: rooms in buildings at addresses,
// with a room type (read through a flattened attribute), a building town reached in two steps, and the
// outlets of a room as a to-many relationship.
inline std::unique_ptr<eo::EOModel> makeTestModel()
{
    static const char json[] = R"json({
  "name": "Essai",
  "connectionDictionary": {"URL": "sqlite:///nowhere/essai.db"},
  "entities": [
    {"name": "Salle", "externalName": "SALLE", "primaryKey": ["salNumero"],
     "attributes": [
       {"name": "salNumero", "column": "SAL_NUMERO", "type": "number"},
       {"name": "cLocal", "column": "C_LOCAL", "type": "text", "width": 3},
       {"name": "appellation", "column": "APPELLATION", "type": "text", "width": 50},
       {"name": "salEtage", "column": "SAL_ETAGE", "type": "text"},
       {"name": "salPorte", "column": "SAL_PORTE", "type": "text"},
       {"name": "salCapacite", "column": "SAL_CAPACITE", "type": "number"},
       {"name": "salSuperficie", "column": "SAL_SUPERFICIE", "type": "decimal"},
       {"name": "salTableau", "column": "SAL_TABLEAU", "type": "text"},
       {"name": "salReservable", "column": "SAL_RESERVABLE", "type": "flag"},
       {"name": "salEcran", "column": "SAL_ECRAN", "type": "flag"},
       {"name": "salDescriptif", "column": "SAL_DESCRIPTIF", "type": "text"},
       {"name": "tsalNumero", "column": "TSAL_NUMERO", "type": "number"},
       {"name": "burOrdre", "column": "BUR_ORDRE", "type": "number"},
       {"name": "typeLibelle", "definition": "toType.tsalLibelle"},
       {"name": "villeSalle", "definition": "local.toAdresse.ville"}
     ],
     "relationships": [
       {"name": "local", "destination": "Local", "joins": [{"source": "cLocal", "destination": "cLocal"}]},
       {"name": "toType", "destination": "TypeSalle",
        "joins": [{"source": "tsalNumero", "destination": "tsalNumero"}]},
       {"name": "prises", "destination": "Prise", "toMany": true,
        "joins": [{"source": "salNumero", "destination": "salNumero"}]}
     ]},
    {"name": "Local", "externalName": "LOCAL", "primaryKey": ["cLocal"],
     "attributes": [
       {"name": "cLocal", "column": "C_LOCAL", "type": "text", "width": 3},
       {"name": "appellation", "column": "APPELLATION", "type": "text"},
       {"name": "adrOrdre", "column": "ADR_ORDRE", "type": "number"},
       {"name": "ville", "definition": "toAdresse.ville"}
     ],
     "relationships": [
       {"name": "toAdresse", "destination": "Adresse",
        "joins": [{"source": "adrOrdre", "destination": "adrOrdre"}]}
     ]},
    {"name": "Adresse", "externalName": "ADRESSE", "primaryKey": ["adrOrdre"],
     "attributes": [
       {"name": "adrOrdre", "column": "ADR_ORDRE", "type": "number"},
       {"name": "ville", "column": "VILLE", "type": "text"},
       {"name": "codePostal", "column": "CODE_POSTAL", "type": "text"}
     ]},
    {"name": "TypeSalle", "externalName": "TYPE_SALLE", "primaryKey": ["tsalNumero"],
     "attributes": [
       {"name": "tsalNumero", "column": "TSAL_NUMERO", "type": "number"},
       {"name": "tsalLibelle", "column": "TSAL_LIBELLE", "type": "text"}
     ]},
    {"name": "Prise", "externalName": "PRISE", "primaryKey": ["priOrdre"],
     "attributes": [
       {"name": "priOrdre", "column": "PRI_ORDRE", "type": "number"},
       {"name": "salNumero", "column": "SAL_NUMERO", "type": "number"},
       {"name": "priCode", "column": "PRI_CODE", "type": "text"},
       {"name": "priType", "column": "PRI_TYPE", "type": "text"}
     ]}
  ]
})json";
    return eo::EOModel::modelWithJson(QByteArray(json), QStringLiteral("essai.json"));
}
