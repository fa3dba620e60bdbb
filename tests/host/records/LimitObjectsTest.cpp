#include <gtest/gtest.h>

#include <QComboBox>
#include <QTableWidget>
#include <limits>
#include <memory>

#include "host/controls/HostXLimitView.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/LimitView.h"
#include "hostapi/Standard.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::ComError;
using orvex::LimitEntry;

namespace {

class LimitObjectsTest : public HostFixture {
protected:
    template <class T>
    static std::shared_ptr<T> Create(const char* className) {
        return orvex::ComponentRegistry::Instance().CreateAs<T>(QString::fromLatin1(className));
    }
};

QStringList ComboItems(QWidget* widget) {
    QStringList items;
    auto* combo = qobject_cast<QComboBox*>(widget);
    for (int i = 0; combo && i < combo->count(); ++i) items.append(combo->itemText(i));
    return items;
}

TEST_F(LimitObjectsTest, LimitEntryKeepsTwoPositionsAndRefusesOthers) {
    const auto entry = Create<LimitEntry>("OrvexTypeLib.LimitEntry");
    entry->Initialize("STAT", "mmHg", "", "");
    entry->SetValue(LimitEntry::kHigh, 155.5F);
    entry->SetEnabled(LimitEntry::kHigh, true);
    entry->SetValue(LimitEntry::kLow, 145.0F);
    entry->SetOperation(LimitEntry::kLow, "X+Y");
    entry->SetType(2);
    entry->SetUnit("kPa");
    EXPECT_EQ(entry->Key(), "STAT");
    EXPECT_EQ(entry->Unit(), "kPa");
    EXPECT_EQ(entry->Type(), 2);
    EXPECT_FLOAT_EQ(entry->Value(LimitEntry::kHigh), 155.5F);
    EXPECT_FLOAT_EQ(entry->Value(LimitEntry::kLow), 145.0F);
    EXPECT_TRUE(entry->Enabled(LimitEntry::kHigh));
    EXPECT_FALSE(entry->Enabled(LimitEntry::kLow));
    EXPECT_EQ(entry->Operation(LimitEntry::kHigh), "");
    EXPECT_EQ(entry->Operation(LimitEntry::kLow), "X+Y");
    for (const int32_t position : {-1, 2, std::numeric_limits<int32_t>::min()}) {
        EXPECT_EQ(Raised([&] { entry->Value(position); }).Number(), ComError::kSubscriptOutOfRange);
        EXPECT_EQ(Raised([&] { entry->SetEnabled(position, true); }).Number(),
                  ComError::kSubscriptOutOfRange);
        EXPECT_EQ(Raised([&] { entry->SetOperation(position, "Y"); }).Number(),
                  ComError::kSubscriptOutOfRange);
    }
    // Initialising again starts the entry afresh.
    entry->Initialize("SYST", "mmHg", "Systolic", "");
    EXPECT_EQ(entry->Type(), LimitEntry::kTypeInUnit);
    EXPECT_FALSE(entry->Enabled(LimitEntry::kHigh));
    EXPECT_EQ(entry->Operation(LimitEntry::kLow), "");
}

TEST_F(LimitObjectsTest, StandardHoldsItsEntriesInOrderFromOne) {
    const auto standard = Create<orvex::Standard>("OrvexTypeLib.Standard");
    standard->Initialize("AAMI", "AAMI SP10", 1);
    EXPECT_EQ(standard->AlphaName(), "AAMI");
    EXPECT_EQ(standard->CompleteName(), "AAMI SP10");
    EXPECT_EQ(standard->Number(), 1);
    EXPECT_EQ(standard->Count(), 0);
    for (const char* key : {"SYST", "DIAS"}) {
        const auto entry = Create<LimitEntry>("OrvexTypeLib.LimitEntry");
        entry->Initialize(key, "mmHg", "", "");
        standard->Add(entry);
    }
    ASSERT_EQ(standard->Count(), 2);
    EXPECT_EQ(standard->Item(1)->Key(), "SYST");
    EXPECT_EQ(standard->Item(2)->Key(), "DIAS");
    for (const int32_t index : {0, 3, -1}) {
        EXPECT_EQ(Raised([&] { standard->Item(index); }).Number(), ComError::kSubscriptOutOfRange);
    }
    EXPECT_EQ(Raised([&] { standard->Add(nullptr); }).Number(), ComError::kObjectRequired);
    EXPECT_EQ(standard->Count(), 2);
}

TEST_F(LimitObjectsTest, LimitViewShowsOneRowPerLimit) {
    const auto control = Create<orvex::ICustomControl>("OrvexView.XLimitView");
    auto* view = dynamic_cast<orvex::LimitView*>(control->hWnd());
    ASSERT_NE(view, nullptr);
    view->AddLimit("SYST", "Systolic", "kPa", "<op>Y;X+Y;X+(X*Y%)</op>");
    view->AddLimit("STAT", "Pressure", "mmHg;kPa", "mmHg;kPa;%");
    // Lists that are empty, or only look like an operation list, are taken as they are.
    view->AddLimit("DIFF", "", "", "<op>");

    const auto* limits = dynamic_cast<orvex::HostXLimitView*>(control.get());
    ASSERT_NE(limits, nullptr);
    ASSERT_EQ(limits->Rows().size(), 3U);
    EXPECT_TRUE(limits->Rows()[0].choicesAreOperations);
    EXPECT_EQ(limits->Rows()[0].choices, QStringList({"Y", "X+Y", "X+(X*Y%)"}));
    EXPECT_FALSE(limits->Rows()[1].choicesAreOperations);
    EXPECT_EQ(limits->Rows()[1].choices, QStringList({"mmHg", "kPa", "%"}));
    EXPECT_FALSE(limits->Rows()[2].choicesAreOperations);
    EXPECT_EQ(limits->Rows()[2].choices, QStringList({"<op>"}));
    EXPECT_TRUE(limits->Rows()[2].units.isEmpty());

    QTableWidget* table = limits->Table();
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(1, orvex::HostXLimitView::kKeyColumn)->text(), "STAT");
    EXPECT_EQ(table->item(1, orvex::HostXLimitView::kDescriptionColumn)->text(), "Pressure");
    EXPECT_EQ(ComboItems(table->cellWidget(1, orvex::HostXLimitView::kUnitColumn)),
              QStringList({"mmHg", "kPa"}));
    EXPECT_EQ(ComboItems(table->cellWidget(0, orvex::HostXLimitView::kChoiceColumn)),
              QStringList({"Y", "X+Y", "X+(X*Y%)"}));

    control->SetLocked(true);
    EXPECT_TRUE(control->Locked());
    EXPECT_FALSE(table->isEnabled());
}

}  // namespace
