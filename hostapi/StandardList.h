#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class ITestElement;
class XmlElement;

// The standards of a test (its limit data's) or of a run (those chosen for it), in the order they
// were added.
class ORVEX_HOSTAPI_EXPORT StandardList : public virtual IUnknown {
public:
    ~StandardList() override;

    virtual int32_t Count() const = 0;
    // The standard at a 1-based position; "Subscript out of range" (9) outside 1..Count.
    virtual std::shared_ptr<Standard> Item(int32_t index) const = 0;
    // The first standard with exactly these names; none when there is none.
    virtual std::shared_ptr<Standard> Find(const QString& alphaName, const QString& completeName) const = 0;
    // Raises "Object required" (424) for no standard.
    virtual void Add(const std::shared_ptr<Standard>& standard) = 0;
    // Takes out the standard at a 1-based position; "Subscript out of range" (9) outside 1..Count.
    virtual void Remove(int32_t index) = 0;
    // A new list holding a copy of every standard with copies of its entries: editing one list
    // leaves the other as it was.
    virtual std::shared_ptr<StandardList> Clone() const = 0;

    // Adds the standards stored in the element (as Save writes them). Stored limits that do not
    // read (no key, a number or switch that is none) are left out, each noted in the log when
    // there is one.
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
    // Writes the list as a new child element of parent and returns that element.
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent) const = 0;
    // Adds one report table per standard: a row per row of the key table (rows of key,
    // description, number format and, optionally, the measurement of the key, from index 0) with
    // the standard's high and low limit for that key. With a selection (the standards a run was
    // performed against) only the standards found in it by name are printed.
    virtual void Print(const std::shared_ptr<ReportContext>& report,
                       const std::shared_ptr<StandardList>& selection, const Variant& table) = 0;

    // Lets go of every standard: the list is empty afterwards.
    virtual void Release() = 0;
    // The test element the standards belong to now (after a clone or a load); its name heads the
    // printed tables. Held weakly: the element owns the list, not the other way round.
    virtual void UpdateReferences(const std::shared_ptr<ITestElement>& owner) = 0;
};

}  // namespace orvex
