#include "HostXmlDocumentFactory.h"

#include "host/xml/HostXmlDocument.h"

namespace orvex {

std::shared_ptr<XmlDocument> HostXmlDocumentFactory::CreateDocument() { return HostXmlDocument::Create(); }

}  // namespace orvex
