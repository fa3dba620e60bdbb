#include "FTestGuide.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "driver/MErrorHandling.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ControlCallBack.h"
#include "hostapi/GuideWindowNames.h"
#include "hostapi/HostServices.h"
#include "hostapi/IConfigData.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/PerformContext.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/TestGuideSettings.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgContentPane.h"
#include "hostapi/XTgProgressBar.h"
#include "hostapi/XTgStatusIndicator.h"
#include "hostapi/XTgToolbar.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/IKorotkaConfigPressure.h"
#include "plugin/views/IKorotkaResultView.h"
#include "plugin/views/XTestDetails.h"
#include "plugin/views/XTestInstruction.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;
using orvex::Variant;
using orvex::XTgToolbar;

namespace {

const QString kSource = QStringLiteral("OrvexKorotka.FTestGuide");
const QString kResultViewBP = QStringLiteral("orvexKorotka.XResultBP");
const QString kResultView = QStringLiteral("orvexKorotka.XResultView");
const QString kStaticPressureTag = QStringLiteral("20651::Korotka value");

// The tool bar shows the navigation, run and choice groups with both indicators.
constexpr int32_t kToolbarGroups =
    XTgToolbar::kNavigationGroup | XTgToolbar::kRunGroup | XTgToolbar::kChoiceGroup;
constexpr int32_t kToolbarIndicators = XTgToolbar::kStatusIndicator | XTgToolbar::kProgressIndicator;

constexpr int kDefaultWidth = 720;
constexpr int kDefaultHeight = 520;

// One step of setting the window up or driving it: a host call that fails leaves that step out
// and the window goes on, as the technician would rather have a window with one thing missing.
template <class Step>
void Try(const char* what, Step step) {
    try {
        step();
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "test guide: %s failed: %s", what, error.what());
    }
}

std::shared_ptr<orvex::TestGuideSettings> GuideSettingsOf(const std::shared_ptr<orvex::IConfigData>& config) {
    if (const auto pressure = std::dynamic_pointer_cast<IKorotkaConfigPressure>(config)) {
        return pressure->TestGuideConfig();
    }
    if (const auto bloodPressure = std::dynamic_pointer_cast<CConfigPBP>(config)) {
        return bloodPressure->TestGuideConfig();
    }
    return nullptr;
}

bool IsBloodPressureTest(int32_t testId) { return testId >= TESTID_BP && testId <= TESTID_BP_WRIST; }

}  // namespace

std::shared_ptr<FTestGuide> FTestGuide::Create(QWidget* parent) {
    // Released with deleteLater: see the class comment.
    std::shared_ptr<FTestGuide> guide(new FTestGuide(parent),
                                      [](FTestGuide* window) { window->deleteLater(); });
    guide->m_xtbToolbar->SetClickHandler([weak = std::weak_ptr<FTestGuide>(guide)](
                                             const std::shared_ptr<orvex::XTgButton>& button, bool flag) {
        if (const auto self = weak.lock()) self->OnButtonClick(button, flag);
    });
    return guide;
}

FTestGuide::FTestGuide(QWidget* parent) : QDialog(parent) {
    setObjectName(orvex::GuideWindowNames::kWindow);
    setModal(true);
    auto& registry = orvex::ComponentRegistry::Instance();
    m_xcpContents = registry.CreateAs<orvex::XTgContentPane>(QStringLiteral("OrvexTGCL2.XTgContentPane"));
    m_xcpContents->hWnd()->setParent(this);
    m_xcpContents->hWnd()->setObjectName(QStringLiteral("xcpContents"));
    m_xcpContents->SetTestGuide(this);
    m_xtbToolbar = registry.CreateAs<orvex::XTgToolbar>(QStringLiteral("OrvexTGCL2.XTgToolbar"));
    m_xtbToolbar->hWnd()->setParent(this);
    m_xtbToolbar->hWnd()->setObjectName(orvex::GuideWindowNames::kToolbar);
    m_xtdDetails = std::make_shared<XTestDetails>();
    m_xtdDetails->setObjectName(QStringLiteral("xtdDetails"));
    m_xtiPopup = std::make_unique<XTestInstruction>(this);
    m_xtiPopup->setObjectName(QStringLiteral("xtiPopup"));
    m_xtiPopup->hide();
    m_resultEvents =
        registry.CreateAs<orvex::ControlCallBack>(QStringLiteral("OrvexTypeLib.ControlCallBack"));
    m_resultEvents->AddListener([this](QString& eventName, orvex::VariantArray& parameters) {
        OnResultViewEvent(eventName, parameters);
    });
    resize(kDefaultWidth, kDefaultHeight);
}

