#pragma once

#include <QJsonDocument>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "host/archive/HostDrift.h"
#include "host/archive/HostFleet.h"
#include "host/platform/HostExport.h"

namespace orvex {

class VariantArray;

// The due list and the drift list as the command line shows them: a tab-separated line per asset or
// reading, or JSON; and the sentence a trend ends with ("at this rate outside ±3 mmHg by 2027-09").
class ORVEX_HOST_EXPORT HostFleetText {
public:
    static QStringList DueLines(const QList<HostFleet::DueAsset>& assets);
    static QJsonDocument DueJson(const QList<HostFleet::DueAsset>& assets);
    static QStringList DriftLines(const QList<HostFleet::Drifting>& readings);
    static QJsonDocument DriftJson(const QList<HostFleet::Drifting>& readings);
    // "+0.96 mmHg a year; at this rate outside ±3 mmHg by 2027-09".
    static QString Drift(const HostDrift::Line& line, const HostDrift::Band& band, const QString& unit);
    // The same as a sentence under a trend picture, in the reader's language.
    using Texts = std::function<QString(const QString& literal, const VariantArray& parameters)>;
    static QString Sentence(const HostDrift::Line& line, const HostDrift::Band& band, const QString& unit,
                            const Texts& texts);
    // The month a line leaves its band, as every drift text says it: "2027-09".
    static QString Month(const QDateTime& when);
    // Whether the store vouches for the asset's last visit: whole, altered or after a break.
    static QString Seal(const HostResultsDatabase::Visit& visit);

private:
    // "outside ±3 mmHg", "outside 95 to 105 mmHg", "above 3 mmHg".
    static QString Leaving(const HostDrift::Line& line, const HostDrift::Band& band, const QString& unit);
    // "+0.96 mmHg"; local: as the reader's language writes numbers.
    static QString Slope(const HostDrift::Line& line, const QString& unit, bool local = false);
};

}  // namespace orvex
