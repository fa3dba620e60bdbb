#pragma once

#include <QGroupBox>
#include <QString>
#include <array>

#include "host/platform/HostExport.h"

class QLineEdit;

namespace orvex {

class HostSequence;

// The asset under test and the technician, in the main window's side panel: what is typed goes
// straight into the sequence.
class ORVEX_HOST_EXPORT HostAssetPanel : public QGroupBox {
    Q_OBJECT

public:
    HostAssetPanel(HostSequence& sequence, QWidget* parent = nullptr);

    // Shows the sequence's asset and technician, taking nothing back from the boxes.
    void Show();

signals:
    // The sequence took what the technician typed; the asset is now the one with that id.
    void Taken(const QString& assetId);

private:
    void Take();

    HostSequence& m_sequence;
    std::array<QLineEdit*, 5> m_fields{};
    bool m_showing = false;
};

}  // namespace orvex
