#pragma once

#include "host/platform/HostExport.h"
#include "hostapi/XmlDocumentFactory.h"

namespace orvex {

class ORVEX_HOST_EXPORT HostXmlDocumentFactory : public XmlDocumentFactory {
public:
    std::shared_ptr<XmlDocument> CreateDocument() override;
};

}  // namespace orvex
