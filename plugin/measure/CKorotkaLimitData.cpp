#include "CKorotkaLimitData.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStringList>
#include <exception>
#include <functional>

#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/PrintJob.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/IKorotkaConfigPressure.h"
#include "plugin/dialogs/FDialogWrapper.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/measure/MLimitUtils.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::ComError;
using orvex::ComponentRegistry;
using orvex::HostServices;
using orvex::LimitEntry;
using orvex::Variant;

namespace {

const QString kStandardClass = QStringLiteral("OrvexTypeLib.Standard");
const QString kStandardListClass = QStringLiteral("OrvexTypeLib.StandardList");
const QString kLimitViewClass = QStringLiteral("OrvexView.XLimitView");
const QString kChangeEvent = QStringLiteral("Change");
// The number every new standard is initialised with.
constexpr int32_t kNewStandardNumber = 1;
// Message kind of the load error.
constexpr int32_t kLoadErrorKind = 1;
// Evaluation result of a standard that the value fails.
constexpr int32_t kFailed = 2;
// ValueType of a yes/no measurement.
constexpr int32_t kYesNo = 3;

// Tests whose limits are pressures (or leak rates) in the unit of their pressure configuration.
bool IsPressureTest(int32_t testId) { return testId >= TESTID_PRESS_LEAK && testId <= TESTID_PRESS_STATIC; }

// Blood-pressure limits stay in the blood-pressure unit whatever the editor shows.
bool IsBloodPressureKey(const QString& key) {
    return key == MMeasureKey::kDias || key == MMeasureKey::kSyst || key == MMeasureKey::kHart ||
           key == MMeasureKey::kMapr;
}

std::shared_ptr<orvex::StandardList> NewStandardList() {
    return ComponentRegistry::Instance().CreateAs<orvex::StandardList>(kStandardListClass);
}

bool HasEnabledLimit(const orvex::Standard& standard, const QString& key) {
    for (int32_t i = 1; i <= standard.Count(); ++i) {
        const auto entry = standard.Item(i);
        if (entry && entry->Key() == key &&
            (entry->Enabled(LimitEntry::kHigh) || entry->Enabled(LimitEntry::kLow))) {
            return true;
        }
    }
    return false;
}

// What a key press typed by the user does: it reaches the focused widget of the active window.
void SendEscape() {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) target = QApplication::activeWindow();
    if (target == nullptr) return;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier));
}

}  // namespace

CKorotkaLimitData::~CKorotkaLimitData() {
    if (!m_standards) return;
    try {
        m_standards->Release();
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "the standards could not be released: %s", error.what());
        // A destructor lets go whatever the list says.
    }
}

std::shared_ptr<orvex::ILimitData> CKorotkaLimitData::Clone() {
    try {
        auto copy = std::make_shared<CKorotkaLimitData>();
        copy->CopyFrom(*this);
        return copy;
    } catch (const ComError& error) {
        PassOn(error);
    }
}

std::shared_ptr<orvex::IDialog> CKorotkaLimitData::CreateDialog() {
    try {
        auto wrapper = std::make_shared<FDialogWrapper>();
        mfrmDlg = wrapper;
        // The wrapper may outlive this record in the host's hands: it must not call a dead one.
        const std::weak_ptr<CKorotkaLimitData> self = weak_from_this();
        QObject::connect(wrapper.get(), &FDialogWrapper::ControlEvent, wrapper.get(),
                         [self](QString& eventName, orvex::VariantArray& parameters) {
                             if (const auto data = self.lock()) data->OnDialogEvent(eventName, parameters);
                         });
        // An editor opened before and unloaded late must not take the current one along.
        QObject::connect(wrapper.get(), &FDialogWrapper::Unloaded, wrapper.get(),
                         [self, dialog = wrapper.get()] {
                             const auto data = self.lock();
                             if (data && data->mfrmDlg.get() == dialog) data->mfrmDlg.reset();
                         });
        QWidget* control = wrapper->CreateSetupCtrl(kLimitViewClass);
        if (control == nullptr) {
            wrapper->Unload();
            mfrmDlg.reset();
            return nullptr;
        }
        MLimitUtils::FillLimitView(control, OwnerTestId(), m_unitText);
        wrapper->Initialize(Variant(std::shared_ptr<orvex::IUnknown>(shared_from_this())));
        return wrapper;
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "the limit editor could not be created: %s", error.what());
        mfrmDlg.reset();
        return nullptr;
    }
}

