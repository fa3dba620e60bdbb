#include "HostStandardList.h"

#include <algorithm>
#include <array>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "host/records/HostLimitEntry.h"
#include "host/records/HostReportMarkup.h"
#include "host/records/HostStandard.h"
#include "hostapi/CalculatedLimit.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement2.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/LoadLog.h"
#include "hostapi/ReportContext.h"
#include "hostapi/Standard.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.StandardList");
const QString kStandardTag = QStringLiteral("Standard");
const QString kLimitTag = QStringLiteral("Limit");
const std::array<QString, 2> kPositionTags = {QStringLiteral("High"), QStringLiteral("Low")};
const QString kListTag = QStringLiteral("Standards");
const QString kAlphaName = QStringLiteral("AlphaName");
const QString kCompleteName = QStringLiteral("CompleteName");
// The lead column of a limit table, as wide as the plug-in's tables indent theirs (twips).
constexpr int64_t kIndentWidth = 560;
const QString kNumber = QStringLiteral("Number");
const QString kKey = QStringLiteral("Key");
const QString kUnit = QStringLiteral("Unit");
const QString kType = QStringLiteral("Type");
const QString kDescription = QStringLiteral("Description");
const QString kComment = QStringLiteral("Comment");
const QString kEnabled = QStringLiteral("Enabled");
const QString kOperation = QStringLiteral("Operation");
const QString kPercent = QStringLiteral("%");

[[noreturn]] void RaiseObjectRequired(const QString& what) {
    throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: %1").arg(what));
}

// A stored whole number; an absent one is 0.
int32_t ReadLong(const QString& text) { return text.isEmpty() ? 0 : Variant(text).ToLong(); }

std::shared_ptr<XmlElement> AppendElement(XmlDocument& document, XmlElement& parent, const QString& tag) {
    auto element = document.CreateElement(tag);
    parent.AppendChild(element);
    return element;
}

void SaveEntry(XmlDocument& document, XmlElement& parent, const LimitEntry& entry) {
    const auto limit = AppendElement(document, parent, kLimitTag);
    limit->SetAttribute(kKey, entry.Key());
    limit->SetAttribute(kUnit, entry.Unit());
    limit->SetAttribute(kType, QString::number(entry.Type()));
    if (!entry.Description().isEmpty()) limit->SetAttribute(kDescription, entry.Description());
    if (!entry.Comment().isEmpty()) limit->SetAttribute(kComment, entry.Comment());
    for (int32_t position = LimitEntry::kHigh; position <= LimitEntry::kLow; ++position) {
        const auto element = AppendElement(document, *limit, kPositionTags[static_cast<size_t>(position)]);
        element->SetAttribute(kEnabled, Variant(entry.Enabled(position)).ToString());
        if (!entry.Operation(position).isEmpty())
            element->SetAttribute(kOperation, entry.Operation(position));
        element->SetText(HostServices::Values()->Format(Variant(entry.Value(position)), QString()));
    }
}

// Raises the error of the first part that does not read.
std::shared_ptr<LimitEntry> ReadEntry(const XmlElement& limit) {
    const QString key = limit.GetAttribute(kKey);
    if (key.isEmpty()) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("A limit without a key was left out."));
    }
    auto entry = std::make_shared<HostLimitEntry>();
    entry->Initialize(key, limit.GetAttribute(kUnit), limit.GetAttribute(kDescription),
                      limit.GetAttribute(kComment));
    entry->SetType(ReadLong(limit.GetAttribute(kType)));
    for (int32_t position = LimitEntry::kHigh; position <= LimitEntry::kLow; ++position) {
        const auto element = limit.FindChild(kPositionTags[static_cast<size_t>(position)]);
        if (!element) continue;
        const QString enabled = element->GetAttribute(kEnabled);
        const QString value = element->Text();
        entry->SetEnabled(position, !enabled.isEmpty() && Variant(enabled).ToBoolean());
        entry->SetOperation(position, element->GetAttribute(kOperation));
        entry->SetValue(position, value.isEmpty() ? 0.0F : Variant(value).ToSingle());
    }
    return entry;
}

