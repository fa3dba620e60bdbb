#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "host/platform/HostPlugInLoader.h"
#include "host/records/HostTestElementList.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementBase.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "plugin/base/MLanguage.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/settings/CPlugInSetup.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using korotka::CPlugInKorotka;

namespace {

// A test element of the smallest kind: its host-side state is a real base object.
class ProbeElement : public orvex::ITestElement {
public:
    ProbeElement()
        : m_base(orvex::ComponentRegistry::Instance().CreateAs<orvex::TestElementBase>(
              "OrvexTypeLib.TestElementBase")) {}
    QString PlugInID() override { return m_base->PlugInID(); }
    int32_t TestID() override { return m_base->TestID(); }
    int32_t ID() override { return m_base->ID(); }
    void SetID(int32_t id) override { m_base->SetID(id); }
    std::shared_ptr<orvex::ITestElement> Parent() override { return m_base->Parent(); }
    void SetParent(const std::shared_ptr<orvex::ITestElement>& parent) override { m_base->SetParent(parent); }
    std::shared_ptr<orvex::TestElementInfo> Info() override { return m_base->Info(); }
    std::shared_ptr<orvex::TestElementFilter> Filter() override { return m_base->Filter(); }
    std::shared_ptr<orvex::IResultData> Result() override { return nullptr; }
    std::shared_ptr<orvex::ILimitData> Limits() override { return nullptr; }
    std::shared_ptr<orvex::IConfigData> Configuration() override { return nullptr; }
    void Initialize(const QString& plugInId, int32_t testId, int32_t elementId) override {
        m_base->Initialize(plugInId, testId, elementId);
    }
    std::shared_ptr<orvex::ITestElement> Clone() override {
        auto clone = std::make_shared<ProbeElement>();
        clone->m_base = m_base->Clone();
        return clone;
    }
    void Perform(const std::shared_ptr<orvex::PerformContext>&) override {}
    void Load(const std::shared_ptr<orvex::XmlElement>&, int32_t) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&, int32_t) override {
        return nullptr;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&,
                     const std::shared_ptr<orvex::PrintJob>&) override {}
    bool QuerySetParent(const std::shared_ptr<orvex::ITestElement>&) override { return true; }
    void Terminate() override { m_base->Terminate(); }
    void UpdateReferences() override {}
    orvex::Variant GetMeasurementList() override { return {}; }

private:
    std::shared_ptr<orvex::TestElementBase> m_base;
};

// A group: an element that is also a list of elements.
class ProbeGroup : public ProbeElement, public orvex::TestElementList {
public:
    void Add(const std::shared_ptr<orvex::ITestElement>& element,
             const std::shared_ptr<orvex::ITestElement>& before, int32_t flag) override {
        m_members.Add(element, before, flag);
    }
    int32_t Count() const override { return m_members.Count(); }
    std::shared_ptr<orvex::ITestElement> Item(int32_t index) const override { return m_members.Item(index); }
    std::shared_ptr<orvex::ITestElement> FindByTestID(int32_t testId) const override {
        return m_members.FindByTestID(testId);
    }
    void CleanUp() override { m_members.CleanUp(); }

private:
    orvex::HostTestElementList m_members;
};

QString Template(const QString& className, const QString& id, const QString& inner = {}) {
    return QStringLiteral("<TestElement ClassName=\"%1\" ID=\"%2\">%3</TestElement>")
        .arg(className, id, inner);
}

}  // namespace

class PlugInKorotkaTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        auto& registry = orvex::ComponentRegistry::Instance();
        registry.Register("test.Probe", [] { return std::make_shared<ProbeElement>(); });
        registry.Register("test.Group", [] { return std::make_shared<ProbeGroup>(); });
        application->SetPlugInFolder(korotka::MLanguage::kPlugInId, folder.path());
    }

    // Writes the template file where the plug-in looks for it and initialises a new plug-in.
    std::shared_ptr<CPlugInKorotka> Initialised(const QString& templateData) {
        QFile file(folder.filePath("orvexKorotka.mpc"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("<OrvexPlugIn>" + templateData + "</OrvexPlugIn>").toUtf8());
        file.close();
        auto plugIn = std::make_shared<CPlugInKorotka>();
        plugIn->Initialize(nullptr);
        return plugIn;
    }

    QTemporaryDir folder;
};