FTestGuide::~FTestGuide() {
    // The shared controls are owned by their holders: give them back before the window goes.
    Try("releasing the views", [this] {
        m_xcpContents->SetDetailsView(nullptr);
        m_xcpContents->SetResultView(nullptr);
    });
    if (const auto control = std::dynamic_pointer_cast<orvex::ICustomControl>(m_xrvResult)) {
        control->SetCallBack(nullptr);
    }
    m_xcpContents->hWnd()->setParent(nullptr);
    m_xtbToolbar->hWnd()->setParent(nullptr);
    m_xtbToolbar->SetClickHandler(nullptr);
}

std::shared_ptr<IKorotkaResultView> FTestGuide::ResultView() const {
    return std::dynamic_pointer_cast<IKorotkaResultView>(m_xrvResult);
}

void FTestGuide::InitGuide(const std::shared_ptr<orvex::ITestElement>& element,
                           const std::shared_ptr<orvex::PerformContext>& context, const Variant& instructions,
                           const Variant& configuration) {
    m_element = element;
    if (!element) return;
    Try("the caption", [&] { setWindowTitle(HostServices::TestGuide()->Title(element)); });
    Try("translating the tool bar",
        [&] { HostServices::Language()->TranslateToolbar(MLanguage::kPlugInId, m_xtbToolbar->hWnd()); });
    m_xtdDetails->Initialize(instructions, configuration);
    int32_t testId = 0;
    Try("the test id", [&] { testId = element->TestID(); });
    CreateResultView(testId);
    const auto view = ResultView();
    if (view) {
        if (testId == TESTID_PRESS_STATIC) view->SetTag(MLanguage::TranslatedOrPlain(kStaticPressureTag));
        Try("handing over the configuration", [&] { view->StoreConfiguration(element->Configuration()); });
    }
    Try("showing the result", [&] {
        const auto result = element->Result();
        ShowResult(result);
        m_hasResult = result && result->Status() != 0;
    });
    if (view) {
        Try("handing over the limits", [&] { view->Limits(element->Limits()); });
        Try("showing the limits", [&] { ShowFirstStandard(*view, context, IsBloodPressureTest(testId)); });
    }
    Try("setting up the content pane", [&] {
        m_xcpContents->SetTestElement(element, context);
        m_xcpContents->SetDetailsView(m_xtdDetails);
    });
    Try("setting up the tool bar", [&] {
        m_xtbToolbar->Setup(kToolbarGroups, kToolbarIndicators);
        m_xtbToolbar->Buttons(XTgToolbar::kInformation)->SetVisible(true);
        m_xtbToolbar->SetTestElement(element, context);
    });
    ConfigureButtons(element);
    LayOut();
}

void FTestGuide::ShowFirstStandard(IKorotkaResultView& view,
                                   const std::shared_ptr<orvex::PerformContext>& context, bool calculated) {
    // The technician types a reading seeing what it will be judged against: the first of the
    // run's standards (those named for the run, else every standard of the test).
    const auto standards = context ? context->Standards() : nullptr;
    if (!standards || standards->Count() < 1) return;
    const auto standard = standards->Item(1);
    if (!standard) return;
    view.ShowStandard(standard->AlphaName(), standard->CompleteName(), calculated);
    m_xtbToolbar->StatusIndicator()->SetTexts(standard->AlphaName(), standard->CompleteName());
}

void FTestGuide::CreateResultView(int32_t testId) {
    const QString className = IsBloodPressureTest(testId) ? kResultViewBP : kResultView;
    Try("creating the result view", [&] {
        auto view = orvex::ComponentRegistry::Instance().Create(className);
        if (const auto control = std::dynamic_pointer_cast<orvex::ICustomControl>(view)) {
            control->SetCallBack(m_resultEvents);
            if (QWidget* widget = control->hWnd()) widget->setObjectName(QStringLiteral("xrvResult"));
        }
        m_xcpContents->SetResultView(view);
        m_xrvResult = std::move(view);
    });
}

