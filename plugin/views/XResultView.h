#pragma once

#include <QString>
#include <optional>

#include "plugin/base/PlugInExport.h"
#include "plugin/views/XResultBase.h"

namespace korotka {

// The result view of the static pressure, leak and over-pressure tests. In the static pressure
// test its first row is the reading of the equipment under test, typed in by the technician, and
// the difference row follows what is typed. A row is redrawn only when its value changed, so that
// the manometer's stream of readings does not make the list flicker.
class KOROTKA_PLUGIN_EXPORT XResultView : public XResultBase {
    Q_OBJECT

public:
    explicit XResultView(QWidget* parent = nullptr);

    QString Tag() const override;
    void SetTag(const QString& tag) override;
    // The edit box goes, too.
    void StopEditing() override;

protected:
    void ShowMeasurement(QTreeWidgetItem& row,
                         const std::shared_ptr<orvex::IMeasurement>& measurement) override;
    // Always the first row.
    QTreeWidgetItem* EditRow() override;
    bool IsEditableHeight(int32_t y) const override;
    void EditDone() override;
    void ValueTyped(const std::optional<float>& value) override;
    void ApplyNextButtonRule() override;
};

}  // namespace korotka
