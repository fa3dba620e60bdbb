#include "CKorotkaVTI.h"

#include <array>
#include <exception>
#include <utility>

#include "CChannel.h"
#include "DriverLog.h"
#include "MErrorHandling.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/VariantArray.h"

namespace korotka {

using orvex::ComError;
using orvex::Variant;
using orvex::VariantArray;

namespace {

const QString kSource = QStringLiteral("KorotkaVTI.CKorotkaVTI");
const QString kClassName = QStringLiteral("CKorotkaVTI");
const QString kInstrumentName = QStringLiteral("Korotka");
const QString kLineSettings = QStringLiteral("9600,N,8,1");
constexpr int32_t kInstrumentType = 100;
constexpr int16_t kSetUpTries = 4;
constexpr int16_t kBleedTries = 30;
constexpr QChar kAck(6);
constexpr QChar kNak(21);

const QString kBadParameter =
    QStringLiteral("22009::Element %%1 of the test request is missing or not valid.");
const QString kBadResultArray =
    QStringLiteral("22010::The array for the instrument's reply must hold the elements 0 to 2.");

// Numbers with which a serial port component reports a receive it may simply try again.
bool IsTransient(int32_t number) {
    return number == static_cast<int32_t>(0x8004A424u) || number == static_cast<int32_t>(0x8004A425u);
}

[[noreturn]] void RaiseBadParameter(int32_t index) {
    MErrorHandling::RaiseVtiError(eeVTI_CmdParameterInvalid, kSource, kBadParameter, Variant(index));
}

const Variant& Param(const VariantArray& p, int32_t index) {
    if (p.Dimensions() != 1 || index < p.LBound() || index > p.UBound()) RaiseBadParameter(index);
    return p.At(index);
}

// Reads element index with the given conversion; a missing or unconvertible element is the
// caller's mistake and is named as such.
template <class F>
auto Converted(const VariantArray& p, int32_t index, F convert) -> decltype(convert(p.At(0))) {
    const Variant& value = Param(p, index);
    try {
        return convert(value);
    } catch (const ComError&) {
        RaiseBadParameter(index);
    }
}

int32_t LongParam(const VariantArray& p, int32_t index) {
    return Converted(p, index, [](const Variant& v) { return v.ToLong(); });
}
bool BooleanParam(const VariantArray& p, int32_t index) {
    return Converted(p, index, [](const Variant& v) { return v.ToBoolean(); });
}
QString TextParam(const VariantArray& p, int32_t index) {
    return Converted(p, index, [](const Variant& v) { return v.ToString(); });
}
bool ParamEquals(const VariantArray& p, int32_t index, const Variant& value) {
    return Param(p, index).Equals(value);
}

// The parameter array itself, or the one array held by a single-element array.
const VariantArray& SelectParams(const Variant& vParams) {
    if (!vParams.IsArray()) RaiseBadParameter(0);
    const VariantArray& outer = vParams.ToArray();
    if (outer.Dimensions() == 1 && outer.LBound() == 0 && outer.UBound() == 0 && outer.At(0).IsArray()) {
        return outer.At(0).ToArray();
    }
    return outer;
}

QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return text.mid(begin, end - begin);
}

// Everything that is not a numbered error becomes one at this boundary.
[[noreturn]] void ReportAny(std::exception_ptr failure) {
    try {
        std::rethrow_exception(std::move(failure));
    } catch (const ComError& e) {
        MErrorHandling::ReportError(e.Number(), e.Source(), e.Description(), kClassName);
    } catch (const std::exception& e) {
        MErrorHandling::ReportError(eeVTI_Error, kSource, QString::fromLocal8Bit(e.what()), kClassName);
    }
}

}  // namespace

CKorotkaVTI::CKorotkaVTI() : m_channel(std::make_shared<CChannel>()) {
    try {
        CreateInstrumentData();
    } catch (const ComError& e) {
        // Without a host there is no descriptor yet; StartRemote makes one or fails clearly.
        qCDebug(lcDriver).noquote() << "no instrument descriptor yet:" << e.what();
    }
}

CKorotkaVTI::~CKorotkaVTI() { Disconnect(); }

