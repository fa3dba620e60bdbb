#include <gtest/gtest.h>

#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"

namespace {

class IGreeter : public virtual orvex::IUnknown {
public:
    virtual QString Greet() const = 0;
};

class Greeter : public IGreeter {
public:
    QString Greet() const override { return QStringLiteral("hello"); }
};

class Plain : public orvex::IUnknown {};

int32_t NumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const orvex::ComError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

TEST(ComponentRegistryTest, CreatesRegisteredClassesAndRefusesOthersWithAnError) {
    orvex::ComponentRegistry registry;
    registry.Register("test.Greeter", [] { return std::make_shared<Greeter>(); });
    registry.Register("test.Plain", [] { return std::make_shared<Plain>(); });
    registry.Register("test.Broken", [] { return nullptr; });

    EXPECT_TRUE(registry.IsRegistered("test.Greeter"));
    EXPECT_FALSE(registry.IsRegistered("test.greeter"));
    EXPECT_EQ(registry.CreateAs<IGreeter>("test.Greeter")->Greet(), "hello");
    // Each creation is a new object.
    EXPECT_NE(registry.Create("test.Greeter"), registry.Create("test.Greeter"));

    EXPECT_EQ(NumberOf([&] { registry.Create("test.Missing"); }), orvex::ComError::kCannotCreateObject);
    EXPECT_EQ(NumberOf([&] { registry.Create("test.Broken"); }), orvex::ComError::kCannotCreateObject);
    EXPECT_EQ(NumberOf([&] { registry.CreateAs<IGreeter>("test.Plain"); }), orvex::ComError::kTypeMismatch);
}

TEST(HostServicesTest, AMissingServiceIsAnErrorNotACrash) {
    orvex::HostServices::SetLanguage(nullptr);
    orvex::HostServices::SetMessages(nullptr);
    orvex::HostServices::SetPorts(nullptr);
    EXPECT_EQ(NumberOf([] { orvex::HostServices::Language(); }), orvex::ComError::kObjectRequired);
    EXPECT_EQ(NumberOf([] { orvex::HostServices::Messages(); }), orvex::ComError::kObjectRequired);
    EXPECT_EQ(NumberOf([] { orvex::HostServices::Ports(); }), orvex::ComError::kObjectRequired);
}
