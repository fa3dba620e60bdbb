#pragma once

#include <QWidget>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/XTestGuideSettings.h"

class QCheckBox;

namespace orvex {

// The host's test-guide settings editor ("OrvexView.XTestGuideSettings"): one check box per flag
// of the bound settings.
class ORVEX_HOST_EXPORT HostXTestGuideSettings : public QWidget, public XTestGuideSettings {
    Q_OBJECT

public:
    explicit HostXTestGuideSettings(QWidget* parent = nullptr);

    QWidget* hWnd() const override;
    void SetSettings(std::shared_ptr<TestGuideSettings> settings) override;
    std::shared_ptr<TestGuideSettings> Settings() const override { return m_settings; }
    void SetChangeHandler(ChangeHandler handler) override;

    QCheckBox* NotApplicableBox() const { return m_notApplicable; }
    QCheckBox* SkipBox() const { return m_skip; }

private:
    void ShowSettings();
    void OnEdited(int32_t flag, bool set);

    QCheckBox* m_notApplicable;
    QCheckBox* m_skip;
    std::shared_ptr<TestGuideSettings> m_settings;
    ChangeHandler m_changeHandler;
};

}  // namespace orvex
