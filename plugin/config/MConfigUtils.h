#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "hostapi/HostTypes.h"
#include "hostapi/Variant.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class TestGuideSettings;
class XmlDocument;
class XmlElement;
}  // namespace orvex

namespace korotka {

// What the configuration records share: their element in the sequence file, the reading of the
// numbers in it, the load log's section and the table they print into the report.
class KOROTKA_PLUGIN_EXPORT MConfigUtils {
public:
    // The element is no configuration record, or a value in it cannot be read.
    static constexpr int32_t kErrLoad = PlugInErrors::kConfigLoad;
    // The record's element cannot be created.
    static constexpr int32_t kErrSave = PlugInErrors::kConfigSave;
    static inline const QString kRecordTag = QStringLiteral("PlugInData");
    static inline const QString kMissingLiteral =
        QStringLiteral("20600::Configuration parameter missing. Default value restored.");

    // The technician's text for a language literal of the plug-in.

    // Loads a record inside its own log section (when there is a log): raises kErrLoad through the
    // host unless the element is a record's, then lets read take the values; when read says that
    // something was missing, the log says so. Errors reach the host under the record's source and
    // the section is closed whatever happens.
    static void Load(const std::shared_ptr<orvex::XmlElement>& element,
                     const std::shared_ptr<orvex::LoadLog>& log, const QString& caption,
                     const QString& source, const std::function<bool(const orvex::XmlElement&)>& read);
    // Numbers as the files hold them ("." as decimal point, "" and text read as 0), rounded where
    // the type asks for it. A number beyond the type raises Overflow (6).
    static float ReadSingle(const QString& text);
    static int32_t ReadLong(const QString& text);
    static int16_t ReadInteger(const QString& text);
    static uint8_t ReadByte(const QString& text);
    // "True", "False" or a number; anything else raises Type mismatch (13).
    static bool ReadBoolean(const QString& text);

    // The pressure converted into mmHg as whole-number text, as the instrument's requests carry it.
    static QString WholeMmHgText(float pressure, int32_t unit);

    // A new test-guide settings object of the host.
    static std::shared_ptr<orvex::TestGuideSettings> NewTestGuideSettings();

    // The record's element "PlugInData" of the document; raises kErrSave through the host when it
    // cannot be made.
    static std::shared_ptr<orvex::XmlElement> CreateRecord(
        const std::shared_ptr<orvex::XmlDocument>& document, const QString& source);
    // A child with the value's text: numbers through the host's value formatter, Booleans as
    // "True" or "False".
    static void AppendValue(const std::shared_ptr<orvex::XmlDocument>& document, orvex::XmlElement& parent,
                            const QString& tag, const orvex::Variant& value);
    static QString ValueText(const orvex::Variant& value);
    // The settings' own element, when they give one.
    static void AppendSettings(const std::shared_ptr<orvex::XmlDocument>& document, orvex::XmlElement& parent,
                               const orvex::TestGuideSettings& settings);

    // One report row: the label translated by the report, then the value.
    static QString ReportRow(orvex::ReportContext& report, const QString& labelLiteral, const QString& value);
    // The records' table, titled and laid out over the report's width; nothing without rows.
    static void PrintReport(orvex::ReportContext& report, const QString& rows);
};

}  // namespace korotka
