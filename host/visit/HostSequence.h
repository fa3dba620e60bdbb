#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"
#include "host/visit/HostShippedStandards.h"
#include "host/visit/HostSpread.h"
#include "host/xml/HostXmlDocument.h"

namespace orvex {

class HostPerformContext;
class IPlugIn;
class ITestElement;
class XmlDocument;
class XmlElement;

// The tests of one sequence, made from a plug-in's templates, and its file: an "OrvexSequence"
// holding each test's own "TestElement", results included (with the time it was performed and the
// instrument used, as attributes "Performed" and "Instrument", its 1-based position among the
// instruments), and optionally the asset under test ("Asset": ID, MakeModel, SerialNo, Location),
// the technician ("Technician": Name) and the instruments the runs used ("Instruments", one
// "Instrument" each: Name, SerialNo, FWVersion). The root's attribute "Visit" names the visit the
// results belong to, from its first performed test on; "Procedure" and "ProcedureVersion" name the
// procedure the visit was made from, "ProcedureInterval" how many months it says pass between its
// visits, and "SpreadLimits" the spread it allows.
class ORVEX_HOST_EXPORT HostSequence {
public:
    struct Asset {
        QString id;
        QString makeModel;
        QString serialNo;
        QString location;
        bool operator==(const Asset&) const = default;
    };
    // The procedure a visit was made from, and the spread it allows its repeats; empty when the
    // visit was built by hand.
    struct Procedure {
        QString name;
        QString version;
        QList<HostSpread::Limit> spreadLimits{};
        // How many months pass between visits made from it; 0 when it does not say.
        int interval = 0;
        bool operator==(const Procedure&) const = default;
    };
    struct Instrument {
        QString name;
        QString serialNo;
        QString fwVersion;
        bool operator==(const Instrument&) const = default;
    };

    static constexpr int32_t kErrBadSequence = HostErrors::kBadSequence;
    // More than a technician ever builds; a file past these is not a sequence of ours.
    static constexpr int kMaxTests = 1000;
    // Every document the host reads is held to these.
    static constexpr int kMaxFileElements = HostXmlDocument::kMaxElements;
    static constexpr int kMaxFileDepth = HostXmlDocument::kMaxDepth;
    // Asset fields and names are a line on a form, not a document.
    static constexpr int kMaxFieldLength = 200;
    static constexpr int kMaxInstruments = 100;
    // The longest test interval, in months (50 years): the results database keeps no longer one.
    static constexpr int kLongestInterval = 600;

    enum class Outcome { Completed, Aborted, Interrupted };
    // What a run tells of a test: it is about to be performed; or the run leaves it, with the
    // result it stored now the sequence's (Stored) or with what it held before (Left).
    enum class Step { Starting, Stored, Left };
    using Progress = std::function<void(qsizetype position, Step step)>;

    explicit HostSequence(std::shared_ptr<IPlugIn> plugIn);

    // A new test from the plug-in's template of that test id, numbered by its position, with the
    // shipped limit sets that apply to it.
    void Append(int32_t testId, HostShippedStandards::Patient patient = HostShippedStandards::Patient::Adult);
    // Takes the test at the position (from 0) out; the others are numbered anew.
    void Remove(qsizetype position);
    // Moves the test at the position (from 0) to another; the tests are numbered anew.
    void Move(qsizetype from, qsizetype to);
    // The test at the position (from 0) as the file holds it, its result and when it was performed
    // included; none outside the sequence.
    std::shared_ptr<XmlElement> Snapshot(qsizetype position) const;
    // A snapshot made a test again, inserted before the position (from 0; the size appends) or in
    // place of the test there; the tests are numbered anew.
    void Insert(qsizetype position, const std::shared_ptr<XmlElement>& snapshot);
    void Replace(qsizetype position, const std::shared_ptr<XmlElement>& snapshot);
    // Whether the test at the position (from 0) holds a result that tells of the equipment: a
    // verdict, a reading or "not applicable".
    bool HoldsResult(qsizetype position) const;
    // Replaces the tests with those of the file; a file that fails leaves the sequence as it was.
    void Load(const QString& path);
    // Written beside the target and renamed over it: a failed save leaves the old file whole.
    void Save(const QString& path) const;
    QString ToText() const;

    // Performs the tests in order, following each one's navigation (next, previous, abort);
    // progress hears of every test as it starts and ends, and interrupt is then asked whether the
    // run is to stop there.
    Outcome Perform(const std::shared_ptr<HostPerformContext>& context,
                    const std::function<bool()>& interrupt, qsizetype first = 0,
                    const Progress& progress = {});

    const QList<std::shared_ptr<ITestElement>>& Tests() const { return m_tests; }
    // When the test at the position (from 0) last stored a result, and with which instrument (a
    // position in Instruments()); an invalid time and -1 when it never did.
    struct Performance {
        QDateTime at;
        qsizetype instrument = -1;
    };
    Performance Performed(qsizetype position) const { return m_performed.value(position); }

    const Asset& AssetUnderTest() const { return m_asset; }
    // Raises kErrBadSequence for a field longer than kMaxFieldLength.
    void SetAsset(const Asset& asset);
    const QString& Technician() const { return m_technician; }
    // The visit's identity: given when its first test stores a result and kept with the file, so
    // every run that finishes or retests it, every edit and every archive is the same visit. A run
    // from the first test of a sequence whose every test holds a result begins the next visit.
    // Empty before.
    const QString& Visit() const { return m_visit; }
    void SetTechnician(const QString& name);
    const Procedure& MadeFrom() const { return m_procedure; }
    // Raises kErrBadSequence for a name or version longer than kMaxFieldLength, too many limits, or
    // an interval outside 0 to kLongestInterval.
    void SetMadeFrom(const Procedure& procedure);
    // An interval as a file writes it, in the attribute named: none (0) when empty, else whole
    // months from 1 to kLongestInterval; anything else raises kErrBadSequence saying so.
    static int ReadInterval(const QString& text, const QString& attribute);
    // The Korotkas the runs of this sequence used, each once.
    const QList<Instrument>& Instruments() const { return m_instruments; }

private:
    std::shared_ptr<ITestElement> Create(int32_t testId) const;
    // A test made from its saved element, its result included.
    std::shared_ptr<ITestElement> Restore(int32_t testId, const std::shared_ptr<XmlElement>& saved) const;
    void Renumber();
    // Raises kErrBadSequence when the sequence holds kMaxTests.
    void RequireRoom() const;
    // A snapshot made a test again, with when it was performed (an instrument the sequence does
    // not list is none).
    std::pair<std::shared_ptr<ITestElement>, Performance> Revive(
        const std::shared_ptr<XmlElement>& snapshot) const;
    // Appends the test's element to parent, with when it was performed and with which instrument.
    std::shared_ptr<XmlElement> SaveTest(qsizetype position, const std::shared_ptr<XmlElement>& parent) const;
    std::shared_ptr<XmlDocument> Document() const;
    // The position in Instruments() of the instrument the element's result was measured with,
    // added when it is new; -1 when the run lent none.
    qsizetype NoteInstrument(const HostPerformContext& context, ITestElement& element);

    std::shared_ptr<IPlugIn> m_plugIn;
    QList<std::shared_ptr<ITestElement>> m_tests;
    QList<Performance> m_performed;
    Asset m_asset;
    QString m_technician;
    QString m_visit;
    Procedure m_procedure;
    QList<Instrument> m_instruments;
};

}  // namespace orvex
