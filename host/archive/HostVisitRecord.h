#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "host/platform/HostExport.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostSpread.h"

namespace orvex {

class LanguageService;

// One visit as the results database keeps it: the asset, who tested it, when and with which
// Korotka, the overall verdict, and every test's readings with the limits they were judged by.
// Its canonical form (compact JSON, keys sorted) is what the stored checksum covers, so a visit
// read back from its rows can be told from one altered after it was stored.
struct ORVEX_HOST_EXPORT HostVisitRecord {
    struct Limit {
        QString standard;
        std::optional<double> low;
        std::optional<double> high;
        // Not in the canonical form: the standard's full name, for the export.
        QString standardName{};
    };
    struct Reading {
        QString key;
        QString description;
        QString valueText;
        std::optional<double> value;
        QString unit;
        QString status;
        QList<Limit> limits;
        // Not in the canonical form, what the export and the window show besides: the value in
        // the measurement's own format, without its unit; the reading with its unit as the window
        // shows it in the host's language; the preset it was measured for.
        QString formatted{};
        QString shownWithUnit{};
        std::optional<double> preset{};
    };
    struct Test {
        int position = 0;
        int testId = 0;
        QString name;
        QString status;
        QString performed;
        QList<Reading> readings;
        // Not in the canonical form: the Korotka the test was performed with; and, only when asked
        // for, the configuration as its report tables print it, a line per title or row, and its
        // rows on one line ("Inflate Pressure: 250 mmHg; ..."), empty when it could not say it all.
        std::optional<HostSequence::Instrument> instrument{};
        QStringList configuration{};
        QString configurationLine{};
        // Not in the canonical form, only for a static-pressure test: the pressure its
        // configuration sets, in the configuration's unit (none when it cannot say), and whether
        // the pump is left out (the gauge alone, or a pressure from outside).
        std::optional<double> setPressure{};
        QString setPressureUnit{};
        bool noPump = false;
    };
    // Asks for each test's configuration, read in the language given (none: as the literals stand).
    struct Configuration {
        std::shared_ptr<LanguageService> language;
    };

    // The visit's identity as its sequence file keeps it; empty for a file from before visits had one.
    // Not part of the canonical form: the revisions of a visit carry it.
    QString visit;
    // Not in the canonical form either: the procedure the visit was made from, its version and its
    // interval in months; empty (0) for a visit built by hand, and for a procedure without one.
    QString procedure;
    QString procedureVersion;
    int procedureInterval = 0;
    // Not in the canonical form (the verdict is): the spread the procedure allows, and the tests
    // that are repeats of each other, as positions (from 1).
    QList<HostSpread::Limit> spreadLimits;
    QList<QList<int>> repeats;
    QString assetId;
    QString assetMakeModel;
    QString assetSerialNo;
    QString assetLocation;
    QString technician;
    // The latest time a test of the visit was performed (ISO 8601, UTC); empty when none was.
    QString performed;
    QString instrumentName;
    QString instrumentSerialNo;
    QString instrumentFirmware;
    QString verdict;
    QList<Test> tests;

    static HostVisitRecord FromSequence(const HostSequence& sequence,
                                        const Configuration* configuration = nullptr);
    // The test at a position (from 0) of the sequence, as FromSequence reads it.
    static Test TestAt(const HostSequence& sequence, qsizetype position,
                       const Configuration* configuration = nullptr);
    QJsonObject Json() const;
    // The asset's part of Json(): id, makeModel, serialNo, location.
    QJsonObject AssetJson() const;
    // SHA-256 of the canonical form, in hex.
    QString Checksum() const;
    // The same visit, whatever language named its tests and readings when each was made.
    bool SameAs(const HostVisitRecord& other) const;
};

}  // namespace orvex
