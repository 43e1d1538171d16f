#pragma once

#include <QString>
#include <QVariantMap>

namespace data
{

// The user's data folder of Locavia (~/.local/share/Locavia unless XDG_DATA_HOME says otherwise), where the
// embedded database lives unless the model says otherwise. The model file's URL names it ${LOCAVIA_DATA}.
class DataFolder
{
public:
    static QString path();
    // The connection dictionary with ${LOCAVIA_DATA} of its URL replaced by path().
    static QVariantMap resolved(QVariantMap connectionDictionary);
};

} // namespace data
