#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <utility>

#include "DriverExport.h"
#include "GDeclares.h"
#include "hostapi/IUnknown.h"
#include "hostapi/InstrumentData.h"
#include "hostapi/Variant.h"

namespace orvex {
class VariantArray;
}

namespace korotka {

class CChannel;

// The virtual test instrument: connects to the Korotka on the port the host assigned to it,
// turns a test request into the instrument's commands and hands back its replies.
// Create it with std::make_shared: calls that wait for the instrument keep it alive while the
// window's other events run.
class KOROTKA_DRIVER_EXPORT CKorotkaVTI : public orvex::IUnknown,
                                          public std::enable_shared_from_this<CKorotkaVTI> {
public:
    CKorotkaVTI();
    ~CKorotkaVTI() override;
    CKorotkaVTI(const CKorotkaVTI&) = delete;
    CKorotkaVTI& operator=(const CKorotkaVTI&) = delete;

    int32_t CommTimeout() const { return m_commTimeout; }
    void SetCommTimeout(int32_t lNewVal) { m_commTimeout = lNewVal; }
    int32_t CommTimeoutVent() const { return m_commTimeoutVent; }
    void SetCommTimeoutVent(int32_t lNewVal) { m_commTimeoutVent = lNewVal; }
    QString FWVersion() const;
    QString MTIName() const;
    QString SerialNo() const;
    EVtiState VtiState() const { return m_state; }
    std::shared_ptr<orvex::InstrumentData> MTIData() const { return m_data; }

    std::shared_ptr<orvex::InstrumentData> StartRemote();
    void EndRemote();
    // vParams: the parameter array, or a one-element array holding it.
    void StartTest(orvex::Variant& vParams);
    void StopTest(eTestId& testId);
    [[noreturn]] void TimeOut();
    // vResult must hold an array with the indexes 0 to 2: acknowledgement, first and second field.
    void GetTestResult(int32_t& lTestId, orvex::Variant& vResult);

    // How often a receive that failed with one of the component's transient numbers is tried
    // before the failure is reported like any other.
    static constexpr int kMaxReceiveRepeats = 3;
    // CheckAck's answers: the reply was acknowledged, or refused.
    static constexpr int16_t kAcknowledged = 6;
    static constexpr int16_t kRefused = 21;

private:
    friend class CKorotkaMlcQuery;

    bool Connect(int16_t port, bool queryIdentity);
    QString ReadReply(int16_t tries);
    static int16_t CheckAck(QString& reply);
    void ConnectFromHost();
    void Disconnect();
    void QueryIdentity();
    QString GetSerialNumber();
    std::pair<QString, QString> GetVersion();
    QString Ask(const QString& command);
    std::shared_ptr<CChannel> Line();
    static QString PressureUnitsCommand(int32_t unit);
    static QString SimulationCommand(int32_t family, int32_t preset);
    void SendSetUp(const QString& command, int16_t tries);
    void BuildCommands(const orvex::VariantArray& p, QString& cuff, QString& unit, QString& test) const;
    void CreateInstrumentData();

    EVtiState m_state = evtiNotConnected;
    std::shared_ptr<CChannel> m_channel;
    std::shared_ptr<orvex::InstrumentData> m_data;
    int32_t m_commTimeout = 4;
    int32_t m_commTimeoutVent = 30;
};

}  // namespace korotka
