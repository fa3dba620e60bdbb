#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/StandardList.h"

namespace orvex {

// The host's standard list ("OrvexTypeLib.StandardList"). Stored form: one "Standard" element per
// standard (attributes AlphaName, CompleteName, Number), with one "Limit" element per entry
// (attributes Key, Unit, Type, Description, Comment) holding "High" and "Low" (attributes
// Enabled, Operation; the number as text). A limit left out on loading is logged as a warning
// with the number of the error that made it unreadable.
class ORVEX_HOST_EXPORT HostStandardList : public StandardList {
public:
    int32_t Count() const override;
    std::shared_ptr<Standard> Item(int32_t index) const override;
    std::shared_ptr<Standard> Find(const QString& alphaName, const QString& completeName) const override;
    void Add(const std::shared_ptr<Standard>& standard) override;
    void Remove(int32_t index) override;
    std::shared_ptr<StandardList> Clone() const override;

    void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) override;
    std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent) const override;
    void Print(const std::shared_ptr<ReportContext>& report, const std::shared_ptr<StandardList>& selection,
               const Variant& table) override;

    void Release() override;
    void UpdateReferences(const std::shared_ptr<ITestElement>& owner) override;
    std::shared_ptr<ITestElement> Owner() const { return m_owner.lock(); }

private:
    // Raises "Subscript out of range" (9) outside 1..Count.
    void CheckIndex(int32_t index) const;

    std::vector<std::shared_ptr<Standard>> m_standards;
    std::weak_ptr<ITestElement> m_owner;
};

}  // namespace orvex
