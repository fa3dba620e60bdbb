#include "InstrumentTest.h"

#include <memory>
#include <utility>
#include <vector>

#include "driver/CKorotkaVTI.h"
#include "hostapi/Variant.h"

namespace korotkatool {

namespace {

InstrumentTest::Result Perform(korotka::CKorotkaVTI& instrument, const QStringList& parameters, int polls,
                               int32_t testId) {
    instrument.StartRemote();
    orvex::Variant request(InstrumentTest::Parameters(parameters));
    instrument.StartTest(request);
    orvex::Variant reply(orvex::VariantArray(0, 2));
    for (int poll = 0; poll < polls; ++poll) {
        instrument.GetTestResult(testId, reply);
        const orvex::VariantArray& fields = reply.ToArray();
        const int32_t ack = fields.At(0).ToLong();
        if (ack != 0) return {ack, fields.At(1).ToString(), fields.At(2).ToString()};
    }
    instrument.TimeOut();
}

}  // namespace

orvex::VariantArray InstrumentTest::Parameters(const QStringList& texts) {
    std::vector<orvex::Variant> values;
    values.reserve(static_cast<size_t>(texts.size()));
    for (const QString& text : texts) {
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            values.emplace_back(true);
        } else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            values.emplace_back(false);
        } else {
            values.emplace_back(text);
        }
    }
    return orvex::VariantArray::FromList(std::move(values));
}

void InstrumentTest::LoadTimeouts() {
    m_commTimeout = korotka::MUtils::ReadTimeout(QStringLiteral("\\Comm"));
    m_ventTimeout = korotka::MUtils::ReadTimeout(QStringLiteral("\\Vent"));
}

InstrumentTest::Result InstrumentTest::Run(const QStringList& parameters, int polls) const {
    const auto instrument = std::make_shared<korotka::CKorotkaVTI>();
    instrument->SetCommTimeout(m_commTimeout);
    instrument->SetCommTimeoutVent(m_ventTimeout);
    // The driver takes the test's number in these calls but does not act on it.
    const int32_t testId = parameters.value(0).toInt();
    auto stopId = static_cast<korotka::eTestId>(testId);
    // A failed test still leaves the instrument idle and the port free, as a test element does.
    const auto finish = [&] {
        instrument->StopTest(stopId);
        instrument->EndRemote();
    };
    try {
        Result result = Perform(*instrument, parameters, polls, testId);
        finish();
        return result;
    } catch (...) {
        finish();
        throw;
    }
}

}  // namespace korotkatool