void FTestGuide::ConfigureButtons(const std::shared_ptr<orvex::ITestElement>& element) {
    SetButtonEnabled(XTgToolbar::kNext, m_hasResult);
    for (const int32_t number :
         {XTgToolbar::kPrevious, XTgToolbar::kAbort, XTgToolbar::kStart, XTgToolbar::kComment})
        SetButtonEnabled(number, true);
    SetButtonEnabled(XTgToolbar::kStop, false);
    // Without guide settings the test may be skipped or marked not applicable, but only at rest.
    m_notApplicableAllowed = true;
    m_skipAllowed = true;
    m_hasGuideSettings = false;
    Try("reading the guide settings", [&] {
        const auto settings = GuideSettingsOf(element->Configuration());
        if (!settings) return;
        const int32_t flags = settings->Flags();
        m_hasGuideSettings = true;
        m_notApplicableAllowed = (flags & orvex::TestGuideSettings::kNotApplicableAllowed) != 0;
        m_skipAllowed = (flags & orvex::TestGuideSettings::kSkipAllowed) != 0;
    });
    SetButtonEnabled(XTgToolbar::kNotApplicable, m_notApplicableAllowed);
    SetButtonEnabled(XTgToolbar::kSkip, m_skipAllowed);
}

bool FTestGuide::ChoiceOffered(bool allowed, bool navigationEnabled) const {
    return allowed && (navigationEnabled || m_hasGuideSettings);
}

void FTestGuide::ShowResult(const std::shared_ptr<orvex::IResultData>& result) {
    if (const auto view = ResultView()) Try("showing the result", [&] { view->ShowTestResult(result); });
    if (result) {
        Try("showing the verdict", [&] { m_xtbToolbar->StatusIndicator()->SetStatus(result->Status()); });
    }
}

void FTestGuide::BeginMeasurement() {
    if (const auto view = ResultView()) view->StopEditing();
}

void FTestGuide::EndMeasurement() {
    EnableNextButton(false);
    if (const auto view = ResultView()) view->StartEditing();
}

void FTestGuide::EnableNextButton(bool enabled) { SetButtonEnabled(XTgToolbar::kNext, enabled); }

void FTestGuide::SetRunning(bool running, const Variant& steps) {
    Try("latching Start", [&] { m_xtbToolbar->Buttons(XTgToolbar::kStart)->SetPressed(running); });
    if (running) {
        Try("showing the progress bar", [&] { m_xtbToolbar->ProgressBar()->SetShowBar(true); });
        m_progressPending = true;
        // Every running test can be stopped, and Next waits for the readings of this run.
        EnableNextButton(false);
        SetButtonEnabled(XTgToolbar::kStop, true);
    } else {
        m_xtdDetails->SetShowProgress(false);
        Try("hiding the progress bar", [&] { m_xtbToolbar->ProgressBar()->SetShowBar(false); });
        SetButtonEnabled(XTgToolbar::kStop, false);
    }
    EnableNavigation(!running);
    HighlightSteps(steps);
}

void FTestGuide::EnableNavigation(bool enabled) {
    for (const int32_t number : {XTgToolbar::kAbort, XTgToolbar::kPrevious, XTgToolbar::kHelp})
        SetButtonEnabled(number, enabled);
    SetButtonEnabled(XTgToolbar::kNotApplicable, ChoiceOffered(m_notApplicableAllowed, enabled));
    SetButtonEnabled(XTgToolbar::kSkip, ChoiceOffered(m_skipAllowed, enabled));
}

void FTestGuide::ShowProgressBar(bool shown, bool showPercent) {
    m_progressPending = shown;
    Try("showing the progress bar", [&] {
        const auto bar = m_xtbToolbar->ProgressBar();
        bar->SetShowBar(shown);
        bar->SetShowPercent(showPercent);
    });
}

void FTestGuide::SetStopEnabled(bool enabled) {
    SetButtonEnabled(XTgToolbar::kStop, enabled);
    repaint();
}

void FTestGuide::HighlightSteps(const Variant& steps) { m_xtdDetails->HighlightInstruction(steps); }

void FTestGuide::UpdateProgress() {
    Try("showing the progress", [&] { m_xtbToolbar->ProgressBar()->SetValue(m_progressPercent); });
    m_xtdDetails->ShowPerformData(m_setpoint, m_manometer, m_pressureUnit, m_elapsedTime);
    if (m_progressPending) {
        m_xtdDetails->SetShowProgress(true);
        m_progressPending = false;
    }
    emit ValuesShown();
}