std::shared_ptr<Standard> ReadStandard(const XmlElement& element, const std::shared_ptr<LoadLog>& log) {
    auto standard = std::make_shared<HostStandard>();
    standard->Initialize(element.GetAttribute(kAlphaName), element.GetAttribute(kCompleteName),
                         ReadLong(element.GetAttribute(kNumber)));
    for (int32_t i = 0; i < element.ChildCount(); ++i) {
        const auto child = element.Child(i);
        if (child->TagName() != kLimitTag) continue;
        try {
            standard->Add(ReadEntry(*child));
        } catch (const ComError& error) {
            qCWarning(lcHost).noquote() << QStringLiteral("left out limit \"%1\" of standard \"%2\":")
                                               .arg(child->GetAttribute(kKey), standard->AlphaName())
                                        << error.what();
            if (log) {
                log->AddEntry(
                    error.Number(), LoadLog::kSeverityWarning,
                    QStringLiteral("Standard \"%1\", limit \"%2\": %3")
                        .arg(standard->AlphaName(), child->GetAttribute(kKey), error.Description()));
            }
        }
    }
    return standard;
}

// One row of the key table: key, description, number format and, optionally, the measurement.
struct KeyRow {
    QString key;
    QString description;
    QString format;
    std::shared_ptr<IMeasurement2> measurement;
};

std::vector<KeyRow> ReadKeyTable(const Variant& table) {
    const VariantArray& cells = table.ToArray();
    std::vector<KeyRow> rows;
    if (cells.Dimensions() != 2 || cells.Count() == 0) return rows;
    const int32_t first = cells.LBound(2);
    const int32_t last = cells.UBound(2);
    auto cell = [&](int32_t row, int32_t column) {
        return first + column <= last ? cells.At(row, first + column) : Variant();
    };
    for (int32_t row = cells.LBound(1); row <= cells.UBound(1); ++row) {
        const Variant measurement = cell(row, 3);
        rows.push_back({cell(row, 0).ToString(), cell(row, 1).ToString(), cell(row, 2).ToString(),
                        measurement.IsObject()
                            ? std::dynamic_pointer_cast<IMeasurement2>(measurement.ToObject())
                            : nullptr});
    }
    return rows;
}

// The first enabled limit of the key at the position, written as entered: the number with its
// unit, or the operation with the number in place of Y.
QString EnteredLimit(const Standard& standard, const KeyRow& row, int32_t position) {
    for (int32_t i = 1; i <= standard.Count(); ++i) {
        const auto entry = standard.Item(i);
        if (entry->Key() != row.key || !entry->Enabled(position)) continue;
        const QString number =
            HostServices::Values()->FormatShown(Variant(entry->Value(position)), row.format, QLocale());
        const QString operation = entry->Operation(position);
        const QString unit = operation.contains(kPercent) ? kPercent : entry->Unit();
        if (operation.isEmpty() || operation == CalculatedLimit::kPlain)
            return number + QLatin1Char(' ') + unit;
        QString text = operation;
        text.replace(QLatin1Char('Y'), number);
        return unit == kPercent ? text : text + QLatin1Char(' ') + unit;
    }
    return {};
}

// With the measurement at hand the limit is what it is for this measurement's preset.
QString LimitText(const std::shared_ptr<Standard>& standard, const KeyRow& row, int32_t position) {
    if (!row.measurement) return EnteredLimit(*standard, row, position);
    const Variant limit = row.measurement->GetLimitValue(
        standard, position,
        IMeasurement2::kEvaluateCalculated | IMeasurement2::kAsText | IMeasurement2::kWithUnit);
    return limit.IsEmpty() ? QString() : limit.ToString();
}

}  // namespace

int32_t HostStandardList::Count() const { return static_cast<int32_t>(m_standards.size()); }

std::shared_ptr<Standard> HostStandardList::Item(int32_t index) const {
    CheckIndex(index);
    return m_standards[static_cast<size_t>(index - 1)];
}

void HostStandardList::Remove(int32_t index) {
    CheckIndex(index);
    m_standards.erase(m_standards.begin() + (index - 1));
}

void HostStandardList::CheckIndex(int32_t index) const {
    if (index < 1 || index > Count()) {
        throw ComError(ComError::kSubscriptOutOfRange, kSource,
                       QStringLiteral("Subscript out of range: standard %1 of %2").arg(index).arg(Count()));
    }
}

std::shared_ptr<Standard> HostStandardList::Find(const QString& alphaName,
                                                 const QString& completeName) const {
    const auto found = std::find_if(m_standards.begin(), m_standards.end(), [&](const auto& standard) {
        return standard->AlphaName() == alphaName && standard->CompleteName() == completeName;
    });
    return found == m_standards.end() ? nullptr : *found;
}

void HostStandardList::Add(const std::shared_ptr<Standard>& standard) {
    if (!standard) RaiseObjectRequired(QStringLiteral("no standard"));
    m_standards.push_back(standard);
}

