#pragma once

#include <QString>
#include <cstdint>

#include "hostapi/Variant.h"
#include "plugin/base/PlugInExport.h"

class QComboBox;

namespace korotka {

// Everything the plug-in knows about pressure units: their texts, the conversion between them with
// the rounding of the target unit, and the display format of a measured value. Units are the
// driver's EKorotkaPressMeasUnit values (a blood-pressure unit is one of the first two). No
// operation reports an error: a failure gives 0 or an empty text.
class KOROTKA_PLUGIN_EXPORT MConversions {
public:
    static constexpr int32_t kUnitCount = 5;
    // The suffix that makes a pressure unit text a leak-rate unit text ("mmHg/min").
    static inline const QString kPerMinuteLiteral = QStringLiteral("20185::/min");

    // Fills the factor table; part of the plug-in's start-up, before any conversion.
    static void Initialize();

    // value in unit `from` expressed in unit `to`, rounded to the decimals of `to`. 0 for a unit
    // outside the table, a value that is not finite, or a product beyond single precision.
    static float ConvertUnits(float value, int32_t from, int32_t to);
    // Decimals a value keeps after conversion into the unit: 1 for kPa, 2 for PSI, 0 otherwise.
    static int16_t UnitDecimals(int32_t unit);
    // The unit's translated text; empty outside 0..4.
    static QString UnitText(int32_t unit);
    // The unit whose translated text (or leak-rate text, "kPa/min") is exactly the text; 0 (mmHg)
    // when none is.
    static int32_t UnitFromText(const QString& text);
    // ConvertUnits between the units that UnitFromText gives for the texts, as a Single.
    static orvex::Variant ConvertUnitsByText(float value, const QString& fromText, const QString& toText);
    // Adds the unit texts at the positions of their unit numbers: all five, or mmHg and kPa only.
    static void FillUnitCombo(QComboBox* combo, bool bloodPressureOnly);
    // The number format ("0", "0.0", "0.00") of the key's values shown in the unit; empty for an
    // unknown key, and for a pressure key in an unknown unit.
    static QString FormatForKey(const QString& key, int32_t unit);
};

}  // namespace korotka
