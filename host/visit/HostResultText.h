#pragma once

#include <QColor>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

#include "host/platform/HostExport.h"

namespace orvex {

class IMeasurement;
class Variant;

// How results read outside the plug-in's views: in `orvex show`, the report and the export.
class ORVEX_HOST_EXPORT HostResultText {
public:
    // "passed", "failed", "not-applicable", or "not-measured" for any other status.
    static QString StatusWord(int32_t status);
    // A status word ("passed", ..., "not-judged") as the technician reads it, in the host's language.
    static QString ShownStatus(const QString& word);
    // The colour a status or verdict word is shown in, whatever its case: green for passed, red
    // for failed; none (invalid) for the others.
    static QColor StatusColour(const QString& word);
    // The value in the measurement's own format, without its unit; empty when there is none.
    static QString Value(IMeasurement& measurement);
    // The value as the technician must read it to see why it was judged as it was (the value
    // formatter's FormatShown: 3.4 where the format shows 3), without its unit; empty when there
    // is none.
    static QString Shown(IMeasurement& measurement, const QLocale& locale = QLocale());
    // The reading with its unit as the plug-in shows it in the window's language ("80 1/min" in
    // German for a stored "80 BPM"); Shown and the stored unit when the plug-in cannot say.
    static QString ShownWithUnit(IMeasurement& measurement);
    // "value unit"; the value alone when it or the unit is empty.
    static QString WithUnit(const QString& value, const QString& unit);
    // A reading in a line of readings: "KEY=value unit".
    static QString KeyValue(const QString& key, const QString& text);
    // A number (a reading or a limit) shown by the same rule, with at least the format's decimals.
    static QString ShownNumber(double number, const QString& format, const QLocale& locale = QLocale());
    // The number a value holds (also as text); none for Empty, Null, a yes/no, other text or a
    // number that is not finite. A single is the number of its shortest decimal form.
    static std::optional<double> Number(const Variant& value);
};

}  // namespace orvex