QString CKorotkaVTI::FWVersion() const { return m_data ? m_data->FWVersion() : QString(); }
QString CKorotkaVTI::MTIName() const { return m_data ? m_data->MTIName() : QString(); }
QString CKorotkaVTI::SerialNo() const { return m_data ? m_data->SerialNo() : QString(); }

void CKorotkaVTI::CreateInstrumentData() {
    m_data = orvex::ComponentRegistry::Instance().CreateAs<orvex::InstrumentData>(
        QStringLiteral("OrvexTypeLib.InstrumentData"));
}

std::shared_ptr<orvex::InstrumentData> CKorotkaVTI::StartRemote() {
    const auto keepAlive = weak_from_this().lock();
    switch (m_state) {
        case evtiNotConnected:
            m_state = evtiConnecting;
            ConnectFromHost();
            m_state = evtiIdle;
            break;
        case evtiBusy:
            MErrorHandling::RaiseVtiError(eeVTI_PortInUse, kSource, QString());
        default:
            break;
    }
    return m_data;
}

void CKorotkaVTI::ConnectFromHost() {
    Disconnect();
    CreateInstrumentData();
    const auto instruments = orvex::HostServices::Instruments();
    const int32_t port = instruments->PortOf(kInstrumentName, QString());
    if (port < 1) MErrorHandling::RaiseVtiError(eeVTI_Error, kSource, QString());
    const orvex::InstrumentInfo info = instruments->InfoOf(port);
    m_data->SetIdentity(kInstrumentName, info.serialNo, info.fwVersion);
    if (port > INT16_MAX || !Connect(static_cast<int16_t>(port), false)) {
        MErrorHandling::RaiseVtiError(eeVTI_MTINotFound, kSource, QString());
    }
}

bool CKorotkaVTI::Connect(int16_t port, bool queryIdentity) {
    m_state = evtiNotConnected;
    try {
        const auto channel = std::make_shared<CChannel>();
        m_channel = channel;
        channel->Open(port, kLineSettings);
        if (queryIdentity) QueryIdentity();
        return true;
    } catch (const ComError& e) {
        qCDebug(lcDriver).noquote() << "connecting on port" << port << "failed:" << e.what();
        return false;
    }
}

void CKorotkaVTI::QueryIdentity() {
    try {
        const QString serial = GetSerialNumber();
        const auto [model, version] = GetVersion();
        if (!m_data) CreateInstrumentData();
        m_data->SetType(kInstrumentName, kInstrumentType);
        m_data->SetIdentity(kInstrumentName, serial, version);
    } catch (const ComError&) {
        MErrorHandling::RaiseVtiError(eeVTI_MTINotFound, kSource, QString());
    }
}

QString CKorotkaVTI::GetSerialNumber() { return Ask(QStringLiteral("[BP_SERIAL]")); }

std::pair<QString, QString> CKorotkaVTI::GetVersion() {
    const QString reply = Ask(QStringLiteral("[BP_VERSION]"));
    // "Model01 Ver 2.10": the version starts one separator after "Ver"; without "Ver", at the fourth
    // character.
    const qsizetype ver = reply.indexOf(QLatin1String("Ver"));
    return {reply.left(7), reply.mid(ver >= 0 ? ver + 4 : 3)};
}

QString CKorotkaVTI::Ask(const QString& command) {
    Line()->Send(command);
    QString reply = ReadReply(kSetUpTries);
    // Only an acknowledged answer is an identity; a refusal or line noise is no serial number.
    if (CheckAck(reply) != kAcknowledged)
        MErrorHandling::RaiseVtiError(eeVTI_MTINegativeAck, kSource, QString());
    return reply;
}

std::shared_ptr<CChannel> CKorotkaVTI::Line() {
    // A handler that ran while we waited may have disconnected: a closed line then fails clearly.
    if (!m_channel) m_channel = std::make_shared<CChannel>();
    return m_channel;
}

QString CKorotkaVTI::ReadReply(int16_t tries) {
    const auto channel = Line();
    QString reply;
    for (int16_t i = 0; i < tries && reply.isEmpty(); ++i) reply = channel->Receive();
    if (reply.isEmpty()) MErrorHandling::RaiseVtiError(eeVTI_MTIResponseTimeout, kSource, QString());
    return reply;
}

