#include "CKorotkaControlPanel.h"

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/Registry.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

using orvex::ComError;

namespace {

const QString kSource = QStringLiteral("OrvexKorotka.CKorotkaControlPanel");
const QString kKey = QStringLiteral("Software\\Marrick\\Orvex\\Korotka");
const QString kPressureUnit = QStringLiteral("PressureUnit");
const QString kBPUnit = QStringLiteral("BPUnit");

std::shared_ptr<orvex::Registry> OpenKey() {
    try {
        auto registry = orvex::ComponentRegistry::Instance().CreateAs<orvex::Registry>(
            QStringLiteral("OrvexTypeLib.Registry"));
        registry->OpenKey(orvex::Registry::kHkeyLocalMachine, kKey);
        return registry;
    } catch (const ComError&) {
        orvex::HostServices::Errors()->Raise(MLanguage::kPlugInId, CKorotkaControlPanel::kErrKeyNotOpened,
                                             kSource, 1);
        throw ComError(CKorotkaControlPanel::kErrKeyNotOpened, kSource, QString(), 1);
    }
}

// A unit that cannot be read keeps the value it had.
void ReadUnit(orvex::Registry& registry, const QString& name, int32_t& unit) {
    try {
        unit = registry.ReadValue(name).ToLong();
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "unit %s not read, kept as it was: %s", qUtf8Printable(name), error.what());
    }
}

}  // namespace

std::shared_ptr<orvex::IUnknown> CKorotkaControlPanel::GetSetup() {
    if (!m_view) m_view = CreateDialog();
    return m_view;
}

std::shared_ptr<orvex::IUnknown> CKorotkaControlPanel::CreateDialog() {
    return orvex::ComponentRegistry::Instance().Create(QStringLiteral("orvexKorotka.XKorotkaControlPanel"));
}

void CKorotkaControlPanel::RegLoad(int32_t /*hive*/, const QString& /*key*/) {
    const auto registry = OpenKey();
    ReadUnit(*registry, kPressureUnit, m_pressureUnit);
    ReadUnit(*registry, kBPUnit, m_bpUnit);
}

void CKorotkaControlPanel::RegSave(int32_t /*hive*/, const QString& /*key*/) {
    const auto registry = OpenKey();
    registry->WriteValue(kPressureUnit, orvex::Variant(m_pressureUnit));
    registry->WriteValue(kBPUnit, orvex::Variant(m_bpUnit));
}

}  // namespace korotka
