#pragma once

#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "XmlDocument.h"

namespace orvex {

// Creates host documents.
class ORVEX_HOSTAPI_EXPORT XmlDocumentFactory : public virtual IUnknown {
public:
    ~XmlDocumentFactory() override;

    virtual std::shared_ptr<XmlDocument> CreateDocument() = 0;
};

}  // namespace orvex