void FTestGuide::ShowPopup(const QString& text, const QString& imageName, bool shown) {
    m_xtiPopup->ShowMsg(imageName, text);
    // A shown pop-up flashes to catch the technician's eye.
    m_xtiPopup->SetFlash(shown);
    m_xtiPopup->setVisible(shown);
    if (shown) m_xtiPopup->raise();
}

void FTestGuide::HidePopup() {
    m_xtiPopup->SetFlash(false);
    m_xtiPopup->ShowMsg(QString(), QString());
    m_xtiPopup->hide();
}

void FTestGuide::SetStatus(const QString& text, bool progressShown) {
    Try("showing the status", [&] {
        m_xtbToolbar->StatusIndicator()->SetText(text.isEmpty() ? QString()
                                                                : MLanguage::TranslatedOrPlain(text));
        m_xtbToolbar->ProgressBar()->SetShowBar(progressShown);
    });
}

void FTestGuide::SetMousePointer(int16_t pointer) {
    m_mousePointer = pointer;
    if (pointer == kPointerHourglass) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void FTestGuide::RunInstrumentStep(const std::shared_ptr<CKorotkaVTI>& instrument, int32_t testId,
                                   const Variant& parameters, Variant& results, int16_t maxPolls,
                                   bool showProgress, bool needSecondField) {
    // Held here: a handler that runs between polls may let go of the instrument or the view.
    // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): a hold, not a needless copy
    const auto keepInstrument = instrument;
    const auto keepView = m_xrvResult;
    if (!keepInstrument) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no instrument"));
    }
    ThrowIfCancelled();
    Variant request = parameters;
    if (request.IsArray() && request.ToArray().Dimensions() == 1 && request.ToArray().Count() > 0) {
        request.ToArray().At(request.ToArray().LBound()) = Variant(testId);
    } else {
        request = Variant(orvex::VariantArray::FromList({Variant(testId)}));
    }
    keepInstrument->StartTest(request);

    int16_t polls = 0;
    const auto resultField = [&results](int32_t index) -> Variant {
        if (!results.IsArray()) return {};
        const orvex::VariantArray& fields = results.ToArray();
        if (fields.Dimensions() != 1 || index < fields.LBound() || index > fields.UBound()) return {};
        return fields.At(index);
    };
    if (results.IsArray() && results.ToArray().Count() > 0)
        results.ToArray().At(results.ToArray().LBound()) = Variant(0);
    int32_t pollId = testId;
    for (;;) {
        // Whatever the technician did meanwhile (Stop, the close box) is handled between polls.
        WaitForNextPoll();
        keepInstrument->GetTestResult(pollId, results);
        // A way out taken while the reply was awaited: no further command goes to the instrument.
        ThrowIfCancelled();
        ++polls;
        if (showProgress) {
            m_progressPercent = maxPolls > 0 ? static_cast<int16_t>(polls * 100 / maxPolls) : int16_t{100};
            UpdateProgress();
        }
        const Variant status = resultField(0);
        const bool answered = !status.IsEmpty() && !status.IsNull() && !status.Equals(Variant(0));
        const bool complete = answered && (!needSecondField || !resultField(1).ToString().isEmpty());
        if (complete) break;
        if (polls >= maxPolls) keepInstrument->TimeOut();
    }
    auto stopId = static_cast<eTestId>(testId);
    keepInstrument->StopTest(stopId);
    // An instrument that refuses the test gives no reading; the technician must learn why.
    if (resultField(0).Equals(Variant(CKorotkaVTI::kRefused))) {
        MErrorHandling::RaiseVtiError(eeVTI_MTINegativeAck, kSource, QString());
    }
}

void FTestGuide::WaitForNextPoll() {
    const qint64 since = m_lastPoll.isValid() ? m_lastPoll.elapsed() : int64_t{kPollIntervalMs};
    if (since < kPollIntervalMs) {
        Wait(static_cast<int>(kPollIntervalMs - since));
    } else {
        QCoreApplication::processEvents();
        ThrowIfCancelled();
    }
    m_lastPoll.start();
}

void FTestGuide::Wait(int milliseconds) {
    // A handler run meanwhile may let go of the window; it stays until the wait is over.
    const auto self = shared_from_this();
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    ThrowIfCancelled();
}

