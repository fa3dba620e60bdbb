#pragma once

#include <QHash>
#include <QString>

#include "host/platform/HostExport.h"
#include "hostapi/Application.h"

namespace orvex {

// The host application object: where each plug-in's library came from, and the path helper.
class ORVEX_HOST_EXPORT HostApplication : public Application {
public:
    // The folder the loader recorded for the plug-in, else the folder of the running program.
    QString PlugInFolder(const QString& plugInId) const override;
    QString JoinPath(const QString& folder, const QString& name) const override;
    QString Title() const override;

    void SetPlugInFolder(const QString& plugInId, const QString& folder);

    // The plug-in's language folder: "lngpath" of the settings of its setup object (the class,
    // loaded from "Software\Marrick\Orvex\<id>"), else "Language" in the plug-in's folder.
    QString LanguageFolder(const QString& plugInId, const QString& setupClass) const;

private:
    QHash<QString, QString> m_folders;
};

}  // namespace orvex
