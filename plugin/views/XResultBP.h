#pragma once

#include <QString>
#include <memory>

#include "plugin/base/PlugInExport.h"
#include "plugin/views/XResultBase.h"

namespace korotka {

// The result view of the blood-pressure simulation tests: the measurements with the values the
// simulator was set to produce, and what the monitor under test displayed, typed in row after row.
// Next may go on once every row has its reading.
class KOROTKA_PLUGIN_EXPORT XResultBP : public XResultBase {
    Q_OBJECT

public:
    static inline const QString kPresetKey = QStringLiteral("pre");

    explicit XResultBP(QWidget* parent = nullptr);

    // The tag is the header of the preset column.
    QString Tag() const override;
    void SetTag(const QString& tag) override;
    void ShowTestResult(const std::shared_ptr<orvex::IResultData>& result) override;

protected:
    void ShowMeasurement(QTreeWidgetItem& row,
                         const std::shared_ptr<orvex::IMeasurement>& measurement) override;
    QTreeWidgetItem* EditRow() override;
    bool IsEditableHeight(int32_t y) const override;
    void EditDone() override;
    void ApplyNextButtonRule() override;

private:
    QString m_tag;
};

}  // namespace korotka
