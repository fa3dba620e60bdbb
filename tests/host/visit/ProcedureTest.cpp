#include <gtest/gtest.h>

#include <QFile>

#include "host/platform/HostInstallation.h"
#include "host/visit/HostProcedure.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "support/PlugInFixture.h"
#include "support/Raised.h"

using orvex::HostProcedure;
using orvex::HostSequence;

namespace {

void Write(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

}  // namespace

using ProcedureTest = PlugInFixture;

// Each shipped procedure makes its visit, and the visit saved as a procedure makes the same visit
// again: steps of one test alike folded into a repeat, results left out.
TEST_F(ProcedureTest, EachShippedProcedureMakesItsVisitAndSavesBackToTheSame) {
    const struct {
        const char* file;
        int tests;
        int interval;
    } shipped[] = {{"adult-nibp.xml", 17, 12}, {"neonatal-nibp.xml", 15, 12}, {"quick-check.xml", 3, 0}};
    for (const auto& expected : shipped) {
        SCOPED_TRACE(expected.file);
        const QString path = orvex::HostInstallation::ProceduresFolder() + '/' + expected.file;
        HostSequence visit = HostProcedure::MakeVisit(path, plugIn);
        ASSERT_EQ(visit.Tests().size(), expected.tests);
        EXPECT_FALSE(visit.MadeFrom().name.isEmpty());
        EXPECT_EQ(visit.MadeFrom().version, "1");
        EXPECT_EQ(visit.MadeFrom().interval, expected.interval);
        EXPECT_EQ(visit.Tests().last()->ID(), expected.tests);

        HostProcedure::Write(visit, HostProcedure::ReadHeading(path), Path("again.xml"));
        const HostSequence again = HostProcedure::MakeVisit(Path("again.xml"), plugIn);
        EXPECT_EQ(again.ToText(), visit.ToText());
    }
    QFile written(Path("again.xml"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("<Step>"));

    const auto found = HostProcedure::Found();
    ASSERT_EQ(found.size(), 3);
    for (const auto& listed : found) EXPECT_TRUE(listed.problem.isEmpty()) << listed.problem.toStdString();
    EXPECT_EQ(HostProcedure::Locate("Quick NIBP check"), HostProcedure::Locate("QUICK-CHECK"));
}

TEST_F(ProcedureTest, AFileThatIsNoProcedureOfThisPlugInIsRefusedWithTheReason) {
    HostSequence one(plugIn);
    one.Append(300);
    const QByteArray test = one.ToText()
                                .toUtf8()
                                .mid(one.ToText().toUtf8().indexOf("<TestElement"))
                                .replace("</OrvexSequence>", "");
    const auto procedure = [&](const QByteArray& stepAttributes, const QByteArray& body) {
        return "<OrvexProcedure Name='P' Version='1'><Step" + stepAttributes + ">" + body +
               "</Step></OrvexProcedure>";
    };
    const struct {
        QByteArray text;
        const char* reason;
    } cases[] = {
        {"<OrvexSequence/>", "not a procedure"},
        {"<OrvexProcedure Version='1'/>", "has no name"},
        {"<OrvexProcedure Name='P'/>", "has no steps"},
        {procedure(" Repeat='0'", test), "is no count"},
        {procedure(" Repeat='x'", test), "is no count"},
        {procedure("", QByteArray(test).replace("TestID=\"300\"", "TestID=\"999\"")), "step 1"},
        {procedure("", QByteArray(test).replace("PlugIn=\"Korotka\" TestID", "PlugIn=\"Other\" TestID")),
         "plug-in"},
        {procedure("", QByteArray(test).replace("</TestElement>", "<ResultItem/></TestElement>")),
         "holds a result"},
        {procedure("", test + test), "no single"},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.text.toStdString());
        Write(Path("bad.xml"), bad.text);
        const auto error = Raised([&] { HostProcedure::MakeVisit(Path("bad.xml"), plugIn); });
        EXPECT_EQ(error.Number(), HostProcedure::kErrBadProcedure);
        EXPECT_TRUE(error.Description().contains(bad.reason)) << error.Description().toStdString();
    }
}
