#include "CResultBase.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/LoadLog.h"
#include "hostapi/ReportContext.h"
#include "hostapi/ServiceRecord.h"
#include "hostapi/TestElementFilter.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/CLoadLogGroup.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/dialogs/FDialogWrapper.h"
#include "plugin/measure/CMeasurement.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;
using orvex::Variant;

namespace {

const QString kMtiAttribute = QStringLiteral("MTI");
const QString kCommentTag = QStringLiteral("Comment");
const QString kSourcePrefix = QStringLiteral("OrvexKorotka.");
const QString kServiceRecordClass = QStringLiteral("OrvexTypeLib.ServiceRecord");
const QString kDetailedResultClass = QStringLiteral("orvexKorotka.XDetailedResult");

// Message kinds the host shows the two errors with.
constexpr int32_t kLoadErrorKind = 4;
constexpr int32_t kSaveErrorKind = 3;

// The table: an indent, the descriptions and a right margin; four value columns share the rest.
constexpr int64_t kIndentWidth = 560;
constexpr int64_t kDescriptionWidth = 2240;
constexpr int64_t kValueColumns = 4;
constexpr int32_t kFontSize = 10;

// Enough of a stored key to recognise it in a message.
constexpr qsizetype kQuotedLength = 40;

}  // namespace

CResultBase::CResultBase(const QString& className, const QString& loadCaption, bool storesMti)
    : m_source(kSourcePrefix + className), m_loadCaption(loadCaption), m_storesMti(storesMti) {}

CResultBase::~CResultBase() = default;

std::shared_ptr<CMeasurement> CResultBase::Find(const Measurements& measurements, const QString& key) {
    for (const auto& measurement : measurements) {
        if (measurement->Key() == key) return measurement;
    }
    return nullptr;
}

std::shared_ptr<CMeasurement> CResultBase::MeasurementByKey(const QString& key) const {
    return m_record.measurements ? Find(*m_record.measurements, key) : nullptr;
}

std::shared_ptr<orvex::IMeasurement> CResultBase::Measurement(const Variant& index) {
    if (!m_record.measurements) return nullptr;
    if (index.IsString()) return MeasurementByKey(index.ToString());
    try {
        const int32_t position = index.ToLong();
        const auto& measurements = *m_record.measurements;
        if (position < 1 || static_cast<size_t>(position) > measurements.size()) return nullptr;
        return measurements[static_cast<size_t>(position) - 1];
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "no measurement at that position: %s", error.what());
        return nullptr;
    }
}

int32_t CResultBase::MeasurementCount() {
    return m_record.measurements ? static_cast<int32_t>(m_record.measurements->size()) : 0;
}

std::shared_ptr<orvex::IDialog> CResultBase::CreateDialog() {
    // The view holds the record: one that nobody holds cannot be shown.
    const auto self = weak_from_this().lock();
    if (!self) return nullptr;
    try {
        return FDialogWrapper::CreateDialog(kDetailedResultClass,
                                            Variant(std::static_pointer_cast<orvex::IResultData>(self)));
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "the detailed result dialog could not be created: %s", error.what());
        return nullptr;
    }
}

void CResultBase::AddMeasurement(const QString& key, const QString& unit, const QString& descriptionLiteral,
                                 const Variant& preset, int32_t valueType, const QString& format) {
    if (!m_record.measurements) m_record.measurements.emplace();
    auto measurement = Find(*m_record.measurements, key);
    const bool added = !measurement;
    if (added) measurement = std::make_shared<CMeasurement>();
    measurement->Init(key, unit, descriptionLiteral, valueType);
    measurement->SetPresetValue(preset);
    measurement->SetValueFormat(format);
    if (added) m_record.measurements->push_back(std::move(measurement));
}

void CResultBase::AddMissingMeasurement(const QString& key, const QString& unit,
                                        const QString& descriptionLiteral, int32_t valueType,
                                        const QString& format) {
    if (!m_record.measurements) m_record.measurements.emplace();
    auto& measurements = *m_record.measurements;
    auto measurement = Find(measurements, key);
    if (measurement) {
        measurements.erase(std::find(measurements.begin(), measurements.end(), measurement));
        // A test run again after its unit changed measures in the new unit.
        measurement->ChangeUnit(unit);
        measurement->SetValueFormat(format);
    } else {
        measurement = std::make_shared<CMeasurement>();
        measurement->Init(key, unit, descriptionLiteral, valueType);
        measurement->SetValueFormat(format);
    }
    measurements.push_back(std::move(measurement));
}

