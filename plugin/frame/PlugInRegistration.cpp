#include "PlugInRegistration.h"

#include <memory>

#include "plugin/elements/CTestBP.h"
#include "plugin/elements/CTestLeak.h"
#include "plugin/elements/CTestOverPressure.h"
#include "plugin/elements/CTestStaticPressure.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/settings/CKorotkaControlPanel.h"
#include "plugin/settings/CPlugInSetup.h"
#include "plugin/views/XConfigPBP.h"
#include "plugin/views/XConfigPressure.h"
#include "plugin/views/XDetailedResult.h"
#include "plugin/views/XKorotkaControlPanel.h"
#include "plugin/views/XResultBP.h"
#include "plugin/views/XResultView.h"
#include "plugin/views/XTestDetails.h"
#include "plugin/views/XTestInstruction.h"

extern "C" KOROTKA_PLUGIN_EXPORT void orvexKorotka_RegisterClasses(orvex::ComponentRegistry& registry) {
    registry.Register(QStringLiteral("orvexKorotka.CPlugInKorotka"),
                      [] { return std::make_shared<korotka::CPlugInKorotka>(); });
    registry.Register(QStringLiteral("orvexKorotka.CKorotkaControlPanel"),
                      [] { return std::make_shared<korotka::CKorotkaControlPanel>(); });
    registry.Register(QStringLiteral("orvexKorotka.CPlugInSetup"),
                      [] { return std::make_shared<korotka::CPlugInSetup>(); });
    registry.Register(QStringLiteral("orvexKorotka.XKorotkaControlPanel"),
                      [] { return std::make_shared<korotka::XKorotkaControlPanel>(); });
    registry.Register(QStringLiteral("orvexKorotka.XConfigPBP"),
                      [] { return std::make_shared<korotka::XConfigPBP>(); });
    registry.Register(QStringLiteral("orvexKorotka.XConfigPressure"),
                      [] { return std::make_shared<korotka::XConfigPressure>(); });
    registry.Register(QStringLiteral("orvexKorotka.XTestDetails"),
                      [] { return std::make_shared<korotka::XTestDetails>(); });
    registry.Register(QStringLiteral("orvexKorotka.XTestInstruction"),
                      [] { return std::make_shared<korotka::XTestInstruction>(); });
    registry.Register(QStringLiteral("orvexKorotka.XDetailedResult"),
                      [] { return std::make_shared<korotka::XDetailedResult>(); });
    registry.Register(QStringLiteral("orvexKorotka.XResultBP"),
                      [] { return std::make_shared<korotka::XResultBP>(); });
    registry.Register(QStringLiteral("orvexKorotka.XResultView"),
                      [] { return std::make_shared<korotka::XResultView>(); });
    registry.Register(QStringLiteral("orvexKorotka.CTestStaticPressure"),
                      [] { return std::make_shared<korotka::CTestStaticPressure>(); });
    registry.Register(QStringLiteral("orvexKorotka.CTestLeak"),
                      [] { return std::make_shared<korotka::CTestLeak>(); });
    registry.Register(QStringLiteral("orvexKorotka.CTestOverPressure"),
                      [] { return std::make_shared<korotka::CTestOverPressure>(); });
    registry.Register(QStringLiteral("orvexKorotka.CTestBP"),
                      [] { return std::make_shared<korotka::CTestBP>(); });
}
