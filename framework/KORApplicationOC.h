#pragma once

#include "EODisplayGroup.h"
#include "EOEditingContext.h"
#include "EOGenericRecord.h"
#include "EOQualifier.h"
#include "KORDataBusOC.h"
#include "KORDirectoryServices.h"
#include "KORParameters.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;

namespace framework
{

// The application object's base class: it reads the configuration file and sets the time zone when it is
// created, completes the models' connection information and opens the one data bus when the application
// asks for it (initAccesBase), and offers the shared services every controller reaches through it: the
// data bus and its object-relational stack, the parameters, the conversions, the launcher's user and the
// password check.
class KORApplicationOC : public QApplication
{
    Q_OBJECT
public:
    using Configuration = QMap<QString, QString>;

    // Creates the application, then runs init (the configuration and the time zone).
    KORApplicationOC(int &argc, char **argv);
    ~KORApplicationOC() override;

    // The application object, or null when none (or another kind) exists.
    static KORApplicationOC *instance();

    // Start-up
    void init();
    // The default zone "WEST", the configuration file, the configured zone, the first title.
    void initApplication();
    void initTimeZone();
    // The base name of a resource file: nom with the abbreviation when that variant exists, else nom.
    QString trouverFichier(const QString &nom, const QString &type);
    // Loads the model files of the resources' models folder (in the order of their names) into the default
    // model group, leaving alone a model of the same name already there. Throws eo::EOException when a
    // model file cannot be read.
    static void loadModels();
    // Completes the connection dictionaries, opens the data bus on the first model of the default model
    // group and titles the application "<title> - (<server>)". Throws eo::EOException when no model is
    // loaded.
    virtual void initAccesBase();
    virtual bool useDatabase() const { return true; }
    void resetAllModels();
    // A database named on the command line (data::DatabaseAddress), opened by initAccesBase in place of the
    // first model's own, whatever the model file or the directory service say.
    void setDatabaseAddress(const QVariantMap &address) { m_databaseAddress = address; }
    const QVariantMap &databaseAddress() const { return m_databaseAddress; }
    QVariantMap defaultConnectionDictionary() const;
    QVariantMap connectionDictionaryForID(const QString &modelId) const;
    static void addKey(const QString &sourceKey, const QVariantMap &properties, const QString &targetKey,
                       QVariantMap &dico);
    static QVariantMap resetDictionary(const QVariantMap &a, const QVariantMap &b);
    // The user handed over by the Halvane launcher (user defaults HalvanePort and HalvaneTicket): "" when
    // either is missing, none when the launcher does not answer.
    QVariant getCASUserName() const;
    // The MIRL service's check of a login and password: its dictionary ("errno", "msg"), or none when no
    // service address is configured.
    QVariant initIdentification(const QString &login, const QString &password) const;

    // Configuration
    // The entries of the configuration file; nothing when the file is missing or unreadable.
    const std::optional<Configuration> &parameters() const { return m_parameters; }
    // One entry; none when absent.
    QVariant parameter(const QString &key) const;
    platform::UserDefaults &userDefaults() { return *m_userDefaults; }
    const platform::UserDefaults &userDefaults() const { return *m_userDefaults; }
    // How the application reaches the directory service and the launcher (tests put stand-ins here).
    void setDirectoryServices(KORDirectoryServices services) { m_services = std::move(services); }
    const KORDirectoryServices &directoryServices() const { return m_services; }

    // Parameters (entity Parametres with its fallback keys, or a key/value table)
    QList<eo::EORecord> getValues(const QString &key, const QString &type);
    QVariant getStringValue(const QString &key);
    QVariant getNumberValue(const QString &key);
    QList<QVariantMap> getValues(const QString &key, const QString &table, const QString &type);
    QVariant getStringValue(const QString &key, const QString &table);
    QVariant getNumberValue(const QString &key, const QString &table);