int16_t CKorotkaVTI::CheckAck(QString& reply) {
    if (reply.isEmpty()) return 0;
    if (reply.at(0) == kAck) {
        reply.remove(0, 1);
        return kAcknowledged;
    }
    return reply.at(0) == kNak ? kRefused : 0;
}

QString CKorotkaVTI::PressureUnitsCommand(int32_t unit) {
    static const std::array<QString, 5> kCommands = {
        QStringLiteral("[PRESS_UNITS_MMHG]"), QStringLiteral("[PRESS_UNITS_KPA]"),
        QStringLiteral("[PRESS_UNITS_CMH2O]"), QStringLiteral("[PRESS_UNITS_INH2O]"),
        QStringLiteral("[PRESS_UNITS_PSI]")};
    return unit >= 0 && unit < static_cast<int32_t>(kCommands.size()) ? kCommands[static_cast<size_t>(unit)]
                                                                      : QString();
}

QString CKorotkaVTI::SimulationCommand(int32_t family, int32_t preset) {
    static const std::array<QStringList, 6> kPresets = {
        QStringList{QStringLiteral("[SIM_STD60_30]"), QStringLiteral("[SIM_STD80_50]"),
                    QStringLiteral("[SIM_STD100_65]"), QStringLiteral("[SIM_STD120_80]"),
                    QStringLiteral("[SIM_STD150_100]"), QStringLiteral("[SIM_STD200_150]"),
                    QStringLiteral("[SIM_STD255_195]")},
        QStringList{QStringLiteral("[SIM_HEALTHY]"), QStringLiteral("[SIM_WEAK_PULSE]"),
                    QStringLiteral("[SIM_MILDEX]"), QStringLiteral("[SIM_STRENEX]"),
                    QStringLiteral("[SIM_OBESE]"), QStringLiteral("[SIM_GERIATRIC]"),
                    QStringLiteral("[SIM_TACHYCARDIA]"), QStringLiteral("[SIM_BRADYCARDIA]")},
        QStringList{QStringLiteral("[SIM_PAC1]"), QStringLiteral("[SIM_PAC2]"), QStringLiteral("[SIM_PVC]"),
                    QStringLiteral("[SIM_AFIBPVC]")},
        QStringList{QStringLiteral("[SIM_SB1]"), QStringLiteral("[SIM_SB2]"), QStringLiteral("[SIM_SB3]"),
                    QStringLiteral("[SIM_CV]")},
        QStringList{QStringLiteral("[SIM_NEO35_15]"), QStringLiteral("[SIM_NEO60_30]"),
                    QStringLiteral("[SIM_NEO80_50]"), QStringLiteral("[SIM_NEO100_70]")},
        QStringList{QStringLiteral("[SIM_WC80_55]"), QStringLiteral("[SIM_WC120_80]"),
                    QStringLiteral("[SIM_WC160_100]")},
    };
    if (family < 0 || family >= static_cast<int32_t>(kPresets.size())) return {};
    const QStringList& presets = kPresets[static_cast<size_t>(family)];
    return preset >= 0 && preset < presets.size() ? presets.at(preset) : QString();
}

void CKorotkaVTI::BuildCommands(const VariantArray& p, QString& cuff, QString& unit, QString& test) const {
    switch (LongParam(p, 0)) {
        case TESTID_PRESS_LEAK:
            unit = PressureUnitsCommand(LongParam(p, 2));
            if (BooleanParam(p, 6)) cuff = QStringLiteral("[CUFF_IA]");
            test = QStringLiteral("[LEAK,") + TextParam(p, 1) + QStringLiteral("]");
            break;
        case TESTID_PRESS_RELIEF:
            unit = PressureUnitsCommand(LongParam(p, 2));
            test = QStringLiteral("[RELIEF,") + TextParam(p, 1) + QStringLiteral("]");
            break;
        case TESTID_PRESS_STATIC:
            unit = PressureUnitsCommand(LongParam(p, 2));
            if (ParamEquals(p, 3, Variant(false))) {
                if (ParamEquals(p, 5, Variant(false))) {
                    test = QStringLiteral("[PSOURCE,") + TextParam(p, 1) + QStringLiteral("]");
                } else {
                    test = QStringLiteral("[GAUGE]");
                    cuff.clear();
                }
            } else {
                test = QStringLiteral("[GAUGE]");
                cuff.clear();
                unit.clear();
            }
            break;
        case TESTID_BP: {
            const int32_t family = LongParam(p, 1);
            const int32_t preset = LongParam(p, 2);
            unit = ParamEquals(p, 3, Variant(int32_t{ebpuKPA})) ? QStringLiteral("[BP_UNITS_KPA]")
                                                                : QStringLiteral("[BP_UNITS_MMHG]");
            const bool internalCuff = BooleanParam(p, 4);
            if (internalCuff) cuff = QStringLiteral("[CUFF_IA]");
            test = SimulationCommand(family, preset);
            if (family == ebpNeonate && internalCuff) cuff = QStringLiteral("[CUFF_IN]");
            break;
        }
        case TESTID_VENT:
            test = QStringLiteral("[BLEED_SYSTEM]");
            cuff.clear();
            unit.clear();
            break;
        default:
            break;
    }
}

