#include "HostSequence.h"

#include <QUuid>
#include <algorithm>
#include <utility>

#include "host/records/HostPerformContext.h"
#include "host/visit/HostResultText.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/InstrumentData.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.Sequence");
const QString kRoot = QStringLiteral("OrvexSequence");
const QString kTestElement = QStringLiteral("TestElement");
const QString kResult = QStringLiteral("ResultItem");
const QString kPerformed = QStringLiteral("Performed");
const QString kInstrumentAttribute = QStringLiteral("Instrument");
const QString kAssetTag = QStringLiteral("Asset");
const QString kTechnicianTag = QStringLiteral("Technician");
const QString kInstrumentsTag = QStringLiteral("Instruments");
const QString kInstrumentTag = QStringLiteral("Instrument");
const QString kId = QStringLiteral("ID");
const QString kMakeModel = QStringLiteral("MakeModel");
const QString kSerialNo = QStringLiteral("SerialNo");
const QString kLocation = QStringLiteral("Location");
const QString kName = QStringLiteral("Name");
const QString kFWVersion = QStringLiteral("FWVersion");
const QString kVisit = QStringLiteral("Visit");
const QString kProcedure = QStringLiteral("Procedure");
const QString kProcedureVersion = QStringLiteral("ProcedureVersion");
const QString kProcedureInterval = QStringLiteral("ProcedureInterval");

[[noreturn]] void RaiseBad(const QString& path, const QString& reason) {
    throw ComError(HostSequence::kErrBadSequence, kSource, QStringLiteral("%1: %2").arg(path, reason));
}

// A text from the file, cut short: a message need not repeat a megabyte of it.
QString Quoted(const QString& text) {
    constexpr int kShown = 40;
    return QLatin1Char('"') + (text.size() > kShown ? text.left(kShown) + QStringLiteral("...") : text) +
           QLatin1Char('"');
}

// Whether the element's result says something of the equipment: a verdict, a reading or "not
// applicable". A run that ended on a failing instrument stores one that says nothing.
bool Judged(ITestElement& element) {
    const auto result = element.Result();
    if (!result) return false;
    const int32_t status = result->Status();
    if (status == IResultData::kPassed || status == IResultData::kFailed ||
        status == IResultData::kNotApplicable) {
        return true;
    }
    for (int32_t i = 1; i <= result->MeasurementCount(); ++i) {
        const auto measurement = result->Measurement(Variant(i));
        if (measurement && !HostResultText::Value(*measurement).isEmpty()) return true;
    }
    return false;
}

// When the saved test was performed and the 0-based position of its instrument (-1: none).
HostSequence::Performance ReadPerformance(const XmlElement& saved) {
    // A time that does not read is no time: the test shows as performed at an unknown time.
    return {QDateTime::fromString(saved.GetAttribute(kPerformed), Qt::ISODate),
            saved.GetAttribute(kInstrumentAttribute).toLongLong() - 1};
}

// A field of a form: refused when it is longer than a form has room for.
QString Field(const QString& text, const QString& what) {
    if (text.size() > HostSequence::kMaxFieldLength) {
        throw ComError(HostSequence::kErrBadSequence, kSource,
                       QStringLiteral("the %1 is longer than %2 characters")
                           .arg(what)
                           .arg(HostSequence::kMaxFieldLength));
    }
    return text;
}

HostSequence::Procedure ReadProcedure(const XmlElement& root) {
    return {Field(root.GetAttribute(kProcedure), QStringLiteral("procedure's name")),
            Field(root.GetAttribute(kProcedureVersion), QStringLiteral("procedure's version")),
            {},
            HostSequence::ReadInterval(root.GetAttribute(kProcedureInterval), kProcedureInterval)};
}

HostSequence::Asset ReadAsset(const XmlElement& element) {
    return {Field(element.GetAttribute(kId), QStringLiteral("asset ID")),
            Field(element.GetAttribute(kMakeModel), QStringLiteral("asset make and model")),
            Field(element.GetAttribute(kSerialNo), QStringLiteral("asset serial number")),
            Field(element.GetAttribute(kLocation), QStringLiteral("asset location"))};
}