void CResultBase::ClearRun() {
    m_record.status = kNotEvaluated;
    m_record.serviceRecord.reset();
    m_record.mtiid = 0;
    TakeStatusText(QString());
}

void CResultBase::Clear() {
    ClearRun();
    if (!m_record.measurements) return;
    for (const auto& measurement : *m_record.measurements) measurement->Clear();
}

void CResultBase::Evaluate(const std::shared_ptr<orvex::ILimitData>& limits,
                           const std::shared_ptr<orvex::StandardList>& standards, bool aborted) {
    if (aborted) {
        m_record.status = kNotApplicable;
        return;
    }
    m_record.status = kPassed;
    if (m_record.measurements) {
        // Every measurement gets its verdict, also after the run has failed.
        for (const auto& measurement : *m_record.measurements) {
            if (measurement->UpdateStatus(limits, standards) == kFailed || FailsRun(*measurement)) {
                m_record.status = kFailed;
            }
        }
    }
    // A run that read nothing has passed nothing.
    if (m_record.status == kPassed && !HasReadings()) m_record.status = kNotEvaluated;
}

bool CResultBase::HasReadings() const {
    if (!m_record.measurements) return false;
    return std::any_of(m_record.measurements->begin(), m_record.measurements->end(),
                       [](const auto& measurement) {
                           const Variant value = measurement->GetValue();
                           return !value.IsEmpty() && !value.IsNull();
                       });
}

void CResultBase::CreateServiceRecord(const std::shared_ptr<orvex::TestElementFilter>& filter) {
    if (!filter || m_record.status == kNotEvaluated) return;
    try {
        if ((filter->Options() & orvex::TestElementFilter::kServiceRecord) == 0) return;
        QString verdict;
        QString values;
        if (m_record.status == kNotApplicable) verdict = QStringLiteral("NA");
        if (m_record.measurements) {
            for (const auto& measurement : *m_record.measurements) {
                QString text;
                int32_t status = kNotEvaluated;
                measurement->ValueText(text, status);
                if (status == kFailed && verdict.isEmpty()) verdict = QStringLiteral("F");
                if (!text.isEmpty()) values += QLatin1Char('/') + text;
            }
        }
        auto record =
            orvex::ComponentRegistry::Instance().CreateAs<orvex::ServiceRecord>(kServiceRecordClass);
        record->Initialize(filter, verdict, values);
        m_record.serviceRecord = std::move(record);
    } catch (const ComError& error) {
        qCWarning(lcPlugIn, "the run goes without a service-history entry: %s", error.what());
        // The run goes without a service-history entry.
    }
}

const Variant* CResultBase::ResultElement(const orvex::VariantArray& result, int32_t index) {
    if (result.Dimensions() != 1 || index < result.LBound() || index > result.UBound()) return nullptr;
    return &result.At(index);
}

QString CResultBase::Title(orvex::ReportContext& report, const QString& literal) {
    return QStringLiteral("{\\i\\b ") + report.GetText(MLanguage::kPlugInId, literal) + QLatin1Char('}');
}

QString CResultBase::ReportHeader(orvex::ReportContext& report) const {
    return QLatin1Char('|') + Title(report, QStringLiteral("312::Result:")) + QStringLiteral("||") +
           Title(report, QStringLiteral("231::Value")) + QLatin1Char('|') +
           Title(report, QStringLiteral("234::Unit")) + QLatin1Char(';');
}

QString CResultBase::ColumnLayout(orvex::ReportContext& report) const {
    // In 64 bits: the report's width may be any number. Division truncates toward zero.
    const int64_t width = (static_cast<int64_t>(report.Width(orvex::ReportContext::kTableWidth)) -
                           2 * kIndentWidth - kDescriptionWidth) /
                          kValueColumns;
    const QString indent = QString::number(kIndentWidth);
    const QString value = QString::number(width);
    return QStringLiteral("<+") + indent + QStringLiteral("|<") + QString::number(kDescriptionWidth) +
           QStringLiteral("|>+") + value + QStringLiteral("|>+") + value + QStringLiteral("|^+") + value +
           QStringLiteral("|<+!") + value + QStringLiteral("|<+") + indent + QLatin1Char(';');
}

void CResultBase::PrintReport(const std::shared_ptr<orvex::ReportContext>& report) {
    if (!report) return;
    try {
        QString rows;
        if (m_record.measurements) {
            for (const auto& measurement : *m_record.measurements) rows += measurement->ReportLine(report);
        }
        if (rows.isEmpty()) return;
        const QString columns = ColumnLayout(*report);
        const QString header = ReportHeader(*report);
        report->SetFontSize(kFontSize);
        report->SetBold(false);
        report->SetKeepTogether(true);
        report->PrintTable(header, columns, rows, false, false, false);
    } catch (const ComError& error) {
        HostServices::Errors()->ReportError(error, m_source);
    }
}

