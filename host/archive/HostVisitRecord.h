#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

#include "host/platform/HostExport.h"

namespace orvex {

class HostSequence;

// One visit as the results database keeps it: the asset, who tested it, when and with which
// Korotka, the overall verdict, and every test's readings with the limits they were judged by.
// Its canonical form (compact JSON, keys sorted) is what the stored checksum covers, so a visit
// read back from its rows can be told from one altered after it was stored.
struct ORVEX_HOST_EXPORT HostVisitRecord {
    struct Limit {
        QString standard;
        std::optional<double> low;
        std::optional<double> high;
    };
    struct Reading {
        QString key;
        QString description;
        QString valueText;
        std::optional<double> value;
        QString unit;
        QString status;
        QList<Limit> limits;
    };
    struct Test {
        int position = 0;
        int testId = 0;
        QString name;
        QString status;
        QString performed;
        QList<Reading> readings;
    };

    // The visit's identity as its sequence file keeps it; empty for a file from before visits had one.
    // Not part of the canonical form: the revisions of a visit carry it.
    QString visit;
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

    static HostVisitRecord FromSequence(const HostSequence& sequence);
    QJsonObject Json() const;
    // SHA-256 of the canonical form, in hex.
    QString Checksum() const;
    // The same visit, whatever language named its tests and readings when each was made.
    bool SameAs(const HostVisitRecord& other) const;
};

}  // namespace orvex