QList<HostSequence::Instrument> ReadInstruments(const XmlElement& element) {
    QList<HostSequence::Instrument> instruments;
    for (int32_t i = 0; i < element.ChildCount(); ++i) {
        const auto child = element.Child(i);
        if (child->TagName() != kInstrumentTag) continue;
        if (instruments.size() >= HostSequence::kMaxInstruments) {
            throw ComError(HostSequence::kErrBadSequence, kSource,
                           QStringLiteral("more than %1 instruments").arg(HostSequence::kMaxInstruments));
        }
        instruments.append({Field(child->GetAttribute(kName), QStringLiteral("instrument name")),
                            Field(child->GetAttribute(kSerialNo), QStringLiteral("instrument serial number")),
                            Field(child->GetAttribute(kFWVersion), QStringLiteral("instrument firmware"))});
    }
    return instruments;
}

std::shared_ptr<XmlElement> AppendElement(XmlDocument& document, XmlElement& parent, const QString& tag) {
    auto element = document.CreateElement(tag);
    parent.AppendChild(element);
    return element;
}

}  // namespace

HostSequence::HostSequence(std::shared_ptr<IPlugIn> plugIn) : m_plugIn(std::move(plugIn)) {
    if (!m_plugIn) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no plug-in"));
    }
}

std::shared_ptr<ITestElement> HostSequence::Create(int32_t testId) const {
    auto element = m_plugIn->CreateTest(testId);
    if (!element) {
        throw ComError(kErrBadSequence, kSource, QStringLiteral("the plug-in made no test %1").arg(testId));
    }
    return element;
}

void HostSequence::RequireRoom() const {
    if (m_tests.size() >= kMaxTests) {
        throw ComError(kErrBadSequence, kSource,
                       QStringLiteral("a sequence holds at most %1 tests").arg(kMaxTests));
    }
}

void HostSequence::Append(int32_t testId, HostShippedStandards::Patient patient) {
    RequireRoom();
    auto element = Create(testId);
    element->SetID(static_cast<int32_t>(m_tests.size()) + 1);
    HostShippedStandards::AddTo(*element, patient);
    m_tests.append(std::move(element));
    m_performed.append(Performance{});
}

std::shared_ptr<ITestElement> HostSequence::Restore(int32_t testId,
                                                    const std::shared_ptr<XmlElement>& saved) const {
    auto element = Create(testId);
    // The file keeps the texts in the language it was made in; the plug-in's own, in the language
    // of today, win wherever it has one.
    const auto info = element->Info();
    const QString type = info->Type();
    const QString parameter = info->Parameter();
    const QString name = info->Name();
    const QString description = info->Description();
    element->Load(saved, 0);
    const auto either = [](const QString& current, const QString& stored) {
        return current.isEmpty() ? stored : current;
    };
    info->SetType(either(type, info->Type()), either(parameter, info->Parameter()));
    info->SetDescription(either(description, info->Description()));
    info->SetName(either(name, info->Name()));
    // The test makes its result when it is handed a stored one.
    if (const auto result = saved->FindChild(kResult)) element->Load(result, 0);
    return element;
}

void HostSequence::Remove(qsizetype position) {
    if (position < 0 || position >= m_tests.size()) return;
    m_tests.removeAt(position);
    m_performed.removeAt(position);
    Renumber();
}

void HostSequence::Move(qsizetype from, qsizetype to) {
    if (from < 0 || from >= m_tests.size() || to < 0 || to >= m_tests.size()) return;
    m_tests.move(from, to);
    m_performed.move(from, to);
    Renumber();
}

void HostSequence::Renumber() {
    for (qsizetype i = 0; i < m_tests.size(); ++i) m_tests[i]->SetID(static_cast<int32_t>(i) + 1);
}

