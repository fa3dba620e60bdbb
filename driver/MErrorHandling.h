#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "DriverExport.h"
#include "hostapi/Variant.h"

namespace korotka {

// Gives every driver error its shape: numbered, with a translated standard message.
class KOROTKA_DRIVER_EXPORT MErrorHandling {
public:
    // Raises the error; an empty description takes the number's standard message. The text is
    // translated with the one argument (if any) as %%1; a failed lookup leaves it empty.
    [[noreturn]] static void RaiseVtiError(int32_t number, const QString& source, const QString& description,
                                           const std::optional<orvex::Variant>& argument = std::nullopt);

    // The last step of an operation's error handler: describes a foreign number, shows the
    // description to the technician, and raises eeVTI_Error (eeVTI_CmdUserAbort keeps its number)
    // with the class name as source. The source argument is accepted for symmetry and not used.
    [[noreturn]] static void ReportError(int32_t number, const QString& source, const QString& description,
                                         const QString& className);

    // The standard message literal of a driver error number, empty when it has none.
    static QString StandardMessage(int32_t number);
    static bool IsDriverError(int32_t number);

    static inline const QString kPlugInId = QStringLiteral("Korotka");
};

}  // namespace korotka
