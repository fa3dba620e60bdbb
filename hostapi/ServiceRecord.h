#pragma once

#include <QString>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"

namespace orvex {

class TestElementFilter;
class XmlDocument;
class XmlElement;

// A result's entry for the service history ("OrvexTypeLib.ServiceRecord"): the verdict of the run
// ("" passed, "F" failed, "NA" not applicable) and its values as one text. A result record makes
// one at the end of a run when its test element's filter asks for it, and stores it with itself.
class ORVEX_HOSTAPI_EXPORT ServiceRecord : public virtual IUnknown {
public:
    static inline const QString kTag = QStringLiteral("ServiceRecord");

    ~ServiceRecord() override;

    // Raises 424 without a filter and 5 when the filter does not ask for a service record.
    virtual void Initialize(const std::shared_ptr<TestElementFilter>& filter, const QString& verdict,
                            const QString& values) = 0;
    virtual QString Verdict() const = 0;
    virtual QString Values() const = 0;

    // A new element of the document, not yet placed anywhere.
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlDocument>& document) const = 0;
    // Raises 424 without an element and 5 for an element of another kind; a missing part reads as
    // empty.
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
};

}  // namespace orvex
