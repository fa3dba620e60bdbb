#pragma once

#include <QString>
#include <cstdint>
#include <optional>

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

    // The unit of heart rate.
    static inline const QString kHeartRateLiteral = QStringLiteral("20187::BPM");

    // Fills the factor table; part of the plug-in's start-up, before any conversion.
    static void Initialize();

    // value in unit `from` expressed in unit `to`, rounded to the decimals of `to`. 0 for a unit
    // outside the table, a value that is not finite, or a product beyond single precision.
    static float ConvertUnits(float value, int32_t from, int32_t to);
    // value in unit `from` expressed in unit `to` by the same factors, without rounding: a limit
    // moved into another unit must not loosen (6 mmHg/min is 0.116 PSI/min, not 0.12). 0 as above.
    static float ConvertUnitsExact(float value, int32_t from, int32_t to);
    // minuend - subtrahend exact to the decimals the two carry (253 - 249.6 is 3.4, not the single
    // subtraction's 3.399994); 0 for a difference that is not finite.
    static float Difference(float minuend, float subtrahend);
    // The decimals of a single's shortest decimal form (249.6 has 1), at most 9.
    static int16_t DecimalsOf(float value);
    // Decimals a value keeps after conversion into the unit: 1 for kPa, 2 for PSI, 0 otherwise.
    static int16_t UnitDecimals(int32_t unit);
    // The unit's translated text; empty outside 0..4.
    static QString UnitText(int32_t unit);
    // The unit's text as records keep it, the same in every language ("PSI", "cmH2O"): a file or a
    // database written under one language reads the same under another. Empty outside 0..4.
    static QString StoredUnitText(int32_t unit);
    // The stored leak-rate suffix ("/min") and heart-rate unit ("BPM").
    static QString StoredPerMinute();
    static QString StoredHeartRateUnit();
    // A unit text as records keep it: a stored text stays, a text of the current language (as older
    // records hold it) becomes its stored form; any other text stays as it is.
    static QString NeutralUnitText(const QString& text);
    // A stored unit text in the current language, as the technician reads it ("1/min" for BPM in
    // German); any other text as it is.
    static QString ShownUnitText(const QString& text);
    // The unit whose stored or translated text (or leak-rate text, "kPa/min") is exactly the text;
    // 0 (mmHg) when none is.
    static int32_t UnitFromText(const QString& text);
    // The pressure unit (0..4) a stored or translated unit text names, with or without "/min"; none
    // for the heart-rate unit and any other text.
    static std::optional<int32_t> KnownUnit(const QString& text);
    // ConvertUnitsExact between the units that UnitFromText gives for the texts, as a Single: limits
    // move into a new unit by it and must not loosen on the way.
    static orvex::Variant ConvertUnitsByText(float value, const QString& fromText, const QString& toText);
    // Adds the unit texts at the positions of their unit numbers: all five, or mmHg and kPa only.
    static void FillUnitCombo(QComboBox* combo, bool bloodPressureOnly);
    // The number format ("0", "0.0", "0.00") of the key's values shown in the unit; empty for an
    // unknown key, and for a pressure key in an unknown unit.
    static QString FormatForKey(const QString& key, int32_t unit);
};

}  // namespace korotka
