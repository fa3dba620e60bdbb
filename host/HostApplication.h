#pragma once

#include <QHash>
#include <QString>

#include "HostExport.h"
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

private:
    QHash<QString, QString> m_folders;
};

}  // namespace orvex