TEST_F(PlugInKorotkaTest, ReadsTemplatesWithTheirTextsAndGroups) {
    const auto plugIn = Initialised(
        "<TemplateData><Comment/>" +
        Template("test.Probe", "300abc",
                 "<Type LID=\"20030::Static Pressure Test\"/><Parameter LID=\"20031::Accuracy\"/>"
                 "<Name LID=\"20032::Korotka Static\"/><Description LID=\"20033::Holds a pressure.\"/>") +
        Template("test.Probe", "letters") +
        Template("test.Group", "401",
                 Template("test.Probe", "402") + "<Other/>" + Template("test.Probe", "403")) +
        "</TemplateData>");
    const auto tests = plugIn->Tests();
    ASSERT_EQ(tests->Count(), 3);
    const auto first = tests->Item(1);
    EXPECT_EQ(first->TestID(), 300);
    EXPECT_EQ(first->ID(), 300);
    EXPECT_EQ(first->PlugInID(), "Korotka");
    EXPECT_EQ(first->Info()->Type(), "Static Pressure Test");
    EXPECT_EQ(first->Info()->Parameter(), "Accuracy");
    EXPECT_EQ(first->Info()->Name(), "Korotka Static");
    EXPECT_EQ(first->Info()->Description(), "Holds a pressure.");
    EXPECT_EQ(tests->Item(2)->TestID(), 0);
    EXPECT_TRUE(tests->Item(2)->Info()->Name().isEmpty());
    const auto group = std::dynamic_pointer_cast<orvex::TestElementList>(tests->Item(3));
    ASSERT_TRUE(group);
    ASSERT_EQ(group->Count(), 2);
    EXPECT_EQ(group->Item(2)->TestID(), 403);

    // Each request gets a clone of its own, never the template.
    const auto a = plugIn->CreateTest(300);
    const auto b = plugIn->CreateTest(300);
    EXPECT_NE(a, b);
    EXPECT_NE(a, first);
    EXPECT_EQ(a->Info()->Name(), "Korotka Static");
    a->Info()->SetName("changed");
    EXPECT_EQ(first->Info()->Name(), "Korotka Static");
}

