#include "HostTestElementList.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/ITestElement.h"

namespace orvex {

namespace {
const QString kSource = QStringLiteral("OrvexTypeLib.TestElementList");
}

void HostTestElementList::Add(const std::shared_ptr<ITestElement>& element,
                              const std::shared_ptr<ITestElement>& before, int32_t /*flag*/) {
    if (!element) throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required"));
    auto position = m_elements.end();
    if (before) {
        position = std::find(m_elements.begin(), m_elements.end(), before);
        if (position == m_elements.end()) {
            throw ComError(
                ComError::kInvalidProcedureCall, kSource,
                QStringLiteral("Invalid procedure call: the element to insert before is not in the list"));
        }
    }
    m_elements.insert(position, element);
}

int32_t HostTestElementList::Count() const { return static_cast<int32_t>(m_elements.size()); }

std::shared_ptr<ITestElement> HostTestElementList::Item(int32_t index) const {
    if (index < 1 || static_cast<size_t>(index) > m_elements.size()) return nullptr;
    return m_elements[static_cast<size_t>(index) - 1];
}

std::shared_ptr<ITestElement> HostTestElementList::FindByTestID(int32_t testId) const {
    const auto it = std::find_if(m_elements.begin(), m_elements.end(),
                                 [testId](const auto& element) { return element->TestID() == testId; });
    return it == m_elements.end() ? nullptr : *it;
}

void HostTestElementList::CleanUp() {
    // Taken out first: an element's Terminate may reach back into this list.
    const auto elements = std::exchange(m_elements, {});
    std::exception_ptr first;
    for (const auto& element : elements) {
        try {
            element->Terminate();
        } catch (const std::exception& e) {
            // Every element gets its Terminate; the first failure is the one raised.
            if (first) {
                qCDebug(lcHost).noquote() << "a further failure to terminate a test element:" << e.what();
            } else {
                first = std::current_exception();
            }
        }
    }
    if (first) std::rethrow_exception(first);
}

}  // namespace orvex