std::shared_ptr<orvex::Standard> CKorotkaLimitData::CreateStandard(const Variant& alphaName,
                                                                   const Variant& completeName) {
    try {
        auto standard = ComponentRegistry::Instance().CreateAs<orvex::Standard>(kStandardClass);
        standard->Initialize(alphaName.ToString(), completeName.ToString(), kNewStandardNumber);
        MLimitUtils::CreateDefaultLimits(standard, OwnerTestId(), m_unitText);
        if (!m_standards) m_standards = NewStandardList();
        m_standards->Add(standard);
        return standard;
    } catch (const ComError& error) {
        PassOn(error);
    }
}

void CKorotkaLimitData::Load(const std::shared_ptr<orvex::XmlElement>& element,
                             const std::shared_ptr<orvex::LoadLog>& log) {
    try {
        if (!element || element->TagName() != kElementTag) {
            HostServices::Errors()->Raise(QString(), kErrLoad, kSource, kLoadErrorKind);
        }
        m_standards = NewStandardList();
        m_standards->Load(element, log);
        if (m_standards->Count() == 0) {
            m_standards.reset();
            return;
        }
        // Records written under a language keep its unit texts: they read as the same units.
        for (int32_t i = 1; i <= m_standards->Count(); ++i) {
            const auto standard = m_standards->Item(i);
            for (int32_t j = 1; j <= standard->Count(); ++j) {
                const auto entry = standard->Item(j);
                entry->SetUnit(MConversions::NeutralUnitText(entry->Unit()));
            }
        }
        // A first standard without limits says nothing about the unit.
        const auto first = m_standards->Item(1);
        if (first->Count() > 0) m_unitText = first->Item(1)->Unit();
    } catch (const ComError& error) {
        PassOn(error);
    }
}

std::shared_ptr<orvex::XmlElement> CKorotkaLimitData::Save(const std::shared_ptr<orvex::XmlElement>& parent) {
    if (!m_standards) return nullptr;
    try {
        auto element = m_standards->Save(parent);
        if (element) element->SetTagName(kElementTag);
        return element;
    } catch (const ComError& error) {
        PassOn(error);
    }
}

void CKorotkaLimitData::PrintReport(const std::shared_ptr<orvex::ReportContext>& report,
                                    const std::shared_ptr<orvex::PrintJob>& job) {
    if (!m_standards) return;
    try {
        if (m_standards->Count() < 1) return;
        const Variant table =
            MLimitUtils::BuildLimitReportTable(report, Owner(), MConversions::UnitFromText(m_unitText));
        m_standards->Print(report, job ? job->Standards() : nullptr, table);
    } catch (const ComError& error) {
        PassOn(error);
    }
}

std::shared_ptr<orvex::StandardList> CKorotkaLimitData::FindFailedStandards(
    const std::shared_ptr<orvex::IMeasurement>& measurement,
    const std::shared_ptr<orvex::StandardList>& standards) {
    if (!m_standards || m_standards->Count() == 0 || !measurement || !standards) return nullptr;
    // Our own measurements show why a limit could not judge them.
    const auto own = std::dynamic_pointer_cast<CMeasurement>(measurement);
    const auto unjudged = [&](const orvex::Standard& standard, const QString& why) {
        if (own) {
            own->NoteUnjudgedLimit(standard.CompleteName(), why);
        } else {
            qCWarning(lcPlugIn).noquote() << "a limit of" << standard.CompleteName()
                                          << "could not be evaluated; the reading fails:" << why;
        }
    };
    const QString key = measurement->Key();
    const Variant value = measurement->Value();
    const Variant preset = measurement->PresetValue();
    auto failed = NewStandardList();
    for (int32_t i = 1; i <= standards->Count(); ++i) {
        const auto wanted = standards->Item(i);
        const auto found = wanted ? m_standards->Find(wanted->AlphaName(), wanted->CompleteName()) : nullptr;
        if (!found) continue;
        // A limit that cannot be evaluated (a value or preset that is no number, an unknown
        // operation) must never let a reading pass.
        try {
            if (found->Evaluate(key, value.ToSingle(), preset) == kFailed) failed->Add(found);
        } catch (const ComError& error) {
            if (HasEnabledLimit(*found, key)) {
                unjudged(*found, error.Description());
                failed->Add(found);
                continue;
            }
        }
        if (measurement->ValueType() == kYesNo && value.Equals(Variant(false))) failed->Add(found);
    }
    return failed->Count() == 0 ? nullptr : failed;
}

