#include "CPlugInKorotka.h"

#include <QStringList>
#include <exception>

#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/MBitmaps.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/MPresets.h"
#include "plugin/settings/CKorotkaControlPanel.h"
#include "plugin/settings/CPlugInSetup.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;

namespace {

const QString kSource = QStringLiteral("OrvexKorotka.CPlugInKorotka");
const QString kTestElement = QStringLiteral("TestElement");

// Groups inside groups are rare; a template file nested deeper than this is not one of ours.
constexpr int kMaxTemplateDepth = 16;

// The numeric value of the text rounded to a 32-bit integer ("300abc" -> 300, "abc" -> 0);
// false when it does not fit.
bool TestIdOf(const QString& text, int32_t& testId) {
    try {
        testId = orvex::Variant(orvex::Variant::Val(text)).ToLong();
        return true;
    } catch (const ComError&) {
        return false;
    }
}

}  // namespace

CPlugInKorotka::CPlugInKorotka() { StartUp(); }

void CPlugInKorotka::StartUp() {
    static bool started = false;
    if (started) return;
    started = true;
    MPresets::Initialize();
    MConversions::Initialize();
    MUtils::LoadTimeouts();
}

CPlugInKorotka::~CPlugInKorotka() {
    if (!m_templates) return;
    try {
        m_templates->CleanUp();
    } catch (const std::exception& error) {
        // Nothing may leave a destructor.
        qCDebug(lcPlugIn, "releasing the templates failed: %s", error.what());
    }
}

QString CPlugInKorotka::ID() { return MLanguage::kPlugInId; }

QString CPlugInKorotka::IconName(int32_t testId, int32_t size) {
    if (size == 2) return QStringLiteral("KOROTKA(32X32X256)");
    if (size != 0 && size != 1) return {};
    const bool small = size == 0;
    switch (testId) {
        case 0:  // the plug-in itself
            return small ? QStringLiteral("KOROTKA(16X16X256)") : QString();
        case TESTID_PRESS_LEAK:
            return small ? QStringLiteral("TE:LET(16X16X256)") : QStringLiteral("TE:LET(32X16X256)");
        case TESTID_PRESS_RELIEF:
            return small ? QStringLiteral("TE:OPT(16X16X256)") : QStringLiteral("TE:OPT(32X16X256)");
        case TESTID_PRESS_STATIC:
            return small ? QStringLiteral("TE:SPT(16X16X256)") : QStringLiteral("TE:SPT(32X16X256)");
        default:
            break;
    }
    if (testId >= TESTID_BP_STD && testId <= TESTID_BP_WRIST) {
        return small ? QStringLiteral("TE:BPT(16X16X256)") : QStringLiteral("TE:BPT(32X16X256)");
    }
    return {};
}

QPixmap CPlugInKorotka::Icon(int32_t testId, int32_t size, const orvex::Variant& /*unused*/) {
    return MBitmaps::Bitmap(IconName(testId, size));
}

QString CPlugInKorotka::Name() {
    return MLanguage::Translate(QStringLiteral("20000::Korotka NIBP Analyzer"));
}

int32_t CPlugInKorotka::Flags() { return m_flags; }

std::shared_ptr<orvex::ISetup> CPlugInKorotka::Setup() { return m_controlPanel; }

std::shared_ptr<orvex::IUnknown> CPlugInKorotka::ControlPanel() { return nullptr; }

std::shared_ptr<orvex::TestElementList> CPlugInKorotka::Tests() {
    try {
        if (!m_initialised || !m_templates) Raise(kErrNotInitialised, 4);
        return m_templates;
    } catch (const ComError& e) {
        HandOn(e);
    }
}

QString CPlugInKorotka::Version() {
    // "1.0.3" from the build's version, each part without leading zeros.
    QStringList parts;
    for (const QString& part : QStringLiteral(KOROTKA_VERSION).split(QLatin1Char('.')).mid(0, 3)) {
        parts << QString::number(part.toInt());
    }
    while (parts.size() < 3) parts << QStringLiteral("0");
    return parts.join(QLatin1Char('.'));
}

std::shared_ptr<orvex::IUnknown> CPlugInKorotka::PlugInMenu() { return nullptr; }