void HostSequence::SetAsset(const Asset& asset) {
    m_asset = {Field(asset.id, QStringLiteral("asset ID")),
               Field(asset.makeModel, QStringLiteral("asset make and model")),
               Field(asset.serialNo, QStringLiteral("asset serial number")),
               Field(asset.location, QStringLiteral("asset location"))};
}

void HostSequence::SetTechnician(const QString& name) {
    m_technician = Field(name, QStringLiteral("technician's name"));
}

void HostSequence::SetMadeFrom(const Procedure& procedure) {
    if (procedure.spreadLimits.size() > HostSpread::kMaxLimits) {
        throw ComError(kErrBadSequence, kSource,
                       QStringLiteral("more than %1 spread limits").arg(HostSpread::kMaxLimits));
    }
    if (procedure.interval < 0 || procedure.interval > kLongestInterval) {
        throw ComError(kErrBadSequence, kSource,
                       QStringLiteral("%1 months is no interval (1 to %2)")
                           .arg(procedure.interval)
                           .arg(kLongestInterval));
    }
    m_procedure = {Field(procedure.name, QStringLiteral("procedure's name")),
                   Field(procedure.version, QStringLiteral("procedure's version")), procedure.spreadLimits,
                   procedure.interval};
}

int HostSequence::ReadInterval(const QString& text, const QString& attribute) {
    if (text.isEmpty()) return 0;
    bool ok = false;
    const int months = text.toInt(&ok);
    if (!ok || months < 1 || months > kLongestInterval) {
        throw ComError(kErrBadSequence, kSource,
                       QStringLiteral("%1 %2 is no whole number of months from 1 to %3")
                           .arg(attribute, Quoted(text))
                           .arg(kLongestInterval));
    }
    return months;
}

void HostSequence::Load(const QString& path) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->Load(path);
    const auto root = document->DocumentElement();
    if (!root || root->TagName() != kRoot)
        RaiseBad(path, QStringLiteral("not a test sequence (no %1)").arg(kRoot));
    if (root->ChildCount() > kMaxTests) RaiseBad(path, QStringLiteral("more than %1 tests").arg(kMaxTests));
    QList<std::shared_ptr<ITestElement>> tests;
    QList<Performance> performed;
    Asset asset;
    QString technician;
    QList<Instrument> instruments;
    QString visit;
    Procedure procedure;
    try {
        visit = Field(root->GetAttribute(kVisit), QStringLiteral("visit's identity"));
        procedure = ReadProcedure(*root);
    } catch (const ComError& e) {
        RaiseBad(path, e.Description());
    }
    for (int32_t i = 0; i < root->ChildCount(); ++i) {
        const auto xml = root->Child(i);
        const QString where = QStringLiteral("test %1").arg(tests.size() + 1);
        try {
            if (xml->TagName() == kAssetTag) {
                asset = ReadAsset(*xml);
                continue;
            }
            if (xml->TagName() == kTechnicianTag) {
                technician = Field(xml->GetAttribute(kName), QStringLiteral("technician's name"));
                continue;
            }
            if (xml->TagName() == kInstrumentsTag) {
                instruments = ReadInstruments(*xml);
                continue;
            }
            if (xml->TagName() == HostSpread::kTag) {
                procedure.spreadLimits = HostSpread::Read(*xml);
                continue;
            }
        } catch (const ComError& e) {
            RaiseBad(path, e.Description());
        }
        if (xml->TagName() != kTestElement) {
            RaiseBad(path,
                     QStringLiteral("%1: %2 is no %3").arg(where, Quoted(xml->TagName()), kTestElement));
        }
        const QString plugIn = xml->GetAttribute(QStringLiteral("PlugIn"));
        if (plugIn != m_plugIn->ID()) {
            RaiseBad(path, QStringLiteral("%1 belongs to plug-in %2, not \"%3\"")
                               .arg(where, Quoted(plugIn), m_plugIn->ID()));
        }
        bool ok = false;
        const int32_t testId = xml->GetAttribute(QStringLiteral("TestID")).toInt(&ok);
        if (!ok) {
            RaiseBad(path, QStringLiteral("%1: test id %2 is no number")
                               .arg(where, Quoted(xml->GetAttribute(QStringLiteral("TestID")))));
        }
        try {
            tests.append(Restore(testId, xml));
            performed.append(ReadPerformance(*xml));
        } catch (const ComError& e) {
            RaiseBad(path, QStringLiteral("%1 (test id %2): %3").arg(where).arg(testId).arg(e.Description()));
        }
    }
    m_tests = std::move(tests);
    // An instrument the file does not list is none.
    for (Performance& performance : performed) {
        if (performance.instrument < 0 || performance.instrument >= instruments.size())
            performance.instrument = -1;
    }
    m_performed = std::move(performed);
    m_asset = asset;
    m_technician = technician;
    m_visit = visit;
    m_procedure = procedure;
    m_instruments = std::move(instruments);
}

