#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/HostTypes.h"
#include "hostapi/Variant.h"
#include "plugin/base/PlugInExport.h"

class QWidget;

namespace orvex {
class ITestElement;
}

namespace korotka {

// Turns the measurement keys of a test into the host's limit objects: default limit entries, the
// rows of the host's limit editor and the per-key table printed with the limits. None of these
// reports an error: a host call that fails leaves out its entry, row or cell and the rest goes on.
class KOROTKA_PLUGIN_EXPORT MLimitUtils {
public:
    // Adds one default entry per key of the test to the standard, in key order. unitText is the
    // limit data's (translated) unit; heart rate always gets beats per minute.
    static void CreateDefaultLimits(const std::shared_ptr<orvex::Standard>& standard, int32_t testId,
                                    const QString& unitText);
    // Adds a new host limit entry for the key with the unit (translated if it is a language literal)
    // and, when operation is not empty, that operation at the high position.
    static void AddDefaultLimit(const std::shared_ptr<orvex::Standard>& standard, const QString& key,
                                const QString& unitText, const QString& operation);
    // Adds one row per key of the test to the host's limit editor control (its widget).
    static void FillLimitView(QWidget* view, int32_t testId, const QString& unitText);
    // Rows (key, description in the report's language, number format in `unit` and, for a
    // blood-pressure test, the owner's measurement for the key) as a two-dimensional array from 0;
    // an array without elements for a test without keys.
    static orvex::Variant BuildLimitReportTable(const std::shared_ptr<orvex::ReportContext>& report,
                                                const std::shared_ptr<orvex::ITestElement>& owner,
                                                int32_t unit);
};

}  // namespace korotka
