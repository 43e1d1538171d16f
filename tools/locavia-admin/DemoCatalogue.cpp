#include "DemoCatalogue.h"

namespace admin
{

namespace
{

using C = DemoCatalogue;
using Use = DemoCatalogue::Use;

const C::Site AllSites[] = {
    {"CENTR", "Campus centre-ville"}, {"SCIEN", "Campus des sciences"}, {"SANTE", "Pôle santé"},
    {"IUT", "Site de l'IUT"},         {"ARTS", "Site des arts"},
};

const C::Building AllBuildings[] = {
    {"ADM", "PRÉSIDENCE", "2 RUE DE L'UNIVERSITÉ", "", "69007", "LYON", "CENTR", "RH", "DEP_ADM", 8},
    {"SCA", "SCIENCES A", "10 AVENUE DES SCIENCES", "ENTRÉE NORD", "69100", "VILLEURBANNE", "SCIEN", "SCI",
     "DEP_SCI", 22},
    {"SCB", "SCIENCES B", "12 AVENUE DES SCIENCES", "", "69100", "VILLEURBANNE", "SCIEN", "SCI", "DEP_SCI",
     18},
    {"BU", "BIBLIOTHÈQUE UNIVERSITAIRE", "4 PLACE DU SAVOIR", "BP 18", "69007", "LYON", "CENTR", "SCD",
     "DEP_SCD", 10},
    {"MED", "FACULTÉ DE MÉDECINE", "8 BOULEVARD DES HÔPITAUX", "BÂTIMENT CLAUDE BERNARD", "69008", "LYON",
     "SANTE", "MED", "DEP_MED", 16},
    {"IUT", "IUT GÉNIE CIVIL", "71 RUE PEYSSONNEAU", "", "69100", "VILLEURBANNE", "IUT", "IUT", "DEP_IUT",
     14},
    {"ART", "MAISON DES ARTS", "5 QUAI D'ARLOING", "", "69009", "LYON", "ARTS", "LET", "DEP_LET", 12},
};

const C::Structure AllStructures[] = {
    {"UNIV", "UNIV", "Université de démonstration", "E", nullptr},
    {"TAV", "TAV", "Service technique TAV", "S", "UNIV"},
    {"KOR", "KOR", "Cellule KOR", "S", "UNIV"},
    {"SCI", "UFR SCI", "UFR sciences et techniques", "S", "UNIV"},
    {"MED", "UFR MED", "UFR de médecine", "S", "UNIV"},
    {"LET", "UFR LET", "UFR lettres, langues et arts", "S", "UNIV"},
    {"SCD", "SCD", "Service commun de la documentation", "S", "UNIV"},
    {"IUT", "IUT", "Institut universitaire de technologie", "S", "UNIV"},
    {"DSI", "DSI", "Direction du système d'information", "S", "UNIV"},
    {"RH", "DRH", "Direction des ressources humaines", "S", "UNIV"},
    {"DEP_ADM", "DEPOS", "Dépositaires de la présidence", "G", "RH"},
    {"DEP_SCI", "DEPOS", "Dépositaires de l'UFR sciences", "G", "SCI"},
    {"DEP_SCD", "DEPOS", "Dépositaires de la documentation", "G", "SCD"},
    {"DEP_MED", "DEPOS", "Dépositaires de l'UFR de médecine", "G", "MED"},
    {"DEP_IUT", "DEPOS", "Dépositaires de l'IUT", "G", "IUT"},
    {"DEP_LET", "DEPOS", "Dépositaires de l'UFR lettres", "G", "LET"},
    {"DEP_DSI", "DEPOS", "Dépositaires de la DSI", "G", "DSI"},
};

const C::RoomType AllRoomTypes[] = {
    {"Amphithéâtre", Use::Lecture, 4, 120, 480},
    {"Salle de cours", Use::Teaching, 22, 20, 60},
    {"Salle de TD", Use::Teaching, 10, 16, 40},
    {"Salle de TP", Use::Practical, 8, 12, 30},
    {"Salle informatique", Use::Computing, 6, 12, 32},
    {"Laboratoire", Use::Research, 8, 4, 20},
    {"Bureau", Use::Office, 24, 1, 4},
    {"Salle de réunion", Use::Meeting, 5, 8, 30},
    {"Bibliothèque", Use::Library, 3, 20, 120},
    {"Local technique", Use::Technical, 4, 0, 0},
    {"Sanitaires", Use::Sanitary, 3, 0, 0},
    {"Circulation", Use::Circulation, 3, 0, 0},
};

const C::Unit AllUnits[] = {
    {"u", "unité"},       {"m", "mètre"}, {"m²", "mètre carré"},
    {"kg", "kilogramme"}, {"l", "litre"}, {"kW", "kilowatt"},
};

const C::Equipment AllEquipment[] = {
    {"Mobilier", "Table", "u"},
    {"Mobilier", "Chaise", "u"},
    {"Mobilier", "Armoire forte", "u"},
    {"Mobilier", "Paillasse", "m"},
    {"Audiovisuel", "Vidéoprojecteur", "u"},
    {"Audiovisuel", "Écran motorisé", "u"},
    {"Audiovisuel", "Sonorisation", "u"},
    {"Audiovisuel", "Tableau interactif", "u"},
    {"Informatique", "Poste de travail", "u"},
    {"Informatique", "Imprimante", "u"},
    {"Informatique", "Borne Wi-Fi", "u"},
    {"Réseau", "Câblage cuivre", "m"},
    {"Réseau", "Fibre optique", "m"},
    {"Réseau", "Baie de brassage", "u"},
    {"Sécurité", "Extincteur", "u"},
    {"Sécurité", "Détecteur de fumée", "u"},
    {"Sécurité", "Douche de sécurité", "u"},
    {"Revêtements", "Moquette", "m²"},
    {"Revêtements", "Carrelage", "m²"},
    {"Chauffage", "Radiateur", "kW"},
};

const char *const AllOccupationKinds[] = {"Enseignement", "Recherche", "Administration", "Documentation",
                                          "Technique"};

const C::Person AllPersons[] = {
    {"Martin", "Sophie", "RH"},    {"Bernard", "Luc", "SCI"},     {"Dubois", "Hélène", "SCI"},
    {"Thomas", "Émile", "MED"},    {"Robert", "Chloé", "MED"},    {"Richard", "Noël", "LET"},
    {"Petit", "Agnès", "LET"},     {"Durand", "François", "IUT"}, {"Leroy", "Maëlle", "IUT"},
    {"Moreau", "Jérôme", "SCD"},   {"Simon", "Léa", "DSI"},       {"Laurent", "Gaëtan", "DSI"},
    {"Lefèvre", "Inès", "TAV"},    {"Michel", "Théo", "TAV"},     {"Garcia", "Zoé", "KOR"},
    {"D'Almeida", "Anaïs", "SCI"}, {"N'Diaye", "Moussa", "MED"},  {"Fontaine", "Céline", "RH"},
};

const char *const AllDescriptions[] = {
    "Salle lumineuse, fenêtres sur l'esplanade.",
    "Accès par l'escalier B ; ascenseur à proximité.",
    "Clé à demander à l'accueil du bâtiment.",
    "Stores occultants motorisés, commande près de l'entrée.",
    "Prévoir un adaptateur HDMI pour le vidéoprojecteur.",
    "Chauffage d'appoint l'hiver : la salle est exposée au nord.",
    "Réservée en priorité aux examens de fin de semestre.",
    "Paillasses refaites en 2019, arrivées d'eau et de gaz.",
    "Tableau blanc effaçable et marqueurs dans l'armoire.",
    "Accessible aux personnes à mobilité réduite.",
    "Bruit de la ventilation : éviter pour les soutenances.",
    "Local partagé avec l'équipe d'entretien.",
    "Sol en linoléum, à ne pas cirer.",
    "Vue sur le jardin botanique ; calme l'après-midi.",
    "Câblage réseau en goulotte le long du mur est.",
};

const char *const AllAllowedGroups[] = {"TAV", "KOR"};

} // namespace

std::span<const C::Site> DemoCatalogue::sites()
{
    return AllSites;
}
std::span<const C::Building> DemoCatalogue::buildings()
{
    return AllBuildings;
}
std::span<const C::Structure> DemoCatalogue::structures()
{
    return AllStructures;
}
std::span<const C::RoomType> DemoCatalogue::roomTypes()
{
    return AllRoomTypes;
}
std::span<const C::Unit> DemoCatalogue::units()
{
    return AllUnits;
}
std::span<const C::Equipment> DemoCatalogue::equipment()
{
    return AllEquipment;
}
std::span<const char *const> DemoCatalogue::occupationKinds()
{
    return AllOccupationKinds;
}
std::span<const C::Person> DemoCatalogue::persons()
{
    return AllPersons;
}
std::span<const char *const> DemoCatalogue::descriptions()
{
    return AllDescriptions;
}
std::span<const char *const> DemoCatalogue::allowedGroups()
{
    return AllAllowedGroups;
}
const char *DemoCatalogue::mainDomain()
{
    return "univ-demo.fr";
}

} // namespace admin
