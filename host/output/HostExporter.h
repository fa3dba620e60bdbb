#pragma once

#include <QJsonArray>
#include <QString>
#include <memory>

#include "host/platform/HostExport.h"

namespace orvex {

class HostSequence;
class LanguageService;
struct HostVisitRecord;

// The results of a sequence for a maintenance database: JSON (an array, one object per test) or
// CSV (a header row, then one row per measurement). The README describes both formats.
class ORVEX_HOST_EXPORT HostExporter {
public:
    // Configuration texts are read in the language given (none: as the literals stand).
    HostExporter(const HostSequence& sequence, std::shared_ptr<LanguageService> language);

    QJsonArray Json() const;
    QString Csv() const;
    // Both written atomically; a failure raises the file error, naming the path.
    void WriteJson(const QString& path) const;
    void WriteCsv(const QString& path) const;

private:
    // The visit with each test's configuration, read in the exporter's language.
    HostVisitRecord Visit() const;

    const HostSequence& m_sequence;
    std::shared_ptr<LanguageService> m_language;
};

}  // namespace orvex