void CResultBase::PassOn(const ComError& error, int32_t ownNumber) const {
    if (error.Number() == ownNumber) throw error;
    HostServices::Errors()->ReportError(error, m_source);
    // The host's error service throws; should it not, the error goes on as it was.
    throw error;
}

void CResultBase::Load(const std::shared_ptr<orvex::XmlElement>& element,
                       const std::shared_ptr<orvex::LoadLog>& log) {
    try {
        const CLoadLogGroup group(log, m_loadCaption);
        QString statusText;
        Record loaded = Read(element, log, statusText);
        m_record = std::move(loaded);
        TakeStatusText(statusText);
    } catch (const ComError& error) {
        PassOn(error, kErrLoad);
    }
}

CResultBase::Record CResultBase::Read(const std::shared_ptr<orvex::XmlElement>& element,
                                      const std::shared_ptr<orvex::LoadLog>& log, QString& statusText) const {
    if (!element || element->TagName() != kTag) {
        HostServices::Errors()->Raise(MLanguage::kPlugInId, kErrLoad, m_source, kLoadErrorKind);
    }
    Record loaded;
    loaded.measurements.emplace();
    if (m_storesMti) {
        const QString mti = element->GetAttribute(kMtiAttribute);
        if (!mti.isEmpty()) loaded.mtiid = Variant(Variant::Val(mti)).ToLong();
    }
    const auto elements = HostServices::ValueElements();
    const int32_t count = element->ChildCount();
    for (int32_t i = 0; i < count; ++i) {
        const auto child = element->Child(i);
        if (!child) continue;
        const QString tag = child->TagName();
        if (tag == orvex::ValueElements::kStatusTag) {
            elements->ReadStatus(child, loaded.status, statusText);
        } else if (tag == CMeasurement::kTag) {
            auto measurement = std::make_shared<CMeasurement>();
            measurement->Load(child, log);
            if (Find(*loaded.measurements, measurement->Key())) {
                throw ComError(kErrDuplicateKey, m_source,
                               QStringLiteral("This key is already associated with an element of this "
                                              "collection: measurement \"%1\" is stored twice")
                                   .arg(measurement->Key().left(kQuotedLength)));
            }
            loaded.measurements->push_back(std::move(measurement));
        } else if (tag == orvex::ServiceRecord::kTag) {
            auto record =
                orvex::ComponentRegistry::Instance().CreateAs<orvex::ServiceRecord>(kServiceRecordClass);
            record->Load(child, log);
            loaded.serviceRecord = std::move(record);
        } else if (tag == kCommentTag) {
            loaded.comment = child->Text();
        }
    }
    return loaded;
}

std::shared_ptr<orvex::XmlElement> CResultBase::Save(const std::shared_ptr<orvex::XmlElement>& parent) {
    try {
        return Write(parent);
    } catch (const ComError& error) {
        PassOn(error, kErrSave);
    }
}

std::shared_ptr<orvex::XmlElement> CResultBase::Write(
    const std::shared_ptr<orvex::XmlElement>& parent) const {
    std::shared_ptr<orvex::XmlDocument> document;
    std::shared_ptr<orvex::XmlElement> element;
    try {
        if (parent) document = parent->Document();
        if (document) element = document->CreateElement(kTag);
    } catch (const ComError&) {
        // Reported below as the record's own error.
    }
    if (!element) HostServices::Errors()->Raise(MLanguage::kPlugInId, kErrSave, m_source, kSaveErrorKind);
    if (m_storesMti && m_record.mtiid != 0) {
        element->SetAttribute(kMtiAttribute,
                              HostServices::Values()->Format(Variant(m_record.mtiid), QString()));
    }
    element->AppendChild(HostServices::ValueElements()->WriteStatus(document, m_record.status, StatusText()));
    if (!m_record.comment.isEmpty()) {
        const auto comment = document->CreateElement(kCommentTag);
        comment->SetText(m_record.comment);
        element->AppendChild(comment);
    }
    if (m_record.serviceRecord) {
        if (const auto record = m_record.serviceRecord->Save(document)) element->AppendChild(record);
    }
    if (m_record.measurements) {
        // A measurement places its own element; one without a verdict gives none.
        for (const auto& measurement : *m_record.measurements) measurement->Save(element);
    }
    // Placed last, so that a failure on the way leaves no half-written record behind.
    parent->AppendChild(element);
    return element;
}

}  // namespace korotka