void CKorotkaLimitData::SetOwner(const std::shared_ptr<orvex::ITestElement>& owner) {
    m_owner = owner;
    try {
        const int32_t testId = owner ? owner->TestID() : 0;
        if (IsPressureTest(testId)) {
            const auto config = std::dynamic_pointer_cast<IKorotkaConfigPressure>(owner->Configuration());
            if (!config) return;
            QString unitText = MConversions::StoredUnitText(config->PressureUnit());
            if (testId == TESTID_PRESS_LEAK) unitText += MConversions::StoredPerMinute();
            m_unitText = unitText;
        } else if (MMeasureKey::IsBloodPressureTest(testId)) {
            if (const auto config = std::dynamic_pointer_cast<CConfigPBP>(owner->Configuration())) {
                m_unitText = MConversions::StoredUnitText(config->UnitOfMeasure());
            }
        }
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "the limits keep their unit text: %s", error.what());
        // The unit stays as it was.
    }
}

void CKorotkaLimitData::CopyFrom(const CKorotkaLimitData& source) {
    m_standards.reset();
    if (source.m_standards) m_standards = source.m_standards->Clone();
    m_unitText = source.m_unitText;
}

void CKorotkaLimitData::ChangeUnit(const QString& unitText) {
    const QString oldUnit = m_unitText;
    const int32_t standards = m_standards ? m_standards->Count() : 0;
    for (int32_t i = 1; i <= standards; ++i) {
        try {
            const auto standard = m_standards->Item(i);
            for (int32_t j = 1; j <= standard->Count(); ++j) {
                const auto entry = standard->Item(j);
                entry->SetUnit(unitText);
                // Percentages and other numbers without a unit stay as they are.
                if (oldUnit.isEmpty() || entry->Type() != LimitEntry::kTypeInUnit) continue;
                for (const int32_t position : {LimitEntry::kHigh, LimitEntry::kLow}) {
                    if (!entry->Enabled(position)) continue;
                    entry->SetValue(
                        position, MConversions::ConvertUnitsByText(entry->Value(position), oldUnit, unitText)
                                      .ToSingle());
                }
            }
        } catch (const ComError& error) {
            qCWarning(lcPlugIn, "a standard was not converted into the new unit: %s", error.what());
            // The other standards are converted all the same.
        }
    }
    m_unitText = unitText;
    ConvertConfiguration(MConversions::UnitFromText(unitText));
}

int32_t CKorotkaLimitData::OwnerTestId() const {
    const auto owner = m_owner.lock();
    return owner ? owner->TestID() : 0;
}

void CKorotkaLimitData::OnDialogEvent(const QString& eventName, const orvex::VariantArray& parameters) {
    if (eventName != kChangeEvent || parameters.Count() == 0) return;
    try {
        const Variant& first = parameters.At(parameters.LBound());
        const auto entry =
            first.IsObject() ? std::dynamic_pointer_cast<LimitEntry>(first.ToObject()) : nullptr;
        if (!entry || IsBloodPressureKey(entry->Key()) || entry->Unit() == m_unitText) return;
        ChangeUnit(entry->Unit());
        if (mfrmDlg) mfrmDlg->Initialize(Variant(std::shared_ptr<orvex::IUnknown>(shared_from_this())));
        SendEscape();
    } catch (const std::exception& error) {
        qCDebug(lcPlugIn, "a limit editor event was not handled: %s", error.what());
        // The editor's events report nothing back.
    }
}

// The pressure configuration follows the limits into the new unit.
void CKorotkaLimitData::ConvertConfiguration(int32_t unit) {
    try {
        const auto owner = m_owner.lock();
        if (!owner || !IsPressureTest(owner->TestID())) return;
        const auto config = std::dynamic_pointer_cast<IKorotkaConfigPressure>(owner->Configuration());
        if (!config) return;
        config->SetInflatePressure(
            MConversions::ConvertUnits(config->InflatePressure(), config->PressureUnit(), unit));
        config->SetPressureUnit(unit);
    } catch (const ComError& error) {
        qCWarning(lcPlugIn, "the configuration keeps its unit: %s", error.what());
        // The configuration keeps its unit.
    }
}

// The record's own error goes on unchanged; any other goes through the host's error service.
void CKorotkaLimitData::PassOn(const ComError& error) {
    if (error.Number() != kErrLoad) HostServices::Errors()->ReportError(error, kSource);
    throw error;
}

}  // namespace korotka
