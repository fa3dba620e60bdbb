#include "MErrorHandling.h"

#include "DriverLog.h"
#include "GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/VariantArray.h"

namespace korotka {

namespace {

const QString kForeignError = QStringLiteral("22000::Unknown error number occured: %%1\r\nDescription: %%2");

QString Translate(const QString& literal, const orvex::VariantArray& arguments) {
    try {
        return orvex::HostServices::Language()->GetText(MErrorHandling::kPlugInId, literal, arguments);
    } catch (const std::exception& e) {
        // The error itself matters more than its text: a failed lookup leaves the text empty.
        qCDebug(lcDriver).noquote() << "translating an error message failed:" << e.what();
        return {};
    }
}

}  // namespace

QString MErrorHandling::StandardMessage(int32_t number) {
    switch (number) {
        case eeVTI_PortNotOpen:
            return QStringLiteral("22006::%%1: The communication port could not be opened.");
        case eeVTI_PortUnavailable:
            return QStringLiteral(
                "22004::%%1: The communication port was not available.  It may be in use by another "
                "application.");
        case eeVTI_MTIResponseTimeout:
            return QStringLiteral("22007::Timeout error: A response was not received from the instrument.");
        case eeVTI_MTINotFound:
            return QStringLiteral(
                "22003::Could not establish communications with the Korotka. Please check that the device is "
                "connected and turned on.");
        case eeVTI_MTINegativeAck:
            return QStringLiteral("22012::The instrument refused the command (it answered NAK).");
        case eeVTI_MTIConnectionLost:
            return QStringLiteral("22011::%%1: The connection to the instrument was lost.");
        case eeVTI_CmdNoSuchPort:
            return QStringLiteral(
                "22005::%%1: The communication port assigned to the instrument was not found on the system.");
        default:
            return {};
    }
}

bool MErrorHandling::IsDriverError(int32_t number) {
    return number >= kVtiErrorFirst && number <= kVtiErrorLast;
}

void MErrorHandling::RaiseVtiError(int32_t number, const QString& source, const QString& description,
                                   const std::optional<orvex::Variant>& argument) {
    const QString message = description.isEmpty() ? StandardMessage(number) : description;
    orvex::VariantArray arguments;
    if (argument) arguments = orvex::VariantArray::FromList({*argument});
    throw orvex::ComError(number, source, Translate(message, arguments));
}

void MErrorHandling::ReportError(int32_t number, const QString& /*source*/, const QString& description,
                                 const QString& className) {
    QString text = description;
    if (!IsDriverError(number)) {
        text =
            Translate(kForeignError,
                      orvex::VariantArray::FromList({orvex::Variant(number), orvex::Variant(description)}));
    }
    if (!text.isEmpty()) {
        try {
            orvex::HostServices::Messages()->Show(text, orvex::MessageService::Icon::Exclamation,
                                                  orvex::MessageService::Buttons::Ok, QString());
        } catch (const std::exception& e) {
            // Showing the message is a courtesy; the error below still reaches the caller.
            qCDebug(lcDriver).noquote() << "showing the error message failed:" << e.what();
        }
    }
    throw orvex::ComError(number == eeVTI_CmdUserAbort ? number : eeVTI_Error, className, text);
}

}  // namespace korotka