void CPlugInKorotka::Initialize(const std::shared_ptr<orvex::IUnknown>& /*host*/) {
    try {
        const auto controlPanel = std::make_shared<CKorotkaControlPanel>();
        m_controlPanel = controlPanel;
        controlPanel->RegLoad(0, QString());
        m_setup = std::make_shared<CPlugInSetup>();
        m_setup->Initialize();
        m_templates = LoadTemplates(m_setup->ConfigFile());
        m_initialised = true;
    } catch (const ComError& e) {
        HandOn(e);
    }
}

std::shared_ptr<orvex::TestElementList> CPlugInKorotka::LoadTemplates(const QString& file) {
    const auto document = HostServices::Xml()->CreateDocument();
    document->Load(file);
    const auto root = document->DocumentElement();
    const auto data = root ? root->FindChild(QStringLiteral("TemplateData")) : nullptr;
    if (!data || !data->HasChildren()) Raise(kErrBadTemplate, 3);
    auto list = orvex::ComponentRegistry::Instance().CreateAs<orvex::TestElementList>(
        QStringLiteral("OrvexTypeLib.TestElementList"));
    for (int32_t i = 0; i < data->ChildCount(); ++i) {
        const auto child = data->Child(i);
        if (child->TagName() != kTestElement) continue;
        if (const auto element = CreateFromTemplate(child, 1)) list->Add(element, nullptr, 1);
    }
    return list;
}

std::shared_ptr<orvex::ITestElement> CPlugInKorotka::CreateFromTemplate(
    const std::shared_ptr<orvex::XmlElement>& tmpl, int depth) {
    if (depth > kMaxTemplateDepth) Raise(kErrBadTemplate, 3);
    const QString className = tmpl->GetAttribute(QStringLiteral("ClassName"));
    if (className.isEmpty()) Raise(kErrBadTemplate, 3);
    auto element = orvex::ComponentRegistry::Instance().CreateAs<orvex::ITestElement>(className);
    const QString idText = tmpl->GetAttribute(QStringLiteral("ID"));
    int32_t testId = 0;
    if (idText.isEmpty() || !TestIdOf(idText, testId)) Raise(kErrBadTemplate, 3);
    element->Initialize(MLanguage::kPlugInId, testId, testId);

    const auto text = [&tmpl](const QString& tag) {
        const auto child = tmpl->FindChild(tag);
        return child ? MLanguage::Translate(child->GetAttribute(QStringLiteral("LID"))) : QString();
    };
    const auto info = element->Info();
    info->SetType(text(QStringLiteral("Type")), text(QStringLiteral("Parameter")));
    info->SetDescription(text(QStringLiteral("Description")));
    info->SetName(text(QStringLiteral("Name")));

    if (const auto group = std::dynamic_pointer_cast<orvex::TestElementList>(element)) {
        for (int32_t i = 0; i < tmpl->ChildCount(); ++i) {
            const auto child = tmpl->Child(i);
            if (child->TagName() == kTestElement)
                group->Add(CreateFromTemplate(child, depth + 1), nullptr, 1);
        }
    }
    return element;
}

std::shared_ptr<orvex::ITestElement> CPlugInKorotka::CreateTest(int32_t testId) {
    try {
        if (!m_templates || !m_initialised) Raise(kErrNotInitialised, 4);
        const auto tmpl = m_templates->FindByTestID(testId);
        if (!tmpl) Raise(kErrNoTemplate, 1);
        // Templates themselves are never handed out.
        return tmpl->Clone();
    } catch (const ComError& e) {
        HandOn(e);
    }
}

std::shared_ptr<orvex::IUnknown> CPlugInKorotka::CreateDUTData() { return nullptr; }

void CPlugInKorotka::Raise(int32_t number, int32_t category) {
    HostServices::Errors()->Raise(MLanguage::kPlugInId, number, kSource, category);
    // A host whose error service returns still sees the error.
    throw ComError(number, kSource, QString(), category);
}

void CPlugInKorotka::HandOn(const ComError& error) {
    HostServices::Errors()->ReportError(error, kSource);
    throw error;
}

}  // namespace korotka