std::shared_ptr<XmlDocument> HostSequence::Document() const {
    auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(QStringLiteral("<%1/>").arg(kRoot));
    const auto root = document->DocumentElement();
    if (!m_visit.isEmpty()) root->SetAttribute(kVisit, m_visit);
    if (!m_procedure.name.isEmpty()) {
        root->SetAttribute(kProcedure, m_procedure.name);
        root->SetAttribute(kProcedureVersion, m_procedure.version);
        if (m_procedure.interval > 0)
            root->SetAttribute(kProcedureInterval, QString::number(m_procedure.interval));
    }
    if (m_asset != Asset{}) {
        const auto asset = AppendElement(*document, *root, kAssetTag);
        asset->SetAttribute(kId, m_asset.id);
        asset->SetAttribute(kMakeModel, m_asset.makeModel);
        asset->SetAttribute(kSerialNo, m_asset.serialNo);
        asset->SetAttribute(kLocation, m_asset.location);
    }
    if (!m_technician.isEmpty())
        AppendElement(*document, *root, kTechnicianTag)->SetAttribute(kName, m_technician);
    if (!m_instruments.isEmpty()) {
        const auto list = AppendElement(*document, *root, kInstrumentsTag);
        for (const Instrument& instrument : m_instruments) {
            const auto element = AppendElement(*document, *list, kInstrumentTag);
            element->SetAttribute(kName, instrument.name);
            element->SetAttribute(kSerialNo, instrument.serialNo);
            element->SetAttribute(kFWVersion, instrument.fwVersion);
        }
    }
    HostSpread::Write(*document, *root, m_procedure.spreadLimits);
    for (qsizetype i = 0; i < m_tests.size(); ++i) SaveTest(i, root);
    return document;
}

std::shared_ptr<XmlElement> HostSequence::SaveTest(qsizetype position,
                                                   const std::shared_ptr<XmlElement>& parent) const {
    auto element = m_tests[position]->Save(parent, 0);
    const Performance performed = m_performed.value(position);
    if (!element) return nullptr;
    if (performed.at.isValid()) element->SetAttribute(kPerformed, performed.at.toString(Qt::ISODate));
    if (performed.instrument >= 0)
        element->SetAttribute(kInstrumentAttribute, QString::number(performed.instrument + 1));
    return element;
}

std::shared_ptr<XmlElement> HostSequence::Snapshot(qsizetype position) const {
    if (position < 0 || position >= m_tests.size()) return nullptr;
    const auto document = HostServices::Xml()->CreateDocument();
    document->LoadText(QStringLiteral("<%1/>").arg(kRoot));
    return SaveTest(position, document->DocumentElement());
}

std::pair<std::shared_ptr<ITestElement>, HostSequence::Performance> HostSequence::Revive(
    const std::shared_ptr<XmlElement>& snapshot) const {
    auto element = Restore(snapshot->GetAttribute(QStringLiteral("TestID")).toInt(), snapshot);
    Performance performed = ReadPerformance(*snapshot);
    if (performed.instrument >= m_instruments.size()) performed.instrument = -1;
    return {std::move(element), performed};
}

