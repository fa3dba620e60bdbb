#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "host/platform/HostExport.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvex {

class VariantArray;

// The whole store at a glance in the main window's side panel: the assets due or overdue for their
// check, oldest first, and the readings drifting out of their band, soonest first. Read from the
// results database (read-only) when shown; double-clicking an asset asks for its history.
class ORVEX_HOST_EXPORT HostFleetPanel : public QWidget {
    Q_OBJECT

public:
    // The window's translation of one of its literals.
    using Texts = std::function<QString(const QString& literal, const VariantArray* parameters)>;

    HostFleetPanel(Texts texts, QWidget* parent = nullptr);

    // The database the lists are read from (empty: the default one); read again when next shown.
    void SetDatabase(const QString& url);
    // A visit was stored: read again when next shown (now, when in view).
    void Reload();

    // What the panel shows, for those who check it: the asset ids of each list, in order.
    QStringList DueShown() const;
    QStringList DriftShown() const;

signals:
    // An asset was double-clicked: its history is wanted.
    void Opened(const QString& assetId);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Read();
    QString Text(const QString& literal) const;
    static QStringList Assets(const QTreeWidget& list);

    Texts m_texts;
    QString m_database;
    bool m_stale = true;
    QLabel* m_lblStatus = nullptr;
    QLabel* m_lblDue = nullptr;
    QTreeWidget* m_lstDue = nullptr;
    QLabel* m_lblDrift = nullptr;
    QTreeWidget* m_lstDrift = nullptr;
};

}  // namespace orvex
