#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/ComError.h"
#include "hostapi/ILimitData.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace korotka {

class FDialogWrapper;

// The limits of one test element: the host standards its measurements are judged against and
// the unit the pressure limits are written in. The element that owns it gives itself as Owner.
class KOROTKA_PLUGIN_EXPORT CKorotkaLimitData : public orvex::ILimitData,
                                                public std::enable_shared_from_this<CKorotkaLimitData> {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CKorotkaLimitData");
    static inline const QString kElementTag = QStringLiteral("ExpectedResult");
    static constexpr int32_t kErrLoad = PlugInErrors::kLimitLoad;

    CKorotkaLimitData() = default;
    CKorotkaLimitData(const CKorotkaLimitData&) = delete;
    CKorotkaLimitData& operator=(const CKorotkaLimitData&) = delete;
    // Empties the standard list: standards handed out before die with their record.
    ~CKorotkaLimitData() override;

    QString Description() override { return {}; }
    void SetDescription(const QString&) override {}
    bool HasDialog() override { return true; }
    std::shared_ptr<orvex::StandardList> Standards() override { return m_standards; }
    std::shared_ptr<orvex::ITestElement> Owner() override { return m_owner.lock(); }
    // A copy without an owner.
    std::shared_ptr<orvex::ILimitData> Clone() override;
    // The host's limit editor for the owner's keys; none when the editor cannot be created.
    std::shared_ptr<orvex::IDialog> CreateDialog() override;
    // A new standard with the default limits of the owner's test, added to the list (created on
    // first use).
    std::shared_ptr<orvex::Standard> CreateStandard(const orvex::Variant& alphaName,
                                                    const orvex::Variant& completeName) override;
    // Replaces the standards by those of an "ExpectedResult" element; none are kept when it holds
    // none. The unit becomes that of the first limit stored.
    void Load(const std::shared_ptr<orvex::XmlElement>& element,
              const std::shared_ptr<orvex::LoadLog>& log) override;
    // The standards as an "ExpectedResult" element under parent; nothing without standards.
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>& parent) override;
    void PrintReport(const std::shared_ptr<orvex::ReportContext>& report,
                     const std::shared_ptr<orvex::PrintJob>& job) override;
    void UpdateLimits() override {}
    // The standards of this record, found by name among `standards`, that the measurement fails;
    // none when it fails none.
    std::shared_ptr<orvex::StandardList> FindFailedStandards(
        const std::shared_ptr<orvex::IMeasurement>& measurement,
        const std::shared_ptr<orvex::StandardList>& standards) override;

    const QString& GetUnitText() const { return m_unitText; }
    // Takes the owner and the unit of its configuration: the pressure unit (per minute for the
    // leak test) or the blood-pressure unit.
    void SetOwner(const std::shared_ptr<orvex::ITestElement>& owner);
    // Takes a clone of the source's standards and its unit; the owner stays.
    void CopyFrom(const CKorotkaLimitData& source);
    // Expresses every plain limit, and the owner's pressure configuration, in the new unit.
    void ChangeUnit(const QString& unitText);

private:
    int32_t OwnerTestId() const;
    // The editor's events: a unit changed for a pressure key converts everything to it.
    void OnDialogEvent(const QString& eventName, const orvex::VariantArray& parameters);
    void ConvertConfiguration(int32_t unit);
    [[noreturn]] static void PassOn(const orvex::ComError& error);

    std::shared_ptr<orvex::StandardList> m_standards;
    QString m_unitText;
    std::weak_ptr<orvex::ITestElement> m_owner;
    std::shared_ptr<FDialogWrapper> mfrmDlg;
};

}  // namespace korotka
