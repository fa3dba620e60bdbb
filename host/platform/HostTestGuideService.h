#pragma once

#include <QString>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/MessageService.h"
#include "hostapi/TestGuideService.h"

namespace orvex {

class ORVEX_HOST_EXPORT HostTestGuideService : public TestGuideService {
public:
    // Questions go through the message service under the application's title.
    HostTestGuideService(std::shared_ptr<MessageService> messages, QString applicationTitle);

    // The element's name, else "Test <test id>"; raises 424 without an element.
    QString Title(const std::shared_ptr<ITestElement>& element) override;
    bool ConfirmAbort() override;

private:
    std::shared_ptr<MessageService> m_messages;
    QString m_applicationTitle;
};

}  // namespace orvex
