#include <gtest/gtest.h>

#include <utility>

#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::ComError;
using orvex::Variant;

namespace {

class ValueElementsTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        elements = orvex::HostServices::ValueElements();
        document = orvex::HostServices::Xml()->CreateDocument();
    }

    // What the reader makes of a stored value element.
    std::pair<Variant, int32_t> Read(const QString& type, const QString& text) {
        const auto element = document->CreateElement("Value");
        if (!type.isNull()) element->SetAttribute("Type", type);
        element->SetText(text);
        Variant value;
        int32_t valueType = -1;
        elements->ReadValue(element, value, valueType);
        return {value, valueType};
    }

    std::shared_ptr<orvex::ValueElements> elements;
    std::shared_ptr<orvex::XmlDocument> document;
};

TEST_F(ValueElementsTest, ValuesComeBackWithTheirType) {
    const auto decimal = elements->WriteValue(document, Variant(121.5F), 1);
    EXPECT_EQ(decimal->TagName(), "Value");
    EXPECT_EQ(decimal->GetAttribute("Type"), "1");
    EXPECT_EQ(decimal->Text(), "121.5");

    const struct {
        Variant value;
        int32_t type;
        Variant::Kind kind;
    } cases[] = {
        {Variant(121.5F), 1, Variant::Kind::Single},
        {Variant(0.1), 2, Variant::Kind::Double},
        {Variant(false), 3, Variant::Kind::Boolean},
        {Variant("a <b> & c"), 0, Variant::Kind::String},
    };
    for (const auto& c : cases) {
        Variant value;
        int32_t type = -1;
        elements->ReadValue(elements->WriteValue(document, c.value, c.type), value, type);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(value.GetKind(), c.kind) << c.value.ToString().toStdString();
        EXPECT_TRUE(value.Equals(c.value)) << c.value.ToString().toStdString();
    }
    EXPECT_EQ(Raised([&] { elements->WriteValue(document, Variant::Null(), 1); }).Number(),
              ComError::kInvalidUseOfNull);
    EXPECT_EQ(Raised([&] { elements->WriteValue(nullptr, Variant(1), 1); }).Number(),
              ComError::kObjectRequired);
}

TEST_F(ValueElementsTest, AStoredValueThatDoesNotReadAsItsTypeStaysText) {
    // Beyond single precision, no number, no yes/no: kept as the file has it, nothing lost.
    const std::pair<QString, QString> stored[] = {
        {"1", "1e40"}, {"1", "abc"}, {"2", "1e400"}, {"3", "maybe"}};
    for (const auto& [type, text] : stored) {
        const auto [value, valueType] = Read(type, text);
        EXPECT_EQ(valueType, type.toInt());
        EXPECT_EQ(value.GetKind(), Variant::Kind::String) << text.toStdString();
        EXPECT_EQ(value.ToString(), text);
    }
    // A type that is missing or no number reads as text; an unknown one is passed on.
    EXPECT_EQ(Read(QString(), "12").second, 0);
    EXPECT_EQ(Read("x", "12").second, 0);
    EXPECT_EQ(Read("99999999999", "12").second, 0);
    EXPECT_EQ(Read("7", "12").second, 7);
    EXPECT_EQ(Read("7", "12").first.GetKind(), Variant::Kind::String);
}

TEST_F(ValueElementsTest, StatusComesBackWithItsTextAndABrokenOneIsAnError) {
    const auto written = elements->WriteStatus(document, 2, "leaking");
    EXPECT_EQ(written->TagName(), "Status");
    int32_t status = -1;
    QString text;
    elements->ReadStatus(written, status, text);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(text, "leaking");

    elements->ReadStatus(document->CreateElement("Status"), status, text);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text, "");

    const std::pair<QString, int32_t> broken[] = {{"abc", ComError::kTypeMismatch},
                                                  {"1e40", ComError::kOverflow}};
    for (const auto& [stored, number] : broken) {
        const auto element = document->CreateElement("Status");
        element->SetAttribute("Value", stored);
        status = 1;
        const ComError error = Raised([&] { elements->ReadStatus(element, status, text); });
        EXPECT_EQ(error.Number(), number);
        EXPECT_TRUE(error.Description().contains(stored)) << error.Description().toStdString();
        EXPECT_EQ(status, 1);
    }
}

}  // namespace
