#pragma once

#include <memory>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/TestElementList.h"

namespace orvex {

// A plain ordered list of test elements. It belongs to no group element, so Add's flag changes no
// element's parent.
class ORVEX_HOST_EXPORT HostTestElementList : public TestElementList {
public:
    // Raises 424 without an element and 5 when "before" is not in the list.
    void Add(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<ITestElement>& before,
             int32_t flag) override;
    int32_t Count() const override;
    std::shared_ptr<ITestElement> Item(int32_t index) const override;
    std::shared_ptr<ITestElement> FindByTestID(int32_t testId) const override;
    // Every element is terminated even when one fails; the first failure is raised afterwards.
    void CleanUp() override;

private:
    std::vector<std::shared_ptr<ITestElement>> m_elements;
};

}  // namespace orvex
