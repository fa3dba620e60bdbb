#pragma once

#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>

#include "sim/Simulator.h"
#include "support/HostFixture.h"

// A simulated Korotka on a pseudo-terminal, known to the host as port 1.
class SimulatorFixture : public HostFixture {
protected:
    static constexpr int16_t kPort = 1;

    void SetUp() override {
        HostFixture::SetUp();
        StartSimulator();
    }

    void StartSimulator(korotkasim::SimOptions options = {}) {
        sim = std::make_unique<korotkasim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
        ports->Assign(kPort, QString::fromStdString(sim->SlavePath()));
    }

    // Lets the event loop run for a while, as a window would between calls.
    static void Pump(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    std::unique_ptr<korotkasim::Simulator> sim;
};