void CKorotkaVTI::SendSetUp(const QString& command, int16_t tries) {
    Line()->Send(command);
    QString reply = ReadReply(tries);
    // A refusal does not stop the sequence; only silence does.
    CheckAck(reply);
}

void CKorotkaVTI::StartTest(Variant& vParams) {
    const auto keepAlive = weak_from_this().lock();
    try {
        switch (m_state) {
            case evtiIdle:
                break;
            case evtiBusy:
                MErrorHandling::RaiseVtiError(eeVTI_PortInUse, kSource, QString());
            case evtiNotConnected:
                MErrorHandling::RaiseVtiError(eeVTI_MTINotFound, kSource, QString());
            default:
                return;
        }
        m_state = evtiBusy;
        QString cuff = QStringLiteral("[CUFF_EXT]");
        QString unit = QStringLiteral("[BP_UNITS_MMHG]");
        QString test;
        BuildCommands(SelectParams(vParams), cuff, unit, test);
        if (!cuff.isEmpty()) {
            SendSetUp(QStringLiteral("[BLEED_SYSTEM]"), kBleedTries);
            SendSetUp(cuff, kSetUpTries);
        }
        if (!unit.isEmpty()) SendSetUp(unit, kSetUpTries);
        Line()->Send(test);
        m_state = evtiPerformingTest;
    } catch (...) {
        ReportAny(std::current_exception());
    }
}

void CKorotkaVTI::GetTestResult(int32_t& /*lTestId*/, Variant& vResult) {
    if (m_state != evtiPerformingTest) return;
    const auto keepAlive = weak_from_this().lock();
    for (int attempt = 1;; ++attempt) {
        try {
            VariantArray* result = vResult.IsArray() ? &vResult.ToArray() : nullptr;
            if (!result || result->Dimensions() != 1 || result->LBound() > 0 || result->UBound() < 2) {
                MErrorHandling::RaiseVtiError(eeVTI_CmdParameterInvalid, kSource, kBadResultArray);
            }
            QString reply = Line()->Receive();
            const int16_t ack = CheckAck(reply);
            result->At(0) = Variant(ack);
            result->At(1) = Variant(TrimSpaces(reply.left(5)));
            result->At(2) = Variant(TrimSpaces(reply.mid(5)));
            return;
        } catch (const ComError& e) {
            if (IsTransient(e.Number()) && attempt < kMaxReceiveRepeats) {
                qCDebug(lcDriver).noquote()
                    << "receive attempt" << attempt << "failed, trying again:" << e.what();
                continue;
            }
            ReportAny(std::current_exception());
        } catch (...) {
            ReportAny(std::current_exception());
        }
    }
}

void CKorotkaVTI::StopTest(eTestId& /*testId*/) { m_state = evtiIdle; }

void CKorotkaVTI::TimeOut() { MErrorHandling::RaiseVtiError(eeVTI_MTIResponseTimeout, kSource, QString()); }

void CKorotkaVTI::EndRemote() {
    if (m_channel) {
        m_state = evtiDisconnecting;
        Disconnect();
    }
    m_state = evtiNotConnected;
}

void CKorotkaVTI::Disconnect() {
    if (!m_channel) return;
    m_channel->Close();
    m_channel.reset();
    m_data.reset();
}

}  // namespace korotka
