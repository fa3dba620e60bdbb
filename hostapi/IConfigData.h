#pragma once

#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"

namespace orvex {

class IDialog;
class XmlDocument;
class XmlElement;

// A test's configuration record as the host keeps it.
class ORVEX_HOSTAPI_EXPORT IConfigData : public virtual IUnknown {
public:
    ~IConfigData() override;

    virtual bool HasDialog() = 0;
    virtual std::shared_ptr<IConfigData> Clone() = 0;
    virtual std::shared_ptr<IDialog> CreateDialog() = 0;
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlDocument>& document) = 0;
    virtual void PrintReport(const std::shared_ptr<ReportContext>& report) = 0;
};

}  // namespace orvex
