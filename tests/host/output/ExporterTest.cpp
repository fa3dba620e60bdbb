#include <gtest/gtest.h>

#include "host/output/HostExporter.h"
#include "support/PlugInFixture.h"

using ExporterTest = PlugInFixture;

// Each text field of a CSV row as a spreadsheet must see it: separators, quotes and line breaks
// quoted; a text that starts like a formula kept a text; a number left a number.
TEST_F(ExporterTest, CsvFieldsAreQuotedAndFormulasKeptText) {
    auto sequence = WithStatuses({1});
    const struct {
        QString typed;
        QString written;
    } cases[] = {
        {"plain", ",plain,"},
        {"a,b", ",\"a,b\","},
        {"say \"hi\"", ",\"say \"\"hi\"\"\","},
        {"two\nlines", ",\"two\nlines\","},
        {"=1+2", ",'=1+2,"},
        {"+1 cuff", ",'+1 cuff,"},
        {"-3", ",-3,"},
        {"-3 mmHg", ",'-3 mmHg,"},
        {"@SUM(A1)", ",'@SUM(A1),"},
        {"\tfield", ",'\tfield,"},
        {"\r", ",\"'\r\","},
        {"=HYPERLINK(\"x\",\"y\")", ",\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\","},
    };
    for (const auto& item : cases) {
        sequence.SetAsset({item.typed, QStringLiteral("M"), QString(), QString()});
        const QString csv = orvex::HostExporter(sequence, nullptr).Csv();
        EXPECT_TRUE(csv.contains(item.written + "M,"))
            << item.typed.toStdString() << " in " << csv.toStdString();
    }
}
