#pragma once

#include <QString>
#include <array>

#include "host/platform/HostExport.h"
#include "hostapi/CalculatedLimit.h"
#include "hostapi/LimitEntry.h"

namespace orvex {

// The host's limit entry ("OrvexTypeLib.LimitEntry"), which computes its own calculated limits.
class ORVEX_HOST_EXPORT HostLimitEntry : public LimitEntry, public CalculatedLimit {
public:
    void Initialize(const QString& key, const QString& unit, const QString& description,
                    const QString& comment) override;

    QString Key() const override { return m_key; }
    QString Unit() const override { return m_unit; }
    void SetUnit(const QString& unit) override { m_unit = unit; }
    QString Description() const override { return m_description; }
    QString Comment() const override { return m_comment; }
    int32_t Type() const override { return m_type; }
    void SetType(int32_t type) override { m_type = type; }

    float Value(int32_t position) const override;
    void SetValue(int32_t position, float value) override;
    bool Enabled(int32_t position) const override;
    void SetEnabled(int32_t position, bool enabled) override;
    QString Operation(int32_t position) const override;
    void SetOperation(int32_t position, const QString& operation) override;

    std::shared_ptr<LimitEntry> Clone() const override;

    float Calculate(float x, int32_t position) const override;

private:
    struct Position {
        float value = 0.0F;
        bool enabled = false;
        QString operation;
    };

    const Position& At(int32_t position) const;
    Position& At(int32_t position);

    QString m_key;
    QString m_unit;
    QString m_description;
    QString m_comment;
    int32_t m_type = kTypeInUnit;
    std::array<Position, 2> m_positions;
};

}  // namespace orvex