std::shared_ptr<StandardList> HostStandardList::Clone() const {
    auto copy = std::make_shared<HostStandardList>();
    for (const auto& standard : m_standards) copy->Add(standard->Clone());
    return copy;
}

void HostStandardList::Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) {
    if (!element) RaiseObjectRequired(QStringLiteral("no element"));
    for (int32_t i = 0; i < element->ChildCount(); ++i) {
        const auto child = element->Child(i);
        if (child->TagName() != kStandardTag) continue;
        try {
            m_standards.push_back(ReadStandard(*child, log));
        } catch (const ComError& error) {
            qCWarning(lcHost).noquote()
                << QStringLiteral("left out standard \"%1\":").arg(child->GetAttribute(kAlphaName))
                << error.what();
            if (log) {
                log->AddEntry(error.Number(), LoadLog::kSeverityWarning,
                              QStringLiteral("Standard \"%1\": %2")
                                  .arg(child->GetAttribute(kAlphaName), error.Description()));
            }
        }
    }
}

std::shared_ptr<XmlElement> HostStandardList::Save(const std::shared_ptr<XmlElement>& parent) const {
    if (!parent) RaiseObjectRequired(QStringLiteral("no parent element"));
    const auto document = parent->Document();
    if (!document) RaiseObjectRequired(QStringLiteral("an element without a document"));
    auto list = AppendElement(*document, *parent, kListTag);
    for (const auto& standard : m_standards) {
        const auto element = AppendElement(*document, *list, kStandardTag);
        element->SetAttribute(kAlphaName, standard->AlphaName());
        element->SetAttribute(kCompleteName, standard->CompleteName());
        element->SetAttribute(kNumber, QString::number(standard->Number()));
        for (int32_t i = 1; i <= standard->Count(); ++i) SaveEntry(*document, *element, *standard->Item(i));
    }
    return list;
}

void HostStandardList::Print(const std::shared_ptr<ReportContext>& report,
                             const std::shared_ptr<StandardList>& selection, const Variant& table) {
    if (!report) RaiseObjectRequired(QStringLiteral("no report"));
    const std::vector<KeyRow> keys = ReadKeyTable(table);
    if (keys.empty()) return;

    QString testName;
    if (const auto owner = m_owner.lock()) {
        if (const auto info = owner->Info()) testName = info->Name() + QStringLiteral(": ");
    }
    // Every row leads with an empty cell, as the plug-in's own tables do: the layout's first column
    // is that indent, so each heading stands over the column of its values. The name shares the
    // descriptions' column, three fifths of the rest, and wraps there rather than push the limits
    // off the page. In 64 bits: the width may be any number.
    const int64_t width = std::max<int64_t>(0, report->Width(ReportContext::kTableWidth) - kIndentWidth);
    const int64_t limitWidth = width / 5;
    const QString columns = QStringLiteral("<") + QString::number(kIndentWidth) + QStringLiteral("|<+") +
                            QString::number(width - 2 * limitWidth) + QStringLiteral("|>+") +
                            QString::number(limitWidth) + QStringLiteral("|>+") +
                            QString::number(limitWidth) + QLatin1Char(';');
    const QString high = report->GetText(HostLanguageService::kHostTexts, QStringLiteral("232::High limit"));
    const QString low = report->GetText(HostLanguageService::kHostTexts, QStringLiteral("233::Low limit"));
    for (const auto& standard : m_standards) {
        if (selection && !selection->Find(standard->AlphaName(), standard->CompleteName())) continue;
        const QString title =
            QStringLiteral("|{\\i\\b ") +
            HostReportMarkup::Escape(testName + standard->CompleteName() + QStringLiteral(" (") +
                                     standard->AlphaName() + QLatin1Char(')')) +
            QStringLiteral("}|{\\i\\b ") + HostReportMarkup::Escape(high) + QStringLiteral("}|{\\i\\b ") +
            HostReportMarkup::Escape(low) + QStringLiteral("};");
        QString rows;
        for (const KeyRow& key : keys) {
            rows += QLatin1Char('|') + HostReportMarkup::Escape(key.description) + QLatin1Char('|') +
                    HostReportMarkup::Escape(LimitText(standard, key, LimitEntry::kHigh)) + QLatin1Char('|') +
                    HostReportMarkup::Escape(LimitText(standard, key, LimitEntry::kLow)) + QLatin1Char(';');
        }
        report->SetKeepTogether(true);
        report->PrintTable(title, columns, rows, true, true, false);
    }
}

void HostStandardList::Release() { m_standards.clear(); }

void HostStandardList::UpdateReferences(const std::shared_ptr<ITestElement>& owner) { m_owner = owner; }

}  // namespace orvex
