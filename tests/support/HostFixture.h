#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "host/HostInstrumentRegistry.h"
#include "host/HostLanguageService.h"
#include "host/HostMessageService.h"
#include "host/HostPortTable.h"
#include "host/HostRegistration.h"
#include "hostapi/HostServices.h"

// Installs fresh host services for each test and takes them away afterwards, so every
// test sees exactly the messages it caused.
class HostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        language = std::make_shared<orvex::HostLanguageService>();
        messages = std::make_shared<orvex::HostMessageService>(orvex::HostMessageService::Mode::Record);
        ports = std::make_shared<orvex::HostPortTable>();
        instruments = std::make_shared<orvex::HostInstrumentRegistry>();
        orvexhost_RegisterClasses(orvex::ComponentRegistry::Instance());
        orvex::HostServices::SetLanguage(language);
        orvex::HostServices::SetMessages(messages);
        orvex::HostServices::SetPorts(ports);
        orvex::HostServices::SetInstruments(instruments);
    }
    void TearDown() override {
        orvex::HostServices::SetLanguage(nullptr);
        orvex::HostServices::SetMessages(nullptr);
        orvex::HostServices::SetPorts(nullptr);
        orvex::HostServices::SetInstruments(nullptr);
    }

    std::shared_ptr<orvex::HostLanguageService> language;
    std::shared_ptr<orvex::HostMessageService> messages;
    std::shared_ptr<orvex::HostPortTable> ports;
    std::shared_ptr<orvex::HostInstrumentRegistry> instruments;
};
