#pragma once

#include <QImage>
#include <QMap>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"
#include "host/visit/HostMeasurementLimits.h"

namespace orvex {

class HostSequence;
class IMeasurement;
class LanguageService;
class VariantArray;

// The report a technician hands over after a visit: a header (asset, technician, dates, the
// Korotkas used, the overall verdict), a summary of every test and its verdict, then per test the
// plug-in's own report tables (configuration, limits, result) and, for every reading judged against
// a limit, a picture of where it lies between its limits, and how it went over the asset's last
// visits when the results database knows earlier ones. Written as HTML or as PDF with page numbers.
class ORVEX_HOST_EXPORT HostReportWriter {
public:
    static constexpr int32_t kErrReport = HostErrors::kReport;

    enum class Page { A4, Letter };

    // The tables are printed in the language given (none: as the literals stand).
    HostReportWriter(const HostSequence& sequence, std::shared_ptr<LanguageService> language);

    // The asset's earlier visits from the results database at url (empty: the default one), for
    // the trends; none read, the report has none and the reason is returned.
    std::optional<QString> ReadHistory(const QString& url);

    // Both written atomically; a failure raises kErrReport or the file error, naming the path.
    void WriteHtml(const QString& path) const;
    void WritePdf(const QString& path, Page page) const;

    // "a4" or "letter" (case does not matter); none for any other name.
    static std::optional<Page> PageFromName(const QString& name);

private:
    // The host's text of the literal in the report's language.
    QString Text(const QString& literal, const QList<QString>& parameters = {}) const;
    QString Text(const QString& literal, const VariantArray& parameters) const;
    // The report as HTML. Its pictures are added to `pictures` and embedded, or named "margin-N"
    // (N their index) for a document that is handed them as resources.
    QString Html(bool embedPictures, std::vector<QImage>& pictures) const;
    QString Header() const;
    // Every test of the visit in a row: its position, name, setting and verdict.
    QString Summary(const HostVisitRecord& visit) const;
    // The static-pressure tests as one table and the picture of the monitor's error over its range;
    // empty when the visit has none.
    QString StaticSection(const HostVisitRecord& visit, bool embedPictures,
                          std::vector<QImage>& pictures) const;
    // A table per group of repeated tests: how far each reading spreads; empty when none repeats.
    QString RepeatsSection(const HostVisitRecord& visit) const;
    QString TestSection(qsizetype position, bool embedPictures, std::vector<QImage>& pictures) const;
    QString ReadingsTable(qsizetype position, bool embedPictures, std::vector<QImage>& pictures) const;
    // A heading (as shown) and the start of its table, up to its body: the columns' titles
    // (literals) with their widths in pixels, as wide in all as a readings table.
    QString TableHead(const QString& heading, std::span<const std::pair<QString, int>> columns) const;
    // The reading over this and the asset's earlier visits; empty when none of them had it.
    QString TrendRow(qsizetype position, IMeasurement& measurement, double number,
                     const HostMeasurementLimits::Limits& limits, bool embedPictures,
                     std::vector<QImage>& pictures) const;

    const HostSequence& m_sequence;
    std::shared_ptr<LanguageService> m_language;
    // Per judged reading (its test's position and its key), the asset's visits before this one
    // that hold it, newest first, as many as its trend draws.
    QMap<std::pair<int, QString>, QList<HostResultsDatabase::Visit>> m_earlier;
    // The stored revision this visit is, when the database was read.
    std::optional<HostRevision> m_seal;
    bool m_sealRead = false;
};

}  // namespace orvex
