#include <gtest/gtest.h>

#include "host/records/HostReportContext.h"
#include "hostapi/ComponentRegistry.h"
#include "support/HostFixture.h"

using orvex::HostReportContext;

using ReportContextTest = HostFixture;

TEST_F(ReportContextTest, CollectsTablesWithTheLayoutSetBeforeThem) {
    LoadLanguage("20500=Fülldruck\n");

    const auto report = std::dynamic_pointer_cast<HostReportContext>(
        orvex::ComponentRegistry::Instance().Create(QStringLiteral("OrvexTypeLib.ReportContext")));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->GetText("Korotka", "20500::Inflate Pressure"), QString::fromUtf8("Fülldruck"));
    EXPECT_EQ(report->GetText("Korotka", "310::Configuration"), "Configuration");
    EXPECT_EQ(report->Width(orvex::ReportContext::kTableWidth), 9000);
    EXPECT_EQ(report->Width(11), 0);
    report->SetTableWidth(12000);
    EXPECT_EQ(report->Width(10), 12000);

    report->PrintTable("|{\\i\\b A};", "<+560;", "|a;", false, false, false);
    report->SetFontSize(8);
    report->SetBold(true);
    report->SetKeepTogether(true);
    report->PrintTable("|{\\i\\b B};", "<+560|>100;", "|b|1;|c|2;", true, true, true);

    ASSERT_EQ(report->Tables().size(), 2U);
    const auto& first = report->Tables()[0];
    EXPECT_EQ(first.title, "|{\\i\\b A};");
    EXPECT_EQ(first.fontSize, 10);
    EXPECT_FALSE(first.bold || first.keepTogether || first.framed || first.shadedTitle || first.pageBreak);
    const auto& second = report->Tables()[1];
    EXPECT_EQ(second.columns, "<+560|>100;");
    EXPECT_EQ(second.rows, "|b|1;|c|2;");
    EXPECT_EQ(second.fontSize, 8);
    EXPECT_TRUE(second.bold && second.keepTogether && second.framed && second.shadedTitle &&
                second.pageBreak);
}