TEST_F(PlugInKorotkaTest, ABadTemplateFileStopsInitialisationWithItsError) {
    const QStringList bad = {
        "<NoTemplates/>",
        "<TemplateData/>",
        "<TemplateData>" + Template("", "300") + "</TemplateData>",
        "<TemplateData>" + Template("test.Probe", "") + "</TemplateData>",
        "<TemplateData>" + Template("test.Probe", "1e99") + "</TemplateData>",
        "<TemplateData>" + Template("test.Probe", "99999999999") + "</TemplateData>",
    };
    for (const QString& data : bad) {
        const auto e = Raised([&] { Initialised(data); });
        EXPECT_EQ(e.Number(), CPlugInKorotka::kErrBadTemplate) << data.toStdString();
        EXPECT_EQ(e.Category(), 3);
        EXPECT_EQ(e.Source(), "OrvexKorotka.CPlugInKorotka");
    }

    // A class nobody registered is named in the error.
    auto e = Raised([&] {
        Initialised("<TemplateData>" + Template("orvexKorotka.CTestNobody", "100") + "</TemplateData>");
    });
    EXPECT_EQ(e.Number(), orvex::ComError::kCannotCreateObject);
    EXPECT_TRUE(e.Description().contains("orvexKorotka.CTestNobody"));

    // Groups nested without end are no template file of ours.
    QString nested = Template("test.Probe", "1");
    for (int i = 0; i < 20; ++i) nested = Template("test.Group", "2", nested);
    e = Raised([&] { Initialised("<TemplateData>" + nested + "</TemplateData>"); });
    EXPECT_EQ(e.Number(), CPlugInKorotka::kErrBadTemplate);

    // A file that is no XML at all reports the parser's error.
    QFile file(folder.filePath("orvexKorotka.mpc"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<OrvexPlugIn><TemplateData>");
    file.close();
    CPlugInKorotka plugIn;
    EXPECT_THROW(plugIn.Initialize(nullptr), orvex::ComError);
}

TEST_F(PlugInKorotkaTest, TestsAreRefusedUntilInitialisedAndUnknownIdsAreNamed) {
    CPlugInKorotka plugIn;
    EXPECT_FALSE(plugIn.Setup());
    auto e = Raised([&] { plugIn.Tests(); });
    EXPECT_EQ(e.Number(), CPlugInKorotka::kErrNotInitialised);
    EXPECT_EQ(e.Category(), 4);
    e = Raised([&] { plugIn.CreateTest(300); });
    EXPECT_EQ(e.Number(), CPlugInKorotka::kErrNotInitialised);
    EXPECT_EQ(e.Category(), 4);

    const auto ready = Initialised("<TemplateData>" + Template("test.Probe", "300") + "</TemplateData>");
    EXPECT_TRUE(ready->Setup());
    e = Raised([&] { ready->CreateTest(200); });
    EXPECT_EQ(e.Number(), CPlugInKorotka::kErrNoTemplate);
    EXPECT_EQ(e.Category(), 1);
}

TEST_F(PlugInKorotkaTest, IconsFollowTheTable) {
    CPlugInKorotka plugIn;
    EXPECT_EQ(CPlugInKorotka::IconName(0, 0), "KOROTKA(16X16X256)");
    EXPECT_TRUE(CPlugInKorotka::IconName(0, 1).isEmpty());
    for (int32_t id : {0, 100, 200, 300, 401, 406, 407, 999}) {
        EXPECT_EQ(CPlugInKorotka::IconName(id, 2), "KOROTKA(32X32X256)");
        EXPECT_TRUE(CPlugInKorotka::IconName(id, 3).isEmpty());
        EXPECT_TRUE(CPlugInKorotka::IconName(id, -1).isEmpty());
    }
    EXPECT_EQ(CPlugInKorotka::IconName(100, 1), "TE:LET(32X16X256)");
    EXPECT_EQ(CPlugInKorotka::IconName(405, 0), "TE:BPT(16X16X256)");
    EXPECT_TRUE(CPlugInKorotka::IconName(400, 0).isEmpty());
    EXPECT_TRUE(CPlugInKorotka::IconName(999, 0).isEmpty());

    // The named bitmaps are really in the library, at their sizes.
    EXPECT_EQ(plugIn.Icon(300, 0, {}).size(), QSize(16, 16));
    EXPECT_EQ(plugIn.Icon(402, 1, {}).size(), QSize(32, 16));
    EXPECT_EQ(plugIn.Icon(100, 2, {}).size(), QSize(32, 32));
    EXPECT_TRUE(plugIn.Icon(0, 1, {}).isNull());
    EXPECT_EQ(plugIn.Version(), "0.1.0");
    EXPECT_FALSE(plugIn.ControlPanel());
    EXPECT_FALSE(plugIn.PlugInMenu());
    EXPECT_FALSE(plugIn.CreateDUTData());
}

TEST_F(PlugInKorotkaTest, TheLibraryLoadsThroughTheHostAndSpeaksTheChosenLanguage) {
    environment->Loader().Load(korotka::MLanguage::kPlugInId, QStringLiteral(KOROTKA_PLUGIN_LIBRARY));
    const auto plugIn =
        orvex::ComponentRegistry::Instance().CreateAs<orvex::IPlugIn>("orvexKorotka.CPlugInKorotka");
    EXPECT_EQ(plugIn->ID(), "Korotka");
    EXPECT_EQ(plugIn->Name(), "Korotka NIBP Analyzer");

    const QString lngPath = application->JoinPath(application->PlugInFolder("Korotka"), "Language");
    ASSERT_TRUE(language->Load("Korotka", lngPath, "German"));
    EXPECT_EQ(plugIn->Name(), "Korotka NIBP-Analysator");
    // The shipped template file lies beside the library, where the setup finds it by default.
    korotka::CPlugInSetup setup;
    EXPECT_TRUE(QFile::exists(setup.ConfigFile()));
}

TEST_F(PlugInKorotkaTest, SetupSettingsRoundTripAndRefuseForeignOnes) {
    korotka::CPlugInSetup setup;
    const QByteArray defaults = setup.Settings();
    EXPECT_TRUE(defaults.contains("setup id"));
    EXPECT_FALSE(defaults.contains("lngpath"));
    EXPECT_FALSE(defaults.contains("configfile"));

    setup.SetLngPath("/opt/korotka/texts");
    korotka::CPlugInSetup copy;
    copy.SetSettings(setup.Settings());
    EXPECT_EQ(copy.LngPath(), "/opt/korotka/texts");
    EXPECT_EQ(copy.ConfigFile(), korotka::CPlugInSetup::DefaultConfigFile());

    for (const QByteArray& foreign :
         {QByteArray(R"([["setup id","Other setup"]])"), QByteArray("not json"), QByteArray()}) {
        const auto e = Raised([&] { copy.SetSettings(foreign); });
        EXPECT_EQ(e.Number(), korotka::CPlugInSetup::kErrForeignSettings);
    }
    EXPECT_EQ(copy.LngPath(), "/opt/korotka/texts");
}