void FTestGuide::ThrowIfCancelled() const {
    if (m_stepCancelled) throw ComError(kErrStepEnded, kSource, QString());
}

void FTestGuide::OnButtonClick(const std::shared_ptr<orvex::XTgButton>& button, bool flag) {
    // A Qt event handler: nothing may leave it.
    try {
        if (!button) return;
        switch (button->Number()) {
            case XTgToolbar::kAbort:
                AskAbort();
                break;
            case XTgToolbar::kPrevious:
                emit PrevTest();
                break;
            case XTgToolbar::kNext:
                emit NextTest();
                break;
            case XTgToolbar::kStop:
                StopAction();
                break;
            case XTgToolbar::kStart:
                // F5 goes on: it stops a started test, else moves to the next test when it may.
                if (flag && m_started) {
                    StopAction();
                } else if (flag && ButtonEnabled(XTgToolbar::kNext)) {
                    emit NextTest();
                } else {
                    m_started = true;
                    emit StartTest();
                }
                break;
            case XTgToolbar::kSkip:
                emit SkipTest();
                break;
            case XTgToolbar::kNotApplicable:
                emit NA();
                break;
            default:
                break;
        }
        ShowResultStatus();
    } catch (const std::exception& error) {
        qCWarning(lcPlugIn, "test guide: a tool bar click was not handled: %s", error.what());
    } catch (...) {
        qCWarning(lcPlugIn, "test guide: a tool bar click was not handled");
    }
}

void FTestGuide::ShowResultStatus() {
    const auto element = m_element.lock();
    if (!element) return;
    Try("showing the verdict", [&] {
        if (const auto result = element->Result())
            m_xtbToolbar->StatusIndicator()->SetStatus(result->Status());
    });
}

void FTestGuide::StopAction() {
    SetButtonEnabled(XTgToolbar::kStop, false);
    SetButtonEnabled(XTgToolbar::kAbort, false);
    emit StopTest();
    SetStatus(QString(), false);
}

void FTestGuide::AskAbort() {
    bool confirmed = false;
    Try("asking whether to abort", [&] { confirmed = HostServices::TestGuide()->ConfirmAbort(); });
    if (confirmed) emit Abort();
}

void FTestGuide::OnResultViewEvent(const QString& eventName, const orvex::VariantArray& parameters) {
    const auto parameter = [&parameters](int32_t index) -> Variant {
        const int32_t at = parameters.LBound() + index;
        return parameters.Dimensions() == 1 && at <= parameters.UBound() ? parameters.At(at) : Variant();
    };
    Try("handling a result view event", [&] {
        if (eventName == QLatin1String("EnableNextButton")) {
            EnableNextButton(parameter(0).ToInteger() != 0);
        } else if (eventName == QLatin1String("StandardSelected")) {
            m_xtbToolbar->StatusIndicator()->SetTexts(parameter(0).ToString(), parameter(1).ToString());
        } else if (eventName == QLatin1String("MouseDown")) {
            if (parameter(0).ToInteger() == 2) m_xtbToolbar->ShowContextMenu();
        }
    });
}

void FTestGuide::SetButtonEnabled(int32_t number, bool enabled) {
    Try("enabling a button", [&] { m_xtbToolbar->Buttons(number)->SetEnabled(enabled); });
}

bool FTestGuide::ButtonEnabled(int32_t number) const {
    bool enabled = false;
    Try("reading a button", [&] { enabled = m_xtbToolbar->Buttons(number)->Enabled(); });
    return enabled;
}

void FTestGuide::closeEvent(QCloseEvent* event) {
    event->ignore();
    AskAbort();
}

void FTestGuide::reject() { AskAbort(); }

void FTestGuide::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void FTestGuide::LayOut() {
    QWidget* toolbar = m_xtbToolbar->hWnd();
    const int toolbarHeight = toolbar->sizeHint().height();
    toolbar->setGeometry(0, 0, width(), toolbarHeight);
    QWidget* contents = m_xcpContents->hWnd();
    contents->setGeometry(0, toolbarHeight, width(), height() - toolbarHeight);
    // The pop-up lies over the lower part of the content pane, where the result view is.
    const int popupHeight = std::max(m_xtiPopup->sizeHint().height(), height() / 5);
    m_xtiPopup->setGeometry(contents->x() + 8, contents->y() + contents->height() - popupHeight - 8,
                            contents->width() - 16, popupHeight);
}

}  // namespace korotka
