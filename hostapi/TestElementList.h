#pragma once

#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

class ITestElement;

// An ordered collection of test elements ("OrvexTypeLib.TestElementList"); a group element
// offers this interface too.
class ORVEX_HOSTAPI_EXPORT TestElementList : public virtual IUnknown {
public:
    ~TestElementList() override;

    // Inserts before the given element (at the end when none); flag 1 makes the list the
    // element's parent where the element is a member of a group.
    virtual void Add(const std::shared_ptr<ITestElement>& element,
                     const std::shared_ptr<ITestElement>& before, int32_t flag) = 0;
    virtual int32_t Count() const = 0;
    // Indexed from 1; none outside the range.
    virtual std::shared_ptr<ITestElement> Item(int32_t index) const = 0;
    // The first element with that test id, or none.
    virtual std::shared_ptr<ITestElement> FindByTestID(int32_t testId) const = 0;
    // Terminates and drops every element.
    virtual void CleanUp() = 0;
};

}  // namespace orvex