void HostSequence::Insert(qsizetype position, const std::shared_ptr<XmlElement>& snapshot) {
    if (!snapshot || position < 0 || position > m_tests.size()) return;
    RequireRoom();
    auto [element, performed] = Revive(snapshot);
    m_tests.insert(position, std::move(element));
    m_performed.insert(position, performed);
    Renumber();
}

void HostSequence::Replace(qsizetype position, const std::shared_ptr<XmlElement>& snapshot) {
    if (!snapshot || position < 0 || position >= m_tests.size()) return;
    auto [element, performed] = Revive(snapshot);
    m_tests[position] = std::move(element);
    m_performed[position] = performed;
    Renumber();
}

bool HostSequence::HoldsResult(qsizetype position) const {
    return position >= 0 && position < m_tests.size() && Judged(*m_tests[position]);
}

void HostSequence::Save(const QString& path) const { Document()->Save(path); }

QString HostSequence::ToText() const { return Document()->ToText(); }

qsizetype HostSequence::NoteInstrument(const HostPerformContext& context, ITestElement& element) {
    const auto result = element.Result();
    if (!result || !context.HasInstruments()) return -1;
    for (const auto& data : context.Instruments()) {
        if (!data || data->Index() != result->MTIID()) continue;
        const Instrument instrument{data->MTIName(), data->SerialNo(), data->FWVersion()};
        qsizetype at = m_instruments.indexOf(instrument);
        if (at < 0 && m_instruments.size() < kMaxInstruments) {
            m_instruments.append(instrument);
            at = m_instruments.size() - 1;
        }
        return at;
    }
    return -1;
}

HostSequence::Outcome HostSequence::Perform(const std::shared_ptr<HostPerformContext>& context,
                                            const std::function<bool()>& interrupt, qsizetype first,
                                            const Progress& progress) {
    qsizetype position = std::max<qsizetype>(first, 0);
    // A whole sequence performed again from its first test is the next visit of the equipment (last
    // year's file used again); a run that goes on with an unfinished one, or retests part of it, is
    // the same visit.
    bool nextVisit = position == 0 && !m_tests.isEmpty();
    for (qsizetype i = 0; nextVisit && i < m_tests.size(); ++i) nextVisit = HoldsResult(i);
    while (position >= 0 && position < m_tests.size()) {
        const auto element = m_tests[position];
        const qsizetype heard = context->Navigations().size();
        const qsizetype stored = context->StoredResults().size();
        // A run that stores nothing (aborted, skipped), or nothing that judges the equipment (ended
        // by a failing instrument), must not take the result of an earlier visit with it.
        const auto before = Snapshot(position);
        const bool judgedBefore = Judged(*element);
        if (context->QueryPerform(element)) {
            if (progress) progress(position, Step::Starting);
            element->Perform(context);
        }
        const bool storedNew = context->StoredResults().size() > stored;
        const bool kept = storedNew && (Judged(*element) || !judgedBefore);
        if (kept) {
            if (m_visit.isEmpty() || nextVisit) m_visit = QUuid::createUuid().toString(QUuid::WithoutBraces);
            nextVisit = false;
            m_performed[position] = {QDateTime::currentDateTimeUtc(), NoteInstrument(*context, *element)};
        } else if (before) {
            Replace(position, before);
        }
        if (progress) progress(position, kept ? Step::Stored : Step::Left);
        if (interrupt && interrupt()) return Outcome::Interrupted;
        if (context->Aborted()) return Outcome::Aborted;
        // A test that said nothing goes on to the next.
        const int32_t navigation = context->Navigations().size() > heard ? context->Navigations().last()
                                                                         : PerformContext::NavigateNext;
        position = navigation == PerformContext::NavigatePrevious ? std::max<qsizetype>(position - 1, 0)
                                                                  : position + 1;
    }
    return Outcome::Completed;
}

}  // namespace orvex