    // Conversions and control helpers, shared by every controller
    static QString recupererChaine(const QVariant &value);
    static QString recupererLong(const QVariant &value);
    static QVariant recupererEntier(const QVariant &value);
    static QVariant recupererDecimal(const QVariant &value);
    static QVariant recupererDecimalNumber(const QVariant &value);
    static QVariant recupererDate(const QVariant &value);
    static float recupererValeur(const QVariant &value);
    static QString truncateString(const QString &text, quint64 debut, quint64 longueur);
    static void initialiserCellule(QWidget *control, bool active, bool vide);
    void configurerPopUpButton(QComboBox *popUp, const QString &entite, const QString &cle,
                               const QString &limitation);

    // Getting data out: files named after the time, exports, reports printed and shown at once
    // The folder of the files the application makes for itself: the user's temporary folder, else the home
    // folder; "" when there is neither.
    static QString temporaryDirectory();
    // The path of a new file "<nom>_<yyyy-MM-dd_HH-mm-ss>.<type>" in that folder (the file is not
    // created). Without any folder: the "ERREUR" alert, then the application ends; the answer is "".
    QString creerFichierTemporaire(const QString &nom, const QString &type);
    // Opens the spreadsheet template <modele>.xls of the resources, then the data file, with the desktop's
    // applications.
    void exporterElementsDeFichier(const QString &fichier, const QString &modele);
    // Saves the text (Windows-1252) where the user chooses in a save panel; a failed write is reported.
    // The application's current modal session is stopped in every case.
    void exporterElements(const QString &texte);
    // Prints the report template (resources/reports/<modele>) for the objects and the extra values to a
    // temporary file and shows it with the desktop's viewer; a report that cannot be made or written is
    // reported with the "PROBLEME" alert. printEPS gives PostScript.
    void printPDF(const QString &modele, const QVariantList &objects, const QVariantMap &info);
    void printEPS(const QString &modele, const QVariantList &objects, const QVariantMap &info);
    // The base name of a report template: nom with the abbreviation when that variant exists, else nom.
    QString trouverRapport(const QString &nom) const;

    // Modal sessions are run by the application class above this one; here there is none to stop.
    virtual void stopModal() {}

    // The shared objects
    data::KORDataBusOC *superDataBus() const { return m_dataBus.get(); }
    QWidget *superWindow() const { return m_myWindow; }
    const QString &superTitle() const { return m_localTitle; }
    const QString &superAbreviation() const { return m_localAbreviation; }
    eo::EOModel *superModel() const;
    eo::EOAdaptor *superAdaptor() const;
    eo::EODatabaseContext *superDatabaseContext() const;
    eo::EODatabaseChannel *superDatabaseChannel() const;
    eo::EOAdaptorContext *superAdaptorContext() const;
    eo::EOAdaptorChannel *superAdaptorChannel() const;
    eo::EOEditingContext *superEditingContext() const;

    // Set by the application once its main window and parameters list exist.
    void setSuperWindow(QWidget *window) { m_myWindow = window; }
    void setParametreEOD(eo::EODisplayGroup *group) { m_parametreEOD = group; }
    eo::EODisplayGroup *parametreEOD() const { return m_parametreEOD; }

    // What the last lookups left behind
    const QString &myPath() const { return m_myPath; }
    const QString &myStringQualifier() const { return m_last.qualifierText; }
    const eo::EOQualifierPtr &myQualifier() const { return m_last.qualifier; }
    const QVariantList &myResult() const { return m_last.result; }

protected:
    // How the application ends once it has decided to.
    virtual void quitApplication(int status);

private:
    KORParameters parameterReader();
    void printReport(const QString &modele, const QVariantList &objects, const QVariantMap &info,
                     bool postScript);
    void setTitle(const QString &title);

    QPointer<QWidget> m_myWindow;
    QPointer<eo::EODisplayGroup> m_parametreEOD;
    std::unique_ptr<eo::EOEditingContext> m_ownEditingContext; // when parametreEOD brings none
    std::unique_ptr<data::KORDataBusOC> m_dataBus;
    std::optional<Configuration> m_parameters;
    QString m_localTitle;
    QString m_localAbreviation;
    QString m_myPath;
    KORParameters::LastLookup m_last;
    std::unique_ptr<platform::UserDefaults> m_userDefaults;
    KORDirectoryServices m_services;
    QVariantMap m_databaseAddress;
};

} // namespace framework
