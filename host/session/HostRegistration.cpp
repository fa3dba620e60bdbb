#include "HostRegistration.h"

#include <memory>

#include "host/controls/HostControlCallBack.h"
#include "host/controls/HostXHelpText.h"
#include "host/controls/HostXLimitView.h"
#include "host/controls/HostXTestGuideSettings.h"
#include "host/controls/HostXTestWizard.h"
#include "host/controls/HostXTgContentPane.h"
#include "host/controls/HostXTgToolbar.h"
#include "host/platform/HostInstrumentData.h"
#include "host/platform/HostRegistry.h"
#include "host/records/HostLimitEntry.h"
#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "host/records/HostServiceRecord.h"
#include "host/records/HostStandard.h"
#include "host/records/HostStandardList.h"
#include "host/records/HostTestElementBase.h"
#include "host/records/HostTestElementList.h"
#include "host/records/HostTestGuideSettings.h"
#include "hostapi/HostServices.h"

// The one entry point through which the host makes its own creatable classes known.
extern "C" ORVEX_HOST_EXPORT void orvexhost_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("OrvexTypeLib.InstrumentData"),
                      [] { return std::make_shared<orvex::HostInstrumentData>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.Registry"),
                      [] { return std::make_shared<orvex::HostRegistry>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.TestElementBase"),
                      [] { return std::make_shared<orvex::HostTestElementBase>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.TestElementList"),
                      [] { return std::make_shared<orvex::HostTestElementList>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.LimitEntry"),
                      [] { return std::make_shared<orvex::HostLimitEntry>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.Standard"),
                      [] { return std::make_shared<orvex::HostStandard>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.StandardList"),
                      [] { return std::make_shared<orvex::HostStandardList>(); });
    registry.Register(QStringLiteral("OrvexView.XLimitView"),
                      [] { return std::make_shared<orvex::HostXLimitView>(); });
    registry.Register(QStringLiteral("OrvexView.XTestWizard"),
                      [] { return std::make_shared<orvex::HostXTestWizard>(); });
    registry.Register(QStringLiteral("OrvexView.XTestGuideSettings"),
                      [] { return std::make_shared<orvex::HostXTestGuideSettings>(); });
    registry.Register(QStringLiteral("OrvexView.XHelpText"),
                      [] { return std::make_shared<orvex::HostXHelpText>(); });
    registry.Register(QStringLiteral("OrvexTGCL2.XTgContentPane"),
                      [] { return std::make_shared<orvex::HostXTgContentPane>(); });
    registry.Register(QStringLiteral("OrvexTGCL2.XTgToolbar"),
                      [] { return std::make_shared<orvex::HostXTgToolbar>(); });
    // The log and the report speak the language the host runs in.
    registry.Register(QStringLiteral("OrvexTypeLib.LoadLog"),
                      [] { return std::make_shared<orvex::HostLoadLog>(orvex::HostServices::Language()); });
    registry.Register(QStringLiteral("OrvexTypeLib.ReportContext"), [] {
        return std::make_shared<orvex::HostReportContext>(orvex::HostServices::Language());
    });
    registry.Register(QStringLiteral("OrvexTypeLib.TestGuideSettings"),
                      [] { return std::make_shared<orvex::HostTestGuideSettings>(); });
    // The call-back object a window gives the views it embeds, to hear their events.
    registry.Register(QStringLiteral("OrvexTypeLib.ControlCallBack"),
                      [] { return std::make_shared<orvex::HostControlCallBack>(); });
    registry.Register(QStringLiteral("OrvexTypeLib.ServiceRecord"),
                      [] { return std::make_shared<orvex::HostServiceRecord>(); });
}
