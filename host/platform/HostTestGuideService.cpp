#include "HostTestGuideService.h"

#include <utility>

#include "host/platform/HostLanguageService.h"
#include "hostapi/ComError.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/VariantArray.h"

namespace orvex {

HostTestGuideService::HostTestGuideService(std::shared_ptr<MessageService> messages, QString applicationTitle)
    : m_messages(std::move(messages)), m_applicationTitle(std::move(applicationTitle)) {}

QString HostTestGuideService::Title(const std::shared_ptr<ITestElement>& element) {
    if (!element) {
        throw ComError(ComError::kObjectRequired, QStringLiteral("OrvexTypeLib.TestGuideService"),
                       QStringLiteral("Object required: no test element"));
    }
    const auto info = element->Info();
    const QString name = info ? info->Name() : QString();
    return name.isEmpty()
               ? HostLanguageService::HostText(QStringLiteral("1126::Test %%1"),
                                               VariantArray::FromList({Variant(element->TestID())}))
               : name;
}

bool HostTestGuideService::ConfirmAbort() {
    return m_messages->Show(
               HostLanguageService::HostText(QStringLiteral("1125::Do you want to abort the test sequence?")),
               MessageService::Icon::Question, MessageService::Buttons::YesNo,
               m_applicationTitle) == MessageService::Answer::Yes;
}

}  // namespace orvex
