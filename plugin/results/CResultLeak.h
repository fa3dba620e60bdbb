#pragma once

#include <QString>

#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"
#include "plugin/results/CResultBase.h"

namespace korotka {

// The result of the leak test: the leak rate ("RATE") the instrument measured, and a text stored
// with the verdict.
class KOROTKA_PLUGIN_EXPORT CResultLeak : public CResultBase {
public:
    CResultLeak();

    // The measurement in the leak-rate unit ("mmHg/min"), unless the record holds it already.
    void CreateMeasurements(const QString& unitText);
    // The instrument's result array: element 1 the leak rate.
    void SetResult(const orvex::VariantArray& result);
    // The text stored with the verdict; empty unless loaded.
    QString GetStatusText() const { return m_statusText; }

protected:
    QString StatusText() const override { return m_statusText; }
    void TakeStatusText(const QString& text) override { m_statusText = text; }

private:
    QString m_statusText;
};

}  // namespace korotka
