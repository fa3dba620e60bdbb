#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/IPlugIn.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ComError;
class XmlElement;
}  // namespace orvex

namespace korotka {

class CPlugInSetup;

// The object the host creates when it loads the plug-in: names it, hands out its icons and
// version, reads the template file and creates test elements from its templates.
class KOROTKA_PLUGIN_EXPORT CPlugInKorotka : public orvex::IPlugIn {
public:
    // Error numbers raised through the host.
    static constexpr int32_t kErrNotInitialised = PlugInErrors::kNotInitialised;
    static constexpr int32_t kErrBadTemplate = PlugInErrors::kBadTemplate;
    static constexpr int32_t kErrNoTemplate = PlugInErrors::kNoTemplate;

    CPlugInKorotka();
    ~CPlugInKorotka() override;

    QString ID() override;
    QPixmap Icon(int32_t testId, int32_t size, const orvex::Variant& unused) override;
    QString Name() override;
    int32_t Flags() override;
    std::shared_ptr<orvex::ISetup> Setup() override;
    std::shared_ptr<orvex::IUnknown> ControlPanel() override;
    std::shared_ptr<orvex::TestElementList> Tests() override;
    QString Version() override;
    std::shared_ptr<orvex::IUnknown> PlugInMenu() override;
    void Initialize(const std::shared_ptr<orvex::IUnknown>& host) override;
    std::shared_ptr<orvex::ITestElement> CreateTest(int32_t testId) override;
    std::shared_ptr<orvex::IUnknown> CreateDUTData() override;

    // The plug-in's one-time set-up of its process-wide tables (presets, unit conversions,
    // time-outs); later calls in the same process do nothing.
    static void StartUp();
    // The bitmap resource name the host's icon request asks for; empty when there is none.
    static QString IconName(int32_t testId, int32_t size);

private:
    std::shared_ptr<orvex::TestElementList> LoadTemplates(const QString& file);
    std::shared_ptr<orvex::ITestElement> CreateFromTemplate(const std::shared_ptr<orvex::XmlElement>& tmpl,
                                                            int depth);
    [[noreturn]] void Raise(int32_t number, int32_t category);
    [[noreturn]] void HandOn(const orvex::ComError& error);

    std::shared_ptr<orvex::TestElementList> m_templates;
    std::shared_ptr<CPlugInSetup> m_setup;
    bool m_initialised = false;
    int32_t m_flags = 0;
    std::shared_ptr<orvex::ISetup> m_controlPanel;
};

}  // namespace korotka
